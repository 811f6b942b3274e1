#include <windows.h>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "config/windows/OwnExecutable.h"
#include "launcher/LaunchSequence.h"
#include "launcher/StartupArguments.h"
#include "payload/PathHelpers.h"
#include "report/Log.h"
#include "report/windows/LogPlatformWin.h"

namespace qarvo {

void processStartupArguments(ArgumentList& list) {
    removeLogSwitch(list);
    // The first step that logs: the switch above is known before the log
    // decision is taken.
    readConfiguration();
    selectLauncherKind();

    if (!languageRestart()) {
        std::string directory = getStringValue(key::workingDirectory);
        if (!directory.empty()) {
            std::string resolved = absolutePath(directory, true);
            // A directory that does not exist leaves the current one; the log
            // still names what was asked for.
            SetCurrentDirectoryA(resolved.c_str());
            logLine("change working directory to %s", resolved.c_str());
        } else {
            logLine("working directory unchanged");
        }
    }

    if (createLogRequested()) offerLogLocation(builderName());
}

}  // namespace qarvo
