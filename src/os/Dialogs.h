// The standard message boxes, the launcher's only windows of its own. None has
// an owner window.
#pragma once

#include <string>

namespace qarvo::os {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // MB_ICONERROR: the error icon and an OK button. Returns when closed.
    virtual void showError(const std::string& text, const std::string& caption) = 0;
    // MB_OK: an OK button and no icon.
    virtual void showPlain(const std::string& text, const std::string& caption) = 0;
    // MB_YESNO: true when the answer is "Yes".
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
};

}  // namespace qarvo::os
