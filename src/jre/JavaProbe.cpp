#include "jre/JavaProbe.h"

#include <cstring>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "base/CodePage.h"
#include "base/FileReading.h"
#include "base/PathHelpers.h"
#include "image/PeLayout.h"
#include "jre/Registry.h"
#include "jre/VersionCheck.h"
#include "os/System.h"
#include "payload/TempDirectories.h"
#include "report/Log.h"

namespace qarvo {

namespace {

// The version text recorded for a runtime whose "-version" run failed.
constexpr const char* failedRunVersion = "1.0.0";
// How much of a "-version" output is read: enough for the "Picked up ..."
// lines that the option variables (at most 32767 characters each) cause.
constexpr std::size_t probeOutputCapacity = 128 * 1024;

constexpr std::uint32_t errorSharingViolation = 32;
constexpr std::uint32_t sharingRetryMs = 10;
constexpr std::uint32_t sharingWaitMs = 2000;

// The registry key of an executable's cache entry: its path with "/" for every
// "" that is a character of its own.
std::string cacheKey(const std::string& javaExe) {
    std::string path = javaExe;
    replaceCharacter(path, '\\', '/');
    return versionCacheKey + path;
}

std::string fileTimeBytes(const os::FileTime& time) {
    std::string bytes(8, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((time.low >> (8 * i)) & 0xFF);
        bytes[4 + i] = static_cast<char>((time.high >> (8 * i)) & 0xFF);
    }
    return bytes;
}

// The command line of a probe. CreateProcessA splits a command line without
// application name at the first blank, so a path that still has one (a volume
// without 8.3 names) is quoted.
std::string probeCommandLine(const std::string& javaExe) {
    std::string program;
    if (!os::files().shortPathName(javaExe, 8192, program)) program = javaExe;
    if (program.find(' ') != std::string::npos) program = "\"" + program + "\"";
    return program + " -version";
}

}  // namespace

bool findJavaExe(std::string& javaExe, const std::string& home) {
    javaExe = home + "\\jre\\bin\\java.exe";
    if (getIntValue(key::requireJdk) != 0) {
        if (fileExists(home + "\\lib\\tools.jar")) return true;
        if (!fileExists(home + "\\bin\\javac.exe")) return false;
        javaExe = home + "\\bin\\java.exe";
        return true;
    }
    if (!fileExists(javaExe)) javaExe = home + "\\bin\\java.exe";
    return true;
}

bool executableMatchesLauncher(const std::string& path) {
    std::uint16_t machine = 0;
    std::uint32_t error = 0;
    std::unique_ptr<os::ReadableFile> file = os::files().openForReading(path, error);
    if (!file || !readPeMachine(*file, machine)) {
        logLine("no executable header in %s", path.c_str());
        return false;
    }
    const std::uint16_t own = os::libraries().processMachine();
    if (machine != own) {
        logLine("machine type 0x%04x of %s is not the launcher's 0x%04x", static_cast<unsigned>(machine),
                path.c_str(), static_cast<unsigned>(own));
        return false;
    }
    return true;
}

bool checkJavaExe(std::string& javaExe, std::string& version, const std::string& lowest,
                  const std::string& highest, bool skipBetaCheck) {
    logLine("checkJavaExe (%s, [out], %s, %s, %d)", javaExe.c_str(), lowest.c_str(), highest.c_str(),
            skipBetaCheck ? 1 : 0);
    javaExe = absolutePath(javaExe, false);
    bool verdict = false;
    os::FileTime lastWrite;
    if (!findFileTime(javaExe, &lastWrite)) {
        logLine("file doesn't exist");
    } else {
        logLine("file exists");
        version.clear();
        // The cache is shared with launchers of other machine types: an
        // executable this launcher cannot use is rejected before it is looked up.
        if (!executableMatchesLauncher(javaExe)) {
            verdict = false;
        } else if (readVersionCache(javaExe, lastWrite, version)) {
            logLine("got version from registry %s", version.c_str());
            verdict = versionAcceptable(version, lowest, highest, skipBetaCheck);
        } else if (queryJavaVersion(javaExe, lastWrite, version)) {
            logLine("got version from execution %s", version.c_str());
            writeVersionCache(javaExe, lastWrite, version);
            verdict = versionAcceptable(version, lowest, highest, skipBetaCheck);
        } else {
            logLine("couldn't get version");
        }
        if (verdict && getIntValue(key::applicationType) == 1 && javaExe.size() >= 4) {
            javaExe.insert(javaExe.size() - 4, "w");
            verdict = fileExists(javaExe);
        }
    }
    logLine("checkJavaExe returning %d", verdict ? 1 : 0);
    return verdict;
}

bool queryJavaVersion(const std::string& javaExe, const os::FileTime& lastWrite, std::string& version) {
    const std::string commandLine = probeCommandLine(javaExe);
    const std::string outputFile = makeTempFileName();
    const os::ProbeRun run = os::processes().runProbe(commandLine, outputFile, probeTimeoutMs);
    if (!run.started) {
        logLine("Could not create process %s > %s (error %d)", commandLine.c_str(), outputFile.c_str(),
                static_cast<int>(run.error));
        deleteProbeOutput(outputFile);
        return false;
    }
    logLine("Exit Code %d", static_cast<int>(run.exitCode));
    if (run.timedOut) {
        logLine("Terminating process");
    } else if (run.exitCode != 0) {
        // A runtime that cannot even report its version is not run again
        // until it changes.
        writeVersionCache(javaExe, lastWrite, failedRunVersion);
    }
    if (run.timedOut || run.exitCode != 0) {
        deleteProbeOutput(outputFile);
        return false;
    }
    std::string output;
    bool found = readFileBytes(outputFile, 0, probeOutputCapacity, output) &&
                 extractJavaVersion(output, version);
    if (!found) version.clear();
    logLine("Java version: %s", version.c_str());
    deleteProbeOutput(outputFile);
    return found;
}

bool readVersionCache(const std::string& javaExe, const os::FileTime& lastWrite, std::string& version) {
    const std::string key = cacheKey(javaExe);
    std::string recorded;
    if (!os::registry().readValue(os::Hive::currentUser, os::RegistryView::own, key, "LastWriteTime", 8, recorded) ||
        recorded != fileTimeBytes(lastWrite)) {
        return false;
    }
    return readRegistryText(os::Hive::currentUser, key, "Version", valueCapacity, version);
}

void writeVersionCache(const std::string& javaExe, const os::FileTime& lastWrite, const std::string& version) {
    const std::string key = cacheKey(javaExe);
    os::registry().writeValue(os::Hive::currentUser, os::RegistryView::own, key, "LastWriteTime",
                              os::Registry::ValueType::binary, fileTimeBytes(lastWrite));
    os::registry().writeValue(os::Hive::currentUser, os::RegistryView::own, key, "Version",
                              os::Registry::ValueType::string, version);
}

bool deleteProbeOutput(const std::string& path) {
    for (std::uint32_t waited = 0;; waited += sharingRetryMs) {
        std::uint32_t error = 0;
        if (os::files().deleteFile(path, error)) return true;
        if (error != errorSharingViolation || waited >= sharingWaitMs) return false;
        os::machine().sleep(sharingRetryMs);
    }
}

}  // namespace qarvo
