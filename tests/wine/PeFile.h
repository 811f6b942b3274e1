// Reads the headers of a PE executable held in memory with the image
// library's parser, and the names of the DLLs it imports: what the end-to-end
// tests need to predict the launcher's log lines and to check its layout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/PeLayout.h"

namespace qarvo::wine {

struct PeFile : PeImage {
    std::vector<std::string> importedDlls;  // names as the import directory spells them
};

// Parses `bytes`; every offset is checked against the buffer. Returns nothing
// and sets `error` when they are no PE image or its import directory cannot
// be read.
std::optional<PeFile> parsePeFile(const std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace qarvo::wine
