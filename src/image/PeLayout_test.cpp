#include "image/PeLayout.h"

#include <gtest/gtest.h>

#include "image/LittleEndian.h"
#include "image/testing/FakePe.h"

namespace qarvo {
namespace {

using testing::FakePeLayout;
using testing::makeFakePe;

using Bytes = std::vector<std::uint8_t>;

const FakePeLayout layout;
const std::size_t signatureAt = static_cast<std::size_t>(layout.peOffset);
const std::size_t optionalAt = signatureAt + pe::optionalHeaderStart;
const std::size_t lastHeaderAt = static_cast<std::size_t>(layout.lastSectionHeader());

void patch(Bytes& bytes, std::size_t at, std::uint64_t value, std::size_t size) {
    writeLittleEndian(bytes.data() + at, value, size);
}

// The launcher's own PE32 headers are read in the layout test; a PE32+ header
// keeps its data directories further on.
TEST(PeLayout, ReadsTheDataDirectoriesOfAPe32PlusHeader) {
    Bytes bytes = makeFakePe(layout);
    patch(bytes, optionalAt, pe::pe32PlusMagic, 2);
    patch(bytes, optionalAt + pe::pe32PlusDirectoryCountField, 5, 4);
    patch(bytes, optionalAt + pe::pe32PlusDirectoryCountField + 4 + pe::certificateDirectory * 8, 0x600, 4);
    PeImage image;
    std::string error;
    ASSERT_TRUE(parsePeImage(bytes, image, error)) << error;
    EXPECT_EQ(image.optionalMagic, pe::pe32PlusMagic);
    EXPECT_EQ(image.dataDirectoryOffset, optionalAt + pe::pe32PlusDirectoryCountField + 4);
    ASSERT_EQ(image.dataDirectories.size(), 5u);
    EXPECT_EQ(image.dataDirectories[pe::certificateDirectory].address, 0x600u);
    EXPECT_EQ(image.sections.size(), 3u);
    EXPECT_EQ(image.lastSectionEnd(), 0x600u);
}

TEST(PeLayout, HostileHeadersFailWithTheirMessage) {
    struct Case {
        const char* name;
        std::size_t at;  // where `value` is patched in; a cut: the file ends at `at`
        std::size_t size;
        std::uint64_t value;
        const char* message;
    } cases[] = {
        {"empty file", 0, 0, 0, "no MZ header"},
        {"shorter than a DOS header", pe::dosHeaderSize - 1, 0, 0, "no MZ header"},
        {"no MZ", 0, 2, 0x4D5A, "no MZ header"},
        {"PE header at 4 GiB", pe::peOffsetField, 4, 0xFFFFFFF0, "PE header at offset 4294967280 lies outside the file"},
        {"PE header cut", signatureAt + 20, 0, 0, "PE header at offset 128 lies outside the file"},
        {"no PE signature", signatureAt, 4, 0x00004551, "no PE signature at offset 128"},
        {"optional header past the end", signatureAt + pe::optionalHeaderSizeField, 2, 0xFFFF,
         "optional header runs past the end of the file"},
        {"no optional header", signatureAt + pe::optionalHeaderSizeField, 2, 1, "optional header too short for its fields"},
        {"unknown magic", optionalAt, 2, 0x107, "unknown optional header magic 263"},
        {"PE32 without directory count", signatureAt + pe::optionalHeaderSizeField, 2, 95,
         "optional header too short for its fields"},
        {"huge directory count", optionalAt + pe::pe32DirectoryCountField, 4, 0xFFFFFFFF,
         "data directory count 4294967295 overruns the optional header"},
        {"one directory too many", optionalAt + pe::pe32DirectoryCountField, 4, 17,
         "data directory count 17 overruns the optional header"},
        {"no sections", signatureAt + pe::sectionCountField, 2, 0, "no sections"},
        {"section table past the end", signatureAt + pe::sectionCountField, 2, 0xFFFF,
         "section table runs past the end of the file"},
        {"raw data past the end", lastHeaderAt + pe::rawDataSizeField, 4, 0x201, "raw data of section 2 runs past the end of the file"},
        {"raw data wrapping 32 bits", lastHeaderAt + pe::rawDataOffsetField, 4, 0xFFFFFFFF,
         "raw data of section 2 runs past the end of the file"},
        // Size and offset are adjacent: no raw data, at an offset behind the file.
        {"empty raw data past the end", lastHeaderAt + pe::rawDataSizeField, 8, std::uint64_t{0x10000} << 32,
         "raw data of section 2 runs past the end of the file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = makeFakePe(layout);
        if (c.size == 0) {
            bytes.resize(c.at);
        } else {
            patch(bytes, c.at, c.value, c.size);
        }
        PeImage image;
        std::string error;
        EXPECT_FALSE(parsePeImage(bytes, image, error));
        EXPECT_EQ(error, c.message);
    }
}

// The 16-bit sum with its carries folded back, the checksum field taken as
// zero wherever it lies, plus the length; worked out by hand.
TEST(PeLayout, ChecksumFoldsCarriesSkipsItsFieldAndAddsTheLength) {
    struct Case {
        Bytes bytes;
        std::size_t checkSumOffset;
        std::uint32_t checksum;
    } cases[] = {
        {{}, 0, 0},
        {{0x01, 0x02, 0x03, 0x04, 0x05}, 100, 0x0201 + 0x0403 + 0x0005 + 5},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00}, 100, 0x0002 + 6},  // 0x1FFFE folds to 0xFFFF, + 2 to 0x0002
        {{0x10, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x20, 0x00}, 2, 0x0010 + 0x0020 + 8},
        {{0x10, 0xAA, 0xBB, 0xCC, 0xDD, 0x20}, 1, 0x0010 + 0x2000 + 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        EXPECT_EQ(peChecksum(c.bytes, c.checkSumOffset), c.checksum);
    }
}

// Written piece by piece, cut anywhere, with a field patched afterwards: the
// checksum of the whole file.
TEST(PeLayout, ChecksumOfPiecesIsTheChecksumOfTheWhole) {
    std::vector<std::uint8_t> file(1000);
    for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i * 7 + (i >> 3));
    const std::uint8_t patch[] = {0xDE, 0xAD, 0xBE};
    for (const std::size_t cut : {0u, 1u, 3u, 33u, 500u, 999u}) {
        std::vector<std::uint8_t> zeroed = file;
        std::fill_n(zeroed.begin() + 301, 3, 0);  // the patched bytes, written as zeros first
        PeChecksumAccumulator sum;
        sum.add(std::span(zeroed).first(cut));
        sum.add(std::span(zeroed).subspan(cut));
        sum.addPatch(301, patch);
        std::copy(std::begin(patch), std::end(patch), file.begin() + 301);
        EXPECT_EQ(sum.value(), peChecksum(file, file.size())) << cut;
    }
}

}  // namespace
}  // namespace qarvo
