#include "report/ErrorReport.h"

#include <gtest/gtest.h>

#include <cstring>

#include "config/Configuration.h"
#include "os/testing/Fakes.h"
#include "support/OutOfMemory.h"

namespace qarvo {
namespace {

using testing::FakeSystem;
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
    FakeSystem system;
    configurationMaps().stringValues[1000] = "My App";
    configurationMaps().stringValues[1009] = "An internal error occurred (error code: {0})";
    EXPECT_THROW(failWithMessageId(1009, "16"), ProcessExit);
    ASSERT_EQ(system.errors.shown.size(), 1u);
    EXPECT_TRUE(system.errors.shown[0].box);
    EXPECT_EQ(system.errors.shown[0].text, "An internal error occurred (error code: 16)");
    EXPECT_EQ(system.errors.shown[0].caption, "My App");
}

TEST(ErrorReport, QuietModeWritesToStandardErrorAndStillExitsWith1) {
    FakeSystem system;
    configurationMaps().stringValues[1007] = "Wrong Parameter Usage";
    setQuietErrors();
    try {
        failWithMessageId(1007, nullptr);
        FAIL() << "returned";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 1);
    }
    ASSERT_EQ(system.errors.shown.size(), 1u);
    EXPECT_FALSE(system.errors.shown[0].box);
    EXPECT_EQ(system.errors.shown[0].text, "Wrong Parameter Usage");
}

TEST(ErrorReport, AbsentTextsGiveEmptyMessageAndCaption) {
    FakeSystem system;
    showMessageById(1016, "32");
    ASSERT_EQ(system.errors.shown.size(), 1u);
    EXPECT_EQ(system.errors.shown[0].text, "");
    EXPECT_EQ(system.errors.shown[0].caption, "");
}

TEST(ErrorReport, NamesTheLogFileWhenLoggingIsOn) {
    FakeSystem system;
    longPathConverter = prefixedLongPath;
    system.enableLog();
    showMessage("before the first line");  // asking for the path opens no log
    logLine("first line");
    configurationMaps().stringValues[1017] = "The {0} environment variable does not\npoint to a working 32-bit JDK or JRE.";
    showMessageById(1017, "JAVA_HOME");  // returns: not fatal
    ASSERT_NE(logFilePath(), nullptr);
    ASSERT_EQ(system.errors.shown.size(), 2u);
    EXPECT_EQ(system.errors.shown[0].text, "before the first line");
    EXPECT_EQ(system.errors.shown[1].text,
              std::string("The JAVA_HOME environment variable does not\npoint to a working 32-bit JDK or JRE."
                          "\n\nLog: C:\\Long Name\\") + logFilePath());
}

TEST(ErrorReport, NamesTheLogFileAsItIsWithoutALongForm) {
    for (LongPathConverter converter : {failingLongPath, oversizedLongPath}) {
        FakeSystem system;
        longPathConverter = converter;
        system.enableLog();
        logLine("first line");
        showMessage("text");
        ASSERT_NE(logFilePath(), nullptr);
        ASSERT_EQ(system.errors.shown.size(), 1u);
        EXPECT_EQ(system.errors.shown[0].text, std::string("text\n\nLog: ") + logFilePath());
    }
}

TEST(ErrorReport, LongTextsAreCutToTheDisplayBuffer) {
    FakeSystem system;
    setQuietErrors();
    showMessage(std::string(10000, 'x'));
    ASSERT_EQ(system.errors.shown.size(), 1u);
    EXPECT_EQ(system.errors.shown[0].text.size(), 8191u);
}

TEST(ErrorReport, ExitWithCodePassesTheCode) {
    FakeSystem system;
    try {
        exitWithCode(83);
        FAIL() << "returned";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 83);
    }
    EXPECT_TRUE(system.errors.shown.empty());
}

// Records what it is asked to show, and runs out of memory while showing it.
class ExhaustedSink final : public ErrorSink {
public:
    void showMessageBox(const std::string& text, const std::string&) override { writeStandardError(text); }
    void writeStandardError(const std::string& text) override {
        shown.push_back(text);
        outOfMemory();
    }
    [[noreturn]] void exitProcess(int code) override { throw ProcessExit{code}; }
    std::vector<std::string> shown;
};

TEST(ErrorReport, RunningOutOfMemoryWhileShowingAMessageEndsWith1AtOnce) {
    for (const bool outOfMemoryFirst : {true, false}) {
        FakeSystem system;
        ExhaustedSink sink;
        installErrorSink(sink);
        configurationMaps().stringValues[1006] = "File or directory {0} not found or empty";
        try {
            outOfMemoryFirst ? outOfMemory() : failWithMessageId(1006, "x");
        } catch (const ProcessExit& exit) {
            EXPECT_EQ(exit.code, 1);
        }
        EXPECT_EQ(sink.shown, std::vector<std::string>{outOfMemoryFirst ? "Internal Error: out of memory"
                                                                        : "File or directory x not found or empty"});
    }
}

}  // namespace
}  // namespace qarvo
