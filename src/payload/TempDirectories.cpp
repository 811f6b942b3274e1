#include "payload/TempDirectories.h"

#include "base/CodePage.h"
#include "base/PathHelpers.h"
#include "os/System.h"
#include "report/ErrorReport.h"
#include "report/Log.h"

namespace qarvo {

namespace {

std::string launcherTemp;

// _mkdir and _rmdir: their results only decide, never report.
bool makeDirectory(const std::string& path) {
    std::uint32_t error = 0;
    return os::files().createDirectory(path, error);
}

// The long form shows whether the narrow functions can use the directory: a
// "?" stands for a character the code page cannot represent. A directory whose
// long form cannot be determined (it may not exist) is no more usable.
bool narrowFunctionsCanUse(const std::string& directory) {
    std::string longForm;
    return longPathName(directory, longForm) && longForm.find('?') == std::string::npos;
}

// The fallback candidates, in order; the first writable one wins.
bool chooseFallback(std::string& chosen) {
    std::string windows = os::files().windowsDirectory();
    const std::string candidates[] = {windows + "\\temp", "c:\\temp", "c:\\tmp", windows};
    for (const std::string& candidate : candidates) {
        if (isWritableDirectory(candidate)) {
            chosen = candidate;
            return true;
        }
    }
    // Only the root is writable: work in a directory of our own below it.
    if (isWritableDirectory("c:\\")) {
        chosen = "c:\\tmp";
        makeDirectory(chosen);
        if (isWritableDirectory(chosen)) return true;
    }
    return false;
}

}  // namespace

std::string getSystemTempDirectory() {
    std::string directory;
    std::uint32_t lastError = 0;
    std::uint32_t result = os::files().tempPath(directory, lastError);
    logLine("GetTempPath returned %d (last error %d)", static_cast<int>(result), static_cast<int>(lastError));
    if (directory.empty()) {
        std::string drive, path;
        os::environment().get("HOMEDRIVE", drive);
        os::environment().get("HOMEPATH", path);
        // Both values share one 8192-byte buffer.
        directory = (drive + path).substr(0, 8191);
        logLine("No temp dir defined. Using home %s", directory.c_str());
    } else if (result > 0) {
        bool made = makeDirectory(directory);
        logLine("make dir returned %d", made ? 0 : -1);
    }
    if (narrowFunctionsCanUse(directory)) return directory;
    if (!chooseFallback(directory)) failWithMessageId(message::noTempDirectory, nullptr);
    return directory;
}

bool isWritableDirectory(const std::string& path) {
    std::string test = path + "\\qvo_w_testdir";
    os::files().removeDirectory(test);  // left over from an earlier run
    if (!makeDirectory(test)) return false;
    bool visible = fileExists(test);
    os::files().removeDirectory(test);
    return visible;
}

std::string makeTempFileName() {
    std::string directory = getSystemTempDirectory();
    logLine("tempPath is %s", directory.c_str());
    std::string name;
    std::uint32_t lastError = 0;
    if (os::files().tempFileName(directory, "qvo", name, lastError) == 0) {
        logLine("GetTempFileName failed (last error %d)", static_cast<int>(lastError));
        name = formatText("%sqvo%d", withBackslash(directory).c_str(), os::machine().timeSeededRandom());
    }
    logLine("tempFile is %s", name.c_str());
    return name;
}

std::string makeCommFileName(std::uint32_t processId) {
    return formatText("%sqvo_p%d.tmp", withBackslash(getSystemTempDirectory()).c_str(), static_cast<int>(processId));
}

void createLauncherTempDirectory() {
    for (int attempt = 0; attempt < 5; ++attempt) {
        launcherTemp = makeTempFileName() + "_dir";
        logLine("Temp dir: %s", launcherTemp.c_str());
        std::uint32_t lastError = 0;
        if (os::files().createDirectory(launcherTemp, lastError)) return;
        logLine("Could not create dir (%d)", static_cast<int>(lastError));
    }
    failWithMessageId(message::internalError, "7");
}

const std::string& launcherTempDirectory() { return launcherTemp; }
void setLauncherTempDirectory(const std::string& path) { launcherTemp = path; }

}  // namespace qarvo
