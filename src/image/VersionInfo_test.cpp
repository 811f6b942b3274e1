#include "image/VersionInfo.h"

#include <gtest/gtest.h>

#include "image/LittleEndian.h"

namespace qarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t field(const Bytes& bytes, std::size_t at, std::size_t size) {
    return static_cast<std::uint32_t>(readLittleEndian(bytes.data() + at, size));
}

std::u16string textAt(const Bytes& bytes, std::size_t at) {
    std::u16string text;
    for (; field(bytes, at, 2) != 0; at += 2) text += static_cast<char16_t>(field(bytes, at, 2));
    return text;
}

VersionInfo small() {
    VersionInfo info;
    info.fileVersion = {1, 2, 3, 4};
    info.productVersion = {5, 6, 7, 0xFFFF};
    info.companyName = u"A";
    return info;
}

Bytes encoded(const VersionInfo& info) {
    Bytes data;
    std::string error;
    EXPECT_TRUE(encodeVersionInfo(info, data, error)) << error;
    return data;
}

// Offsets worked out by hand: the root's key ends at 38 and its value starts
// at 40; StringFileInfo follows at 92, its table at 128, the first string at 152.
TEST(VersionInfo, BlocksAreLaidOutWithTheirLengthsKeysAndPadding) {
    const Bytes data = encoded(small());
    EXPECT_EQ(field(data, 0, 2), data.size());
    EXPECT_EQ(field(data, 2, 2), 52u);
    EXPECT_EQ(field(data, 4, 2), 0u);
    EXPECT_EQ(textAt(data, 6), u"VS_VERSION_INFO");
    EXPECT_EQ(field(data, 38, 2), 0u);  // padding
    const std::uint32_t fixed[] = {0xFEEF04BD, 0x00010000, 0x00010002, 0x00030004, 0x00050006, 0x0007FFFF,
                                   0x3F,       0,          0x00040004, 1,          0,          0,
                                   0};
    for (std::size_t i = 0; i < 13; ++i) EXPECT_EQ(field(data, 40 + 4 * i, 4), fixed[i]) << i;
    EXPECT_EQ(textAt(data, 92 + 6), u"StringFileInfo");
    EXPECT_EQ(field(data, 92 + 4, 2), 1u);
    EXPECT_EQ(textAt(data, 128 + 6), u"040904B0");
    EXPECT_EQ(textAt(data, 152 + 6), u"CompanyName");
    EXPECT_EQ(field(data, 152, 2), 36u);     // up to the end of "A" and its terminator
    EXPECT_EQ(field(data, 152 + 2, 2), 2u);  // units, with the terminator
    EXPECT_EQ(textAt(data, 184), u"A");
    EXPECT_EQ(textAt(data, 188 + 6), u"FileVersion");  // empty texts left out, the versions as numbers
    EXPECT_EQ(field(data, 92, 2) + 92, field(data, 128, 2) + 128);  // the table ends its parent
    // The translation closes the resource: language, then code page.
    EXPECT_EQ(field(data, data.size() - 4, 4), 0x04B00409u);
    EXPECT_EQ(textAt(data, data.size() - 30), u"Translation");
}

TEST(VersionInfo, DecodingGivesBackWhatWasEncoded) {
    VersionInfo info;
    info.fileVersion = {10, 0, 19041, 1};
    info.productVersion = {10, 1, 0, 0};
    info.language = 0x0407;
    info.codePage = 1252;
    info.companyName = u"Tarnwell";
    info.fileDescription = u"Ein Programm \u00FCber alles";
    info.fileVersionText = u"10.0 (build 19041)";
    info.internalName = u"app";
    info.legalCopyright = u"\u00A9 2025";
    info.originalFilename = u"app.exe";
    info.productName = u"App";
    info.productVersionText = u"10.1";
    info.otherStrings = {{u"Comments", u"odd length"}, {u"Empty", u""}};
    VersionInfo read;
    std::string error;
    ASSERT_TRUE(decodeVersionInfo(encoded(info), read, error)) << error;
    EXPECT_EQ(read, info);

    VersionInfo defaults = small();
    ASSERT_TRUE(decodeVersionInfo(encoded(defaults), read, error)) << error;
    defaults.fileVersionText = u"1.2.3.4";
    defaults.productVersionText = u"5.6.7.65535";
    EXPECT_EQ(read, defaults);

    // Tools that count a text value in bytes give the same text.
    Bytes inBytes = encoded(small());
    writeLittleEndian(inBytes.data() + 152 + 2, 4, 2);
    ASSERT_TRUE(decodeVersionInfo(inBytes, read, error)) << error;
    EXPECT_EQ(read.companyName, u"A");
}

TEST(VersionInfo, EncoderRefusesBlocksItsLengthsCannotCount) {
    VersionInfo tooLong = small();
    tooLong.productName = std::u16string(40000, u'x');
    VersionInfo unnamed = small();
    unnamed.otherStrings = {{u"", u"value"}};
    for (const auto& [info, message] : {std::pair{tooLong, "version information block longer than 65535 bytes"},
                                        std::pair{unnamed, "version string without a name"}}) {
        Bytes out = {1};
        std::string error;
        EXPECT_FALSE(encodeVersionInfo(info, out, error));
        EXPECT_EQ(error, message);
        EXPECT_EQ(out, Bytes{1});
    }
}

TEST(VersionInfo, MalformedDataFailWithTheirMessage) {
    const Bytes good = encoded(small());
    struct Case {
        const char* name;
        std::size_t at, size;
        std::uint32_t value;
        const char* message;
    } cases[] = {
        {"another root", 6, 2, 'W', "not version information: no VS_VERSION_INFO block"},
        {"no signature", 40, 4, 0xFEEF04BE, "version information without its fixed file information"},
        {"root shorter than a header", 0, 2, 5, "version block at offset 0 is shorter than its header"},
        {"root longer than the data", 0, 2, 0xFFFF, "version block at offset 0 runs past its parent"},
        {"child longer than its parent", 92, 2, 0xFFF0, "version block at offset 92 runs past its parent"},
        {"fixed information past the block", 2, 2, 0xFFFF, "version block at offset 0: its value runs past the block"},
        {"table key not hexadecimal", 128 + 6, 2, 'X', "version string table key is not eight hexadecimal digits"},
        {"string shorter than a header", 152, 2, 2, "version block at offset 152 is shorter than its header"},
        {"key without terminator", 0, 2, 20, "version block at offset 0 has an unterminated key"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes data = good;
        writeLittleEndian(data.data() + c.at, c.value, c.size);
        VersionInfo read = small();
        std::string error;
        EXPECT_FALSE(decodeVersionInfo(data, read, error));
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(read, small());
    }
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        VersionInfo read;
        std::string error;
        EXPECT_FALSE(decodeVersionInfo(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)), read, error))
            << cut;
    }
}

}  // namespace
}  // namespace qarvo
