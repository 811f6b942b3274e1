// Low-level operations on Wine prefixes, shared by the harness and the fixture.
#pragma once

#include <filesystem>
#include <string>

#include "ChildProcess.h"

namespace qarvo::wine {

// The stamp a complete template carries; its clones carry it too (hard link).
constexpr const char* templateStampName = ".qarvo-template";
constexpr const char* templateStampVersion = "qarvo wine template 1";

// True when `prefix` may be used or removed by the harness: absolute, inside
// wineRoot(), and neither empty nor ~/.wine (where Wine silently falls back).
bool checkPrefixPath(const std::filesystem::path& prefix, std::string& error);

// The environment of every Wine process of the harness: the caller's own
// environment without what would change Wine's or the launcher's behaviour.
Environment wineEnvironment(const std::filesystem::path& prefix);

// Starts a persistent server for `prefix` ("wineserver -p"); it detaches once
// its socket is ready.
bool startServer(const std::filesystem::path& prefix, std::string& error);
// Ends the server of `prefix` with every process it serves, flushing the
// registry files, and waits until it is gone. Harmless when none runs.
void stopServer(const std::filesystem::path& prefix);

// Copies the template as hard links, with real copies of the registry files,
// which the server rewrites in place.
bool clonePrefixTree(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string& error);

// Stops the server of a prefix directory and removes it.
void discardPrefix(const std::filesystem::path& prefix);

}  // namespace qarvo::wine
