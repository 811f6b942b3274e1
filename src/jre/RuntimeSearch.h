// Finding and loading a Java runtime: the search sequence of the configuration
// (key 128) between fixed steps, and the loading of the runtime found.
#pragma once

#include <string>

namespace qarvo {

// How the runtime was found; chooses the message when it then fails to load.
enum class FoundBy { None = 0, SearchPath = 1, Location = 2, EnvironmentVariable = 3, Registry = 4 };

// Location files below the application directory (key 10003).
inline constexpr const char* preferredLocationFile = ".moravelin\\pref_jre.cfg";
inline constexpr const char* installerLocationFile = ".moravelin\\inst_jre.cfg";

// Finds an acceptable runtime, loads its jvm.dll, resolves JNI_CreateJavaVM
// and records the runtime home. On failure shows one message (with
// `reportErrors`) and returns false; the launcher then ends with code 83.
bool LoadDLL(bool reportErrors);

// Runs the search: the preferred location, the entries of the search
// sequence, the installer location, the directory entries again without a
// version check, earlier installations, then QARVO_JAVA_HOME and
// MORAVELIN_JAVA_HOME. On success `javaExe` holds the executable and, except
// for FoundBy::Registry, `description` what found it (location text or
// variable name).
FoundBy searchJvm(std::string& javaExe, std::string& description);

// Whether directory `location` (relative to the launcher's directory) holds an
// acceptable runtime; with `existenceOnly` true once the directory was looked
// at, leaving the existence of `javaExe` to the caller.
bool testLocation(std::string& javaExe, const std::string& location, const std::string& lowest,
                  const std::string& highest, bool existenceOnly);

// Whether environment variable `name` names an acceptable runtime home ("/"
// taken as "\").
bool testEnvironmentVariable(std::string& javaExe, const std::string& name, const std::string& lowest,
                             const std::string& highest);

// Whether the java.exe found on the system's executable search path is
// acceptable.
bool testSearchPath(std::string& javaExe, const std::string& lowest, const std::string& highest);

// The first line of location file `name` of the application directory
// (applicationDirectoryFile) without its line end, at most 8191 bytes. False
// when the file cannot be read or is empty.
bool readLocationFile(std::string& line, const char* name);

}  // namespace qarvo
