#include "jvm/LauncherOptions.h"

#include <string>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "base/LanguageRestart.h"
#include "base/LauncherKind.h"
#include "base/PathHelpers.h"
#include "instance/SingleInstance.h"
#include "os/System.h"
#include "payload/IncludedFiles.h"
#include "payload/TempDirectories.h"
#include "base/Format.h"

namespace qarvo {

namespace {

std::string property(const char* name, const std::string& value) {
    return formatText("-D%s=%s", name, value.c_str());
}

}  // namespace

VmOptionList buildLauncherOptions(const LauncherProcess& process) {
    VmOptionList options;
    if (const char* semaphore = semaphoreName()) options.push_back(property("qarvo.semaphoreName", semaphore));
    if (isInstallerKind()) options.push_back(formatText("-D%s=true", "qarvo.isMoravelin"));
    options.push_back(property("qarvo.moduleName", launcherPath()));
    options.push_back(property("sun.java.command", launcherPath()));
    if (getIntValue(key::singleInstance) != 0) {
        options.push_back(property("qarvo.processCommFile", makeCommFileName(process.processId)));
    }
    options.push_back(property("qarvo.tempDir", launcherTempDirectory()));
    // Never negative, which the Java side would take for a restart: the
    // extraction refuses a section that would end beyond a 32-bit signed offset.
    options.push_back(languageRestart() ? property("qarvo.unextractedPosition", "-1")
                                        : formatText("-D%s=%d", "qarvo.unextractedPosition",
                                                     static_cast<int>(extractionEndPosition())));
    std::string path;
    if (!os::environment().get("PATH", path) || path.size() > libraryPathCapacity) path.clear();
    options.push_back("-Djava.library.path=" + path);
    std::string manPath;
    if (!os::environment().get("MANPATH", manPath)) {
        options.push_back(formatText("-D%s=cp%d", "qarvo.consoleCodepage", static_cast<int>(process.consoleOutputCodePage)));
    }
    return options;
}

}  // namespace qarvo
