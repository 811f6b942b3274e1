// Windows language identifiers and the Java-style locale names of the
// configuration block's locale sections.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qarvo {

// The name is held in the row, not pointed to: a table of pointers would
// cost a string, a pointer and a relocation of the launcher image for each of
// its rows.
struct LocaleRow {
    std::uint16_t langId;
    char name[9];  // terminated; the longest name, "no_NO_NY", has 8 characters
};

constexpr std::size_t localeTableSize = 215;
extern const LocaleRow localeTable[localeTableSize];

// Name of `langId`: the first row with that identifier, else the first row of
// its primary language (langId & 0x03FF); null when neither exists.
const char* localeNameForLangId(std::uint16_t langId);

}  // namespace qarvo
