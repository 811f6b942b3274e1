// The top-level windows of the desktop, for bringing another process's
// windows to the front.
#pragma once

#include <cstdint>
#include <vector>

namespace qarvo::os {

using WindowHandle = void*;

class TopLevelWindows {
public:
    virtual ~TopLevelWindows() = default;
    // Every top-level window, in the order EnumWindows gives them.
    virtual std::vector<WindowHandle> enumerate() = 0;
    virtual bool isVisible(WindowHandle window) = 0;
    // GetWindowThreadProcessId: the id of the process that owns the window.
    virtual std::uint32_t processOf(WindowHandle window) = 0;
    // IsIconic.
    virtual bool isMinimised(WindowHandle window) = 0;
    // ShowWindow with SW_RESTORE.
    virtual void restore(WindowHandle window) = 0;
    // SetForegroundWindow; the system may refuse.
    virtual void setForeground(WindowHandle window) = 0;
    // GetLastActivePopup: the window's last active pop-up (the window itself
    // when it has none).
    virtual WindowHandle lastActivePopup(WindowHandle window) = 0;
};

}  // namespace qarvo::os
