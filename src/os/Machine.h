// Facts about the machine and the session, and what the launcher asks of them
// as a whole: the Windows family, the restart, the clock, the user's language.
#pragma once

#include <cstdint>
#include <string>

namespace qarvo::os {

class Machine {
public:
    virtual ~Machine() = default;
    // InitCommonControls.
    virtual void initCommonControls() = 0;
    // True when GetVersionExA succeeds and reports VER_PLATFORM_WIN32_NT.
    virtual bool isWindowsNT() = 0;
    // Enables SeShutdownPrivilege in the process's own token. False when the
    // token cannot be opened or the privilege was not enabled (GetLastError
    // not 0 afterwards, the not-all-assigned case included).
    virtual bool enableShutdownPrivilege() = 0;
    // ExitWindowsEx(EWX_REBOOT, 0); its result is not reported.
    virtual void requestRestart() = 0;
    // Sleep.
    virtual void sleep(std::uint32_t milliseconds) = 0;
    // The local time as ctime() formats it, ending in a line feed.
    virtual std::string localTimeText() = 0;
    // rand() after srand(time(NULL)).
    virtual int timeSeededRandom() = 0;
    // The low 16 bits of GetUserDefaultLCID(): the user's language identifier.
    virtual std::uint16_t userLanguageId() = 0;
};

}  // namespace qarvo::os
