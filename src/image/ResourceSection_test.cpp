// Replacing the resource section of an image.
#include <gtest/gtest.h>

#include "image/LittleEndian.h"
#include "image/PeLayout.h"
#include "image/Resources.h"
#include "image/testing/FakePe.h"

namespace qarvo {
namespace {

using testing::fakeResourceRva;
using testing::makeFakePeWithResources;

using Bytes = std::vector<std::uint8_t>;

// Offsets in the images of makeFakePeWithResources.
constexpr std::size_t optionalAt = 0x40 + pe::optionalHeaderStart;
constexpr std::size_t directoriesAt = optionalAt + pe::pe32DirectoryCountField + 4;
const std::size_t textHeaderAt = static_cast<std::size_t>(pe::sectionHeaderOffset(0x40, 0xE0, 0));
const std::size_t resourceHeaderAt = static_cast<std::size_t>(pe::sectionHeaderOffset(0x40, 0xE0, 1));

std::uint32_t field(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(readLittleEndian(bytes.data() + at, 4));
}

std::vector<Resource> someResources(std::size_t dataSize) {
    return {Resource{{24, {}}, {1, {}}, 0x409, 0, Bytes(dataSize, 'm')},
            Resource{{10, {}}, {10000, {}}, 0, 0, Bytes{0x89, 'P', 'N', 'G'}}};
}

// The image with its new section equals one made with that section from the
// start, whose sizes and checksum are worked out independently.
TEST(ResourceSection, ReplacingFixesTheSizesTheDirectoryAndTheChecksum) {
    for (std::size_t dataSize : {std::size_t{0}, std::size_t{300}, std::size_t{5000}}) {
        SCOPED_TRACE(dataSize);
        const std::vector<Resource> resources = someResources(dataSize);
        Bytes section;
        std::string error;
        ASSERT_TRUE(encodeResourceSection(resources, fakeResourceRva, section, error)) << error;
        Bytes image = makeFakePeWithResources(Bytes(1500, 0x11));
        ASSERT_TRUE(replaceResources(image, resources, error)) << error;
        EXPECT_EQ(image, makeFakePeWithResources(section));

        PeImage pe;
        ASSERT_TRUE(parsePeImage(image, pe, error)) << error;
        EXPECT_EQ(pe.sections.back().virtualSize, section.size());
        EXPECT_EQ(field(image, optionalAt + pe::sizeOfInitializedDataField), pe.sections.back().rawDataSize);
        EXPECT_EQ(pe.checkSum, peChecksum(image, pe.checkSumOffset));
        std::vector<Resource> read;
        ASSERT_TRUE(readResources(image, read, error)) << error;
        EXPECT_EQ(read.size(), 2u);
    }
}

TEST(ResourceSection, AnImageThatCannotTakeANewSectionIsRefusedAndLeftAlone) {
    struct Case {
        const char* name;
        std::size_t at;  // a 4-byte field set to `value` unless 0
        std::uint32_t value;
        std::size_t tail;  // bytes appended
        const char* message;
        std::size_t at2 = 0;  // a second field, set to `value2` unless 0
        std::uint32_t value2 = 0;
    } cases[] = {
        {"no PE image", 0x40 + 0, 0x4551, 0, "no PE signature at offset 64"},
        {"certificate table", directoriesAt + pe::certificateDirectory * 8 + 4, 0x100, 0,
         "the image carries a certificate table (a code signature); replace its resources before signing it"},
        {"a block behind", 0, 0, 700,
         "the image has 700 bytes behind its last section (a signature or a configuration block); start from an image "
         "without them"},
        {"no resource directory", directoriesAt + pe::resourceDirectory * 8, 0, 0, "the image has no resource directory"},
        {"resources in the code section", directoriesAt + pe::resourceDirectory * 8, 0x1000, 0,
         "the resource directory does not start the last section (.rsrc)"},
        {"directory inside the section", directoriesAt + pe::resourceDirectory * 8, fakeResourceRva + 0x10, 0,
         "the resource directory does not start the last section (.rsrc)"},
        {"raw data in the headers", resourceHeaderAt + pe::rawDataOffsetField, 0x100, 0,
         "the last section's raw data lie inside the headers", resourceHeaderAt + pe::rawDataSizeField, 0x500},
        {"code behind in memory", textHeaderAt + pe::virtualAddressField, 0x3000, 0,
         "section .text lies behind the last section in memory"},
        {"code behind in the file", textHeaderAt + pe::rawDataOffsetField, 0x400, 0,
         "section .text has raw data behind the last section's"},
        {"imports in the resources", directoriesAt + pe::importDirectory * 8, fakeResourceRva + 0x20, 0,
         "data directory 1 lies in the resource section", directoriesAt + pe::importDirectory * 8 + 4, 40},
        {"file alignment 0", optionalAt + pe::fileAlignmentField, 0, 0,
         "the image's alignments (file 0, section 4096) are not powers of two with the section's the larger"},
        {"section alignment below the file's", optionalAt + pe::sectionAlignmentField, 0x100, 0,
         "the image's alignments (file 512, section 256) are not powers of two with the section's the larger"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = makeFakePeWithResources(Bytes(100, 0x22));
        if (c.tail != 0) image.resize(image.size() + c.tail, 0x33);
        if (c.at != 0) writeLittleEndian(image.data() + c.at, c.value, 4);
        if (c.at2 != 0) writeLittleEndian(image.data() + c.at2, c.value2, 4);
        const Bytes before = image;
        std::string error;
        EXPECT_FALSE(replaceResources(image, someResources(10), error));
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(image, before);
    }
}

}  // namespace
}  // namespace qarvo
