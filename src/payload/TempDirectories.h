// Where the launcher puts temporary files: the system temporary directory
// (with a chain of fallbacks when Windows reports an unusable one), unique
// temporary and notification file names, and the per-run launcher temporary
// directory into which included files are extracted.
#pragma once

#include <cstdint>
#include <string>

namespace qarvo {

// A directory that exists, is writable and that the narrow file functions can
// handle. Ends the process with message 1015 when there is none.
std::string getSystemTempDirectory();

// A subdirectory can be created in `path` and is then visible. Leaves no test
// directory behind.
bool isWritableDirectory(const std::string& path);

// Creates a new, empty, uniquely named file in the system temporary directory
// and returns its full name (a random name, not created, when the system
// cannot make one).
std::string makeTempFileName();

// Full name of the notification file of launcher process `processId`. Nothing
// is created.
std::string makeCommFileName(std::uint32_t processId);

// Creates this run's launcher temporary directory (five attempts) and records
// it; ends the process with message 1009 ("7") when all fail.
void createLauncherTempDirectory();

// This run's launcher temporary directory; empty until created (and when the
// launcher has no included files).
const std::string& launcherTempDirectory();
void setLauncherTempDirectory(const std::string& path);

}  // namespace qarvo
