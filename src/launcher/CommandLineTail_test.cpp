#include "launcher/CommandLineTail.h"

#include <gtest/gtest.h>

#include "launcher/LaunchSequence.h"

namespace qarvo {
namespace {

TEST(CommandLineTail, FollowsTheProgramNameAndItsBlanks) {
    struct Case {
        const char* line;
        const char* tail;
        bool reboot;
    } cases[] = {
        {" app.exe __mrv_reboot", "__mrv_reboot", true},             // the C runtime gave "app.exe __mrv_reboot"
        {"\"C:\\a b\\app.exe\"__mrv_reboot", "__mrv_reboot", true},  // the C runtime gave ""
        {"C:\\\"a b\"\\app.exe x", "b\"\\app.exe x", false},         // the C runtime gave "x"
        {"app.exe \n__mrv_reboot", "\n__mrv_reboot", false},         // only space and tab are blanks
        {"\t\"C:\\a b\\app.exe\" \t __mrv_reboot ", "__mrv_reboot ", false},
        {"\"C:\\a b\\app.exe __mrv_reboot", "", false},              // no closing quote: all of it is the name
        {"app.exe", "", false},
        {nullptr, "", false},
    };
    for (const Case& c : cases) {
        const char* tail = commandLineTail(c.line);
        EXPECT_STREQ(tail, c.tail) << (c.line ? c.line : "(null)");
        EXPECT_EQ(classifyTail(tail).reboot, c.reboot) << (c.line ? c.line : "(null)");
    }
}

}  // namespace
}  // namespace qarvo
