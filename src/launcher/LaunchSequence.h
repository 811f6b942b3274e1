// Decisions of the start-up sequence that do not need the system: the
// command-line tail prefixes and the console switches.
#pragma once

#include "launcher/CommandLine.h"

namespace qarvo {

// What the narrow command-line tail (the command line without the program
// name) asks for.
struct TailRequest {
    bool reboot = false;           // exactly "__mrv_reboot", nothing before or after
    bool languageRestart = false;  // begins with "__mrv_lang_restart"
    bool quietErrors = false;      // begins with "-q_mrv_internal"
};
TailRequest classifyTail(const char* tail);

// The launcher was started as a language restart (set once by the entry point).
bool languageRestart();
void setLanguageRestart(bool value);

// What the console switches need from the system.
class ConsoleControl {
public:
    virtual ~ConsoleControl() = default;
    // Attaches to the parent's console or opens a new one; false when neither worked.
    virtual bool obtainConsole() = 0;
    // "-c" could not get a console: tells the user and ends the process.
    [[noreturn]] virtual void consoleUnavailable() = 0;
};

// Walks every element (element 0 included): "-q" (with key 154) quiets errors,
// "-console" obtains a console, "-c" (with key 154) quiets errors, obtains a
// console and ends the walk. The switches stay in the list.
void applyConsoleSwitches(const ArgumentList& list, bool quietSwitches, ConsoleControl& console);

}  // namespace qarvo
