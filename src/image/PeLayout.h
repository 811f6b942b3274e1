// The parts of the PE executable format that the launcher image needs, in one
// place: the header offsets that locate the configuration block, a checked
// parser of the headers, the machine type of a runtime's java.exe and the
// header checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/ByteSource.h"

namespace qarvo {

namespace pe {

// DOS header.
constexpr std::uint16_t dosSignature = 0x5A4D;  // "MZ"
constexpr std::uint32_t dosHeaderSize = 64;
constexpr std::uint32_t peOffsetField = 60;  // e_lfanew: 32-bit file offset of the PE signature

// The PE signature and the file header behind it; offsets from the signature.
constexpr std::uint32_t signature = 0x00004550;  // "PE\0\0"
constexpr std::uint32_t signatureSize = 4;
constexpr std::uint32_t machineField = 4;             // 16 bits
constexpr std::uint32_t sectionCountField = 6;        // 16 bits
constexpr std::uint32_t timeDateStampField = 8;       // 32 bits
constexpr std::uint32_t optionalHeaderSizeField = 20; // 16 bits
constexpr std::uint32_t fileHeaderSize = 20;
constexpr std::uint32_t optionalHeaderStart = signatureSize + fileHeaderSize;

constexpr std::uint16_t machineI386 = 0x14C;
constexpr std::uint16_t machineAmd64 = 0x8664;

// The optional header; offsets from its start. PE32 and PE32+ agree up to the
// DLL characteristics and differ in where the data directories begin.
constexpr std::uint16_t pe32Magic = 0x10B;
constexpr std::uint16_t pe32PlusMagic = 0x20B;
constexpr std::uint32_t sizeOfInitializedDataField = 8;  // raw data sizes of the data sections, added up
constexpr std::uint32_t sectionAlignmentField = 32;
constexpr std::uint32_t fileAlignmentField = 36;
constexpr std::uint32_t sizeOfImageField = 56;           // as loaded, a multiple of the section alignment
constexpr std::uint32_t checkSumField = 64;
constexpr std::uint32_t subsystemField = 68;
constexpr std::uint32_t dllCharacteristicsField = 70;
constexpr std::uint32_t pe32DirectoryCountField = 92;      // NumberOfRvaAndSizes, directories behind it
constexpr std::uint32_t pe32PlusDirectoryCountField = 108;
constexpr std::uint32_t dataDirectorySize = 8;             // address (32 bits), size (32 bits)

constexpr std::uint16_t windowSubsystem = 2;
constexpr std::uint16_t consoleSubsystem = 3;
constexpr std::uint16_t dynamicBase = 0x40;  // DllCharacteristics: address space layout randomisation

// Data directory indices.
constexpr std::size_t importDirectory = 1;
constexpr std::size_t resourceDirectory = 2;
constexpr std::size_t certificateDirectory = 4;  // its address is a file offset, not a virtual address

// A section header of the section table behind the optional header.
constexpr std::uint32_t sectionHeaderSize = 40;
constexpr std::uint32_t sectionNameSize = 8;
constexpr std::uint32_t virtualSizeField = 8;
constexpr std::uint32_t virtualAddressField = 12;
constexpr std::uint32_t rawDataSizeField = 16;    // SizeOfRawData
constexpr std::uint32_t rawDataOffsetField = 20;  // PointerToRawData
constexpr std::uint32_t sectionCharacteristicsField = 36;
constexpr std::uint32_t initializedDataSection = 0x40;  // IMAGE_SCN_CNT_INITIALIZED_DATA

// File offset of section header `index` (0 the first) for the given header
// values. Signed 64-bit throughout: hostile 32-bit and 16-bit fields can
// neither overflow it nor wrap into a plausible offset.
constexpr std::int64_t sectionHeaderOffset(std::int64_t peOffset, std::int64_t optionalHeaderSize,
                                           std::int64_t index) {
    return peOffset + optionalHeaderStart + optionalHeaderSize + index * std::int64_t{sectionHeaderSize};
}

}  // namespace pe

struct PeSection {
    std::string name;  // up to 8 bytes, trailing zeros removed
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawDataSize = 0;
    std::uint32_t rawDataOffset = 0;
    std::uint32_t characteristics = 0;
};

struct PeDataDirectory {
    std::uint32_t address = 0;
    std::uint32_t size = 0;
};

// The headers of a PE image. Offsets are file offsets.
struct PeImage {
    std::uint32_t peOffset = 0;  // of the "PE\0\0" signature
    std::uint16_t machine = 0;
    std::uint16_t sectionCount = 0;
    std::uint32_t timeDateStamp = 0;
    std::uint16_t optionalHeaderSize = 0;
    std::uint16_t optionalMagic = 0;  // pe32Magic or pe32PlusMagic
    std::uint16_t subsystem = 0;
    std::uint16_t dllCharacteristics = 0;
    std::uint32_t checkSumOffset = 0;  // of the CheckSum field
    std::uint32_t checkSum = 0;
    std::uint32_t dataDirectoryOffset = 0;  // of the first data directory
    std::vector<PeDataDirectory> dataDirectories;
    std::uint32_t sectionTableOffset = 0;  // of the first section header
    std::vector<PeSection> sections;       // in table order, at least one

    // End of the raw data of the last section in the table: where the
    // launcher looks for its configuration block.
    std::uint64_t lastSectionEnd() const {
        return std::uint64_t{sections.back().rawDataOffset} + sections.back().rawDataSize;
    }
};

// Parses the headers of the image in `bytes`. Every offset, count and size is
// checked against the buffer before it is used. False with a message in
// `error` when the headers are not those of a PE32 or PE32+ image with at
// least one section whose raw data all lie within the buffer.
bool parsePeImage(std::span<const std::uint8_t> bytes, PeImage& image, std::string& error);

// The PE checksum of `bytes`: the 16-bit little-endian words summed with the
// carry folded back after each addition (a last odd byte counts as a word of
// its own), the four bytes at `checkSumOffset` counted as zero, plus the
// length of the file.
std::uint32_t peChecksum(std::span<const std::uint8_t> bytes, std::size_t checkSumOffset);

// The PE checksum of a file written piece by piece, for files too large to
// hold: the pieces are added in file order (the checksum field written as
// zeros), bytes patched later into zeros already added go through addPatch.
// value() is peChecksum of the whole file. Adding runs four bytes at a time:
// a sum of 32-bit words folds to the same 16-bit sum as one of 16-bit words.
class PeChecksumAccumulator {
public:
    void add(std::span<const std::uint8_t> bytes);
    // Adds `bytes` that replace zeros at file offset `offset`, already added.
    void addPatch(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    std::uint32_t value() const;

private:
    std::uint64_t sum_ = 0;
    std::uint64_t length_ = 0;
};

// The machine type of an executable: reads its 64-byte DOS header and the 6
// bytes of signature and machine at e_lfanew, nothing else, and never asks
// the source its size. False when either read runs short or fails, or a
// signature ("MZ", "PE\0\0") is missing.
bool readPeMachine(ByteSource& source, std::uint16_t& machine);

}  // namespace qarvo
