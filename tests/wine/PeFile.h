// Reads the headers of a PE executable held in memory: what the end-to-end
// tests need to predict the launcher's log lines and to check its layout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qarvo::wine {

struct PeSection {
    std::string name;  // up to 8 characters, trailing zeros removed
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawDataSize = 0;
    std::uint32_t rawDataOffset = 0;
};

struct PeFile {
    std::uint32_t peOffset = 0;            // file offset of the "PE\0\0" signature
    std::uint16_t machine = 0;
    std::uint16_t sectionCount = 0;
    std::uint16_t optionalHeaderSize = 0;
    std::uint16_t subsystem = 0;           // 2: window (GUI), 3: console
    std::uint16_t dllCharacteristics = 0;
    std::uint32_t sectionTableOffset = 0;  // file offset of the first section header
    std::vector<PeSection> sections;       // in table order
    std::vector<std::string> importedDlls; // names as the import directory spells them
};

// Parses `bytes`; every offset is checked against the buffer. Returns nothing
// and sets `error` when the headers are not those of a PE32 image.
std::optional<PeFile> parsePeFile(const std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace qarvo::wine
