// The launch of the virtual machine for this process: the facts only Windows
// knows, handed to the portable launch.
#include <windows.h>

#include "jvm/JavaVMLauncher.h"

namespace qarvo {

bool launchJavaVM(ArgumentList& arguments, bool destroyAfterMain) {
    LauncherProcess process;
    process.processId = GetCurrentProcessId();
    process.consoleOutputCodePage = GetConsoleOutputCP();
    return launchJavaVM(arguments, destroyAfterMain, process);
}

}  // namespace qarvo
