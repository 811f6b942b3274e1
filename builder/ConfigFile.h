// Reads app.toml into a BuildPlan: every name checked against the schema,
// every value against what the launcher can read, every file it names found,
// each problem reported with the file, line and column it comes from.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "builder/BuildPlan.h"
#include "builder/HostSystem.h"

namespace qarvo::builder {

struct ReadOptions {
    std::string configurationFile;  // host path, for messages and as the base of relative paths
    std::string output;             // -o: overrides build.output (relative to the working directory)
    std::string target;             // --target: overrides build.target
    std::string runtimeJar;         // qarvo-runtime.jar as found by the tool; empty: not found
};

// Parses `text` (the file's UTF-8 content) into `plan`. False with every
// problem found in `diagnostics` (the plan is then incomplete).
bool readConfiguration(const std::string& text, const ReadOptions& options, Host& host, BuildPlan& plan,
                       std::vector<Diagnostic>& diagnostics);

// `path` of app.toml on this machine: relative to `baseDirectory` (app.toml's,
// with its closing separator) unless it is absolute.
std::string hostPath(const std::string& baseDirectory, const std::string& path);

// The largest offset at which the included-files section may end: the
// launcher holds its block's end and the section's end in 32-bit signed values.
constexpr std::uint64_t maxImageEnd = 0x7FFFFFFF;

// Where the plan's included files would end behind a template of
// `templateLength` bytes (its length up to the end of its last section).
std::uint64_t imageEnd(const BuildPlan& plan, std::uint64_t templateLength);

}  // namespace qarvo::builder
