#include "launcher/windows/Console.h"

#include <windows.h>

#include <cstdlib>

namespace qarvo {

bool obtainConsole() {
    // Looked up at run time: systems before Windows XP lack AttachConsole.
    using AttachConsoleFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto attach = kernel ? reinterpret_cast<AttachConsoleFn>(
                               reinterpret_cast<void*>(GetProcAddress(kernel, "AttachConsole")))
                         : nullptr;
    if (attach) {
        // Access denied means the process has a console already.
        if (attach(ATTACH_PARENT_PROCESS) || GetLastError() == ERROR_ACCESS_DENIED) return true;
    }
    return AllocConsole() != 0;
}

void WindowsConsoleControl::consoleUnavailable() {
    MessageBoxA(nullptr, "Error: Could not allocate console.", "moravelin", MB_OK);
    std::exit(1);
}

}  // namespace qarvo
