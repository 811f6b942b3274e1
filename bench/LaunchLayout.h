// The files of the start-up benchmarks, laid out below the Wine root: a
// launcher written with a block by the shared image writer, test runtimes
// made of the stub java.exe and jvm.dll, and the probe counts they record.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "LauncherFiles.h"
#include "WineHarness.h"

namespace qarvo::bench {

namespace fs = std::filesystem;

// What "-version" prints on a runtime that is too old for the benchmarks'
// lowest version, 1.8, and on one that is accepted.
inline constexpr const char* oldRuntimeOutput = "java version \"1.5.0_22\"\r\n";
inline constexpr const char* acceptedRuntimeOutput = "openjdk version \"17.0.15\" 2025-04-15\r\n";
inline constexpr const char* lowestVersion = "1.8";

// The probe cache of the launcher below HKCU: removed before a cold start.
inline constexpr const char* probeCacheKey = "SOFTWARE\\tarnwell\\qarvo\\jvms";

// Writes `out`: the generic launcher `generic` followed by a block of
// `entries`. False with the reason in `error`.
bool writeConfiguredLauncher(const fs::path& generic, const fs::path& out, const wine::StringEntries& entries,
                             std::string& error);

// The block of a launcher that searches `sequence` for a runtime of at least
// lowestVersion and starts com.example.Main.
wine::StringEntries benchEntries(const std::string& sequence);

// Lays out a runtime home of the stubs of the given architecture: bin\java.exe
// and bin\javaw.exe answering "-version" with `versionOutput`, and the stub
// jvm.dll in bin\client and bin\server.
void makeStubRuntime(const fs::path& home, const std::string& versionOutput, bool sixtyFourBit = false);

// The "-version" runs the stubs of these homes have recorded so far.
std::size_t probeRuns(const std::vector<fs::path>& homes);

// The times the stub jvm.dll of `home` has had main called.
std::size_t mainCalls(const fs::path& home);

// The machine type of a PE file (pe::machineI386, pe::machineAmd64), 0 when
// it cannot be read.
std::uint16_t machineOf(const fs::path& exe);

}  // namespace qarvo::bench
