#include "builder/Words.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/CommandLine.h"
#include "image/IncludedFileNames.h"
#include "builder/Schema.h"
#include "builder/TextCodes.h"
#include "testing/TestSystem.h"

namespace qarvo::builder {
namespace {

// The launcher's own splitter gets back exactly the words the tool joined,
// and the tool's reader splits every text as the launcher does.
TEST(Words, TheLauncherSplitsWhatTheToolJoins) {
    qarvo::testing::TestSystem system;
    const std::vector<std::vector<std::string>> lists = {
        {"-Xmx256m"}, {"two words", "x"}, {""}, {"a", "", "b"}, {"-Dq=\"quoted\""}, {"it's", "'both' sides"},
        {"-Dp=C:\\Program Files\\x"}, {"  lead", "trail  "},
    };
    for (const std::vector<std::string>& words : lists) {
        std::string text, error;
        ASSERT_TRUE(joinWords(words, text, error)) << error;
        std::vector<std::string> launcherWords, toolWords;
        EXPECT_TRUE(splitNarrowWords(text, launcherWords)) << text;
        EXPECT_EQ(launcherWords, words) << text;
        EXPECT_TRUE(splitLauncherWords(text, toolWords));
        EXPECT_EQ(toolWords, words) << text;
    }
    for (const char* text : {"a  b", "-Da=\"x y\"z w", "'a'b", "\"unclosed", "x 'y", "\"\" ''", " lead"}) {
        std::vector<std::string> launcherWords, toolWords;
        const bool launcherBalanced = splitNarrowWords(text, launcherWords);
        EXPECT_EQ(splitLauncherWords(text, toolWords), launcherBalanced) << text;
        if (launcherBalanced) {
            EXPECT_EQ(toolWords, launcherWords) << text;
        }
    }
    std::string text, error;
    EXPECT_FALSE(joinWords({"-D'a'=\"b\""}, text, error));
}

TEST(IncludedNames, TheLaunchersRefusalsAreKnown) {
    const struct Case {
        const char* name;
        IncludedNameProblem problem;
    } cases[] = {
        {"app.jar", IncludedNameProblem::none},          {"lib\\app.jar", IncludedNameProblem::none},
        {"lib\\.\\app.jar", IncludedNameProblem::none},  {"..\\evil.dll", IncludedNameProblem::dotsComponent},
        {"lib\\..\\..\\x", IncludedNameProblem::dotsComponent}, {"a\\. .\\x", IncludedNameProblem::dotsComponent},
        {"../x\\y.jar", IncludedNameProblem::dotsComponent}, {"CON", IncludedNameProblem::deviceName},
        {"lib\\nul.txt", IncludedNameProblem::deviceName}, {"com1 .jar", IncludedNameProblem::deviceName},
        {"Lpt9", IncludedNameProblem::deviceName},        {"conout$", IncludedNameProblem::deviceName},
        {"com10", IncludedNameProblem::none},             {"console.txt", IncludedNameProblem::none},
        {"\\root.txt", IncludedNameProblem::absoluteOrRooted}, {"C:x", IncludedNameProblem::absoluteOrRooted},
        {"ab:c", IncludedNameProblem::colon},         {"a:b", IncludedNameProblem::absoluteOrRooted},
    };
    for (const Case& c : cases) EXPECT_EQ(includedNameProblem(c.name), c.problem) << c.name;
}

TEST(TextCodes, Windows1252BothWays) {
    std::string narrow, bad;
    ASSERT_TRUE(utf8ToWindows1252("caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D", narrow, bad));
    EXPECT_EQ(narrow, "caf\xE9 \x80 \x93q\x94");
    EXPECT_EQ(windows1252ToUtf8(narrow), "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D");
    EXPECT_FALSE(utf8ToWindows1252("\xC4\x80", narrow, bad));  // U+0100
    EXPECT_EQ(bad, "\xC4\x80");
    EXPECT_FALSE(utf8ToWindows1252("\xC3", narrow, bad));      // cut sequence
    EXPECT_FALSE(utf8ToWindows1252("\xC0\xAF", narrow, bad));  // overlong
    std::u16string wide;
    ASSERT_TRUE(utf8ToUtf16("\xF0\x9F\x98\x80!", wide));
    EXPECT_EQ(wide, u"\U0001F600!");
    EXPECT_EQ(utf16ToUtf8(wide), "\xF0\x9F\x98\x80!");
    EXPECT_FALSE(utf8ToUtf16("\xED\xA0\x80", wide));  // a surrogate
}

// The README's reference is the schema's: no name goes undocumented.
TEST(Schema, TheReadmeCarriesTheReference) {
    std::ifstream in(QARVO_README);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find(markdownReference()), std::string::npos)
        << "README.md must hold the reference as builder/Schema.cpp gives it:\n" << markdownReference();
}

}  // namespace
}  // namespace qarvo::builder
