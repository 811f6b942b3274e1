#include "launcher/LaunchSequence.h"

#include <cstring>

#include "base/LanguageRestart.h"
#include "base/OutOfMemory.h"
#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "instance/SingleInstance.h"
#include "jre/RuntimeSearch.h"
#include "jvm/JavaVMLauncher.h"
#include "launcher/CommandLine.h"
#include "launcher/Console.h"
#include "launcher/NativeLibraryPath.h"
#include "launcher/Reboot.h"
#include "launcher/StartupArguments.h"
#include "os/System.h"
#include "payload/IncludedFiles.h"
#include "report/ErrorReport.h"
#include "splash/Splash.h"

namespace qarvo {

namespace {

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

class RealLaunchSteps final : public LaunchSteps {
public:
    void rebootMachine() override { qarvo::rebootMachine(); }
    void processStartupArguments(ArgumentList& arguments) override { qarvo::processStartupArguments(arguments); }
    bool obtainConsole() override { return qarvo::obtainConsole(); }
    void runSingleInstanceCheck(bool honourConfiguration, bool notifyRunningInstance) override {
        qarvo::runSingleInstanceCheck(honourConfiguration, notifyRunningInstance);
    }
    int extractIncludedFiles(bool createDirectory) override { return qarvo::extractIncludedFiles(createDirectory); }
    void prependNativeLibraryPath() override { qarvo::prependNativeLibraryPath(); }
    bool loadDLL(bool reportErrors) override { return LoadDLL(reportErrors); }
    void splashScreen(int showCommand) override { qarvo::splashScreen(showCommand); }
    bool launchJavaVM(const ArgumentList& arguments, bool destroyAfterMain) override {
        return qarvo::launchJavaVM(arguments, destroyAfterMain);
    }
};

RealLaunchSteps realSteps;

// Exit code of a launch that found no runtime it could load.
constexpr int noRuntimeExitCode = 83;

}  // namespace

LaunchSteps& realLaunchSteps() { return realSteps; }

TailRequest classifyTail(const char* tail) {
    TailRequest request;
    if (!tail) return request;
    request.reboot = std::strcmp(tail, "__mrv_reboot") == 0;
    request.languageRestart = startsWith(tail, "__mrv_lang_restart");
    request.quietErrors = startsWith(tail, "-q_mrv_internal");
    return request;
}

void applyConsoleSwitches(const ArgumentList& list, bool quietSwitches, LaunchSteps& steps) {
    for (const std::u16string& element : list) {
        if (quietSwitches && element == u"-q") {
            setQuietErrors();
        } else if (element == u"-console") {
            steps.obtainConsole();
        } else if (quietSwitches && element == u"-c") {
            setQuietErrors();
            if (!steps.obtainConsole()) {
                os::dialogs().showPlain("Error: Could not allocate console.", "moravelin");
                os::processes().exitThroughRuntime(1);
                __builtin_unreachable();  // a virtual call is not known to end the process
            }
            return;
        }
    }
}

int runLauncher(const char* tail, std::u16string_view commandLine, int showCommand, LaunchSteps& steps) {
    // A failed allocation from here on is reported to the user.
    setOutOfMemoryHandler(failOutOfMemory);
    os::machine().initCommonControls();
    const TailRequest request = classifyTail(tail);
    if (request.reboot) {
        // Nothing else runs in this mode: no configuration, no log.
        steps.rebootMachine();
        return 0;
    }
    if (request.languageRestart) setLanguageRestart(true);
    if (request.quietErrors) setQuietErrors();
    // Every message from now on closes the splash screen first.
    setBeforeMessageHook(closeSplashScreen);

    ArgumentList arguments;
    splitCommandLine(commandLine, arguments);
    steps.processStartupArguments(arguments);

    const bool quietSwitches = getIntValue(key::consoleSwitches) != 0;
    if (quietSwitches || getIntValue(key::consoleSwitch) != 0) applyConsoleSwitches(arguments, quietSwitches, steps);

    if (!languageRestart()) {
        constexpr bool honourConfiguration = true;
        constexpr bool notifyRunningInstance = true;
        steps.runSingleInstanceCheck(honourConfiguration, notifyRunningInstance);
    }
    constexpr bool createDirectory = true;
    if (steps.extractIncludedFiles(createDirectory) != 0) failWithMessageId(message::internalError, "16");
    steps.prependNativeLibraryPath();
    constexpr bool reportErrors = true;
    if (!steps.loadDLL(reportErrors)) exitWithCode(noRuntimeExitCode);
    if (getIntValue(key::splashWanted) != 0 && getIntValue(key::splashLibrary) != 0) steps.splashScreen(showCommand);
    constexpr bool destroyAfterMain = true;
    if (!steps.launchJavaVM(arguments, destroyAfterMain)) failWithMessageId(message::jvmNotStarted, nullptr);
    return 0;
}

}  // namespace qarvo
