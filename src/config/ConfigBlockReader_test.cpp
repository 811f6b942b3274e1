#include "config/ConfigBlockReader.h"

#include <gtest/gtest.h>

#include "config/Configuration.h"
#include "config/LocaleTable.h"
#include "image/BlockReader.h"
#include "image/testing/ByteBuilder.h"
#include "image/testing/FakePe.h"
#include "image/testing/RecordingSource.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::ByteBuilder;
using testing::FakePeLayout;
using testing::TestSystem;
using testing::makeFakeLauncher;
using testing::makeFakePe;
using testing::RecordingSource;

using Bytes = std::vector<std::uint8_t>;

const FakePeLayout defaultLayout;
// Where the default layout puts the block.
const std::uint32_t blockStart = static_cast<std::uint32_t>(defaultLayout.blockOffset());

const char* noLocale() { return nullptr; }

ConfigReadFailure readFile(const Bytes& bytes, const char* locale = nullptr) {
    MemorySource file(bytes);
    return readConfigurationFrom(file, [locale] { return locale; });
}

// The default fake launcher with `block` as the bytes behind its last section.
Bytes launcherWithRawBlock(const Bytes& block) {
    Bytes file = makeFakePe();
    file.insert(file.end(), block.begin(), block.end());
    return file;
}

ByteBuilder header(std::int32_t stringCount) { return testing::blockHeader(stringCount); }

// Everything the writer can express comes back; a key written twice keeps its
// later value.
TEST(ConfigBlockReader, ReadsWhatTheWriterWrote) {
    TestSystem system;
    ConfigBlockContent content;
    content.opaqueHeaderWord = 0xDEADBEEF;
    content.strings = {{122, "First"}, {107, "1"}, {2001, "i"}, {1000, ""}, {-5, "negative key"}, {122, "Main"}};
    content.wides = {{1001, u"F\u00FCr alle"}, {1002, u"one"}, {1002, u"\u65E5\u672C"}};
    content.localeSections = {{"de", {{1001, u"deutsch"}, {1003, u"nur de"}}}, {"fr", {{1002, u"fran\u00E7ais"}}}};
    Bytes file = makeFakeLauncher(content);

    ASSERT_EQ(readFile(file, "de_DE"), ConfigReadFailure::none);
    const ConfigurationMaps& maps = configurationMaps();
    EXPECT_EQ(maps.stringValues, (std::map<std::int32_t, std::string>{
                                     {107, "1"}, {122, "Main"}, {2001, "i"}, {1000, ""}, {-5, "negative key"}}));
    EXPECT_EQ(maps.wideValues, (std::map<std::int32_t, std::u16string>{
                                   {1001, u"deutsch"}, {1002, u"\u65E5\u672C"}, {1003, u"nur de"}}));
    EXPECT_EQ(blockEndOffset(), blockStart + encodeConfigurationBlock(content).size());
}

TEST(ConfigBlockReader, LogsTheHeaderWalk) {
    TestSystem system;
    system.enableLog();
    FakePeLayout layout;
    layout.peOffset = 0xF8;
    layout.sectionCount = 5;
    layout.optionalHeaderSize = 0xF0;
    layout.lastRawDataOffset = 0x1000;
    layout.lastRawDataSize = 0x3A00;
    ASSERT_EQ(layout.lastSectionHeader(), 0xF8 + 24 + 0xF0 + 4 * 40);
    ASSERT_EQ(readFile(makeFakeLauncher({}, layout)), ConfigReadFailure::none);
    EXPECT_EQ(system.logLines(), (std::vector<std::string>{
                                     "Started executable C:\\app\\run.exe at Thu Jan  1 00:00:00 1970",
                                     "",
                                     "number of sections: 5",
                                     "size of optional headers: 240",
                                     "resSectionTableStart: 672",
                                     "rawDataSize: 14848, rawDataOffset: 4096",
                                 }));
    EXPECT_EQ(blockEndOffset(), 0x4A00u + 32);  // header and three zero counts
}

TEST(ConfigBlockReader, FindsTheBlockBehindTheLastSectionOfAnyLayout) {
    const FakePeLayout layouts[] = {
        {0x40, 1, 0xE0, 0x200, 0x200},
        {0x80, 96, 0xE0, 0x2000, 0x10},
        {0x80, 2, 0, 0x300, 0},  // no optional header, an empty last section
    };
    for (const FakePeLayout& layout : layouts) {
        SCOPED_TRACE(layout.sectionCount);
        TestSystem system;
        ConfigBlockContent content;
        content.strings = {{122, "Main"}};
        ASSERT_EQ(readFile(makeFakeLauncher(content, layout)), ConfigReadFailure::none);
        EXPECT_EQ(getStringValue(122), "Main");
        EXPECT_EQ(blockEndOffset(), layout.blockOffset() + encodeConfigurationBlock(content).size());
    }
}

