#include "instance/WindowRaising.h"

#include "os/System.h"
#include "report/Log.h"

namespace qarvo {

void activateProcessWindows(std::uint32_t processId, bool restore) {
    // A window whose owner the system cannot tell reports process 0.
    if (processId == 0) return;
    os::TopLevelWindows& windows = os::windows();
    for (os::WindowHandle window : windows.enumerate()) {
        if (!windows.isVisible(window) || windows.processOf(window) != processId) continue;
        logLine("found window %p", window);
        if (restore && windows.isMinimised(window)) {
            logLine("restore");
            windows.restore(window);
        }
        logLine("foreground");
        windows.setForeground(window);
        logLine("popup");
        windows.setForeground(windows.lastActivePopup(window));
        logLine("done");
    }
}

}  // namespace qarvo
