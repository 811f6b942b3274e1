#include <windows.h>

#include <vector>

#include "jre/windows/RuntimeSystemWin.h"

namespace qarvo {

namespace {

// How long a terminated probe may take to go away, so that its output file
// can be deleted.
constexpr DWORD terminationWaitMs = 5000;

// The file created anew, readable and writable by others, through a handle
// the child process inherits. Null on failure.
HANDLE createInheritableFile(const std::string& name) {
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    HANDLE inheritable = nullptr;
    BOOL duplicated = DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &inheritable, 0, TRUE,
                                      DUPLICATE_SAME_ACCESS);
    DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return duplicated ? inheritable : nullptr;
}

}  // namespace

ProbeRun WindowsProbeProcess::run(const std::string& commandLine, const std::string& standardErrorFile,
                                  std::uint32_t timeoutMs) {
    ProbeRun run;
    HANDLE output = createInheritableFile(standardErrorFile);
    if (!output) {
        run.error = GetLastError();
        return run;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdError = output;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');  // CreateProcessA may write into its command line
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &process)) {
        run.error = GetLastError();
        CloseHandle(output);
        return run;
    }
    run.started = true;
    DWORD waited = WaitForSingleObject(process.hProcess, timeoutMs);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exitCode);
    run.exitCode = exitCode;
    if (waited != WAIT_OBJECT_0) {
        run.timedOut = true;
        run.exitCode = STILL_ACTIVE;
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, terminationWaitMs);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(output);
    return run;
}

}  // namespace qarvo
