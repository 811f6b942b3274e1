#include "jre/RuntimeSearch.h"

#include <algorithm>
#include <vector>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "jre/JavaProbe.h"
#include "jre/LibraryLoading.h"
#include "jre/ModernRuntimes.h"
#include "jre/PackedRuntime.h"
#include "jre/RegistryDiscovery.h"
#include "base/Architecture.h"
#include "base/FileReading.h"
#include "base/PathHelpers.h"
#include "os/System.h"
#include "payload/ApplicationDirectory.h"
#include "report/ErrorReport.h"
#include "report/Log.h"
#include "vmargs/VariableExpansion.h"

namespace qarvo {

namespace {

// Longest text the launcher's buffers hold.
constexpr std::size_t textCapacity = valueCapacity - 1;

std::vector<std::string> splitEntries(const std::string& sequence) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < sequence.size()) {
        std::size_t end = std::min(sequence.find(';', start), sequence.size());
        if (end > start) entries.push_back(sequence.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

// At least two characters, and a drive letter's colon or a UNC prefix.
bool isAbsoluteLocation(const std::string& location) {
    return location.size() >= 2 && (location[1] == ':' || location.compare(0, 2, "\\\\") == 0);
}

// Second pass: shipped runtimes accepted by their presence alone. A runtime
// this launcher cannot load is passed over here as in the first pass.
bool findRelativeLocation(const std::vector<std::string>& entries, std::string& javaExe,
                          std::string& description) {
    for (const std::string& entry : entries) {
        const std::string argument = entry.substr(1);
        const bool consider = entry[0] == 'B' ||
                              ((entry[0] == 'A' || entry[0] == 'R') && !isAbsoluteLocation(argument));
        if (!consider) continue;
        logLine("Testing relative location %s", argument.c_str());
        if (testLocation(javaExe, argument, "", "", true) && fileExists(javaExe) &&
            executableMatchesLauncher(javaExe)) {
            logLine("%s exists", javaExe.c_str());
            description = argument;
            return true;
        }
    }
    return false;
}

// First pass over the search sequence, with every entry's argument expanded.
FoundBy searchSequenceEntries(const std::vector<std::string>& entries, const std::string& lowest,
                              const std::string& highest, std::string& javaExe, std::string& description) {
    for (const std::string& entry : entries) {
        std::string argument = entry.substr(1);
        expandVariables(argument);
        logLine("Testing location %s (type %c)", argument.c_str(), entry[0]);
        FoundBy found = FoundBy::None;
        switch (entry[0]) {
            case 'A':
            case 'B':
            case 'R':
                if (testLocation(javaExe, argument, lowest, highest, false)) found = FoundBy::Location;
                break;
            case 'E':
                if (testEnvironmentVariable(javaExe, argument, lowest, highest)) found = FoundBy::EnvironmentVariable;
                break;
            case 'S':
                if (testSearchPath(javaExe, lowest, highest)) found = FoundBy::SearchPath;
                break;
            case 'Y':
                if (searchRegistry(javaExe, lowest, highest)) return FoundBy::Registry;
                break;
            case modernRuntimesLetter: {
                // Found as a location: a runtime that then fails to load is
                // named by its home.
                std::string home;
                if (searchModernRuntimes(javaExe, home, lowest, highest)) {
                    description = home;
                    return FoundBy::Location;
                }
                break;
            }
            default:
                break;
        }
        if (found != FoundBy::None) {
            description = argument;
            return found;
        }
    }
    return FoundBy::None;
}

// The preferred or the installer location file, tested with the version check.
bool testLocationFile(bool preferred, const std::string& lowest, const std::string& highest, std::string& javaExe,
                      std::string& description) {
    std::string location;
    if (!readLocationFile(location, preferred ? preferredLocationFile : installerLocationFile)) return false;
    if (preferred) {
        logLine("Has preferred location %s", location.c_str());
    } else {
        logLine("Has installer location %s", location.c_str());
    }
    if (!testLocation(javaExe, location, lowest, highest, false)) return false;
    logLine(preferred ? "Using preferred location" : "Using installer location");
    description = location;
    return true;
}

}  // namespace

bool LoadDLL(bool reportErrors) {
    std::string javaExe, description;
    const FoundBy foundBy = searchJvm(javaExe, description);
    if (foundBy == FoundBy::None) {
        logError("No JVM found");
        if (reportErrors) showMessageById(message::noRuntimeFound, launcherBits());
        return false;
    }
    logLine("Trying to load JVM-DLL from %s", javaExe.c_str());
    void* library = loadJvmLibrary(javaExe);
    setJvmHomeFromExecutable(javaExe);
    if (!library) logError("Could not get DLL-Handle.");
    const bool resolved = resolveCreateJavaVM(library);
    if (!resolved) logError("Could not load functions");
    if (library && resolved) {
        logLine("Loading of JVM-DLL successful");
        return true;
    }
    if (!reportErrors) return false;
    const bool sixtyFour = isSixtyFourBitLauncher();
    switch (foundBy) {
        case FoundBy::SearchPath:
            showMessageById(message::noRuntimeFound, launcherBits());
            break;
        case FoundBy::EnvironmentVariable:
            showMessageById(sixtyFour ? message::variableRuntimeBroken64 : message::variableRuntimeBroken,
                            description.c_str());
            break;
        case FoundBy::Location:
            showMessageById(sixtyFour ? message::locationRuntimeBroken64 : message::locationRuntimeBroken,
                            description.c_str());
            break;
        default:
            showMessageById(message::jvmNotStarted, nullptr);
            break;
    }
    return false;
}

FoundBy searchJvm(std::string& javaExe, std::string& description) {
    logLine("Searching for a JVM");
    const std::string sequence = getStringValue(key::searchSequence);
    const std::string lowest = getStringValue(key::lowestVersion);
    const std::string highest = getStringValue(key::highestVersion);

    if (testLocationFile(true, lowest, highest, javaExe, description)) {
        return FoundBy::Location;
    }
    const std::vector<std::string> entries = splitEntries(sequence);
    FoundBy found = searchSequenceEntries(entries, lowest, highest, javaExe, description);
    if (found != FoundBy::None) return found;
    if (testLocationFile(false, lowest, highest, javaExe, description)) {
        return FoundBy::Location;
    }
    if (findRelativeLocation(entries, javaExe, description)) return FoundBy::Location;

    if (findPreviousInstallation(os::Hive::currentUser, javaExe, lowest, highest)) {
        logLine("found JRE from previous installation (user) %s", javaExe.c_str());
        return FoundBy::Registry;
    }
    if (findPreviousInstallation(os::Hive::localMachine, javaExe, lowest, highest)) {
        logLine("found JRE from previous installation (machine) %s", javaExe.c_str());
        return FoundBy::Registry;
    }
    logLine("Search sequence finished");
    for (const char* name : {"QARVO_JAVA_HOME", "MORAVELIN_JAVA_HOME"}) {
        if (testEnvironmentVariable(javaExe, name, lowest, highest)) {
            description = name;
            return FoundBy::EnvironmentVariable;
        }
    }
    return FoundBy::None;
}

bool testLocation(std::string& javaExe, const std::string& location, const std::string& lowest,
                  const std::string& highest, bool existenceOnly) {
    const std::string home = absolutePath(location, false);
    unpackPackedRuntime(home);
    const bool found = findJavaExe(javaExe, home);
    if (existenceOnly) return true;
    std::string version;
    return found && checkJavaExe(javaExe, version, lowest, highest, true);
}

bool testEnvironmentVariable(std::string& javaExe, const std::string& name, const std::string& lowest,
                             const std::string& highest) {
    std::string home;
    if (!os::environment().get(name.c_str(), home) || home.empty()) return false;
    if (home.size() > textCapacity) {
        // The value does not fit the launcher's buffers; such a variable is
        // taken as not set rather than cut into some other path.
        logError("%s is longer than %u bytes", name.c_str(), static_cast<unsigned>(textCapacity));
        return false;
    }
    std::replace(home.begin(), home.end(), '/', '\\');
    std::string version;
    return findJavaExe(javaExe, home) && checkJavaExe(javaExe, version, lowest, highest, false);
}

bool testSearchPath(std::string& javaExe, const std::string& lowest, const std::string& highest) {
    std::string found;
    if (!os::files().searchPath("java.exe", found)) return false;
    javaExe = found;
    std::string version;
    return checkJavaExe(javaExe, version, lowest, highest, false);
}

bool readLocationFile(std::string& line, const char* name) {
    const std::string path = applicationDirectoryFile(name);
    std::string bytes;
    if (!readFileBytes(path, 0, textCapacity + 1, bytes) || bytes.empty()) return false;
    std::size_t end = std::min({bytes.find('\n'), bytes.find('\0'), textCapacity, bytes.size()});
    line = bytes.substr(0, end);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return true;
}

}  // namespace qarvo
