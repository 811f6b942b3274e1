// Path operations every subsystem uses. Paths are narrow text in the code page
// of the file functions (os/CodePage.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "os/FileSystem.h"

namespace qarvo {

// What the path helpers need from the system.
class PathSystem {
public:
    virtual ~PathSystem() = default;
    // The launcher executable's path in a form the narrow file functions can
    // open (not yet normalised).
    virtual std::string launcherModulePath() = 0;
    // GetFullPathNameA of `path`: absolute, "." and ".." resolved. On failure
    // `path` unchanged.
    virtual std::string fullPathName(const std::string& path) = 0;
};
void installPathSystem(PathSystem& system);

// The launcher executable's full path, computed once.
const std::string& launcherPath();

// Collapses runs of backslashes to one, keeping the first two characters (so a
// UNC prefix survives). Left unchanged when the text does not convert to
// UTF-16 and back exactly.
void normalizeBackslashes(std::string& path);

// True unless the path is drive-absolute ("C:\...") or UNC ("\\..."), also
// behind a leading double quote. "\a" and "C:a" are relative.
bool isRelativePath(std::string_view path);

// `path` when absolute, else the directory of `baseFile` (of the launcher when
// null) followed by `path`; normalised. Dots are not resolved.
std::string resolveRelativePath(const std::string& path, const char* baseFile);

// Full absolute form of `path` taken against the launcher directory; lower case
// unless `keepCase`; normalised.
std::string absolutePath(const std::string& path, bool keepCase);

// Lower-cases in place; unchanged when the conversion is not exact.
void lowerCasePath(std::string& path);

// `list` split at ";" (empty elements vanish), each element resolved like
// resolveRelativePath with the launcher directory, joined again with ";".
std::string resolvePathList(const std::string& list);

// A file or directory of that name exists. Drive roots ("C:\", "C:\.",
// "C:\.\.") exist without a look at the disk: a directory search cannot
// find them.
bool fileExists(const std::string& path);

// A directory search finds `path` (wildcards match anything); stores the
// entry's last-write time when `lastWrite` is given.
bool findFileTime(const std::string& path, FileTime* lastWrite);

// Appends to `names` the entries of `directory` whose names end in
// `extension` ("jar" and ".jar" alike), in file-system order, directories
// included. Returns their number.
std::size_t listFilesWithExtension(const std::string& directory, const std::string& extension,
                                   std::vector<std::string>& names);

// Narrows a UTF-16 launcher path and tells whether the narrow file functions
// can open it: the conversion was exact, it is longer than 3 characters and
// ends in ".exe" (any case).
bool acceptLauncherPath(std::u16string_view wide, std::string& narrow);

// Long form of an existing path, with the arguments and result of
// GetLongPathNameA: the length written, the size needed when `size` is too
// small, or 0 on failure.
using LongPathConverter = std::uint32_t (*)(const char* shortPath, char* buffer, std::uint32_t size);
extern LongPathConverter longPathConverter;

// The long form of `path` through longPathConverter into an 8192-byte
// buffer. False when the conversion fails or the long form does not fit;
// `longForm` is then unchanged.
bool longPathName(const std::string& path, std::string& longForm);

// The file `name` (".moravelin\firstrun", ...) in the application directory:
// key 10003 taken against the launcher directory (absolutePath, case kept), a
// backslash unless that already ends in one, then `name`.
std::string applicationDirectoryFile(const char* name);

// The directory of a java executable, trailing backslash kept: `javaExe`
// without its last 9 characters when it ends in "javaw.exe", else without its
// last 8 ("java.exe"); empty when it is not longer than that.
std::string javaExecutableDirectory(const std::string& javaExe);

// Forgets the cached launcher path and directory (tests only).
void resetPathCachesForTesting();

}  // namespace qarvo
