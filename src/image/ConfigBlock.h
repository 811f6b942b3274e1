// The configuration block appended to a launcher: what it carries, its
// encoder, and a parser that finds it behind the executable's last section
// and reads it back. The launcher, the build tool, the tests and the fuzzers
// all go through these.
//
// Layout, little-endian, no padding: the magic (4), a header word written as 0
// (4), an opaque header word (4), the count of bytes from the length field to
// the end of the block (8); then the string entries, the wide entries and the
// locale sections, each part a 32-bit count (0 or less: none) and its entries.
// A string is a 32-bit byte length and that many bytes; a wide string a 32-bit
// byte length and that many bytes of UTF-16LE; a locale section a name (a
// string), an entry count and that many wide entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "image/ByteSource.h"

namespace qarvo {

constexpr std::uint32_t configBlockMagic = 0xE8E413D5u;
// Offset of the opaque (second) header word: behind the magic and the first word.
constexpr std::size_t configBlockOpaqueWordField = 8;
// Offset of the 64-bit length field: behind the magic and the two header words.
constexpr std::size_t configBlockLengthField = 12;
// Bytes in front of the string entry count.
constexpr std::size_t configBlockHeaderSize = 20;
// The longest string, wide string or locale name a reader accepts, in bytes.
// Values are settings and message texts read into 8192-byte buffers; a larger
// length is damage, and is refused before anything is allocated for it.
constexpr std::int32_t maxConfigValueBytes = 1 << 20;

// Everything a block carries, in block order. Keys may repeat; the launcher
// keeps the last value of a key.
struct ConfigBlockContent {
    struct LocaleSection {
        std::string name;  // Java-style locale code: "de", "de_CH", "" (matches every known locale)
        std::vector<std::pair<std::int32_t, std::u16string>> entries;
        bool operator==(const LocaleSection&) const = default;
    };
    std::uint32_t opaqueHeaderWord = 0;                          // second header word; the launcher ignores it
    std::vector<std::pair<std::int32_t, std::string>> strings;   // narrow, ANSI code page
    std::vector<std::pair<std::int32_t, std::u16string>> wides;  // UTF-16
    std::vector<LocaleSection> localeSections;
    bool operator==(const ConfigBlockContent&) const = default;
};

// The block's bytes: header, string entries, wide entries, locale sections.
std::vector<std::uint8_t> encodeConfigurationBlock(const ConfigBlockContent& content);

// The read primitive that ran short first, or a wrong magic; each has its own
// message.
enum class ConfigReadFailure { none, magic, readLong, readInt, readShort, readString, readWString };

// "Internal Error: magic", "Internal Error: readInt", ...; "" for none.
const char* configReadFailureMessage(ConfigReadFailure failure);

// Receives the trace of a parse, one line at a time: the header values found
// on the way to the block ("number of sections: 3") and the error line of a
// primitive that ran short ("error 0 2\n", with its line feed).
class ConfigTrace {
public:
    virtual ~ConfigTrace() = default;
    virtual void line(const char* text) = 0;
};

// Receives the entries of a block as a parse meets them, in block order, and
// its trace; each value is the visitor's to take. The launcher stores entries
// this way straight into its maps, without a second copy of the block.
class ConfigBlockVisitor : public ConfigTrace {
public:
    virtual void stringEntry(std::int32_t key, std::string&& value) = 0;
    virtual void wideEntry(std::int32_t key, std::u16string&& value) = 0;
    // A locale section begins; localeEntry gives its entries.
    virtual void localeSection(std::string&& name) = 0;
    virtual void localeEntry(std::int32_t key, std::u16string&& value) = 0;
};

struct ConfigBlockEnd {
    ConfigReadFailure failure = ConfigReadFailure::none;
    // Offset just behind the last byte of the block; 0 after a failure.
    std::uint64_t endOffset = 0;
    std::uint32_t opaqueHeaderWord = 0;  // once the header was read
};

// Finds the block behind the raw data of the last section of the executable
// in `source` (only the header fields that lead there are read, none is
// checked) and reads it, handing every entry to `visitor` as it is read: after
// a failure the visitor has had every entry read before it, and a locale
// section once its name was read.
ConfigBlockEnd visitConfigurationBlock(ByteSource& source, ConfigBlockVisitor& visitor);

struct ConfigBlockRead {
    // What was read, in block order; after a failure what the visitor of
    // visitConfigurationBlock would have had.
    ConfigBlockContent content;
    ConfigReadFailure failure = ConfigReadFailure::none;
    std::uint64_t endOffset = 0;  // as ConfigBlockEnd's
};

// visitConfigurationBlock into a content: what tools and tests look at.
ConfigBlockRead parseConfigurationBlock(ByteSource& source, ConfigTrace* trace = nullptr);

}  // namespace qarvo
