// Finding and reading the block behind the launcher's resources, as a started
// launcher does it.
#include <cstring>

#include "E2eSupport.h"

namespace qarvo::wine {
namespace {

class ConfigBlock : public WineTest {};

// A block with an entry of every kind, so that a cut can fall into each field.
ConfigBlockContent everyKindOfEntry() {
    return blockContent({{captionKey, "Caption"}}, {{7, u"wide"}}, {{"de", {{7, u"breit"}}}});
}

// Offsets into the encoded block of everyKindOfEntry(), found from the sizes
// of its leading parts, which end with the counts of the parts left out.
struct BlockOffsets {
    std::size_t stringCount = configBlockHeaderSize;
    std::size_t stringLength = configBlockHeaderSize + 8;  // behind the count and the first key
    std::size_t stringText = configBlockHeaderSize + 12;
    std::size_t wideCount = 0;
    std::size_t wideText = 0;
    std::size_t localeCount = 0;
    std::size_t localeName = 0;
    std::size_t localeEntryCount = 0;
    std::size_t end = 0;
};

BlockOffsets offsetsOf(const ConfigBlockContent& full) {
    ConfigBlockContent stringsOnly = full;
    stringsOnly.wides.clear();
    stringsOnly.localeSections.clear();
    ConfigBlockContent noLocales = full;
    noLocales.localeSections.clear();
    BlockOffsets at;
    at.wideCount = encodeConfigurationBlock(stringsOnly).size() - 8;
    at.wideText = at.wideCount + 4 + 4 + 4;
    at.localeCount = encodeConfigurationBlock(noLocales).size() - 4;
    at.localeName = at.localeCount + 4 + 4;
    at.localeEntryCount = at.localeName + full.localeSections[0].name.size();
    at.end = encodeConfigurationBlock(full).size();
    return at;
}

std::vector<std::uint8_t> firstBytes(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count)};
}

void putInt(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);  // little-endian host, as the format
}

TEST_F(ConfigBlock, BareLauncherEndsInReadInt) {
    RunResult quiet = runLauncher(genericLauncher(), {"-q_mrv_internal"});
    EXPECT_EQ(quiet.exitCode, 1);
    EXPECT_EQ(quiet.standardError, quietMessage("Internal Error: readInt"));
    EXPECT_EQ(quiet.standardOutput, "");

    // Without the quiet prefix the failure goes to a message box, which returns
    // at once without a display.
    RunResult dialog = runLauncher(genericLauncher());
    EXPECT_EQ(dialog.exitCode, 1);
    EXPECT_EQ(dialog.standardError, "");
}

