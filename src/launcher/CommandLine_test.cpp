#include "launcher/CommandLine.h"

#include <gtest/gtest.h>

#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::ProcessExit;
using testing::TestSystem;

TEST(CommandLine, UnbalancedQuoteEndsWithMessage1007) {
    const char16_t* texts[] = {u"O'Neil", u"a \"b c", u"'a' 'b", u"\"x'"};
    for (const char16_t* text : texts) {
        TestSystem system;
        system.setKey(1007, "Wrong Parameter Usage");
        system.setKey(1000, "Oops");
        ArgumentList words;
        try {
            splitCommandLine(text, words);
            ADD_FAILURE() << "no exit";
        } catch (const ProcessExit& exit) {
            EXPECT_EQ(exit.code, 1);
        }
        ASSERT_EQ(system.messages.size(), 1u);
        EXPECT_EQ(system.messages[0].text, "Wrong Parameter Usage");
        EXPECT_EQ(system.messages[0].caption, "Oops");
    }
}

}  // namespace
}  // namespace qarvo
