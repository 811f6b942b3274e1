#include "base/CommandLine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;

struct SplitCase {
    const char16_t* text;
    std::vector<std::u16string> words;
};

TEST(CommandLine, SplitsWordsByTheLauncherRules) {
    const SplitCase cases[] = {
        {u"", {}},
        {u"    ", {}},
        {u"a b c", {u"a", u"b", u"c"}},
        {u"  a   b  c  ", {u"a", u"b", u"c"}},
        {u"a\tb c", {u"a\tb", u"c"}},
        {u"\"a b\"", {u"a b"}},
        {u"'a b'", {u"a b"}},
        {u"-Dx=\"a b\"", {u"-Dx=a b"}},
        {u"-Dx='a b' next", {u"-Dx=a b", u"next"}},
        {u"\"a\"b", {u"a", u"b"}},
        {u"'a'\"b\"", {u"a", u"b"}},
        {u"'say \"hi\"'", {u"say \"hi\""}},
        {u"\"O'Neil\"", {u"O'Neil"}},
        {u"\"\"", {u""}},
        {u"x \"\" y", {u"x", u"", u"y"}},
        {u"C:\\dir\\run.exe \"C:\\my docs\\a.txt\"", {u"C:\\dir\\run.exe", u"C:\\my docs\\a.txt"}},
        {u"back\\\"slash\"", {u"back\\slash"}},
        {u"\x00e9t\x00e9 \x4e2d\x6587", {u"\x00e9t\x00e9", u"\x4e2d\x6587"}},
    };
    for (const SplitCase& c : cases) {
        ArgumentList words;
        EXPECT_TRUE(splitWords(c.text, words));
        EXPECT_EQ(words, c.words) << "text: " << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
    }
}

// The fuzz target's seed: a command line as UTF-16LE bytes.
TEST(CommandLine, SplitsTheFuzzSeed) {
    std::ifstream in(QARVO_FUZZ_CORPUS "/command_line_fuzz/ok_quoted_words.bin", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    ArgumentList words;
    EXPECT_TRUE(splitWords(text, words));
    EXPECT_EQ(words, (ArgumentList{u"C:\\Program Files\\app\\run.exe", u"-Xmx64m", u"a b", u"c d", u"back\\slash"}));
}

TEST(CommandLine, UnbalancedQuotesAreReported) {
    for (const char16_t* text : {u"O'Neil", u"a \"b c", u"'a' 'b", u"\"x'"}) {
        ArgumentList words;
        EXPECT_FALSE(splitWords(text, words));
        std::vector<std::string> narrow;
        std::string text8(text, text + std::char_traits<char16_t>::length(text));
        EXPECT_FALSE(splitNarrowWords(text8, narrow));
    }
}

TEST(CommandLine, SplitsNarrowTextInItsOwnCodePage) {
    TestSystem system;
    std::vector<std::string> words{"kept"};
    EXPECT_TRUE(splitNarrowWords("-Da=\"x y\" \xe9t\xe9  'z'", words));
    EXPECT_EQ(words, (std::vector<std::string>{"kept", "-Da=x y", "\xe9t\xe9", "z"}));

    // Longer than the 8192-unit buffer of the Windows conversion: nothing is cut.
    std::string longWord(9000, 'a');
    std::vector<std::string> longWords;
    EXPECT_TRUE(splitNarrowWords(longWord + " b", longWords));
    EXPECT_EQ(longWords, (std::vector<std::string>{longWord, "b"}));
}

}  // namespace
}  // namespace qarvo
