#include "config/ConfigBlockWriter.h"

#include <gtest/gtest.h>

namespace qarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ConfigBlockWriter, WritesTheBlockLayoutByteForByte) {
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

// Without included files the block is closed by the reversed magic and the
// file padded with zeros to a multiple of 512 bytes.
TEST(ConfigBlockWriter, ClosesAndPadsTheFileUnlessIncludedFilesFollow) {
    struct Case {
        std::size_t imageSize;
        bool includedFilesFollow;
        std::size_t fileSize;
    } cases[] = {
        {1024, false, 1536}, {1024, true, 1024 + 32},
        {1024 + 512 - 36, false, 1536},  // block and marker end exactly on the boundary
        {1024 + 512 - 35, false, 2048},
        {0, false, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.imageSize);
        Bytes file(c.imageSize, 0x77);
        appendConfigurationBlock(file, {}, c.includedFilesFollow);
        ASSERT_EQ(file.size(), c.fileSize);
        const Bytes block(file.begin() + c.imageSize, file.begin() + c.imageSize + 32);
        EXPECT_EQ(block, encodeConfigurationBlock({}));
        if (c.includedFilesFollow) continue;
        const Bytes marker(file.begin() + c.imageSize + 32, file.begin() + c.imageSize + 36);
        EXPECT_EQ(marker, (Bytes{0xE8, 0xE4, 0x13, 0xD5}));
        for (std::size_t i = c.imageSize + 36; i < file.size(); ++i) ASSERT_EQ(file[i], 0) << i;
    }
}

}  // namespace
}  // namespace qarvo
