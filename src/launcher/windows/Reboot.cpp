#include "launcher/windows/Reboot.h"

#include <windows.h>

namespace qarvo {

bool isWindowsNT() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = GetVersionExA(&version);
#pragma GCC diagnostic pop
    return ok && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void rebootMachine() {
    // Gives the process that asked for the restart time to end.
    Sleep(5000);
    if (isWindowsNT()) {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        DWORD error = GetLastError();  // ERROR_NOT_ALL_ASSIGNED when the privilege is not held
        CloseHandle(token);
        if (error != ERROR_SUCCESS) return;
    }
    ExitWindowsEx(EWX_REBOOT, 0);
}

}  // namespace qarvo
