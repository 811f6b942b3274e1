#include "config/ConfigBlockReader.h"

#include <cstring>

#include "config/BlockReader.h"
#include "config/Configuration.h"
#include "report/Log.h"

namespace qarvo {

RandomAccessFile::Result MemoryFile::readAt(std::uint64_t offset, void* buffer, std::size_t size) {
    Result result;
    if (offset >= bytes_.size()) return result;
    const std::size_t available = bytes_.size() - static_cast<std::size_t>(offset);
    result.bytes = size < available ? size : available;
    std::memcpy(buffer, bytes_.data() + offset, result.bytes);
    return result;
}

const char* configReadFailureMessage(ConfigReadFailure failure) {
    switch (failure) {
        case ConfigReadFailure::none: return "";
        case ConfigReadFailure::magic: return "Internal Error: magic";
        case ConfigReadFailure::readLong: return "Internal Error: readLong";
        case ConfigReadFailure::readInt: return "Internal Error: readInt";
        case ConfigReadFailure::readShort: return "Internal Error: readShort";
        case ConfigReadFailure::readString: return "Internal Error: readString";
        case ConfigReadFailure::readWString: return "Internal Error: readWString";
    }
    return "";
}

namespace {

// Offsets in the PE format: where the DOS header keeps the PE header's offset,
// and where the PE header keeps the section count and the optional header's
// size; the sizes of the PE signature, the file header and a section header;
// where a section header keeps SizeOfRawData and PointerToRawData.
constexpr std::int64_t peOffsetField = 60;
constexpr std::int64_t sectionCountField = 6;
constexpr std::int64_t optionalHeaderSizeField = 20;
constexpr std::int64_t peSignatureSize = 4;
constexpr std::int64_t fileHeaderSize = 20;
constexpr std::int64_t sectionHeaderSize = 40;
constexpr std::int64_t rawDataSizeField = 16;
constexpr std::int64_t rawDataOffsetField = 20;

bool readStringEntries(BlockReader& in, ConfigurationMaps& maps) {
    std::int32_t count = 0;
    if (!in.readInt(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t key = 0;
        std::string value;
        if (!in.readInt(key) || !in.readString(value)) return false;
        maps.stringValues[key] = std::move(value);
    }
    return true;
}

bool readWideEntries(BlockReader& in, ConfigurationMaps& maps) {
    std::int32_t count = 0;
    if (!in.readInt(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t key = 0;
        std::u16string value;
        if (!in.readInt(key) || !in.readWString(value)) return false;
        maps.wideValues[key] = std::move(value);
    }
    return true;
}

// A section applies when its name is a prefix of the user's locale name, so
// "de" serves "de_CH" too and "" serves every locale the table knows.
bool sectionMatches(const std::string& section, const char* userLocale) {
    return userLocale && std::strncmp(section.c_str(), userLocale, section.size()) == 0;
}

// Every section is read in full, matching or not, to reach the next one. Later
// sections override earlier ones, so "de_CH" behind "de" wins for its keys.
bool readLocaleSections(BlockReader& in, ConfigurationMaps& maps,
                        const std::function<const char*()>& userLocale) {
    std::int32_t count = 0;
    if (!in.readInt(count)) return false;
    if (count <= 0) return true;
    const char* user = userLocale ? userLocale() : nullptr;
    for (std::int32_t i = 0; i < count; ++i) {
        std::string name;
        std::int32_t entries = 0;
        if (!in.readString(name) || !in.readInt(entries)) return false;
        const bool matches = sectionMatches(name, user);
        for (std::int32_t j = 0; j < entries; ++j) {
            std::int32_t key = 0;
            std::u16string value;
            if (!in.readInt(key) || !in.readWString(value)) return false;
            if (matches) maps.wideValues[key] = std::move(value);
        }
    }
    return true;
}

}  // namespace

bool seekConfigurationBlock(BlockReader& in) {
    // 64-bit arithmetic throughout: the header fields are hostile 32-bit and
    // 16-bit values, and their sums must neither overflow nor wrap into a
    // plausible offset.
    std::int32_t peOffset = 0;
    in.seek(peOffsetField);
    if (!in.readInt(peOffset)) return false;

    std::int16_t sections = 0;
    in.seek(peOffset + sectionCountField);
    if (!in.readShort(sections)) return false;
    logLine("number of sections: %d", sections);

    std::int16_t optionalHeaderSize = 0;
    in.seek(peOffset + optionalHeaderSizeField);
    if (!in.readShort(optionalHeaderSize)) return false;
    logLine("size of optional headers: %d", optionalHeaderSize);

    const std::int64_t resSectionTableStart = peOffset + peSignatureSize + fileHeaderSize + optionalHeaderSize +
                                              (static_cast<std::int64_t>(sections) - 1) * sectionHeaderSize;
    // Logged as 32 bits like the other header values; for any header a linker
    // writes the value fits.
    logLine("resSectionTableStart: %d", static_cast<int>(resSectionTableStart));

    std::int32_t rawDataSize = 0;
    std::int32_t rawDataOffset = 0;
    in.seek(resSectionTableStart + rawDataSizeField);
    if (!in.readInt(rawDataSize)) return false;
    in.seek(resSectionTableStart + rawDataOffsetField);
    if (!in.readInt(rawDataOffset)) return false;
    logLine("rawDataSize: %d, rawDataOffset: %d", rawDataSize, rawDataOffset);

    in.seek(static_cast<std::int64_t>(rawDataOffset) + rawDataSize);
    return true;
}

ConfigReadFailure readConfigurationFrom(RandomAccessFile& file,
                                        const std::function<const char*()>& userLocale) {
    BlockReader in(file);
    if (!seekConfigurationBlock(in)) return in.failure();

    std::int32_t magic = 0;
    if (!in.readInt(magic)) return in.failure();
    if (static_cast<std::uint32_t>(magic) != configBlockMagic) return ConfigReadFailure::magic;

    // Two header words and the block length: written by the builder, of no use
    // to a reader that walks the entries.
    std::int32_t headerWord = 0;
    std::int64_t blockLength = 0;
    if (!in.readInt(headerWord) || !in.readInt(headerWord) || !in.readLong(blockLength)) return in.failure();

    ConfigurationMaps& maps = configurationMaps();
    if (!readStringEntries(in, maps) || !readWideEntries(in, maps) || !readLocaleSections(in, maps, userLocale)) {
        return in.failure();
    }
    // Every byte up to here was read from the file, so the offset lies within
    // it; a launcher file is far below 4 GiB.
    maps.blockEndOffset = static_cast<std::uint32_t>(in.position());
    return ConfigReadFailure::none;
}

}  // namespace qarvo
