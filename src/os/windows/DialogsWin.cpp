#include <windows.h>

#include "os/windows/Services.h"

namespace qarvo::os::win32 {

void WindowsDialogs::showError(const std::string& text, const std::string& caption) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR);
}

void WindowsDialogs::showPlain(const std::string& text, const std::string& caption) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

bool WindowsDialogs::askYesNo(const std::string& text, const std::string& caption) {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO) == IDYES;
}

}  // namespace qarvo::os::win32
