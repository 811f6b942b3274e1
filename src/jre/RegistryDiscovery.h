// Runtimes known to the registry: those that installers registered under the
// JavaSoft keys of the local machine, those listed as located runtimes of the
// launcher family, and those that an earlier installation of the application
// left in its own directory. Every candidate is judged by checkJavaExe.
#pragma once

#include <string>

#include "os/Registry.h"

namespace qarvo {

inline constexpr const char* javaSoftRuntimeKey = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
inline constexpr const char* javaSoftKitKey = "SOFTWARE\\JavaSoft\\Java Development Kit";
inline constexpr const char* locatedRuntimesKey = "SOFTWARE\\tarnwell\\qarvo\\locatedjvms\\";
inline constexpr const char* installationsKey = "SOFTWARE\\tarnwell\\moravelin\\installations";

// The newer of the best registered and the best located runtime (the located
// one on equal versions). `javaExe` receives the accepted executable.
bool searchRegistry(std::string& javaExe, const std::string& lowest, const std::string& highest);

// The runtime of the JavaSoft "CurrentVersion" values, else the newest
// acceptable registered runtime (the runtime key is skipped when a
// development kit is required, key 131), else the newest development kit.
bool findRegisteredJvm(std::string& javaExe, std::string& version, const std::string& lowest,
                       const std::string& highest);

// The runtime named by the "CurrentVersion" values of the development kit and
// runtime keys; the runtime's on equal versions.
bool findCurrentVersionJvm(std::string& javaExe, std::string& version, const std::string& lowest,
                           const std::string& highest);

// The newest acceptable runtime among the version subkeys of `javaSoftKey`.
bool findNewestRegisteredJvm(std::string& javaExe, std::string& version, const std::string& lowest,
                             const std::string& highest, const std::string& javaSoftKey);

// The newest acceptable located runtime of each hive; the current user's wins
// only with a newer version.
bool findLocatedJvm(std::string& javaExe, std::string& version, const std::string& lowest,
                    const std::string& highest);

// A runtime in the "jre" directory of an earlier installation of this
// application (installation identifier of key 160; empty switches this off).
bool findPreviousInstallation(os::Hive hive, std::string& javaExe, const std::string& lowest,
                              const std::string& highest);

}  // namespace qarvo
