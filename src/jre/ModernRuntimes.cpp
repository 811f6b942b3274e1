#include "jre/ModernRuntimes.h"

#include <algorithm>

#include "base/CodePage.h"
#include "base/PathHelpers.h"
#include "config/Configuration.h"
#include "jre/JavaProbe.h"
#include "jre/Registry.h"
#include "jre/VersionCheck.h"
#include "os/System.h"
#include "report/Log.h"

namespace qarvo {

namespace {

// Keys whose subkeys are installs: the value `value` of the key `below` under
// each subkey names its home.
struct InstallKeys {
    const char* key;
    const char* below;
    const char* value;
};
constexpr InstallKeys installKeys[] = {
    {"SOFTWARE\\JavaSoft\\JDK", "", "JavaHome"},
    {"SOFTWARE\\JavaSoft\\JRE", "", "JavaHome"},
    {"SOFTWARE\\Eclipse Adoptium\\JDK", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Eclipse Adoptium\\JRE", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\AdoptOpenJDK\\JDK", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\AdoptOpenJDK\\JRE", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Eclipse Foundation\\JDK", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Eclipse Foundation\\JRE", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Microsoft\\JDK", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Azul Systems\\Zulu", "", "InstallationPath"},
    {"SOFTWARE\\Azul Systems\\Zulu 32-bit", "", "InstallationPath"},
    {"SOFTWARE\\BellSoft\\Liberica", "", "InstallationPath"},
    {"SOFTWARE\\Semeru\\JDK", "\\openj9\\MSI", "Path"},
    {"SOFTWARE\\Semeru\\JRE", "\\openj9\\MSI", "Path"},
};

// Directories below %ProgramFiles% whose entries are installs.
constexpr const char* installDirectories[] = {"Java\\*", "Eclipse Adoptium\\*", "Zulu\\*", "Microsoft\\jdk-*",
                                              "Amazon Corretto\\*", "BellSoft\\*"};

// Subkeys and directory entries looked at per place: a hostile registry costs
// a bounded amount of work.
constexpr std::size_t installLimit = 4096;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSeparator(char c) { return c == '.' || c == '_' || c == '+' || c == '-'; }

// A home without a trailing backslash: a directory search does not find
// "C:\x\", and installers write Path values with one.
std::string withoutTrailingBackslash(std::string home) {
    while (home.size() > 3 && endsWithBackslash(home)) home.pop_back();
    return home;
}

void addCandidate(std::vector<RuntimeCandidate>& candidates, std::string home, const std::string& name) {
    home = withoutTrailingBackslash(std::move(home));
    if (home.empty()) return;
    std::string key = home;
    lowerCasePath(key);
    for (const RuntimeCandidate& known : candidates) {
        std::string other = known.home;
        lowerCasePath(other);
        if (other == key) return;  // the same install under two names is probed once
    }
    candidates.push_back({std::move(home), versionInName(name)});
}

void addRegistryCandidates(os::Hive hive, std::vector<RuntimeCandidate>& candidates) {
    for (const InstallKeys& keys : installKeys) {
        std::vector<std::string> names;
        if (!os::registry().subkeyNames(hive, os::RegistryView::own, keys.key, installLimit, names)) continue;
        for (const std::string& name : names) {
            std::string home;
            const std::string key = std::string(keys.key) + "\\" + name + keys.below;
            if (readRegistryText(hive, key, keys.value, valueCapacity, home)) addCandidate(candidates, home, name);
        }
    }
}

void addDirectoryCandidates(std::vector<RuntimeCandidate>& candidates) {
    std::string programFiles;
    if (!os::environment().get("ProgramFiles", programFiles) || programFiles.empty()) return;
    const std::string root = withBackslash(programFiles);
    for (const char* pattern : installDirectories) {
        const std::string search = root + pattern;
        const std::string directory = directoryOf(search);
        for (const os::DirectoryEntry& entry : os::files().find(search, installLimit)) {
            if (!entry.directory || entry.name == "." || entry.name == "..") continue;
            addCandidate(candidates, directory + entry.name, entry.name);
        }
    }
}

}  // namespace

std::string versionInName(const std::string& name) {
    const std::size_t start = name.find_first_of("0123456789");
    if (start == std::string::npos) return {};
    std::size_t end = start;
    while (end < name.size() &&
           (isDigit(name[end]) || (isSeparator(name[end]) && end + 1 < name.size() && isDigit(name[end + 1])))) {
        ++end;
    }
    return name.substr(start, end - start);
}

std::vector<RuntimeCandidate> modernRuntimeCandidates() {
    std::vector<RuntimeCandidate> candidates;
    addRegistryCandidates(os::Hive::localMachine, candidates);
    addRegistryCandidates(os::Hive::currentUser, candidates);
    addDirectoryCandidates(candidates);
    return candidates;
}

bool searchModernRuntimes(std::string& javaExe, std::string& home, const std::string& lowest,
                          const std::string& highest) {
    // Newest first; equal versions keep the order in which they were found.
    std::vector<RuntimeCandidate> newestFirst;
    for (RuntimeCandidate& candidate : modernRuntimeCandidates()) {
        auto at = std::upper_bound(newestFirst.begin(), newestFirst.end(), candidate,
                                   [](const RuntimeCandidate& a, const RuntimeCandidate& b) {
                                       return compareVersions(a.version, b.version) > 0;
                                   });
        newestFirst.insert(at, std::move(candidate));
    }
    for (const RuntimeCandidate& candidate : newestFirst) {
        if (!fileExists(candidate.home)) {
            logLine("installed runtime %s (version %s) is gone", candidate.home.c_str(), candidate.version.c_str());
            continue;
        }
        logLine("Testing installed runtime %s (version %s)", candidate.home.c_str(), candidate.version.c_str());
        std::string version;
        if (findJavaExe(javaExe, candidate.home) && checkJavaExe(javaExe, version, lowest, highest, false)) {
            home = candidate.home;
            return true;
        }
    }
    return false;
}

}  // namespace qarvo
