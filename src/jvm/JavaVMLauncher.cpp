#include "jvm/JavaVMLauncher.h"

#include "jvm/JavaVMCreation.h"
#include "jvm/MainInvocation.h"
#include "os/System.h"
#include "report/Log.h"

namespace qarvo {

bool launchJavaVM(const ArgumentList& arguments, bool destroyAfterMain, const LauncherProcess& process) {
    logLine("launching program");
    const VmOptionList launcherOptions = buildLauncherOptions(process);
    if (!createJavaVM(launcherOptions, arguments)) {
        logError("could not initialize JVM");
        return false;
    }
    logLine("JVM created");
    if (!callMain(arguments)) {
        logError("could not call main");
        return false;
    }
    if (destroyAfterMain) {
        logLine("dest JVM");
        javaVM()->DestroyJavaVM();
    }
    logLine("launch done");
    return true;
}

bool launchJavaVM(const ArgumentList& arguments, bool destroyAfterMain) {
    LauncherProcess process;
    process.processId = os::processes().currentProcessId();
    process.consoleOutputCodePage = os::console().outputCodePage();
    return launchJavaVM(arguments, destroyAfterMain, process);
}

}  // namespace qarvo
