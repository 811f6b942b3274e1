#include "image/IconResources.h"

#include <gtest/gtest.h>

#include "image/LittleEndian.h"
#include "image/testing/ByteBuilder.h"
#include "image/testing/FakeIcon.h"

namespace qarvo {
namespace {

using testing::bitmapIconImage;
using testing::ByteBuilder;
using testing::FakeIconImage;
using testing::makeIcoFile;
using testing::pngIconImage;

using Bytes = std::vector<std::uint8_t>;

// Every image becomes an RT_ICON with the next id, unchanged (PNG too); the
// group lists them with the file's fields, planes and bit count taken from
// the bitmap header where the file left them 0.
TEST(IconResources, EveryImageBecomesAnIconAndTheGroupListsThem) {
    const Bytes small = bitmapIconImage(16, 0xFF0000FF);
    const Bytes png = pngIconImage(Bytes(30, 7));
    const Bytes ico = makeIcoFile({{16, 16, 0, 0, small}, {0, 0, 1, 32, png}});
    std::vector<Resource> out = {Resource{{1, {}}, {1, {}}, 0, 0, {}}};  // kept
    std::string error;
    ASSERT_TRUE(iconResources(ico, 5, 20, 0x409, out, error)) << error;
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[1], (Resource{{rt::icon, {}}, {20, {}}, 0x409, 0, small}));
    EXPECT_EQ(out[2], (Resource{{rt::icon, {}}, {21, {}}, 0x409, 0, png}));
    const Bytes group = ByteBuilder()
                            .i16(0).i16(1).i16(2)
                            .raw(Bytes{16, 16, 0, 0}).i16(1).i16(32).u32(static_cast<std::uint32_t>(small.size())).i16(20)
                            .raw(Bytes{0, 0, 0, 0}).i16(1).i16(32).u32(static_cast<std::uint32_t>(png.size())).i16(21)
                            .bytes;
    EXPECT_EQ(out[3], (Resource{{rt::groupIcon, {}}, {5, {}}, 0x409, 0, group}));

    std::vector<IconImageInfo> images;
    ASSERT_TRUE(readIconGroup(out[3].data, images, error)) << error;
    EXPECT_EQ(images, (std::vector<IconImageInfo>{{16, 16, 32, 0, static_cast<std::uint32_t>(small.size()), 20},
                                                  {256, 256, 32, 0, static_cast<std::uint32_t>(png.size()), 21}}));
}

TEST(IconResources, WhatIsNoIconIsRefusedWithItsReason) {
    const Bytes good = makeIcoFile({{16, 16, 1, 32, bitmapIconImage(16, 0)}});
    auto patched = [&](std::size_t at, std::uint32_t value, std::size_t size) {
        Bytes bytes = good;
        writeLittleEndian(bytes.data() + at, value, size);
        return bytes;
    };
    // Two images, the second from where the first starts to the file's end.
    auto sharing = [] {
        Bytes bytes = makeIcoFile({{16, 16, 1, 32, bitmapIconImage(16, 0)}, {16, 16, 1, 32, bitmapIconImage(16, 0)}});
        const auto first = static_cast<std::uint32_t>(readLittleEndian(bytes.data() + 6 + 12, 4));
        writeLittleEndian(bytes.data() + 6 + 16 + 8, static_cast<std::uint32_t>(bytes.size()) - first, 4);
        writeLittleEndian(bytes.data() + 6 + 16 + 12, first, 4);
        return bytes;
    };
    struct Case {
        const char* name;
        Bytes ico;
        std::uint16_t firstId;
        const char* message;
    } cases[] = {
        {"empty", {}, 1, "not an icon file: shorter than an icon header"},
        {"a PNG file", pngIconImage(Bytes(40, 1)), 1, "not an icon file but a PNG image"},
        {"a bitmap file", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0}, 1, "not an icon file but a bitmap"},
        {"a cursor", patched(2, 2, 2), 1, "not an icon file but a cursor"},
        {"another type", patched(2, 7, 2), 1, "not an icon file: type 7"},
        {"reserved not 0", patched(0, 1, 2), 1, "not an icon file: the header does not start with 0"},
        {"no images", Bytes{0, 0, 1, 0, 0, 0}, 1, "the icon file holds no images"},
        {"directory past the end", patched(4, 0xFFFF, 2), 1, "the icon file's directory runs past its end"},
        {"image past the end", patched(6 + 8, 0x7FFFFFFF, 4), 1, "image 1 of the icon file runs past its end"},
        {"offset past the end", patched(6 + 12, 0xFFFFFFF0, 4), 1, "image 1 of the icon file runs past its end"},
        {"empty image", patched(6 + 8, 0, 4), 1, "image 1 of the icon file is empty"},
        {"images sharing bytes", sharing(), 1, "image 2 of the icon file overlaps the images before it"},
        {"neither bitmap nor PNG", patched(22, 12, 4), 1, "image 1 of the icon file is neither a PNG image nor a bitmap"},
        {"bitmap header larger than the image", patched(22, 0x10000, 4), 1,
         "image 1 of the icon file is neither a PNG image nor a bitmap"},
        {"ids beyond 65535", makeIcoFile({{16, 16, 1, 32, bitmapIconImage(16, 0)}, {16, 16, 1, 32, bitmapIconImage(16, 0)}}),
         65535, "icon ids from 65535 for 2 images run beyond 65535"},
        {"id 0", good, 0, "icon resource ids start at 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Resource> out;
        std::string error;
        EXPECT_FALSE(iconResources(c.ico, 1, c.firstId, 0, out, error));
        EXPECT_EQ(error, c.message);
        EXPECT_TRUE(out.empty());
    }
}

TEST(IconResources, AGroupReaderRefusesWhatIsNoGroup) {
    struct Case {
        Bytes group;
        const char* message;
    } cases[] = {
        {{0, 0, 1}, "not an icon group: its header is not that of icons"},
        {{0, 0, 2, 0, 0, 0}, "not an icon group: its header is not that of icons"},
        {{0, 0, 1, 0, 2, 0, 16, 16, 0, 0, 1, 0, 32, 0, 1, 0, 0, 0, 1, 0}, "icon group of 2 images runs past the end of its data"},
    };
    for (const Case& c : cases) {
        std::vector<IconImageInfo> images = {IconImageInfo{}};
        std::string error;
        EXPECT_FALSE(readIconGroup(c.group, images, error));
        EXPECT_EQ(error, c.message);
        EXPECT_TRUE(images.empty());
    }
}

}  // namespace
}  // namespace qarvo
