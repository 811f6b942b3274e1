#include "image/IncludedFileNames.h"

#include <gtest/gtest.h>

#include <string>

namespace qarvo {
namespace {

using P = IncludedNameProblem;

// 0x83 begins a two-byte character, as in code page 932 ("ソ" is 0x83 0x5C).
bool leadByte83(unsigned char byte) { return byte == 0x83; }

TEST(IncludedFileNames, ProblemsOfNames) {
    struct Case {
        std::string name;
        P bytewise;       // every 0x5C a separator
        P doubleByte;     // with the lead-byte test
    } cases[] = {
        // What extracts inside the directory, including the forms Windows
        // collapses there.
        {"app.jar", P::none, P::none},
        {"lib\\app.jar", P::none, P::none},
        {"lib\\\\app.jar", P::none, P::none},
        {"lib\\.\\app.jar", P::none, P::none},
        {"a..b\\c..", P::none, P::none},
        {"console.txt", P::none, P::none},
        {"COM10", P::none, P::none},
        // Parent directories, "/" being a separator too.
        {"..\\evil.dll", P::dotsComponent, P::dotsComponent},
        {"lib\\..\\..\\evil.dll", P::dotsComponent, P::dotsComponent},
        {"../x\\y.jar", P::dotsComponent, P::dotsComponent},
        {"...\\x", P::dotsComponent, P::dotsComponent},
        {". .\\x", P::dotsComponent, P::dotsComponent},
        {".. \\x", P::dotsComponent, P::dotsComponent},
        // Devices, in any component and letter case, whatever follows a dot.
        {"CON", P::deviceName, P::deviceName},
        {"con.txt", P::deviceName, P::deviceName},
        {"lib\\Nul.tar.gz", P::deviceName, P::deviceName},
        {"AUX .txt", P::deviceName, P::deviceName},
        {"lib/com0", P::deviceName, P::deviceName},
        // Superscript one, two and three in Windows-1252 name devices too.
        {"COM\xB9.jar", P::deviceName, P::deviceName},
        {"lpt\xB3", P::deviceName, P::deviceName},
        {"COM\xB4", P::none, P::none},
        {"Lpt1", P::deviceName, P::deviceName},
        {"conout$.txt", P::deviceName, P::deviceName},
        // Absolute and rooted names, colons.
        {"\\evil.dll", P::absoluteOrRooted, P::absoluteOrRooted},
        {"\\\\server\\share\\x", P::absoluteOrRooted, P::absoluteOrRooted},
        {"C:\\evil.dll", P::absoluteOrRooted, P::absoluteOrRooted},
        {"app.jar:stream", P::colon, P::colon},
        {"lib\\a:b", P::colon, P::colon},
        // A second byte of value 0x5C separates only byte-wise: without the
        // lead-byte test the rule refuses more, never less.
        {"\x83\x5C" "CON.txt", P::deviceName, P::none},
        {"\x83\x5C..", P::dotsComponent, P::none},
        {"\x83\x5C\\..\\x", P::dotsComponent, P::dotsComponent},
        {"lib\\\x83", P::none, P::none},  // a lead byte at the very end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(includedNameProblem(c.name), c.bytewise) << c.name;
        EXPECT_EQ(includedNameProblem(c.name, leadByte83), c.doubleByte) << c.name;
    }
}

TEST(IncludedFileNames, NamesToProcessAreTheFirstCountNonEmptyNames) {
    using Names = std::vector<std::string>;
    struct Case {
        const char* names;
        std::int32_t count;
        Names expected;
    } cases[] = {
        {"a.txt;;b.txt;", 2, {"a.txt", "b.txt"}},
        {"a;b;c", 2, {"a", "b"}},
        {"a;b", 3, {"a", "b"}},
        {"a;b", 0, {}},
        {"a;b", -1, {}},
        {"", 1, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(includedNamesToProcess(c.names, c.count), c.expected) << c.names;
}

}  // namespace
}  // namespace qarvo
