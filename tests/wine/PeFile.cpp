#include "PeFile.h"

#include <algorithm>

#include "image/LittleEndian.h"

namespace qarvo::wine {

namespace {

constexpr std::size_t importDescriptorSize = 20;
constexpr std::size_t importNameField = 12;
constexpr std::size_t importThunksField = 16;

std::optional<std::size_t> fileOffsetOf(const PeFile& pe, std::uint32_t rva) {
    for (const PeSection& s : pe.sections) {
        const std::uint32_t extent = std::max(s.virtualSize, s.rawDataSize);
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) {
            return std::size_t{s.rawDataOffset} + (rva - s.virtualAddress);
        }
    }
    return std::nullopt;
}

// A zero-terminated string; nothing when it runs past the end.
std::optional<std::string> textAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::string out;
    for (std::size_t i = offset; i < bytes.size(); ++i) {
        if (bytes[i] == 0) return out;
        out += static_cast<char>(bytes[i]);
    }
    return std::nullopt;
}

bool readImports(const std::vector<std::uint8_t>& bytes, PeFile& pe, std::string& error) {
    if (pe.dataDirectories.size() <= pe::importDirectory) return true;
    const std::uint32_t importRva = pe.dataDirectories[pe::importDirectory].address;
    if (importRva == 0) return true;
    std::optional<std::size_t> at = fileOffsetOf(pe, importRva);
    if (!at) {
        error = "import directory outside every section";
        return false;
    }
    for (std::size_t d = *at;; d += importDescriptorSize) {
        if (d > bytes.size() || bytes.size() - d < importDescriptorSize) {
            error = "import directory runs past the end of the file";
            return false;
        }
        const auto nameRva = static_cast<std::uint32_t>(readLittleEndian(&bytes[d + importNameField], 4));
        if (nameRva == 0 && readLittleEndian(&bytes[d + importThunksField], 4) == 0) return true;
        std::optional<std::size_t> nameAt = fileOffsetOf(pe, nameRva);
        std::optional<std::string> name = nameAt ? textAt(bytes, *nameAt) : std::nullopt;
        if (!name) {
            error = "unreadable import name";
            return false;
        }
        pe.importedDlls.push_back(*name);
    }
}

}  // namespace

std::optional<PeFile> parsePeFile(const std::vector<std::uint8_t>& bytes, std::string& error) {
    PeFile pe;
    if (!parsePeImage(bytes, pe, error) || !readImports(bytes, pe, error)) return std::nullopt;
    return pe;
}

}  // namespace qarvo::wine
