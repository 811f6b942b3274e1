#include "image/ConfigBlock.h"

#include <gtest/gtest.h>

namespace qarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ConfigBlockEncoder, WritesTheBlockLayoutByteForByte) {
    ConfigBlockContent content;
    content.opaqueHeaderWord = 0x11223344;
    content.strings = {{0x102, "ab"}};
    content.wides = {{-1, u"\u20AC"}};
    content.localeSections = {{"de", {{7, u"x"}}}, {"", {}}};
    const Bytes expected = {
        0xD5, 0x13, 0xE4, 0xE8,                          // magic
        0, 0, 0, 0,                                      // first header word
        0x44, 0x33, 0x22, 0x11,                          // opaque word
        68, 0, 0, 0, 0, 0, 0, 0,                         // bytes from here to the end
        1, 0, 0, 0, 0x02, 0x01, 0, 0, 2, 0, 0, 0, 'a', 'b',  // one string entry
        1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 0xAC, 0x20,  // one wide entry
        2, 0, 0, 0,                                      // two locale sections
        2, 0, 0, 0, 'd', 'e', 1, 0, 0, 0, 7, 0, 0, 0, 2, 0, 0, 0, 'x', 0,
        0, 0, 0, 0, 0, 0, 0, 0,                          // "" with no entries
    };
    EXPECT_EQ(encodeConfigurationBlock(content), expected);
}

}  // namespace
}  // namespace qarvo
