#include <windows.h>

#include <cstdlib>
#include <vector>

#include "os/windows/Handles.h"
#include "os/windows/Services.h"

namespace qarvo::os::win32 {

namespace {

// How long a terminated probe may take to go away, so that its output file
// can be deleted.
constexpr DWORD terminationWaitMs = 5000;

// The file created anew, readable and writable by others, through a handle
// the child process inherits.
UniqueHandle createInheritableFile(const std::string& name) {
    UniqueHandle file(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return file;
    UniqueHandle inheritable;
    if (!DuplicateHandle(GetCurrentProcess(), file.get(), GetCurrentProcess(), inheritable.receive(), 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
        DWORD error = GetLastError();
        inheritable.release();
        file.reset();
        SetLastError(error);
    }
    return inheritable;
}

// A started process: both handles closed when it goes out of scope.
struct StartedProcess {
    UniqueHandle process;
    UniqueHandle thread;
};

// CreateProcessA with handles inherited, normal priority, the launcher's
// environment and current directory. False with the system error.
bool startProcess(const char* program, const std::string& commandLine, STARTUPINFOA& startup,
                  StartedProcess& started, std::uint32_t& error) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');  // CreateProcessA may write into its command line
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &info)) {
        error = GetLastError();
        return false;
    }
    started.process.reset(info.hProcess);
    started.thread.reset(info.hThread);
    error = 0;
    return true;
}

}  // namespace

ProbeRun WindowsProcesses::runProbe(const std::string& commandLine, const std::string& standardErrorFile,
                                    std::uint32_t timeoutMs) {
    ProbeRun run;
    UniqueHandle output = createInheritableFile(standardErrorFile);
    if (!output) {
        run.error = GetLastError();
        return run;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdError = output.get();
    StartedProcess started;
    if (!startProcess(nullptr, commandLine, startup, started, run.error)) return run;
    run.started = true;
    DWORD waited = WaitForSingleObject(started.process.get(), timeoutMs);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(started.process.get(), &exitCode);
    run.exitCode = exitCode;
    if (waited != WAIT_OBJECT_0) {
        run.timedOut = true;
        run.exitCode = STILL_ACTIVE;
        TerminateProcess(started.process.get(), 1);
        WaitForSingleObject(started.process.get(), terminationWaitMs);
    }
    return run;
}

bool WindowsProcesses::runUnpacker(const std::string& program, const std::string& commandLine,
                                   void (*started)(), std::uint32_t& error) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    StartedProcess process;
    if (!startProcess(program.c_str(), commandLine, startup, process, error)) return false;
    started();
    WaitForSingleObject(process.process.get(), INFINITE);
    return true;
}

bool WindowsProcesses::startExplorer(const std::string& commandLine, std::uint32_t& error) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    StartedProcess started;
    return startProcess(nullptr, commandLine, startup, started, error);
}

std::uint32_t WindowsProcesses::currentProcessId() { return GetCurrentProcessId(); }

std::u16string WindowsProcesses::commandLineWide() {
    return reinterpret_cast<const char16_t*>(GetCommandLineW());
}

void WindowsProcesses::exitProcess(int code) { ExitProcess(static_cast<UINT>(code)); }

void WindowsProcesses::exitThroughRuntime(int code) { std::exit(code); }

}  // namespace qarvo::os::win32
