#include "PeFile.h"

#include <algorithm>

namespace qarvo::wine {

namespace {

constexpr std::uint16_t pe32Magic = 0x10B;
constexpr std::size_t sectionHeaderSize = 40;
constexpr std::size_t importDescriptorSize = 20;
// Offsets inside the PE32 optional header.
constexpr std::size_t subsystemField = 68;
constexpr std::size_t dllCharacteristicsField = 70;
constexpr std::size_t directoryCountField = 92;
constexpr std::size_t importDirectoryField = 96 + 8;  // data directory 1

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    bool has(std::size_t offset, std::size_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    std::uint16_t u16(std::size_t offset) const {
        return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::uint32_t u32(std::size_t offset) const {
        return static_cast<std::uint32_t>(u16(offset)) | static_cast<std::uint32_t>(u16(offset + 2)) << 16;
    }
    // A zero-terminated string; nothing when it runs past the end.
    std::optional<std::string> text(std::size_t offset) const {
        std::string out;
        for (std::size_t i = offset; i < bytes_.size(); ++i) {
            if (bytes_[i] == 0) return out;
            out += static_cast<char>(bytes_[i]);
        }
        return std::nullopt;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
};

std::optional<std::size_t> fileOffsetOf(const PeFile& pe, std::uint32_t rva) {
    for (const PeSection& s : pe.sections) {
        const std::uint32_t extent = std::max(s.virtualSize, s.rawDataSize);
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) {
            return std::size_t{s.rawDataOffset} + (rva - s.virtualAddress);
        }
    }
    return std::nullopt;
}

bool readImports(const Reader& in, PeFile& pe, std::uint32_t importRva, std::string& error) {
    if (importRva == 0) return true;
    std::optional<std::size_t> at = fileOffsetOf(pe, importRva);
    if (!at) {
        error = "import directory outside every section";
        return false;
    }
    for (std::size_t d = *at;; d += importDescriptorSize) {
        if (!in.has(d, importDescriptorSize)) {
            error = "import directory runs past the end of the file";
            return false;
        }
        const std::uint32_t nameRva = in.u32(d + 12);
        if (nameRva == 0 && in.u32(d + 16) == 0) return true;
        std::optional<std::size_t> nameAt = fileOffsetOf(pe, nameRva);
        std::optional<std::string> name = nameAt ? in.text(*nameAt) : std::nullopt;
        if (!name) {
            error = "unreadable import name";
            return false;
        }
        pe.importedDlls.push_back(*name);
    }
}

}  // namespace

std::optional<PeFile> parsePeFile(const std::vector<std::uint8_t>& bytes, std::string& error) {
    Reader in(bytes);
    PeFile pe;
    if (!in.has(0, 64) || bytes[0] != 'M' || bytes[1] != 'Z') {
        error = "no MZ header";
        return std::nullopt;
    }
    pe.peOffset = in.u32(0x3C);
    if (!in.has(pe.peOffset, 24) || in.u32(pe.peOffset) != 0x00004550) {
        error = "no PE signature";
        return std::nullopt;
    }
    pe.machine = in.u16(pe.peOffset + 4);
    pe.sectionCount = in.u16(pe.peOffset + 6);
    pe.optionalHeaderSize = in.u16(pe.peOffset + 20);
    const std::size_t optional = pe.peOffset + 24;
    if (!in.has(optional, pe.optionalHeaderSize) || pe.optionalHeaderSize < importDirectoryField + 8 ||
        in.u16(optional) != pe32Magic) {
        error = "no PE32 optional header";
        return std::nullopt;
    }
    pe.subsystem = in.u16(optional + subsystemField);
    pe.dllCharacteristics = in.u16(optional + dllCharacteristicsField);
    pe.sectionTableOffset = static_cast<std::uint32_t>(optional + pe.optionalHeaderSize);
    for (std::size_t i = 0; i < pe.sectionCount; ++i) {
        const std::size_t h = pe.sectionTableOffset + i * sectionHeaderSize;
        if (!in.has(h, sectionHeaderSize)) {
            error = "section table runs past the end of the file";
            return std::nullopt;
        }
        PeSection s;
        for (std::size_t c = 0; c < 8 && bytes[h + c] != 0; ++c) s.name += static_cast<char>(bytes[h + c]);
        s.virtualSize = in.u32(h + 8);
        s.virtualAddress = in.u32(h + 12);
        s.rawDataSize = in.u32(h + 16);
        s.rawDataOffset = in.u32(h + 20);
        pe.sections.push_back(s);
    }
    const bool hasImportDirectory = in.u32(optional + directoryCountField) > 1;
    if (hasImportDirectory && !readImports(in, pe, in.u32(optional + importDirectoryField), error)) {
        return std::nullopt;
    }
    return pe;
}

}  // namespace qarvo::wine
