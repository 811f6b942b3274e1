#include "config/ReadConfiguration.h"

#include "base/PathHelpers.h"
#include "config/ConfigBlockReader.h"
#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "config/LocaleTable.h"
#include "os/System.h"
#include "report/ErrorReport.h"
#include "report/Log.h"

namespace qarvo {

std::unique_ptr<os::ReadableFile> openOwnExecutable() {
    std::uint32_t error = 0;
    return os::files().openForReading(launcherPath(), error);
}

std::unique_ptr<os::ReadableFile> openOwnExecutableOrFail() {
    std::unique_ptr<os::ReadableFile> file = openOwnExecutable();
    if (!file) {
        logError("Could not open %s", launcherPath().c_str());
        failWithMessage("Error opening media file. Please move this file to an ascii-only path like c:\\");
    }
    return file;
}

const char* userLocaleName() { return localeNameForLangId(os::machine().userLanguageId()); }

void readConfiguration() {
    setMessageTextSource(configuredMessageText);
    ConfigReadFailure failure;
    {
        std::unique_ptr<os::ReadableFile> file = openOwnExecutableOrFail();
        failure = readConfigurationFrom(*file, userLocaleName);
    }
    if (failure != ConfigReadFailure::none) failWithMessage(configReadFailureMessage(failure));
    applyLauncherTypeRule();
}

void applyLauncherTypeRule() {
    const int type = getIntValue(key::applicationType);
    if (type != 1 && type != 5) setQuietErrors();
}

}  // namespace qarvo
