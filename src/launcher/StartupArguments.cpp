#include "launcher/StartupArguments.h"

#include "base/LanguageRestart.h"
#include "base/LauncherKind.h"
#include "base/PathHelpers.h"
#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "config/ReadConfiguration.h"
#include "os/System.h"
#include "report/Log.h"

namespace qarvo {

bool removeLogSwitch(ArgumentList& list) {
    if (list.size() < 2) return false;
    const std::u16string& first = list[1];
    if (first != u"-create-mrv-log" && first != u"-create-qvo-log" && first != u"/create-mrv-log" &&
        first != u"/create-qvo-log") {
        return false;
    }
    list.erase(list.begin() + 1);
    setCreateLogRequested();
    return true;
}

void selectLauncherKind() {
    char buffer[key::launcherKindCapacity];
    getStringValue(key::launcherKind, buffer, sizeof buffer);
    setLauncherKind(launcherKindOf(buffer[0]));
}

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
            os::files().setCurrentDirectory(resolved);
            logLine("change working directory to %s", resolved.c_str());
        } else {
            logLine("working directory unchanged");
        }
    }

    if (createLogRequested()) offerLogLocation(builderName());
}

}  // namespace qarvo
