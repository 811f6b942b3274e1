#include "testing/TestSystem.h"

#include <sstream>

#include "base/LanguageRestart.h"
#include "base/LauncherKind.h"
#include "base/PathHelpers.h"
#include "config/Configuration.h"
#include "instance/SingleInstance.h"
#include "launcher/StartupArguments.h"
#include "payload/IncludedFiles.h"
#include "payload/TempDirectories.h"
#include "report/ErrorReport.h"
#include "report/Log.h"
#include "splash/Splash.h"
#include "vmargs/VariableExpansion.h"
#include "vmargs/VmOptions.h"

namespace qarvo::testing {

void resetCoreState() {
    clearConfiguration();
    resetLogForTesting();
    resetErrorReportForTesting();
    setMessageTextSource(configuredMessageText);
    resetPathCachesForTesting();
    setLanguageRestart(false);
    setLauncherKind(LauncherKind::other);
    setLauncherTempDirectory("");
    resetJvmHomeForTesting();
    resetIncludedFilesForTesting();
    resetSplashScreenForTesting();
    resetSingleInstanceForTesting();
    setExtractionEndPositionForTesting(0);
}

TestSystem::TestSystem() { resetCoreState(); }

TestSystem::~TestSystem() { resetCoreState(); }

void TestSystem::enableLog() { setCreateLogRequested(); }

std::vector<std::string> TestSystem::logLines() const {
    std::vector<std::string> lines;
    const char* path = logFilePath();
    if (!path) return lines;
    std::stringstream content(files.content(path));
    std::string line;
    while (std::getline(content, line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> TestSystem::logLinesStartingWith(std::initializer_list<const char*> prefixes) const {
    std::vector<std::string> found;
    for (const std::string& line : logLines()) {
        for (const char* prefix : prefixes) {
            if (line.rfind(prefix, 0) == 0) {
                found.push_back(line);
                break;
            }
        }
    }
    return found;
}

void TestSystem::setKey(std::int32_t key, const std::string& value) { configurationMaps().stringValues[key] = value; }

void TestSystem::setKind(const char* kind) {
    setKey(2001, kind);
    selectLauncherKind();
}

void TestSystem::setLauncherPath(const std::string& path) {
    libraries.moduleName = path;
    codePage.narrowToWide(path, libraries.moduleNameWide);
    resetPathCachesForTesting();
}

}  // namespace qarvo::testing
