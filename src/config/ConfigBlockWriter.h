// Writes the configuration block that the launcher reads from the end of its
// own executable. The builder and the tests use this writer; the launcher only
// reads.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qarvo {

// Everything a block carries, in the order it is written. Keys may repeat; the
// reader keeps the last value of a key.
struct ConfigBlockContent {
    struct LocaleSection {
        std::string name;  // Java-style locale code: "de", "de_CH", "" (matches every known locale)
        std::vector<std::pair<std::int32_t, std::u16string>> entries;
    };
    std::uint32_t opaqueHeaderWord = 0;  // second header word; the reader ignores it
    std::vector<std::pair<std::int32_t, std::string>> strings;      // narrow, ANSI code page
    std::vector<std::pair<std::int32_t, std::u16string>> wides;     // UTF-16
    std::vector<LocaleSection> localeSections;
};

// The block's bytes exactly as the launcher reads them: magic, the two header
// words, the 64-bit length, string entries, wide entries, locale sections.
std::vector<std::uint8_t> encodeConfigurationBlock(const ConfigBlockContent& content);

// Appends the block to `file` (the generic launcher's bytes, which end with the
// raw data of their last section). With `includedFilesFollow` false the block is
// followed by the closing marker E8 E4 13 D5 and zero bytes up to the next
// multiple of 512 of the file size; otherwise the caller appends the included
// files next.
void appendConfigurationBlock(std::vector<std::uint8_t>& file, const ConfigBlockContent& content,
                              bool includedFilesFollow = false);

}  // namespace qarvo
