#include "vmargs/ClassPath.h"

#include <vector>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "base/LauncherKind.h"
#include "base/PathHelpers.h"
#include "os/System.h"
#include "payload/ApplicationDirectory.h"
#include "payload/TempDirectories.h"
#include "report/ErrorReport.h"
#include "report/Log.h"
#include "vmargs/VariableExpansion.h"

namespace qarvo {

namespace {

constexpr const char* optionPrefix = "-Djava.class.path=";

// Appends one element and its separator. An empty element is never added:
// the virtual machine reads an empty class-path element as the current
// directory, which would let classes lying there be loaded.
void appendElement(std::string& classPath, const std::string& element) {
    if (element.empty()) return;
    classPath += element;
    if (element.back() != ';') classPath += ';';
}

// The value of an 'E' entry's variable, without surrounding double quotes;
// false when it is not set or empty, and for the empty name.
bool environmentEntry(const std::string& name, std::string& value) {
    if (name.empty() || !os::environment().get(name.c_str(), value) || value.empty()) return false;
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return true;
}

void appendEntry(std::string& classPath, const std::string& entry) {
    if (entry.size() < 2) {
        logLine("classpath entry %s has no value, skipped", entry.c_str());
        return;
    }
    const char type = entry[0];
    const bool required = entry[1] == '1';
    std::string value = entry.substr(2);
    expandVariables(value);
    bool found = false;
    switch (type) {
        case 'A':
        case 'D': {
            std::string resolved = resolvePathList(value);
            appendElement(classPath, resolved);
            found = !resolved.empty() && fileExists(resolved);
            break;
        }
        case 'S': {
            // An empty value names no directory. Resolved, it would be the
            // launcher directory itself, and for a launcher in a drive root
            // ("C:\") that always exists: it is not found, wherever the
            // launcher lies.
            if (value.empty()) break;
            std::string directory = resolveRelativePath(value, nullptr);
            found = appendArchivesOfDirectory(classPath, directory, "jar");
            appendArchivesOfDirectory(classPath, directory, "zip");
            break;
        }
        case 'E': {
            std::string variable;
            found = environmentEntry(value, variable);
            // A variable set to the empty text is as useless as one not set,
            // so a required one is reported the same way.
            if (!found && required) failWithMessageId(message::variableUndefined, value.c_str());
            if (found) appendElement(classPath, variable);
            break;
        }
        default:
            logError("classpath entry %s has the unknown type %c", entry.c_str(), type);
            break;
    }
    if (required && !found) failWithMessageId(message::classPathEntryMissing, value.c_str());
}

}  // namespace

std::string buildClassPathOption(const ClassPathOverrides& overrides) {
    std::string classPath = optionPrefix;
    if (overrides.prepend) appendElement(classPath, *overrides.prepend);
    const std::string& temp = launcherTempDirectory();
    if (!temp.empty()) {
        appendArchivesOfDirectory(classPath, temp, "jar");
        appendArchivesOfDirectory(classPath, temp, "zip");
        const std::string user = temp + "\\user";
        appendArchivesOfDirectory(classPath, user, "jar");
        appendArchivesOfDirectory(classPath, user, "zip");
    }
    appendRuntimeJar(classPath);
    if (overrides.replacement) {
        classPath += *overrides.replacement;
    } else {
        appendConfiguredClassPath(classPath);
    }
    if (overrides.append && !overrides.append->empty()) {
        // One separator before it, and none in front of the first element.
        if (classPath.back() != ';' && classPath != optionPrefix) classPath += ';';
        classPath += *overrides.append;
    }
    return classPath;
}

void appendConfiguredClassPath(std::string& classPath) {
    const std::string entries = getStringValue(key::classPath);
    logLine("classpath entry %s", entries.c_str());
    std::size_t start = 0;
    while (start < entries.size()) {
        std::size_t end = entries.find(';', start);
        if (end == std::string::npos) end = entries.size();
        if (end > start) appendEntry(classPath, entries.substr(start, end - start));
        start = end + 1;
    }
}

bool appendArchivesOfDirectory(std::string& classPath, const std::string& directory, const std::string& extension) {
    if (!fileExists(directory)) return false;
    std::vector<std::string> names;
    listFilesWithExtension(directory, extension, names);
    for (const std::string& name : names) {
        classPath += resolveRelativePath(directory + "\\" + name, nullptr);
        classPath += ';';
    }
    return true;
}

void appendRuntimeJar(std::string& classPath) {
    if (!isInstallerKind()) return;
    classPath += applicationDirectoryFile(".moravelin\\mrvruntime.jar");
    classPath += ';';
}

}  // namespace qarvo
