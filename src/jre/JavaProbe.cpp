#include "jre/JavaProbe.h"

#include <cstring>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "image/PeLayout.h"
#include "jre/Registry.h"
#include "jre/RuntimeSystem.h"
#include "jre/VersionCheck.h"
#include "payload/PathHelpers.h"
#include "payload/TempDirectories.h"
#include "report/Log.h"

namespace qarvo {

namespace {

// The version text recorded for a runtime whose "-version" run failed.
constexpr const char* failedRunVersion = "1.0.0";
// How much of a "-version" output is read: enough for the "Picked up ..."
// lines that the option variables (at most 32767 characters each) cause.
constexpr std::size_t probeOutputCapacity = 128 * 1024;

std::string cacheKey(const std::string& javaExe) {
    std::string key = versionCacheKey;
    for (char c : javaExe) key += c == '\\' ? '/' : c;
    return key;
}

std::string fileTimeBytes(const FileTime& time) {
    std::string bytes(8, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((time.low >> (8 * i)) & 0xFF);
        bytes[4 + i] = static_cast<char>((time.high >> (8 * i)) & 0xFF);
    }
    return bytes;
}

// A runtime's file as the PE reader reads it, through runtimeFiles().
class RuntimeFileSource final : public ByteSource {
public:
    explicit RuntimeFileSource(const std::string& path) : path_(path) {}
    Result readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        Result result;
        std::string bytes;
        result.ok = runtimeFiles().readFile(path_, offset, size, bytes);
        result.bytes = bytes.size() < size ? bytes.size() : size;
        std::memcpy(buffer, bytes.data(), result.bytes);
        return result;
    }
    std::uint64_t size() override { return unknownSize; }

private:
    const std::string& path_;
};

// The command line of a probe. CreateProcessA splits a command line without
// application name at the first blank, so a path that still has one (a volume
// without 8.3 names) is quoted.
std::string probeCommandLine(const std::string& javaExe) {
    std::string program;
    if (!runtimeFiles().shortPathName(javaExe, program)) program = javaExe;
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
    RuntimeFileSource file(path);
    std::uint16_t machine = 0;
    if (!readPeMachine(file, machine)) {
        logLine("no executable header in %s", path.c_str());
        return false;
    }
    const std::uint16_t own = libraryLoader().processMachine();
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
    FileTime lastWrite;
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

bool queryJavaVersion(const std::string& javaExe, const FileTime& lastWrite, std::string& version) {
    const std::string commandLine = probeCommandLine(javaExe);
    const std::string outputFile = makeTempFileName();
    const ProbeRun run = probeProcess().run(commandLine, outputFile, probeTimeoutMs);
    if (!run.started) {
        logLine("Could not create process %s > %s (error %d)", commandLine.c_str(), outputFile.c_str(),
                static_cast<int>(run.error));
        runtimeFiles().deleteFile(outputFile);
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
        runtimeFiles().deleteFile(outputFile);
        return false;
    }
    std::string output;
    bool found = runtimeFiles().readFile(outputFile, 0, probeOutputCapacity, output) &&
                 extractJavaVersion(output, version);
    if (!found) version.clear();
    logLine("Java version: %s", version.c_str());
    runtimeFiles().deleteFile(outputFile);
    return found;
}

bool readVersionCache(const std::string& javaExe, const FileTime& lastWrite, std::string& version) {
    const std::string key = cacheKey(javaExe);
    std::string recorded;
    if (!registry().readValue(Hive::currentUser, key, "LastWriteTime", 8, recorded) ||
        recorded != fileTimeBytes(lastWrite)) {
        return false;
    }
    return readRegistryText(Hive::currentUser, key, "Version", valueCapacity, version);
}

void writeVersionCache(const std::string& javaExe, const FileTime& lastWrite, const std::string& version) {
    const std::string key = cacheKey(javaExe);
    registry().writeValue(Hive::currentUser, key, "LastWriteTime", Registry::ValueType::binary,
                          fileTimeBytes(lastWrite));
    registry().writeValue(Hive::currentUser, key, "Version", Registry::ValueType::string, version);
}

}  // namespace qarvo
