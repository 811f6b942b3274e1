#include <windows.h>

#include "os/windows/Services.h"

namespace qarvo::os::win32 {

namespace {

BOOL CALLBACK collectWindow(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<WindowHandle>*>(found)->push_back(window);
    return TRUE;
}

HWND hwnd(WindowHandle window) { return static_cast<HWND>(window); }

}  // namespace

std::vector<WindowHandle> WindowsTopLevelWindows::enumerate() {
    std::vector<WindowHandle> found;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool WindowsTopLevelWindows::isVisible(WindowHandle window) { return IsWindowVisible(hwnd(window)) != 0; }

std::uint32_t WindowsTopLevelWindows::processOf(WindowHandle window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd(window), &processId);
    return processId;
}

bool WindowsTopLevelWindows::isMinimised(WindowHandle window) { return IsIconic(hwnd(window)) != 0; }

void WindowsTopLevelWindows::restore(WindowHandle window) { ShowWindow(hwnd(window), SW_RESTORE); }

void WindowsTopLevelWindows::setForeground(WindowHandle window) { SetForegroundWindow(hwnd(window)); }

WindowHandle WindowsTopLevelWindows::lastActivePopup(WindowHandle window) {
    return GetLastActivePopup(hwnd(window));
}

}  // namespace qarvo::os::win32
