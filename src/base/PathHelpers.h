// Path operations every subsystem uses. Paths are narrow text in the code page
// of the file functions (base/CodePage.h). None of them shows a message or
// ends the process; failures are reported through their results.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "os/Files.h"

namespace qarvo {

// The launcher executable's full path, computed once: its long form when the
// code page can express it, else its 8.3 short form, so that the narrow file
// functions can always open it.
const std::string& launcherPath();

// The directory of a full path, trailing backslash kept; empty when it has no
// backslash. Double-byte characters are not split.
std::string directoryOf(const std::string& fullPath);

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
bool findFileTime(const std::string& path, os::FileTime* lastWrite);

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
// small, or 0 on failure. Initially a probe that, on its first call, settles
// for the system's GetLongPathNameA when it works, else for the shell-folder
// emulation.
using LongPathConverter = std::uint32_t (*)(const char* shortPath, char* buffer, std::uint32_t size);
extern LongPathConverter longPathConverter;
// The two converters the probe chooses between.
std::uint32_t systemLongPathName(const char* shortPath, char* buffer, std::uint32_t size);
std::uint32_t emulateLongPathName(const char* shortPath, char* buffer, std::uint32_t size);

// The long form of `path` through longPathConverter into an 8192-byte
// buffer. False when the conversion fails or the long form does not fit;
// `longForm` is then unchanged.
bool longPathName(const std::string& path, std::string& longForm);

// The directory of a java executable, trailing backslash kept: `javaExe`
// without its last 9 characters when it ends in "javaw.exe", else without its
// last 8 ("java.exe"); empty when it is not longer than that.
std::string javaExecutableDirectory(const std::string& javaExe);

// Forgets the cached launcher path and directory and restarts the converter
// probe (tests only).
void resetPathCachesForTesting();

}  // namespace qarvo