// Damaged PE headers lead to a wrong position, which shows as a bad magic or
// a short read.
TEST(ConfigBlockReader, DamagedHeadersFailWithTheMessageOfTheirFirstBadRead) {
    const std::size_t lastHeader = static_cast<std::size_t>(defaultLayout.lastSectionHeader());
    const std::size_t signature = static_cast<std::size_t>(defaultLayout.peOffset);
    struct Case {
        const char* name;
        std::size_t offset;  // of the patched field; beyond the image: the file is cut there
        int size;
        std::int32_t value;
        const char* message;
    } cases[] = {
        {"file shorter than a DOS header", pe::peOffsetField + 2, 0, 0, "Internal Error: readInt"},
        {"no block behind the last section", blockStart, 0, 0, "Internal Error: readInt"},
        {"PE offset behind the file", pe::peOffsetField, 4, 0x7FFFFFF0, "Internal Error: readShort"},
        {"negative PE offset", pe::peOffsetField, 4, -8, "Internal Error: readShort"},
        {"largest PE offset", pe::peOffsetField, 4, INT32_MAX, "Internal Error: readShort"},
        {"section table behind the file", signature + pe::sectionCountField, 2, 0x7FFF, "Internal Error: readInt"},
        {"no sections", signature + pe::sectionCountField, 2, 0, "Internal Error: magic"},
        {"negative section count", signature + pe::sectionCountField, 2, -1, "Internal Error: magic"},
        {"negative optional header size", signature + pe::optionalHeaderSizeField, 2, -0x7000, "Internal Error: readInt"},
        {"raw data before the file", lastHeader + pe::rawDataOffsetField, 4, -2000, "Internal Error: readInt"},
        {"raw data behind 2 GiB", lastHeader + pe::rawDataSizeField, 4, INT32_MAX, "Internal Error: readInt"},
        {"raw data ending inside the headers", lastHeader + pe::rawDataOffsetField, 4, 0, "Internal Error: magic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSystem system;
        Bytes file = makeFakeLauncher({});
        if (c.size == 0) file.resize(c.offset);
        for (int i = 0; i < c.size; ++i) file[c.offset + i] = static_cast<std::uint8_t>(c.value >> (8 * i));
        EXPECT_STREQ(configReadFailureMessage(readFile(file, "de_DE")), c.message);
        EXPECT_EQ(blockEndOffset(), 0u);
    }
}

// Damaged blocks: the message names the read that first meets the damage;
// hostile lengths and counts end in a failed read, not in a huge allocation.
TEST(ConfigBlockReader, DamagedBlocksFailWithTheMessageOfTheirFirstBadRead) {
    const Bytes aboveLimit(maxConfigValueBytes + 2, 'v');  // all there, yet more than a value may be
    struct Case {
        const char* name;
        ByteBuilder block;
        const char* message;
    } cases[] = {
        {"closing marker only", ByteBuilder().raw(Bytes{0xE8, 0xE4, 0x13, 0xD5, 0, 0, 0, 0}), "Internal Error: magic"},
        {"magic off by one", ByteBuilder().u32(0xE8E413D6).raw(Bytes(28, 0)), "Internal Error: magic"},
        {"block length cut", ByteBuilder().u32(configBlockMagic).i32(0).i32(0).i32(0), "Internal Error: readLong"},
        {"negative string length", header(1).i32(7).i32(-1).i32(0).i32(0), "Internal Error: readString"},
        {"string longer than the file", header(1).i32(7).i32(13).raw("short").i32(0), "Internal Error: readString"},
        {"more strings than the file holds", header(INT32_MAX).i32(7).str("a"), "Internal Error: readInt"},
        {"string above 1 MiB", header(1).i32(7).i32(maxConfigValueBytes + 1).raw(aboveLimit),
         "Internal Error: readString"},
        {"negative wide length", header(0).i32(1).i32(7).i32(-2).i32(0), "Internal Error: readWString"},
        {"wide string longer than the file", header(0).i32(1).i32(7).i32(INT32_MAX - 1).i32(0),
         "Internal Error: readWString"},
        {"wide string above 1 MiB", header(0).i32(1).i32(7).i32(maxConfigValueBytes + 2).raw(aboveLimit),
         "Internal Error: readWString"},
        {"negative locale name length", header(0).i32(0).i32(1).i32(-1).i32(0), "Internal Error: readString"},
        {"locale name above 1 MiB", header(0).i32(0).i32(1).i32(maxConfigValueBytes + 1).raw(aboveLimit),
         "Internal Error: readString"},
        {"locale section without its count", header(0).i32(0).i32(1).str("de"), "Internal Error: readInt"},
        {"locale value longer than the file", header(0).i32(0).i32(1).str("de").i32(1).i32(5).i32(400),
         "Internal Error: readWString"},
        {"more locale entries than the file holds", header(0).i32(0).i32(1).str("de").i32(INT32_MAX).i32(5).wstr(u"x"),
         "Internal Error: readInt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSystem system;
        EXPECT_STREQ(configReadFailureMessage(readFile(launcherWithRawBlock(c.block.bytes), "de_DE")), c.message);
        EXPECT_EQ(blockEndOffset(), 0u);
    }
}

// A block cut after every byte count: the failure is that of the field the cut
// falls into, and an integer field's log line tells how much of it was there.
TEST(ConfigBlockReader, BlockCutAnywhereFailsInTheCutField) {
    ConfigBlockContent content;
    content.strings = {{7, "abc"}};
    content.wides = {{8, u"xy"}};
    content.localeSections = {{"de", {{9, u"z"}}}};
    const Bytes full = launcherWithRawBlock(encodeConfigurationBlock(content));
    struct Field {
        int size;
        ConfigReadFailure failure;
    };
    using F = ConfigReadFailure;
    const Field fields[] = {
        {4, F::readInt}, {4, F::readInt}, {4, F::readInt}, {8, F::readLong},     // header
        {4, F::readInt}, {4, F::readInt}, {4, F::readInt}, {3, F::readString},   // strings
        {4, F::readInt}, {4, F::readInt}, {4, F::readInt}, {4, F::readWString},  // wides
        {4, F::readInt}, {4, F::readInt}, {2, F::readString}, {4, F::readInt},   // locale name, count
        {4, F::readInt}, {4, F::readInt}, {2, F::readWString},                   // locale entry
    };
    int fieldStart = 0;
    for (const Field& field : fields) {
        for (int cut = fieldStart; cut < fieldStart + field.size; ++cut) {
            SCOPED_TRACE(cut);
            TestSystem system;
            system.enableLog();
            Bytes file(full.begin(), full.begin() + blockStart + cut);
            EXPECT_EQ(readFile(file, "de"), field.failure);
            std::vector<std::string> lines = system.logLines();
            std::vector<std::string> tail(lines.end() - 2, lines.end());
            if (field.failure == F::readInt) {
                EXPECT_EQ(tail, (std::vector<std::string>{"error 0 " + std::to_string(cut - fieldStart), ""}));
            } else if (field.failure == F::readLong) {
                EXPECT_EQ(tail, (std::vector<std::string>{"error 0", ""}));
            } else {
                EXPECT_EQ(tail[1], "rawDataSize: 512, rawDataOffset: 1024");
            }
        }
        fieldStart += field.size;
    }
    ASSERT_EQ(static_cast<std::size_t>(blockStart + fieldStart), full.size());
    TestSystem system;
    EXPECT_EQ(readFile(full, "de"), ConfigReadFailure::none);
}

TEST(ConfigBlockReader, EntriesReadBeforeAFailureStay) {
    TestSystem system;
    Bytes file =
        launcherWithRawBlock(header(2).i32(1000).str("Fehler").i32(7).str("x").i32(1).i32(3).i32(9).bytes);
    EXPECT_EQ(readFile(file), ConfigReadFailure::readWString);
    EXPECT_EQ(getStringValue(1000), "Fehler");
    EXPECT_EQ(getStringValue(7), "x");
    EXPECT_EQ(blockEndOffset(), 0u);
}

TEST(ConfigBlockReader, ZeroAndNegativeCountsSkipTheirSection) {
    const std::int32_t counts[][3] = {{0, 0, 0}, {-1, -1, -1}, {INT32_MIN, -7, INT32_MIN}};
    for (const auto& c : counts) {
        SCOPED_TRACE(c[0]);
        TestSystem system;
        int localeAsked = 0;
        MemorySource file(launcherWithRawBlock(header(c[0]).i32(c[1]).i32(c[2]).raw("trailing bytes").bytes));
        ASSERT_EQ(readConfigurationFrom(file, [&] { ++localeAsked; return "en"; }), ConfigReadFailure::none);
        EXPECT_TRUE(configurationMaps().stringValues.empty());
        EXPECT_TRUE(configurationMaps().wideValues.empty());
        EXPECT_EQ(blockEndOffset(), blockStart + 32);
        EXPECT_EQ(localeAsked, 0);
    }
}

TEST(ConfigBlockReader, BlockEndsEightBytesAfterTheLastStringEntryWithoutWideOrLocaleEntries) {
    TestSystem system;
    ConfigBlockContent content;
    content.strings = {{2002, "0"}, {2003, "lib/app.jar"}};
    Bytes file = launcherWithRawBlock(encodeConfigurationBlock(content));
    file.resize(file.size() + 100000, 0x5A);  // included files
    ASSERT_EQ(readFile(file), ConfigReadFailure::none);
    const std::uint32_t lastStringEnd = blockStart + 20 + 4 + (4 + 4 + 1) + (4 + 4 + 11);
    EXPECT_EQ(blockEndOffset(), lastStringEnd + 8);
}

TEST(ConfigBlockReader, LocaleSectionsApplyByPrefixOfTheUserLocale) {
    using Sections = std::vector<ConfigBlockContent::LocaleSection>;
    struct Case {
        std::uint16_t langId;
        Sections sections;
        std::u16string expected;
    } cases[] = {
        {0x0409, {{"en", {{5, u"en"}}}}, u"en"},
        {0x0809, {{"en", {{5, u"en"}}}}, u"en"},
        {0x2409, {{"en", {{5, u"en"}}}}, u"en"},  // the row that is plain "en"
        {0x0409, {{"en_US", {{5, u"en_US"}}}}, u"en_US"},
        {0x0809, {{"en_US", {{5, u"en_US"}}}}, u"base"},
        {0x2409, {{"en_US", {{5, u"en_US"}}}}, u"base"},
        {0x0807, {{"de", {{5, u"de"}}}, {"de_CH", {{5, u"de_CH"}}}}, u"de_CH"},
        {0x0807, {{"de_CH", {{5, u"de_CH"}}}, {"de", {{5, u"de"}}}}, u"de"},
        {0x0407, {{"de", {{5, u"de"}}}, {"de_CH", {{5, u"de_CH"}}}}, u"de"},
        {0x0407, {{"fr", {{5, u"fr"}}}}, u"base"},
        {0x0409, {{"", {{5, u"any"}}}}, u"any"},
        {0x0412, {{"", {{5, u"any"}}}, {"ko", {{6, u"other key"}}}}, u"any"},
        {0x007F, {{"", {{5, u"any"}}}}, u"base"},  // a locale the table does not know
        {0x0409, {{"en_US_X", {{5, u"longer"}}}}, u"base"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.langId);
        TestSystem system;
        ConfigBlockContent content;
        content.wides = {{5, u"base"}};
        content.localeSections = c.sections;
        MemorySource file(makeFakeLauncher(content));
        const char* name = localeNameForLangId(c.langId);
        ASSERT_EQ(readConfigurationFrom(file, [name] { return name; }), ConfigReadFailure::none);
        EXPECT_EQ(getWideStringValue(5), c.expected);
    }
}

TEST(ConfigBlockReader, UserLocaleIsAskedOnceWhenSectionsExist) {
    TestSystem system;
    ConfigBlockContent content;
    content.localeSections = {{"de", {{5, u"a"}}}, {"fr", {{5, u"b"}}}, {"", {{6, u"c"}}}};
    MemorySource file(makeFakeLauncher(content));
    int asked = 0;
    ASSERT_EQ(readConfigurationFrom(file, [&] { ++asked; return "fr_FR"; }), ConfigReadFailure::none);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(getWideStringValue(5), u"b");
    EXPECT_EQ(getWideStringValue(6), u"c");

    clearConfiguration();
    MemorySource again(makeFakeLauncher(content));
    ASSERT_EQ(readConfigurationFrom(again, noLocale), ConfigReadFailure::none);
    EXPECT_TRUE(configurationMaps().wideValues.empty());
}

// The included files behind the block can be hundreds of megabytes: the reader
// takes the block in window-sized reads and stops within a window of its end.
TEST(ConfigBlockReader, ReadsLittleOfTheIncludedFilesBehindTheBlock) {
    TestSystem system;
    ConfigBlockContent content;
    content.strings = {{122, "Main"}, {123, std::string(10000, 'o')}, {2002, "3"}};
    content.wides = {{1001, std::u16string(3000, u'w')}};
    content.localeSections = {{"de", {{1001, u"d"}}}};
    Bytes bytes = launcherWithRawBlock(encodeConfigurationBlock(content));
    const std::uint64_t blockEnd = bytes.size();
    bytes.resize(bytes.size() + 8 * 1024 * 1024, 0xAB);
    RecordingSource file(bytes);
    ASSERT_EQ(readConfigurationFrom(file, [] { return "de_DE"; }), ConfigReadFailure::none);
    EXPECT_EQ(blockEndOffset(), blockEnd);
    EXPECT_LE(file.largestRead(), BlockReader::windowSize);
    EXPECT_LE(file.furthestByte(), blockEnd + BlockReader::windowSize);
    EXPECT_LT(file.reads.size(), 20u);
    EXPECT_EQ(getStringValue(123).size(), 8191u);  // cut by the 8192-byte buffer, not by the reader
    EXPECT_EQ(configurationMaps().stringValues.at(123).size(), 10000u);
}

}  // namespace
}  // namespace qarvo
