#include "base/PathHelpers.h"

#include <utility>

#include "base/CodePage.h"
#include "os/System.h"

namespace qarvo {

namespace {

struct Cache {
    bool computed = false;
    std::string value;
};
Cache launcherPathCache;
Cache launcherDirectoryCache;

const std::string& launcherDirectory() {
    if (!launcherDirectoryCache.computed) {
        launcherDirectoryCache.value = directoryOf(os::files().fullPathName(launcherPath()));
        launcherDirectoryCache.computed = true;
    }
    return launcherDirectoryCache.value;
}

// The long module name when the code page can express it, else the short name
// of that long name, else the short name of the narrow module name.
std::string modulePathForNarrowFunctions() {
    std::uint32_t error = 0;
    void* kernel = os::libraries().load("Kernel32.DLL", error);
    const bool wideLongNames = kernel && os::libraries().resolve(kernel, "GetLongPathNameW");
    if (!os::machine().isWindowsNT() || !wideLongNames) return os::libraries().moduleFileName();

    std::u16string longForm, shortForm;
    std::string narrow;
    if (!os::files().longPathNameWide(os::libraries().moduleFileNameWide(), longForm)) longForm.clear();
    if (acceptLauncherPath(longForm, narrow)) return narrow;
    if (os::files().shortPathNameWide(longForm, shortForm) && acceptLauncherPath(shortForm, narrow)) return narrow;
    const std::string moduleName = os::libraries().moduleFileName();
    std::string shortName;
    return os::files().shortPathName(moduleName, 8192, shortName) ? shortName : moduleName;
}

std::uint32_t probeLongPathName(const char* shortPath, char* buffer, std::uint32_t size) {
    bool available = false;
    std::uint32_t error = 0;
    std::uint32_t n = os::files().systemLongPathName(shortPath, buffer, size, available, error);
    if (available && (n != 0 || error != os::errorCallNotImplemented)) {
        longPathConverter = systemLongPathName;
        return n;
    }
    longPathConverter = emulateLongPathName;
    return emulateLongPathName(shortPath, buffer, size);
}

}  // namespace

LongPathConverter longPathConverter = probeLongPathName;

std::uint32_t systemLongPathName(const char* shortPath, char* buffer, std::uint32_t size) {
    bool available = false;
    std::uint32_t error = 0;
    return os::files().systemLongPathName(shortPath, buffer, size, available, error);
}

std::uint32_t emulateLongPathName(const char* shortPath, char* buffer, std::uint32_t size) {
    return os::files().emulatedLongPathName(shortPath, buffer, size);
}

const std::string& launcherPath() {
    if (!launcherPathCache.computed) {
        launcherPathCache.value = modulePathForNarrowFunctions();
        normalizeBackslashes(launcherPathCache.value);
        launcherPathCache.computed = true;
    }
    return launcherPathCache.value;
}

std::string directoryOf(const std::string& fullPath) {
    const std::size_t separator = lastPathSeparator(fullPath, true);
    return separator == std::string::npos ? std::string() : fullPath.substr(0, separator + 1);
}

void normalizeBackslashes(std::string& path) {
    // Work on UTF-16: in a double-byte code page the second byte of a character
    // can have the value of a backslash.
    std::u16string wide;
    if (!narrowToWide(path, wide)) return;
    std::u16string kept;
    kept.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        bool repeated = i >= 2 && wide[i] == u'\\' && kept.back() == u'\\';
        if (!repeated) kept.push_back(wide[i]);
    }
    std::string narrow;
    if (wideToNarrow(kept, narrow)) path = narrow;
}

bool isRelativePath(std::string_view path) {
    if (path.size() <= 2) return true;
    if (path[0] == '"') {
        if (path.size() <= 3) return true;
        return !(path.substr(2, 2) == ":\\" || path.substr(1, 2) == "\\\\");
    }
    return !(path.substr(1, 2) == ":\\" || path.substr(0, 2) == "\\\\");
}

std::string resolveRelativePath(const std::string& path, const char* baseFile) {
    std::string out;
    if (isRelativePath(path)) {
        out = baseFile ? directoryOf(os::files().fullPathName(baseFile)) : launcherDirectory();
    }
    out += path;
    normalizeBackslashes(out);
    return out;
}

std::string absolutePath(const std::string& path, bool keepCase) {
    std::string out = os::files().fullPathName(resolveRelativePath(path, nullptr));
    if (!keepCase) lowerCasePath(out);
    normalizeBackslashes(out);
    return out;
}

void lowerCasePath(std::string& path) {
    std::u16string wide;
    if (!narrowToWide(path, wide)) return;
    lowerCaseWide(wide);
    std::string narrow;
    if (wideToNarrow(wide, narrow)) path = narrow;
}

std::string resolvePathList(const std::string& list) {
    std::string out;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) {
            if (!out.empty()) out += ';';
            out += resolveRelativePath(list.substr(start, end - start), nullptr);
        }
        start = end + 1;
    }
    return out;
}

bool fileExists(const std::string& path) {
    if (path.size() > 1) {
        std::string_view rest = std::string_view(path).substr(1);
        if (rest == ":\\" || rest == ":\\." || rest == ":\\.\\.") return true;
    }
    return findFileTime(path, nullptr);
}

bool findFileTime(const std::string& path, os::FileTime* lastWrite) {
    const std::vector<os::DirectoryEntry> found = os::files().find(path, 1);
    if (found.empty()) return false;
    if (lastWrite) *lastWrite = found.front().lastWrite;
    return true;
}

std::size_t listFilesWithExtension(const std::string& directory, const std::string& extension,
                                   std::vector<std::string>& names) {
    std::string pattern = directory + "\\*";
    if (extension.empty() || extension[0] != '.') pattern += '.';
    pattern += extension;
    const std::vector<os::DirectoryEntry> found = os::files().find(pattern, SIZE_MAX);
    for (const os::DirectoryEntry& entry : found) names.push_back(entry.name);
    return found.size();
}

bool acceptLauncherPath(std::u16string_view wide, std::string& narrow) {
    if (!wideToNarrow(wide, narrow) || narrow.size() <= 3) return false;
    std::string tail = narrow.substr(narrow.size() - 4);
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return tail == ".exe";
}

bool longPathName(const std::string& path, std::string& longForm) {
    std::string buffer(8192, '\0');
    std::uint32_t n = longPathConverter(path.c_str(), buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    if (n == 0 || n >= buffer.size()) return false;
    buffer.resize(n);
    longForm = std::move(buffer);
    return true;
}

std::string javaExecutableDirectory(const std::string& javaExe) {
    constexpr std::string_view windowed = "javaw.exe";
    const bool isWindowed = javaExe.size() >= windowed.size() &&
                            javaExe.compare(javaExe.size() - windowed.size(), windowed.size(), windowed) == 0;
    const std::size_t name = isWindowed ? windowed.size() : std::string_view("java.exe").size();
    return javaExe.substr(0, javaExe.size() > name ? javaExe.size() - name : 0);
}

void resetPathCachesForTesting() {
    launcherPathCache = Cache{};
    launcherDirectoryCache = Cache{};
    longPathConverter = probeLongPathName;
}

}  // namespace qarvo
