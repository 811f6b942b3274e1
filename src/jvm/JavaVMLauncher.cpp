#include "jvm/JavaVMLauncher.h"

#include "report/Log.h"

namespace qarvo {

// No runtime can be loaded yet, so this is never reached with one.
bool launchJavaVM(ArgumentList&, bool) {
    logLine("launching program");
    logError("could not initialize JVM");
    return false;
}

}  // namespace qarvo
