#include "config/LocaleTable.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qarvo {
namespace {

TEST(LocaleTable, HoldsEveryRowPrimaryLanguagesFirst) {
    // A row left out of the initializer would be a zero row at the end.
    for (std::size_t i = 0; i < localeTableSize; ++i) {
        ASSERT_NE(localeTable[i].name[0], '\0') << i;
        ASSERT_NE(localeTable[i].langId, 0) << i;
    }
    EXPECT_EQ(localeTable[0].langId, 0x0001);
    EXPECT_STREQ(localeTable[0].name, "ar");
    EXPECT_EQ(localeTable[70].langId, 0x0056);
    EXPECT_STREQ(localeTable[70].name, "gl");
    EXPECT_EQ(localeTable[71].langId, 0x0401);
    EXPECT_STREQ(localeTable[71].name, "ar_SA");
    EXPECT_EQ(localeTable[214].langId, 0x500A);
    EXPECT_STREQ(localeTable[214].name, "es_PR");
    for (std::size_t i = 0; i < localeTableSize; ++i) {
        const bool primary = localeTable[i].langId < 0x0400;
        EXPECT_EQ(primary, i < 71) << i;
        if (primary) {
            EXPECT_EQ(std::strlen(localeTable[i].name), 2u) << i;
        }
    }
}

TEST(LocaleTable, NamesALanguageIdentifier) {
    struct Case {
        std::uint16_t langId;
        const char* name;  // null: no name
    } cases[] = {
        {0x0409, "en_US"}, {0x0809, "en_GB"},    {0x2409, "en"},    {0x0009, "en"},
        {0x4409, "en"},    {0x0C0A, "es_ES"},    {0x040A, "es_ES"}, {0x0812, "ko_KR"},
        {0x0814, "no_NO_NY"}, {0x0414, "no_NO"}, {0x040D, "iw_IL"}, {0x0421, "in_ID"},
        {0x0431, "ts"},    {0x0435, "zu"},       {0x0444, "tt"},    {0x082C, "az_AZ"},
        {0x0C1A, "sr_CS"}, {0x0807, "de_CH"},    {0x0C07, "de_AT"}, {0x7C04, "zh"},
        {0x0456, "gl_ES"}, {0x500A, "es_PR"},    {0x0401, "ar_SA"}, {0x5409, "en"},
        {0x0000, nullptr}, {0x007F, nullptr},    {0x0428, nullptr}, {0x0400, nullptr},
        {0xFFFF, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.langId);
        const char* name = localeNameForLangId(c.langId);
        if (!c.name) {
            EXPECT_EQ(name, nullptr);
        } else {
            ASSERT_NE(name, nullptr);
            EXPECT_STREQ(name, c.name);
        }
    }
}

}  // namespace
}  // namespace qarvo
