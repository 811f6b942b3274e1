#include "os/testing/Fakes.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/Configuration.h"
#include "launcher/LaunchSequence.h"

namespace qarvo::testing {

bool FakeEnvironment::get(const char* name, std::string& value) {
    auto it = variables.find(name);
    if (it == variables.end()) return false;
    value = it->second;
    return true;
}

bool FakeEnvironment::set(const char* name, const char* value) {
    if (value) {
        variables[name] = value;
    } else {
        variables.erase(name);
    }
    return true;
}

std::vector<std::string> FakeEnvironment::block() {
    std::vector<std::string> entries;
    for (const auto& [name, value] : variables) entries.push_back(name + "=" + value);
    return entries;
}

void FakeErrorSink::showMessageBox(const std::string& text, const std::string& caption) {
    shown.push_back({true, text, caption});
}

void FakeErrorSink::writeStandardError(const std::string& text) { shown.push_back({false, text, ""}); }

void FakeErrorSink::exitProcess(int code) { throw ProcessExit{code}; }

FakeLogPlatform::FakeLogPlatform() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qarvo-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    directory = made ? made : std::filesystem::temp_directory_path().string();
}

FakeLogPlatform::~FakeLogPlatform() {
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

std::string FakeLogPlatform::uniqueLogName() {
    if (failNames) return std::string();
    return directory + "/mrv_nlog_" + std::to_string(++counter);
}

namespace {

// Length of the root of a drive-absolute ("C:\\...") or UNC ("\\\\...") path;
// 0 for every other path.
std::size_t rootLength(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return 3;
    return path.rfind("\\\\", 0) == 0 ? 2 : 0;
}

// The "." and ".." segments of a drive-absolute ("C:\\...") or UNC ("\\\\...")
// path resolved below the root, as GetFullPathNameA resolves them and as
// Windows does when it opens "c:\\a\\.\\b" as "c:\\a\\b" and "c:\\a\\..\\b" as
// "c:\\b". Empty segments vanish; a trailing backslash stays. Other paths come
// back unchanged.
std::string withoutDotSegments(const std::string& path) {
    const std::size_t rootEnd = rootLength(path);
    if (rootEnd == 0) return path;
    std::vector<std::string> segments;
    std::stringstream rest(path.substr(rootEnd));
    std::string segment;
    while (std::getline(rest, segment, '\\')) {
        if (segment.empty() || segment == ".") continue;
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
            continue;
        }
        segments.push_back(segment);
    }
    std::string out = path.substr(0, rootEnd);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (i) out += '\\';
        out += segments[i];
    }
    if (path.back() == '\\' && !segments.empty()) out += '\\';
    return out;
}

}  // namespace

std::string FakePathSystem::fullPathName(const std::string& path) {
    return withoutDotSegments(rootLength(path) != 0 ? path : currentDirectory + "\\" + path);
}

std::string FakeFileSystem::key(const std::string& path) {
    std::string k = path;
    for (char& c : k) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    // "c:\\x" and "c:\\\\x" name the same file.
    std::string collapsed;
    for (char c : k) {
        if (c == '\\' && !collapsed.empty() && collapsed.back() == '\\' && collapsed.size() > 1) continue;
        collapsed += c;
    }
    while (collapsed.size() > 3 && collapsed.back() == '\\') collapsed.pop_back();
    return withoutDotSegments(collapsed);
}

namespace {

bool wildcardMatch(const char* pattern, const char* text) {
    if (*pattern == '\0') return *text == '\0';
    if (*pattern == '*') return wildcardMatch(pattern + 1, text) || (*text && wildcardMatch(pattern, text + 1));
    if (*text == '\0') return false;
    return (*pattern == '?' || *pattern == *text) && wildcardMatch(pattern + 1, text + 1);
}

std::string parentKey(const std::string& k) {
    std::size_t slash = k.find_last_of('\\');
    return slash == std::string::npos ? std::string() : FakeFileSystem::key(k.substr(0, slash + 1));
}

}  // namespace

