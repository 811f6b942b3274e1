#include "instance/Notification.h"

#include <gtest/gtest.h>

namespace qarvo {
namespace {

TEST(Notification, ArgumentsAfterProgramName) {
    struct Case {
        std::u16string_view commandLine;
        std::u16string_view arguments;
    } cases[] = {
        {u"\"C:\\a b\\run.exe\" -open \"a b.txt\"", u"-open \"a b.txt\""},
        {u"C:\\app\\run.exe -open x", u"-open x"},
        {u"C:\\app\\run.exe    a  b ", u"a  b "},
        {u"C:\\app\\run.exe", u""},
        {u"\"C:\\app\\run.exe\"", u""},
        {u"\"C:\\app\\run.exe -open x", u""},       // no closing quote
        {u"\"C:\\a b\\run.exe\"x y", u"y"},          // the next space after the closing quote
        {u"C:\\app\\run.exe\ta b", u"b"},            // a tab does not end the program name
        {u"C:\\app\\run.exe \t a", u"\t a"},          // nor is it skipped
        {u"\"\" a", u"a"},
        {u"run.exe ", u""},
        {u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(argumentsAfterProgramName(c.commandLine), c.arguments)
            << std::string(c.commandLine.begin(), c.commandLine.end());
    }
}

template <std::size_t n>
std::string bytes(const char (&literal)[n]) {
    return std::string(literal, n - 1);
}

// UTF-16LE without byte-order mark, one line feed, nothing cut: a text longer
// than 16383 units comes out whole, and a surrogate pair passes unchanged.
TEST(Notification, TextIsTheArgumentsAndALineFeedInUtf16le) {
    EXPECT_EQ(notificationText(u"run.exe -open \"a b.txt\""),
              bytes("-\0o\0p\0e\0n\0 \0\"\0a\0 \0b\0.\0t\0x\0t\0\"\0\n\0"));
    EXPECT_EQ(notificationText(u"\"C:\\a b\\run.exe\""), bytes("\n\0"));
    EXPECT_EQ(notificationText(u"run.exe \u00FC\U0001F600"), bytes("\xFC\0\x3D\xD8\x00\xDE\n\0"));
    std::string longText;
    for (int i = 0; i < 40000; ++i) longText += bytes("x\0");
    EXPECT_EQ(notificationText(u"run.exe " + std::u16string(40000, u'x')), longText + bytes("\n\0"));
}

}  // namespace
}  // namespace qarvo
