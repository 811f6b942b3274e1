#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <ctime>

#include "os/windows/Handles.h"
#include "os/windows/Services.h"

namespace qarvo::os::win32 {

void WindowsMachine::initCommonControls() { InitCommonControls(); }

bool WindowsMachine::isWindowsNT() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = GetVersionExA(&version);
#pragma GCC diagnostic pop
    return ok && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool WindowsMachine::enableShutdownPrivilege() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.receive())) {
        token.release();
        return false;
    }
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    // ERROR_NOT_ALL_ASSIGNED when the privilege is not held: the call itself succeeds.
    return GetLastError() == ERROR_SUCCESS;
}

void WindowsMachine::requestRestart() { ExitWindowsEx(EWX_REBOOT, 0); }

void WindowsMachine::sleep(std::uint32_t milliseconds) { Sleep(milliseconds); }

std::string WindowsMachine::localTimeText() {
    std::time_t now = std::time(nullptr);
    const char* text = std::ctime(&now);
    return text ? text : "\n";
}

int WindowsMachine::timeSeededRandom() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return std::rand();
}

std::uint16_t WindowsMachine::userLanguageId() { return LOWORD(GetUserDefaultLCID()); }

}  // namespace qarvo::os::win32
