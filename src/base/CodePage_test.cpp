#include "base/CodePage.h"

#include <gtest/gtest.h>

#include "base/PathHelpers.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;

// In code page 932 "ソ" is 0x83 0x5C and "ア" 0x83 0x41: their second bytes
// are those of "\" and "A".
constexpr const char* so = "\x83\x5C";
constexpr const char* a = "\x83\x41";

TEST(CodePage, DoubleByteCharactersAreNotSplit) {
    TestSystem system;
    system.codePage.doubleByte = true;
    struct Case {
        std::string text;
        std::size_t lastBackslash;
        bool endsWithBackslash;
        std::string upper;       // upperCaseAscii
        std::string slashes;     // replaceCharacter '\' -> '/'
    } cases[] = {
        {std::string("C:\\") + so, 2, false, std::string("C:\\") + so, std::string("C:/") + so},
        {std::string("C:\\") + so + "\\", 5, true, std::string("C:\\") + so + "\\", std::string("C:/") + so + "/"},
        {std::string("a") + a + "b", std::string::npos, false, std::string("A") + a + "B", std::string("a") + a + "b"},
        {"\x83", std::string::npos, false, "\x83", "\x83"},  // a lead byte without its second byte
        {"", std::string::npos, false, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lastPathSeparator(c.text), c.lastBackslash) << c.text;
        EXPECT_EQ(endsWithBackslash(c.text), c.endsWithBackslash) << c.text;
        EXPECT_EQ(withBackslash(c.text), c.endsWithBackslash ? c.text : c.text + "\\") << c.text;
        std::string upper = c.text;
        upperCaseAscii(upper);
        EXPECT_EQ(upper, c.upper) << c.text;
        std::string slashes = c.text;
        replaceCharacter(slashes, '\\', '/');
        EXPECT_EQ(slashes, c.slashes) << c.text;
    }
}

TEST(CodePage, ALauncherNamedWithADoubleByteCharacterKeepsItsDirectory) {
    TestSystem system;
    system.codePage.doubleByte = true;
    system.setLauncherPath(std::string("C:\\app\\") + so + "\x83\x74\x83\x67.exe");  // ソフト.exe
    EXPECT_EQ(resolveRelativePath("lib\\a.jar", nullptr), "C:\\app\\lib\\a.jar");
    EXPECT_EQ(directoryOf(std::string("C:\\") + so + "\\x"), std::string("C:\\") + so + "\\");
}

}  // namespace
}  // namespace qarvo
