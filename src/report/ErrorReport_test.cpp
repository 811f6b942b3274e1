#include "report/ErrorReport.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/PathHelpers.h"
#include "report/Log.h"
#include "testing/TestSystem.h"
#include "base/OutOfMemory.h"

namespace qarvo {
namespace {

using testing::TestSystem;
using testing::ProcessExit;

// A long form that differs from the path, as for a log in a directory the
// system names in its short form.
std::uint32_t prefixedLongPath(const char* path, char* buffer, std::uint32_t size) {
    const std::string longForm = std::string("C:\\Long Name\\") + path;
    if (longForm.size() + 1 > size) return static_cast<std::uint32_t>(longForm.size() + 1);
    std::memcpy(buffer, longForm.c_str(), longForm.size() + 1);
    return static_cast<std::uint32_t>(longForm.size());
}

std::uint32_t failingLongPath(const char*, char*, std::uint32_t) { return 0; }

// Claims a long form larger than any buffer.
std::uint32_t oversizedLongPath(const char*, char*, std::uint32_t size) { return size + 1; }

TEST(ErrorReport, SubstitutesTheFirstPlaceholderOnly) {
    struct Case {
        const char* text;
        const char* argument;
        const char* expected;
    } cases[] = {
        {"An internal error occurred (error code: {0})", "16", "An internal error occurred (error code: 16)"},
        {"{0} and {0}", "x", "x and {0}"},
        {"no placeholder", "x", "no placeholder"},
        {"kept {0}", nullptr, "kept {0}"},
        {"{0}", "", ""},
        {"{0", "x", "{0"},
        {"", "x", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(substituteArgument(c.text, c.argument), c.expected) << c.text;
    }
}

TEST(ErrorReport, ShowsInABoxWithTheConfiguredCaption) {
    TestSystem system;
    system.setKey(1000, "My App");
    system.setKey(1009, "An internal error occurred (error code: {0})");
    EXPECT_THROW(failWithMessageId(1009, "16"), ProcessExit);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_TRUE(system.messages[0].box);
    EXPECT_EQ(system.messages[0].text, "An internal error occurred (error code: 16)");
    EXPECT_EQ(system.messages[0].caption, "My App");
}

TEST(ErrorReport, QuietModeWritesToStandardErrorAndStillExitsWith1) {
    TestSystem system;
    system.setKey(1007, "Wrong Parameter Usage");
    setQuietErrors();
    try {
        failWithMessageId(1007, nullptr);
        FAIL() << "returned";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 1);
    }
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_FALSE(system.messages[0].box);
    EXPECT_EQ(system.messages[0].text, "Wrong Parameter Usage");
}

TEST(ErrorReport, AbsentTextsGiveEmptyMessageAndCaption) {
    TestSystem system;
    showMessageById(1016, "32");
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, "");
    EXPECT_EQ(system.messages[0].caption, "");
}

TEST(ErrorReport, NamesTheLogFileWhenLoggingIsOn) {
    TestSystem system;
    longPathConverter = prefixedLongPath;
    system.enableLog();
    showMessage("before the first line");  // asking for the path opens no log
    logLine("first line");
    system.setKey(1017, "The {0} environment variable does not\npoint to a working 32-bit JDK or JRE.");
    showMessageById(1017, "JAVA_HOME");  // returns: not fatal
    ASSERT_NE(logFilePath(), nullptr);
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_EQ(system.messages[0].text, "before the first line");
    EXPECT_EQ(system.messages[1].text,
              std::string("The JAVA_HOME environment variable does not\npoint to a working 32-bit JDK or JRE."
                          "\n\nLog: C:\\Long Name\\") + logFilePath());
}

TEST(ErrorReport, NamesTheLogFileAsItIsWithoutALongForm) {
    for (LongPathConverter converter : {failingLongPath, oversizedLongPath}) {
        TestSystem system;
        longPathConverter = converter;
        system.enableLog();
        logLine("first line");
        showMessage("text");
        ASSERT_NE(logFilePath(), nullptr);
        ASSERT_EQ(system.messages.size(), 1u);
        EXPECT_EQ(system.messages[0].text, std::string("text\n\nLog: ") + logFilePath());
    }
}

TEST(ErrorReport, LongTextsAreCutToTheDisplayBuffer) {
    TestSystem system;
    setQuietErrors();
    showMessage(std::string(10000, 'x'));
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text.size(), 8191u);
}

TEST(ErrorReport, ExitWithCodePassesTheCode) {
    TestSystem system;
    try {
        exitWithCode(83);
        FAIL() << "returned";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 83);
    }
    EXPECT_TRUE(system.messages.empty());
}

// How often the hook before a message ran; it runs out of memory when asked to.
int hookRuns = 0;
bool exhaustInHook = false;
void countingHook() {
    ++hookRuns;
    if (exhaustInHook) outOfMemory();
}

TEST(ErrorReport, RunningOutOfMemoryIsReportedOnceAndEndsWith1) {
    struct Case {
        const char* name;
        bool outOfMemoryFirst;  // else message 1006 is being shown
        bool exhaustWhileShowing;
        std::vector<std::string> shown;
    } cases[] = {
        {"out of memory", true, false, {"Internal Error: out of memory"}},
        {"again while reporting it", true, true, {}},
        {"while showing another message", false, true, {}},
    };
    for (const Case& c : cases) {
        TestSystem system;
        setQuietErrors();
        setOutOfMemoryHandler(failOutOfMemory);
        system.setKey(1006, "File or directory {0} not found or empty");
        hookRuns = 0;
        exhaustInHook = c.exhaustWhileShowing;
        setBeforeMessageHook(countingHook);
        try {
            c.outOfMemoryFirst ? outOfMemory() : failWithMessageId(1006, "x");
            ADD_FAILURE() << c.name << ": returned";
        } catch (const ProcessExit& exit) {
            EXPECT_EQ(exit.code, 1) << c.name;
        }
        std::vector<std::string> shown;
        for (const auto& message : system.messages) shown.push_back(message.text);
        EXPECT_EQ(shown, c.shown) << c.name;
        EXPECT_EQ(hookRuns, 1) << c.name << ": the report did not start again";
        setOutOfMemoryHandler(nullptr);
    }
}

}  // namespace
}  // namespace qarvo
