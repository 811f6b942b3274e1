// Judging one candidate runtime by its java executable: does it exist, is it a
// program this launcher can load, what version is it (from the registry cache
// of earlier probes or by running it with "-version"), and is that version
// acceptable.
#pragma once

#include <cstdint>
#include <string>

#include "os/Files.h"

namespace qarvo {

// How long a "-version" run may take before it is terminated.
constexpr std::uint32_t probeTimeoutMs = 60000;

// Registry key (below the current user's hive) of the probe cache; the
// normalised executable path with "/" for "\" follows it.
inline constexpr const char* versionCacheKey = "SOFTWARE\\tarnwell\\qarvo\\jvms\\";

// The java executable of runtime home `home` into `javaExe`: its
// "jre\bin\java.exe" when that exists, else "bin\java.exe" (not checked).
// When a development kit is required (key 131), a home with "lib\tools.jar"
// gives the "jre\bin" form, a home without it but with "bin\javac.exe" (a kit
// of Java 9 or later, which has no jre directory) gives "bin\java.exe", and
// any other home gives false.
bool findJavaExe(std::string& javaExe, const std::string& home);

// Probes `javaExe`, which is replaced by its normalised form (absolute, lower
// case) and, for windowed launchers (key 107 = 1), by the "javaw.exe" beside
// it, which must exist. `version` receives the version found. True when the
// runtime is acceptable for the bounds. An executable built for another
// machine type than the launcher is rejected before its version is looked at.
bool checkJavaExe(std::string& javaExe, std::string& version, const std::string& lowest,
                  const std::string& highest, bool skipBetaCheck);

// Whether `path` is a PE executable of the launcher's own machine type; logs
// why not.
bool executableMatchesLauncher(const std::string& path);

// Runs "<short path> -version" and extracts the version from its standard
// error. A run that exits with another code than 0 is cached as "1.0.0"; one
// that is still running after probeTimeoutMs is terminated and not cached.
bool queryJavaVersion(const std::string& javaExe, const os::FileTime& lastWrite, std::string& version);

// The cached version of `javaExe`, valid only while its last-write time is
// the one recorded with it.
bool readVersionCache(const std::string& javaExe, const os::FileTime& lastWrite, std::string& version);
// Records a version with the executable's last-write time. Failures are
// ignored.
void writeVersionCache(const std::string& javaExe, const os::FileTime& lastWrite, const std::string& version);

// Deletes a probe's output file. A process that has just ended may still hold
// it for a few milliseconds (seen under Wine after a probe run): a sharing
// violation is retried every 10 ms for up to 2 s.
bool deleteProbeOutput(const std::string& path);

}  // namespace qarvo
