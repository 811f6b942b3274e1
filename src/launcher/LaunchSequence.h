// The start-up sequence: every step of a launch in its fixed order, with the
// gates that decide which run. Portable: WinMain only installs the system and
// calls runLauncher.
#pragma once

#include <string_view>

#include "base/ArgumentList.h"

namespace qarvo {

// What the narrow command-line tail (the command line without the program
// name) asks for.
struct TailRequest {
    bool reboot = false;           // exactly "__mrv_reboot", nothing before or after
    bool languageRestart = false;  // begins with "__mrv_lang_restart"
    bool quietErrors = false;      // begins with "-q_mrv_internal"
};
TailRequest classifyTail(const char* tail);

// The steps the sequence calls, in the order it calls them. runLauncher takes
// them through this interface so that a test can watch the order and the
// gates; realLaunchSteps() are the launcher's own.
class LaunchSteps {
public:
    virtual ~LaunchSteps() = default;
    virtual void rebootMachine() = 0;
    virtual void processStartupArguments(ArgumentList& arguments) = 0;
    virtual bool obtainConsole() = 0;
    virtual void runSingleInstanceCheck(bool honourConfiguration, bool notifyRunningInstance) = 0;
    virtual int extractIncludedFiles(bool createDirectory) = 0;
    virtual void prependNativeLibraryPath() = 0;
    virtual bool loadDLL(bool reportErrors) = 0;
    virtual void splashScreen(int showCommand) = 0;
    virtual bool launchJavaVM(const ArgumentList& arguments, bool destroyAfterMain) = 0;
};
LaunchSteps& realLaunchSteps();

// The whole launch. `tail` is the narrow command line after the program name
// and the blanks behind it, `commandLine` the whole wide command line,
// `showCommand` the window show state the process was started with. Returns
// the process exit code (0) unless a step ends the process: 1 through the
// error reporting, 83 when no runtime could be loaded, a second instance 0.
int runLauncher(const char* tail, std::u16string_view commandLine, int showCommand,
                LaunchSteps& steps = realLaunchSteps());

// The console switches, when keys 154 or 156 allow them: every element of the
// argument list (element 0 included) is examined in order. "-q" (with key 154)
// quiets errors; "-console" obtains a console, whatever the result; "-c" (with
// key 154) quiets errors and obtains a console, ending the process with exit
// code 1 after a plain box when there is none, and ends the walk. The switches
// stay in the list.
void applyConsoleSwitches(const ArgumentList& list, bool quietSwitches, LaunchSteps& steps);

}  // namespace qarvo
