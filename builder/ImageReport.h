// `qarvo inspect`: what a built launcher carries, read back with the image
// library: every block entry by its readable name and raw key, the locale
// sections, the included files, whether a signature follows, and the whole
// configuration decoded into app.toml's vocabulary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "builder/HostSystem.h"
#include "builder/Toml.h"
#include "image/ApplicationResources.h"
#include "image/ByteSource.h"
#include "image/ConfigBlock.h"

namespace qarvo::builder {

struct InspectReport {
    std::string file;
    std::uint64_t size = 0;
    std::uint16_t machine = 0;
    std::uint64_t blockOffset = 0, blockEnd = 0;
    ConfigBlockContent content;
    struct File {
        std::string name;  // as stored (Windows-1252)
        std::int64_t size = 0;
        std::uint64_t offset = 0;  // of its content
    };
    std::vector<File> includedFiles;
    std::uint64_t includedFilesEnd = 0;  // 0 when the exe carries none
    std::uint32_t signatureOffset = 0, signatureSize = 0;  // the certificate table; size 0: unsigned
    ResourceSummary resources;
    std::string resourceProblem;  // why the resources could not be read; empty when they could
};

// Reads the launcher in `source`, whose first bytes (at least its headers and
// sections) are `head`. False with the reason in `error` for a file that is
// no qarvo launcher or whose block or included files are damaged.
bool inspectImage(ByteSource& source, const std::vector<std::uint8_t>& head, const std::string& file,
                  InspectReport& report, std::string& error);

// The configuration the block carries, in app.toml's tables and names (the
// "configuration" object of the JSON).
toml::table decodedConfiguration(const InspectReport& report);

// The whole report as the JSON object `inspect --json` prints.
toml::table reportTable(const InspectReport& report);
std::string reportJson(const InspectReport& report);
// The report as text for people.
std::string reportText(const InspectReport& report);

// Runs `qarvo inspect`: the report on standard output. Returns an ExitCode
// (1 for a file that is no qarvo launcher, 3 when it cannot be read).
int inspect(const std::string& file, bool json, Host& host, std::string& output);

}  // namespace qarvo::builder
