// wintool.exe entry point and the path, environment and directory commands.
// Usage:
//   wintool reg-read <HKCU|HKLM> <subkey> <value> [32|64]
//   wintool reg-write <HKCU|HKLM> <subkey> <value> <type> <data> [32|64]
//           (type REG_SZ, REG_EXPAND_SZ, REG_DWORD or REG_BINARY with hex data)
//   wintool reg-delete-tree <HKCU|HKLM> <subkey> [32|64]
//   wintool reg-list <HKCU|HKLM> <subkey> [32|64]
//   wintool short-path|long-path|full-path <path>
//   wintool msgbox <caption> <timeout-ms>
//   wintool env <NAME>
//   wintool cwd
//   wintool run-exact <program> <command line> <timeout-ms> [show-command]
//   wintool hold-exclusive <file> <ready-file> <until-file> <timeout-ms>
//   wintool window-state <title>
//   wintool version-info|resource-size|load-icon ... (WinToolResources.cpp)
#include "WinTool.h"

#include "DoubleSupport.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

using namespace doubles;

namespace wintool {

void printLine(const std::wstring& text) { writeStd(STD_OUTPUT_HANDLE, toUtf8(text) + "\n"); }

int fail(const std::string& message) {
  writeStd(STD_ERROR_HANDLE, "wintool: " + message + "\n");
  return 1;
}

int failWin32(const std::string& message, unsigned long code) {
  return fail(message + " (error " + std::to_string(code) + ")");
}

namespace {

using PathFunction = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

DWORD WINAPI fullPathName(LPCWSTR path, LPWSTR buffer, DWORD size) {
  return GetFullPathNameW(path, size, buffer, nullptr);
}

// Calls one of the path functions that report the size they need when the
// buffer is too small, and prints the result.
int printPath(const Args& args, PathFunction function, const char* name) {
  if (args.size() != 1) return fail(std::string(name) + " takes one path");
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = function(args[0].c_str(), buffer.data(), DWORD(buffer.size()));
    if (length == 0)
      return failWin32(std::string(name) + " failed for " + toUtf8(args[0]), GetLastError());
    if (length < buffer.size()) {
      buffer.resize(length);
      printLine(buffer);
      return 0;
    }
    buffer.assign(length, L'\0');
  }
}

int env(const Args& args) {
  if (args.size() != 1) return fail("env takes one variable name");
  std::wstring value(256, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(args[0].c_str(), value.data(), DWORD(value.size()));
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return 2;
    if (length < value.size()) {
      value.resize(length);
      printLine(value);
      return 0;
    }
    value.assign(length, L'\0');
  }
}

int cwd(const Args& args) {
  if (!args.empty()) return fail("cwd takes no arguments");
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring directory(size, L'\0');
  DWORD length = GetCurrentDirectoryW(size, directory.data());
  if (length == 0 || length >= size)
    return failWin32("GetCurrentDirectoryW failed", GetLastError());
  directory.resize(length);
  printLine(directory);
  return 0;
}

// Starts `program` with exactly the given command line (Wine, started from
// Linux, would build one from its arguments) and prints "exit <code>". A
// show command (SW_HIDE is 0) comes with STARTF_USESHOWWINDOW.
int runExact(const Args& args) {
  if (args.size() != 3 && args.size() != 4)
    return fail("run-exact takes a program, a command line, a time-out and maybe a show command");
  std::wstring commandLine = args[1];  // CreateProcessW may write to it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (args.size() == 4) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = WORD(_wtoi(args[3].c_str()));
  }
  PROCESS_INFORMATION process{};
  // Under a full parallel test run Wine's CreateProcessW now and then fails
  // with ERROR_INTERNAL_ERROR (1359) before the program runs at all; such a
  // start is tried again, a few times.
  for (int attempt = 1;; ++attempt) {
    std::wstring line = commandLine;
    if (CreateProcessW(args[0].c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process))
      break;
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == 3)
      return failWin32("CreateProcessW failed for " + toUtf8(args[0]), error);
    Sleep(200);
  }
  CloseHandle(process.hThread);
  DWORD waited = WaitForSingleObject(process.hProcess, DWORD(_wtoi(args[2].c_str())));
  DWORD code = 0;
  if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  else GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  if (waited != WAIT_OBJECT_0) return 3;
  printLine(L"exit " + std::to_wstring(code));
  return 0;
}

// Opens `file` without sharing (as an editor or a scanner may), creates
// `ready-file` once it holds it, and keeps it open until `until-file` exists
// or the time-out passes (exit 3).
int holdExclusive(const Args& args) {
  if (args.size() != 4) return fail("hold-exclusive takes a file, a ready file, a file to wait for and a time-out");
  HANDLE file = CreateFileW(args[0].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return failWin32("CreateFileW failed for " + toUtf8(args[0]), GetLastError());
  HANDLE ready = CreateFileW(args[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  const DWORD deadline = GetTickCount() + DWORD(_wtoi(args[3].c_str()));
  while (GetFileAttributesW(args[2].c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (LONG(GetTickCount() - deadline) > 0) {
      CloseHandle(file);
      return 3;
    }
    Sleep(20);
  }
  CloseHandle(file);
  return 0;
}

int run(const std::wstring& command, const Args& args) {
  if (command == L"reg-read") return regRead(args);
  if (command == L"reg-write") return regWrite(args);
  if (command == L"reg-delete-tree") return regDeleteTree(args);
  if (command == L"reg-list") return regList(args);
  if (command == L"short-path") return printPath(args, GetShortPathNameW, "short-path");
  if (command == L"long-path") return printPath(args, GetLongPathNameW, "long-path");
  if (command == L"full-path") return printPath(args, fullPathName, "full-path");
  if (command == L"msgbox") return msgbox(args);
  if (command == L"env") return env(args);
  if (command == L"cwd") return cwd(args);
  if (command == L"run-exact") return runExact(args);
  if (command == L"hold-exclusive") return holdExclusive(args);
  if (command == L"window-state") return windowState(args);
  if (command == L"version-info") return versionInfo(args);
  if (command == L"resource-size") return resourceSize(args);
  if (command == L"load-icon") return loadIcon(args);
  return fail("unknown command " + toUtf8(command));
}

}  // namespace
}  // namespace wintool

int main() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return wintool::failWin32("CommandLineToArgvW failed", GetLastError());
  if (count < 2) return wintool::fail("usage: wintool <command> [arguments]");
  wintool::Args args(argv + 2, argv + count);
  std::wstring command = argv[1];
  LocalFree(argv);
  return wintool::run(command, args);
}
