#include "launcher/NativeLibraryPath.h"

#include <string>

#include "base/PathHelpers.h"
#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "os/System.h"
#include "report/Log.h"
#include "vmargs/VariableExpansion.h"

namespace qarvo {

void prependNativeLibraryPath() {
    std::string directories = getStringValue(key::nativeLibraryPath);
    logLine("native lib dir is %s", directories.c_str());
    expandVariables(directories);
    std::string path = resolvePathList(directories);
    if (!path.empty() && path.back() != ';') path += ';';
    // The old PATH follows in full, however long: cutting it to fit a fixed
    // size would drop the directories behind the cut, which the runtime and
    // the system may need. A value beyond the system's own limit fails to be
    // set, and the failure is logged.
    std::string old;
    if (os::environment().get("PATH", old)) path += old;
    std::uint32_t error = 0;
    if (os::environment().set("PATH", path.c_str(), error)) {
        logLine("Setting PATH (native libs) %s", path.c_str());
    } else {
        logLine("Setting PATH (native libs) %s failed with error %d", path.c_str(), static_cast<int>(error));
    }
    // The C runtime took its own copy of the environment at start.
    os::environment().putRuntime("PATH=" + path);
}

}  // namespace qarvo