bool FakeFileSystem::findFirst(const std::string& pattern, FileTime* lastWrite) {
    searches.push_back(pattern);
    std::string k = key(pattern);
    std::string parent = parentKey(k);
    std::string namePattern = k.substr(k.find_last_of('\\') + 1);
    for (const auto& [path, entry] : entries) {
        if (hiddenDirectories.count(path)) continue;
        if (parentKey(path) == parent && wildcardMatch(namePattern.c_str(), path.substr(path.find_last_of('\\') + 1).c_str())) {
            if (lastWrite) *lastWrite = entry.second;
            return true;
        }
    }
    return false;
}

std::vector<std::string> FakeFileSystem::findAll(const std::string& pattern) {
    searches.push_back(pattern);
    std::vector<std::string> names;
    std::string k = key(pattern);
    std::string parent = parentKey(k);
    std::string namePattern = k.substr(k.find_last_of('\\') + 1);
    for (const auto& [path, entry] : entries) {
        if (hiddenDirectories.count(path) || parentKey(path) != parent) continue;
        if (wildcardMatch(namePattern.c_str(), path.substr(path.find_last_of('\\') + 1).c_str())) {
            const std::string& name = entry.first;
            names.push_back(name.substr(name.find_last_of('\\') + 1));
        }
    }
    return names;
}

bool FakeFileSystem::makeDirectory(const std::string& path) {
    std::string k = key(path);
    if (entries.count(k) || readOnlyDirectories.count(parentKey(k)) || !directories.count(parentKey(k))) {
        return false;
    }
    addDirectory(path);
    return true;
}

bool FakeFileSystem::removeDirectory(const std::string& path) {
    std::string k = key(path);
    if (!directories.count(k)) return false;
    for (const auto& [other, entry] : entries) {
        if (parentKey(other) == k) return false;  // not empty
    }
    entries.erase(k);
    directories.erase(k);
    return true;
}

void FakeFileSystem::addFile(const std::string& path, FileTime time) { entries[key(path)] = {path, time}; }

std::uint32_t FakeTempSystem::tempPath(std::string& path, std::uint32_t& lastError) {
    path = temp;
    lastError = 0;
    return static_cast<std::uint32_t>(temp.size());
}

std::uint32_t FakeTempSystem::tempFileName(const std::string& directory, const char* prefix, std::string& name,
                                           std::uint32_t& lastError) {
    if (failTempFileName || !fs_.directories.count(FakeFileSystem::key(directory))) {
        lastError = 3;  // ERROR_PATH_NOT_FOUND
        return 0;
    }
    std::string dir = directory.back() == '\\' ? directory : directory + "\\";
    char number[16];
    std::snprintf(number, sizeof number, "%X", nextNumber++);
    name = dir + prefix + number + ".tmp";
    fs_.addFile(name);
    return nextNumber;
}

bool FakeTempSystem::createDirectory(const std::string& path, std::uint32_t& lastError) {
    if (failCreateDirectory > 0) {
        --failCreateDirectory;
        lastError = 5;  // ERROR_ACCESS_DENIED
        return false;
    }
    if (!fs_.makeDirectory(path)) {
        lastError = 183;  // ERROR_ALREADY_EXISTS
        return false;
    }
    return true;
}

FakeSystem::FakeSystem() : savedConverter_(longPathConverter) {
    resetCoreState();
    installEnvironment(environment);
    installFileSystem(files);
    installTempSystem(temp);
    installErrorSink(errors);
    installLogPlatform(log);
    installPathSystem(paths);
}

FakeSystem::~FakeSystem() {
    longPathConverter = savedConverter_;
    resetCoreState();
}

void FakeSystem::resetCoreState() {
    clearConfiguration();
    resetLogForTesting();
    resetErrorReportForTesting();
    resetPathCachesForTesting();
    setLanguageRestart(false);
    setLauncherTempDirectory("");
}

void FakeSystem::enableLog() { setCreateLogRequested(); }

std::vector<std::string> FakeSystem::logLines() const {
    std::vector<std::string> lines;
    const char* path = logFilePath();
    if (!path) return lines;
    std::stringstream content(readFile(path));
    std::string line;
    while (std::getline(content, line)) lines.push_back(line);
    return lines;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace qarvo::testing
