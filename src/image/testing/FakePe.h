// A minimal PE image in memory with a configuration block appended, for tests,
// fuzz seeds and the Java tests' fixtures: just the header fields the launcher
// reads to find its block and the optional header's magic, everything else zero.
#pragma once

#include <cstdint>
#include <vector>

#include "image/LauncherImage.h"
#include "image/PeLayout.h"

namespace qarvo::testing {

struct FakePeLayout {
    std::int32_t peOffset = 0x80;             // e_lfanew: offset of the "PE\0\0" signature
    std::int16_t sectionCount = 3;
    std::int16_t optionalHeaderSize = 0xE0;   // that of a 32-bit image
    std::int32_t lastRawDataOffset = 0x400;   // PointerToRawData of the last section
    std::int32_t lastRawDataSize = 0x200;     // SizeOfRawData of the last section

    // Where the block starts: behind the last section's raw data.
    std::int64_t blockOffset() const { return std::int64_t{lastRawDataOffset} + lastRawDataSize; }
    // File offset of the last section header.
    std::int64_t lastSectionHeader() const {
        return pe::sectionHeaderOffset(peOffset, optionalHeaderSize, std::int64_t{sectionCount} - 1);
    }
};

// The image: DOS header with "MZ" and e_lfanew, PE signature, file header with
// the section count and optional header size, a PE32 optional header with no
// data directories, section headers of which the last carries the raw data size
// and offset, and raw data (a byte pattern) up to blockOffset(). The layout must
// place the headers below blockOffset() and within the file; sectionCount must
// be at least 1.
std::vector<std::uint8_t> makeFakePe(const FakePeLayout& layout = {});

// makeFakePe with `content` appended as the launcher's configuration block
// (the section of `includedFiles`, else closing marker and padding, behind it).
std::vector<std::uint8_t> makeFakeLauncher(const ConfigBlockContent& content, const FakePeLayout& layout = {},
                                           const IncludedFileContents& includedFiles = {});

// makeFakePe followed by exactly `tail`.
std::vector<std::uint8_t> makeFakePeWithTail(const std::vector<std::uint8_t>& tail,
                                             const FakePeLayout& layout = {});

// Virtual address of the resource section of makeFakePeWithResources.
constexpr std::uint32_t fakeResourceRva = 0x2000;

// A complete little PE32 image whose resource section is `resourceSection`:
// headers with 16 data directories (the resource directory pointing at the
// section), file alignment 512, section alignment 4096, a code section at
// 0x1000 and the resource section last, at fakeResourceRva and file offset
// 0x400, padded to the file alignment; sizes, SizeOfImage and the checksum
// agree with the content.
std::vector<std::uint8_t> makeFakePeWithResources(const std::vector<std::uint8_t>& resourceSection);

}  // namespace qarvo::testing
