#include "jre/RegistryDiscovery.h"

#include <algorithm>
#include <vector>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "jre/JavaProbe.h"
#include "jre/VersionCheck.h"
#include "jre/Registry.h"
#include "os/System.h"
#include "report/Log.h"

namespace qarvo {

namespace {

constexpr std::size_t currentVersionCapacity = 100;
// Subkeys looked at per key: a registry filled by something hostile costs a
// bounded amount of memory and probing.
constexpr std::size_t subkeyLimit = 4096;

struct Candidate {
    bool found = false;
    std::string javaExe;
    std::string version;
};

// The "CurrentVersion" of a JavaSoft key when it lies within the bounds, else
// the empty text.
std::string currentVersionWithin(const char* javaSoftKey, const std::string& lowest, const std::string& highest) {
    std::string version;
    if (!readRegistryText(os::Hive::localMachine, javaSoftKey, "CurrentVersion", currentVersionCapacity, version) ||
        !versionInRange(version, lowest, highest)) {
        return {};
    }
    return version;
}

bool checkHome(const std::string& home, std::string& javaExe, std::string& version, const std::string& lowest,
               const std::string& highest) {
    return findJavaExe(javaExe, home) && checkJavaExe(javaExe, version, lowest, highest, false);
}

Candidate bestLocatedIn(os::Hive hive, const std::string& lowest, const std::string& highest) {
    Candidate best;
    std::vector<std::string> names;
    if (!os::registry().subkeyNames(hive, os::RegistryView::own, locatedRuntimesKey, subkeyLimit, names)) return best;
    for (const std::string& name : names) {
        std::string javaExe = name;
        std::replace(javaExe.begin(), javaExe.end(), '/', '\\');
        std::string version;
        if (!checkJavaExe(javaExe, version, lowest, highest, true)) continue;
        if (!best.found || compareVersions(version, best.version) > 0) best = {true, javaExe, version};
    }
    return best;
}

}  // namespace

bool searchRegistry(std::string& javaExe, const std::string& lowest, const std::string& highest) {
    Candidate registered, located;
    registered.found = findRegisteredJvm(registered.javaExe, registered.version, lowest, highest);
    located.found = findLocatedJvm(located.javaExe, located.version, lowest, highest);
    if (registered.found) logLine("found sun %s %s", registered.javaExe.c_str(), registered.version.c_str());
    if (located.found) logLine("found located %s %s", located.javaExe.c_str(), located.version.c_str());
    if (registered.found && located.found) {
        javaExe = compareVersions(registered.version, located.version) > 0 ? registered.javaExe : located.javaExe;
        return true;
    }
    if (!registered.found && !located.found) return false;
    javaExe = registered.found ? registered.javaExe : located.javaExe;
    return true;
}

bool findRegisteredJvm(std::string& javaExe, std::string& version, const std::string& lowest,
                       const std::string& highest) {
    if (findCurrentVersionJvm(javaExe, version, lowest, highest)) return true;
    if (getIntValue(key::requireJdk) == 0 &&
        findNewestRegisteredJvm(javaExe, version, lowest, highest, javaSoftRuntimeKey)) {
        return true;
    }
    return findNewestRegisteredJvm(javaExe, version, lowest, highest, javaSoftKitKey);
}

bool findCurrentVersionJvm(std::string& javaExe, std::string& version, const std::string& lowest,
                           const std::string& highest) {
    const std::string kit = currentVersionWithin(javaSoftKitKey, lowest, highest);
    const std::string runtime =
        getIntValue(key::requireJdk) == 0 ? currentVersionWithin(javaSoftRuntimeKey, lowest, highest) : "";
    const std::string key = compareVersions(kit, runtime) > 0 ? std::string(javaSoftKitKey) + "\\" + kit
                                                              : std::string(javaSoftRuntimeKey) + "\\" + runtime;
    std::string home;
    if (!readRegistryText(os::Hive::localMachine, key, "JavaHome", valueCapacity, home)) return false;
    return checkHome(home, javaExe, version, lowest, highest);
}

bool findNewestRegisteredJvm(std::string& javaExe, std::string& version, const std::string& lowest,
                             const std::string& highest, const std::string& javaSoftKey) {
    std::vector<std::string> names;
    if (!os::registry().subkeyNames(os::Hive::localMachine, os::RegistryView::own, javaSoftKey, subkeyLimit, names)) {
        return false;
    }
    // The names within the bounds in ascending version order, equal versions
    // in registry order: a binary insertion, which keeps the launcher small
    // (there are at most subkeyLimit names).
    std::vector<std::string> ascending;
    for (std::string& name : names) {
        if (!versionInRange(name, lowest, highest)) continue;
        auto at = std::upper_bound(ascending.begin(), ascending.end(), name,
                                   [](const std::string& a, const std::string& b) { return compareVersions(a, b) < 0; });
        ascending.insert(at, std::move(name));
    }
    for (auto name = ascending.rbegin(); name != ascending.rend(); ++name) {
        std::string home;
        if (!readRegistryText(os::Hive::localMachine, javaSoftKey + "\\" + *name, "JavaHome", valueCapacity,
                              home)) {
            continue;
        }
        if (checkHome(home, javaExe, version, lowest, highest)) return true;
    }
    return false;
}

bool findLocatedJvm(std::string& javaExe, std::string& version, const std::string& lowest,
                    const std::string& highest) {
    const Candidate user = bestLocatedIn(os::Hive::currentUser, lowest, highest);
    const Candidate machine = bestLocatedIn(os::Hive::localMachine, lowest, highest);
    const Candidate* winner = nullptr;
    if (user.found && machine.found) {
        winner = compareVersions(user.version, machine.version) > 0 ? &user : &machine;
    } else if (user.found || machine.found) {
        winner = user.found ? &user : &machine;
    }
    if (!winner) return false;
    javaExe = winner->javaExe;
    version = winner->version;
    return true;
}

bool findPreviousInstallation(os::Hive hive, std::string& javaExe, const std::string& lowest,
                              const std::string& highest) {
    const std::string id = getStringValue(key::installationId);
    if (id.empty()) return false;
    std::string directories;
    if (!readRegistryText(hive, installationsKey, id, valueCapacity, directories) || directories.empty()) {
        return false;
    }
    logLine("found installations: %s", directories.c_str());
    std::size_t start = 0;
    while (start <= directories.size()) {
        std::size_t end = std::min(directories.find(';', start), directories.size());
        const std::string directory = directories.substr(start, end - start);
        start = end + 1;
        std::string version;
        if (!directory.empty() && checkHome(directory + "\\jre", javaExe, version, lowest, highest)) return true;
    }
    return false;
}

}  // namespace qarvo
