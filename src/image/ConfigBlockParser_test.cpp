// What only the codec shows: the content in block order, and what it keeps
// after a failure. The launcher's reader on top of it (config/) is tested
// against damaged headers and blocks, cuts at every byte and its log.
#include <gtest/gtest.h>

#include "image/ConfigBlock.h"
#include "image/testing/ByteBuilder.h"
#include "image/testing/FakePe.h"
#include "image/testing/RecordingTrace.h"

namespace qarvo {
namespace {

using testing::ByteBuilder;
using testing::makeFakeLauncher;
using testing::makeFakePeWithTail;
using testing::RecordingTrace;

using F = ConfigReadFailure;

// Where the default layout puts the block.
const std::uint64_t blockStart = static_cast<std::uint64_t>(testing::FakePeLayout().blockOffset());

ByteBuilder header(std::int32_t stringCount) { return testing::blockHeader(stringCount); }

// Everything the encoder can express comes back as it was, in block order,
// repeated keys and the opaque header word included; the trace has the values
// of the header walk.
TEST(ConfigBlockParser, ReadsWhatTheEncoderWrote) {
    ConfigBlockContent content;
    content.opaqueHeaderWord = 0xDEADBEEF;
    content.strings = {{122, "First"}, {107, "1"}, {1000, ""}, {-5, "negative key"}, {122, "Main"}};
    content.wides = {{1001, u"F\u00FCr alle"}, {1002, u"one"}, {1002, u"\u65E5\u672C"}};
    content.localeSections = {{"de", {{1001, u"deutsch"}, {1003, u"nur de"}}}, {"fr", {{1002, u"fran\u00E7ais"}}},
                              {"", {}}};
    MemorySource source(makeFakeLauncher(content));
    RecordingTrace trace;
    const ConfigBlockRead read = parseConfigurationBlock(source, &trace);
    ASSERT_EQ(read.failure, F::none);
    EXPECT_EQ(read.content, content);
    EXPECT_EQ(read.endOffset, blockStart + encodeConfigurationBlock(content).size());
    EXPECT_EQ(trace.lines, (std::vector<std::string>{"number of sections: 3", "size of optional headers: 224",
                                                     "resSectionTableStart: 456",
                                                     "rawDataSize: 512, rawDataOffset: 1024"}));
}

// What came before a failure is kept, so that the launcher can still caption
// its message; a locale section keeps the entries read so far.
TEST(ConfigBlockParser, EntriesReadBeforeAFailureStay) {
    using Strings = std::vector<std::pair<std::int32_t, std::string>>;
    using Sections = std::vector<ConfigBlockContent::LocaleSection>;
    struct Case {
        const char* name;
        ByteBuilder block;
        ConfigReadFailure failure;
        Strings strings;
        Sections sections;
    } cases[] = {
        {"cut in the wide entries", header(2).i32(1000).str("Fehler").i32(7).str("x").i32(1).i32(3).i32(9),
         F::readWString, {{1000, "Fehler"}, {7, "x"}}, {}},
        {"cut in a locale section",
         header(1).i32(1000).str("Fehler").i32(0).i32(2).str("de").i32(2).i32(5).wstr(u"a").i32(6), F::readInt,
         {{1000, "Fehler"}}, {{"de", {{5, u"a"}}}}},
        {"cut behind a locale name", header(0).i32(0).i32(2).str("de").i32(0).str("fr"), F::readInt, {},
         {{"de", {}}, {"fr", {}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySource source(makeFakePeWithTail(c.block.bytes));
        const ConfigBlockRead read = parseConfigurationBlock(source);
        EXPECT_EQ(read.failure, c.failure);
        EXPECT_EQ(read.content.strings, c.strings);
        EXPECT_EQ(read.content.localeSections, c.sections);
        EXPECT_EQ(read.endOffset, 0u);
    }
}

}  // namespace
}  // namespace qarvo
