// Windows language identifiers and the Java-style locale names of the
// configuration block's locale sections.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qarvo {

struct LocaleRow {
    std::uint16_t langId;
    const char* name;
};

constexpr std::size_t localeTableSize = 215;
extern const LocaleRow localeTable[localeTableSize];

// Name of `langId`: the first row with that identifier, else the first row of
// its primary language (langId & 0x03FF); null when neither exists.
const char* localeNameForLangId(std::uint16_t langId);

}  // namespace qarvo
