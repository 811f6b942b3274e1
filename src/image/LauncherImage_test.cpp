#include "image/LauncherImage.h"

#include <gtest/gtest.h>

#include "image/IncludedFilesSection.h"
#include "image/LittleEndian.h"
#include "image/testing/FakePe.h"

namespace qarvo {
namespace {

using testing::FakePeLayout;
using testing::makeFakePe;

using Bytes = std::vector<std::uint8_t>;

// Without included files the block is closed by the reversed magic and the
// file padded with zeros to a multiple of 512 bytes; included files follow the
// block at once.
TEST(LauncherImage, ClosesAndPadsTheFileUnlessIncludedFilesFollow) {
    struct Case {
        std::size_t imageSize;
        IncludedFileContents includedFiles;
        std::size_t fileSize;
    } cases[] = {
        {1024, {}, 1536},
        {1024, {{}}, 1024 + 32 + 8},
        {1024, {{'a'}, {'b', 'c'}}, 1024 + 32 + 9 + 10},
        {1024 + 512 - 36, {}, 1536},  // block and marker end exactly on the boundary
        {1024 + 512 - 35, {}, 2048},
        {0, {}, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.imageSize);
        Bytes file(c.imageSize, 0x77);
        appendLauncherData(file, {}, c.includedFiles);
        ASSERT_EQ(file.size(), c.fileSize);
        const Bytes block(file.begin() + c.imageSize, file.begin() + c.imageSize + 32);
        EXPECT_EQ(block, encodeConfigurationBlock({}));
        if (!c.includedFiles.empty()) {
            Bytes section;
            for (const Bytes& content : c.includedFiles) appendIncludedFile(section, content);
            EXPECT_EQ(Bytes(file.begin() + c.imageSize + 32, file.end()), section);
            continue;
        }
        const Bytes marker(file.begin() + c.imageSize + 32, file.begin() + c.imageSize + 36);
        EXPECT_EQ(marker, (Bytes{0xE8, 0xE4, 0x13, 0xD5}));
        for (std::size_t i = c.imageSize + 36; i < file.size(); ++i) ASSERT_EQ(file[i], 0) << i;
    }
}

// A template that already carries data (an earlier block, a signature) is cut
// behind its last section; the block is written as given, whatever the
// included file keys say, and reads back with the section behind it.
TEST(LauncherImage, WritesTheTemplateCutBehindItsLastSection) {
    const FakePeLayout layout;
    const Bytes bare = makeFakePe(layout);
    ConfigBlockContent old;
    old.strings = {{122, "Old"}};
    Bytes templateBytes = bare;
    appendLauncherData(templateBytes, old, {{'o', 'l', 'd'}});

    ConfigBlockContent content;
    content.strings = {{2002, "3"}, {2003, "a.txt"}};
    const IncludedFileContents files = {{'x', 'y'}, {}};
    Bytes image;
    std::string error;
    ASSERT_TRUE(writeLauncherImage(templateBytes, content, files, image, error)) << error;

    EXPECT_EQ(Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(bare.size())), bare);
    MemorySource source(image);
    const ConfigBlockRead read = parseConfigurationBlock(source);
    ASSERT_EQ(read.failure, ConfigReadFailure::none);
    EXPECT_EQ(read.content, content);
    IncludedFilesReader reader(source, read.endOffset);
    std::int64_t length = 0;
    for (std::int64_t expected : {2, 0}) {
        ASSERT_TRUE(reader.nextEntry(length) && reader.skipContent());
        EXPECT_EQ(length, expected);
    }
    EXPECT_EQ(reader.position(), image.size());
}

// A signature behind the last section goes with the rest; its certificate
// table entry would point into the block and is cleared.
TEST(LauncherImage, ClearsTheCertificateTableOfACutSignature) {
    const FakePeLayout layout;
    Bytes signedTemplate = makeFakePe(layout);
    const std::size_t directories = static_cast<std::size_t>(layout.peOffset) + pe::optionalHeaderStart +
                                    pe::pe32DirectoryCountField;
    writeLittleEndian(signedTemplate.data() + directories, 5, 4);
    const std::size_t certificate = directories + 4 + pe::certificateDirectory * pe::dataDirectorySize;
    writeLittleEndian(signedTemplate.data() + certificate, signedTemplate.size(), 4);
    writeLittleEndian(signedTemplate.data() + certificate + 4, 0x100, 4);
    signedTemplate.resize(signedTemplate.size() + 0x100, 0x5E);

    Bytes image;
    std::string error;
    ASSERT_TRUE(writeLauncherImage(signedTemplate, {}, {}, image, error)) << error;
    PeImage pe;
    ASSERT_TRUE(parsePeImage(image, pe, error)) << error;
    ASSERT_EQ(pe.dataDirectories.size(), 5u);
    EXPECT_EQ(pe.dataDirectories[pe::certificateDirectory].address, 0u);
    EXPECT_EQ(pe.dataDirectories[pe::certificateDirectory].size, 0u);
    EXPECT_EQ(image.size(), 0x600u + 512);
}

TEST(LauncherImage, RefusesTemplatesWithoutRoomForABlock) {
    FakePeLayout insideHeaders;
    insideHeaders.lastRawDataOffset = 0x100;
    insideHeaders.lastRawDataSize = 0;
    Bytes lowSection = makeFakePe(insideHeaders);
    lowSection.resize(0x400, 0);  // the whole section table and more
    struct Case {
        const char* name;
        Bytes bytes;
        const char* error;
    } cases[] = {
        {"no executable", Bytes(600, 'x'), "no MZ header"},
        {"last section inside the headers", lowSection,
         "the last section ends inside the headers, at offset 256"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = {1, 2, 3};
        std::size_t length = 0;
        std::string error;
        EXPECT_FALSE(writeLauncherImage(c.bytes, {}, {}, image, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(image, (Bytes{1, 2, 3}));
        EXPECT_FALSE(launcherTemplateLength(c.bytes, length, error));
    }
}

}  // namespace
}  // namespace qarvo
