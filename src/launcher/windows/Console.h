#pragma once

#include "launcher/LaunchSequence.h"

namespace qarvo {

// Attaches to the parent's console, or opens a new one. The C runtime's
// streams are not reopened.
bool obtainConsole();

class WindowsConsoleControl final : public ConsoleControl {
public:
    bool obtainConsole() override { return qarvo::obtainConsole(); }
    [[noreturn]] void consoleUnavailable() override;
};

}  // namespace qarvo