TEST_F(ConfigBlock, DataBehindTheResourcesEndsInTheMessageOfThePrimitiveThatRanShort) {
    const ConfigBlockContent content = everyKindOfEntry();
    const std::vector<std::uint8_t> block = encodeConfigurationBlock(content);
    const BlockOffsets at = offsetsOf(content);
    std::vector<std::uint8_t> hugeString = block;
    putInt(hugeString, at.stringLength, 0x7FFFFFFF);
    std::vector<std::uint8_t> negativeString = block;
    putInt(negativeString, at.stringLength, -5);
    std::vector<std::uint8_t> hugeWide = block;
    putInt(hugeWide, at.wideText - 4, 0x7FFFFFF0);

    struct Case {
        const char* what;
        std::vector<std::uint8_t> tail;
        const char* message;
    };
    const Case cases[] = {
        {"nothing", {}, "Internal Error: readInt"},
        {"other data", std::vector<std::uint8_t>(64, 0x41), "Internal Error: magic"},
        {"the closing marker alone", {0xE8, 0xE4, 0x13, 0xD5, 0, 0, 0, 0}, "Internal Error: magic"},
        {"three bytes of the magic", firstBytes(block, 3), "Internal Error: readInt"},
        {"the magic alone", firstBytes(block, 4), "Internal Error: readInt"},
        {"cut in the length field", firstBytes(block, 16), "Internal Error: readLong"},
        {"cut in the string count", firstBytes(block, at.stringCount + 2), "Internal Error: readInt"},
        {"cut in a string length", firstBytes(block, at.stringLength + 1), "Internal Error: readInt"},
        {"cut in a string value", firstBytes(block, at.stringText + 3), "Internal Error: readString"},
        {"cut in the wide count", firstBytes(block, at.wideCount + 3), "Internal Error: readInt"},
        {"cut in a wide value", firstBytes(block, at.wideText + 3), "Internal Error: readWString"},
        {"cut in the locale count", firstBytes(block, at.localeCount + 1), "Internal Error: readInt"},
        {"cut in a locale name", firstBytes(block, at.localeName + 1), "Internal Error: readString"},
        {"cut in a locale entry count", firstBytes(block, at.localeEntryCount + 2), "Internal Error: readInt"},
        {"cut in a locale value", firstBytes(block, at.end - 1), "Internal Error: readWString"},
        {"a string longer than the file", hugeString, "Internal Error: readString"},
        {"a negative string length", negativeString, "Internal Error: readString"},
        {"a wide string longer than the file", hugeWide, "Internal Error: readWString"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path launcher = makeLauncherWithTail(directory(), "tail" + std::to_string(n++), c.tail);
        ASSERT_FALSE(launcher.empty());
        RunResult r = runLauncher(launcher, {"-q_mrv_internal"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.standardError, quietMessage(c.message));
    }
}

TEST_F(ConfigBlock, ShortIntLogsTheBytesThatWereThere) {
    const ConfigBlockContent content = everyKindOfEntry();
    const std::vector<std::uint8_t> block = encodeConfigurationBlock(content);
    const BlockOffsets at = offsetsOf(content);
    struct Case {
        std::size_t cut;
        std::size_t bytesThere;
    };
    for (const Case c : {Case{at.stringCount, 0}, Case{at.stringCount + 2, 2}, Case{at.wideCount + 3, 3}}) {
        SCOPED_TRACE("cut at " + std::to_string(c.cut));
        const fs::path launcher = makeLauncherWithTail(directory(), "cut" + std::to_string(c.cut), firstBytes(block, c.cut));
        ASSERT_FALSE(launcher.empty());
        RunResult r = runLauncher(launcher, {"-q_mrv_internal"}, {{"QARVO_LOG", "yes"}});
        EXPECT_EQ(r.exitCode, 1);
        std::optional<fs::path> log = logFileNamedIn(r.standardError, prefix());
        ASSERT_TRUE(log) << r.standardError;
        EXPECT_EQ(r.standardError.substr(0, r.standardError.find("Log: ")), crlf("Internal Error: readInt\n\n"));
        bool onlyCrlf = false;
        std::vector<std::string> lines = logLines(readTextFile(*log), onlyCrlf);
        // "error <last error> <bytes read>\n" ends the log with an empty line.
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines.back(), "");
        const std::string& errorLine = lines[lines.size() - 2];
        EXPECT_TRUE(errorLine.rfind("error ", 0) == 0) << errorLine;
        EXPECT_TRUE(errorLine.size() > 2 &&
                    errorLine.substr(errorLine.rfind(' ')) == " " + std::to_string(c.bytesThere))
            << errorLine;
    }
}

TEST_F(ConfigBlock, LaterEntryOfAKeyWins) {
    ConfigBlockContent content = blockContent(sampleMessages());
    content.strings.push_back({noRuntimeKey, "second text {0}"});
    const fs::path launcher = makeLauncherFromContent(directory(), "twice", content);
    ASSERT_FALSE(launcher.empty());
    RunResult r = runLauncher(launcher);
    EXPECT_EQ(r.exitCode, 83);
    EXPECT_EQ(r.standardError, quietMessage(std::string("second text ") + launcherArchitecture().bits));
}

TEST_F(ConfigBlock, NegativeCountsSkipTheirSection) {
    // Hand-made: a string count of -1, then the wide and locale counts; the
    // reader must take the next field at once and start normally.
    std::vector<std::uint8_t> block = encodeConfigurationBlock(blockContent({}));
    putInt(block, configBlockHeaderSize, -1);
    putInt(block, configBlockHeaderSize + 4, -7);
    putInt(block, configBlockHeaderSize + 8, -2147483647 - 1);
    const fs::path launcher = makeLauncherWithTail(directory(), "negative", block);
    ASSERT_FALSE(launcher.empty());
    RunResult r = runLauncher(launcher, {}, {{"QARVO_LOG", "yes"}});
    // No texts: an empty message with the log suffix, and the usual exit code.
    EXPECT_EQ(r.exitCode, 83);
    std::optional<fs::path> log = logFileNamedIn(r.standardError, prefix());
    ASSERT_TRUE(log) << r.standardError;
    EXPECT_EQ(r.standardError.substr(0, r.standardError.find("Log: ")), "\r\n\r\n");
    EXPECT_NE(readTextFile(*log).find("working directory unchanged\r\n"), std::string::npos);
}

}  // namespace
}  // namespace qarvo::wine
