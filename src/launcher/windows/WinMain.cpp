// The launcher's entry point: the start-up steps in their fixed order.
#include <windows.h>
#include <commctrl.h>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "instance/SingleInstance.h"
#include "jre/RuntimeSearch.h"
#include "jre/windows/RegistryWin.h"
#include "jre/windows/RuntimeSystemWin.h"
#include "jvm/JavaVMLauncher.h"
#include "launcher/LaunchSequence.h"
#include "launcher/NativeLibraryPath.h"
#include "launcher/StartupArguments.h"
#include "launcher/windows/Console.h"
#include "launcher/windows/Reboot.h"
#include "os/windows/EnvironmentWin.h"
#include "os/windows/FileSystemWin.h"
#include "payload/IncludedFiles.h"
#include "payload/windows/PathSystemWin.h"
#include "payload/windows/TempSystemWin.h"
#include "report/ErrorReport.h"
#include "report/windows/ErrorSinkWin.h"
#include "report/windows/LogPlatformWin.h"
#include "splash/Splash.h"

using namespace qarvo;

namespace {

WindowsEnvironment windowsEnvironment;
WindowsLogPlatform windowsLogPlatform;
WindowsErrorSink windowsErrorSink;
WindowsPathSystem windowsPathSystem;
WindowsFileSystem windowsFileSystem;
WindowsTempSystem windowsTempSystem;
WindowsRegistry windowsRegistry;
WindowsRuntimeFiles windowsRuntimeFiles;
WindowsProbeProcess windowsProbeProcess;
WindowsLibraryLoader windowsLibraryLoader;

void installSystem() {
    installEnvironment(windowsEnvironment);
    installLogPlatform(windowsLogPlatform);
    installErrorSink(windowsErrorSink);
    installPathSystem(windowsPathSystem);
    installFileSystem(windowsFileSystem);
    installTempSystem(windowsTempSystem);
    installRegistry(windowsRegistry);
    installRuntimeFiles(windowsRuntimeFiles);
    installProbeProcess(windowsProbeProcess);
    installLibraryLoader(windowsLibraryLoader);
}

}  // namespace

// The C runtime's start-up code installs its own unhandled-exception filter
// (processor faults become the runtime's signals); the launcher adds none.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLineTail, int showCommand) {
    installSystem();
    InitCommonControls();

    TailRequest tail = classifyTail(commandLineTail);
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
