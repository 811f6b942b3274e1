#include <windows.h>

#include <cstdio>

#include "os/windows/Services.h"

namespace qarvo::os::win32 {

namespace {

using AttachConsoleFunction = BOOL(WINAPI*)(DWORD);

// Looked up at run time: systems before Windows XP lack AttachConsole.
AttachConsoleFunction attachConsoleFunction() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<AttachConsoleFunction>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "AttachConsole")))
                  : nullptr;
}

}  // namespace

bool WindowsConsole::canAttach() { return attachConsoleFunction() != nullptr; }

bool WindowsConsole::attachToParent(std::uint32_t& error) {
    AttachConsoleFunction attach = attachConsoleFunction();
    if (!attach) {
        error = ERROR_CALL_NOT_IMPLEMENTED;
        return false;
    }
    bool attached = attach(ATTACH_PARENT_PROCESS) != 0;
    error = attached ? 0 : GetLastError();
    return attached;
}

bool WindowsConsole::allocate() { return AllocConsole() != 0; }

std::uint32_t WindowsConsole::outputCodePage() { return GetConsoleOutputCP(); }

void WindowsConsole::writeStandardError(const std::string& text) {
    std::fputs(text.c_str(), stderr);
    std::fputs("\n", stderr);
    std::fflush(stderr);
}

void WindowsConsole::writeStandardOutput(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace qarvo::os::win32
