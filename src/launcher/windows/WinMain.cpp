// The launcher's entry point: the start-up steps in their fixed order.
#include <windows.h>
#include <commctrl.h>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "instance/SingleInstance.h"
#include "jre/RuntimeSearch.h"
#include "jvm/JavaVMLauncher.h"
#include "launcher/CommandLineTail.h"
#include "launcher/LaunchSequence.h"
#include "launcher/NativeLibraryPath.h"
#include "launcher/StartupArguments.h"
#include "launcher/windows/Console.h"
#include "launcher/windows/Reboot.h"
#include "launcher/windows/WindowsSystem.h"
#include "payload/IncludedFiles.h"
#include "report/ErrorReport.h"
#include "splash/Splash.h"

using namespace qarvo;

// The C runtime's start-up code installs its own unhandled-exception filter
// (processor faults become the runtime's signals); the launcher adds none.
// The tail is taken from the ANSI command line by the launcher's own rule, not
// from the C runtime's lpCmdLine: that one lets quotes group inside the program
// name and counts every control character as a blank.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    installWindowsSystem();
    InitCommonControls();

    TailRequest tail = classifyTail(commandLineTail(GetCommandLineA()));
    if (tail.reboot) {
        // Nothing else runs in this mode: no configuration, no log.
        rebootMachine();
        return 0;
    }
    if (tail.languageRestart) setLanguageRestart(true);
    if (tail.quietErrors) setQuietErrors();

    ArgumentList arguments;
    splitCommandLine(reinterpret_cast<const char16_t*>(GetCommandLineW()), arguments);
    processStartupArguments(arguments);

    bool quietSwitches = getIntValue(key::consoleSwitches) != 0;
    if (quietSwitches || getIntValue(key::consoleSwitch) != 0) {
        WindowsConsoleControl console;
        applyConsoleSwitches(arguments, quietSwitches, console);
    }

    if (!languageRestart()) runSingleInstanceCheck(true, true);
    if (extractIncludedFiles(true) != 0) failWithMessageId(message::internalError, "16");
    prependNativeLibraryPath();
    if (!LoadDLL(true)) exitWithCode(83);
    if (getIntValue(key::splashWanted) != 0 && getIntValue(key::splashLibrary) != 0) {
        splashScreen(showCommand);
    }
    if (!launchJavaVM(arguments, true)) failWithMessageId(message::jvmNotStarted, nullptr);
    return 0;
}
