#include "report/Log.h"

#include <gtest/gtest.h>

#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;

TEST(Log, EnableDecision) {
    struct Case {
        const char* qarvo;      // null: unset
        const char* moravelin;  // null: unset
        bool switchGiven;
        bool on;
    } cases[] = {
        {nullptr, nullptr, false, false},
        {"yes", nullptr, false, true},
        {nullptr, "yes", false, true},
        {"yes", "no", false, true},
        {"YES", nullptr, false, false},
        {"1", "true", false, false},
        {"yes ", nullptr, false, false},
        {"", nullptr, false, false},
        {nullptr, nullptr, true, true},
    };
    for (const Case& c : cases) {
        TestSystem system;
        if (c.qarvo) system.environment.variables["QARVO_LOG"] = c.qarvo;
        if (c.moravelin) system.environment.variables["MORAVELIN_LOG"] = c.moravelin;
        if (c.switchGiven) system.enableLog();
        EXPECT_EQ(logFilePath(), nullptr);  // asking before the first line decides nothing
        logLine("hello %d", 1);
        EXPECT_EQ(logFilePath() != nullptr, c.on);
        if (c.on) {
            EXPECT_EQ(system.logLines().back(), "hello 1");
        }
        EXPECT_EQ(system.files.find("c:\\mrv_nlog*", 10).size(), c.on ? 1u : 0u);
    }
}

TEST(Log, FileHoldsHeaderEmptyLineAndOneLinePerCall) {
    TestSystem system;
    system.environment.variables["QARVO_LOG"] = "yes";
    logLine("change working directory to %s", "C:\\app");
    logError("Could not open %s", "x.exe");
    logLine("error %d %d\n", 38, 2);
    logLine("last");
    EXPECT_STREQ(logFilePath(), "c:\\mrv_nlog_112");  // the first free number from the process id (7) on
    EXPECT_EQ(system.files.content(logFilePath()),
              "Started executable C:\\app\\run.exe at Thu Jan  1 00:00:00 1970\n"
              "\n"
              "change working directory to C:\\app\n"
              "ERROR: Could not open x.exe\n"
              "error 38 2\n"
              "\n"
              "last\n");
}

TEST(Log, DecisionIsTakenOnce) {
    TestSystem system;
    logLine("off");
    system.environment.variables["QARVO_LOG"] = "yes";
    logLine("still off");
    EXPECT_EQ(logFilePath(), nullptr);
}

TEST(Log, EveryRunGetsItsOwnFile) {
    std::string first;
    TestSystem system;
    system.enableLog();
    logLine("one");
    first = logFilePath();
    resetLogForTesting();
    system.enableLog();
    logLine("two");
    EXPECT_NE(first, logFilePath());
    EXPECT_NE(system.files.content(first).find("one"), std::string::npos);
}

TEST(Log, ChoosesTheDirectoryOfTmpAndAFreeName) {
    TestSystem system;
    system.environment.variables["TMP"] = "C:\\Temp";
    system.files.addFile("C:\\Temp\\mrv_nlog_112");  // taken by an earlier run
    system.enableLog();
    logLine("x");
    EXPECT_STREQ(logFilePath(), "C:\\Temp\\mrv_nlog_113");
    resetLogForTesting();
    system.environment.variables["TMP"] = "C:\\missing";
    EXPECT_EQ(uniqueLogName(), "c:\\mrv_nlog_112");
    // The name is reserved when it is chosen: a launcher whose numbers meet
    // this one's gets the next.
    EXPECT_TRUE(system.files.exists("c:\\mrv_nlog_112"));
    EXPECT_EQ(uniqueLogName(), "c:\\mrv_nlog_113");
}

TEST(Log, FallsBackToTheFixedNameAndStaysSilentWhenThatFailsToo) {
    TestSystem system;
    system.files.failTextWrites = {system.files.key("c:\\mrv_nlog_112"), system.files.key(fallbackLogPath)};
    system.enableLog();
    logLine("lost");
    ASSERT_NE(logFilePath(), nullptr);
    EXPECT_STREQ(logFilePath(), fallbackLogPath);  // messages still name it
    EXPECT_FALSE(system.files.exists(fallbackLogPath));
    // Every later line tries the fixed name again.
    system.files.failTextWrites.clear();
    logLine("found");
    EXPECT_EQ(system.files.content(fallbackLogPath), "found\n");
}

TEST(Log, OffersToShowTheLogInExplorer) {
    struct Case {
        bool yes;
        bool startFails;
        std::vector<std::string> explorer;
        const char* lastLine;
    } cases[] = {
        {false, false, {}, "x"},
        {true, false, {"C:\\Windows\\explorer.exe /select,C:\\MRV~1"}, "calling C:\\Windows\\explorer.exe /select,C:\\MRV~1"},
        {true, true, {"C:\\Windows\\explorer.exe /select,C:\\MRV~1"}, "could not open explorer window 2"},
    };
    for (const Case& c : cases) {
        TestSystem system;
        system.dialogs.answerYes = c.yes;
        system.processes.failStarts = c.startFails;
        system.enableLog();
        logLine("x");
        system.files.shortNames[system.files.key(logFilePath())] = "C:\\MRV~1";
        offerLogLocation("qarvo");
        ASSERT_EQ(system.dialogs.questions.size(), 1u);
        EXPECT_EQ(system.dialogs.questions[0].caption, "qarvo");
        EXPECT_EQ(system.dialogs.questions[0].text,
                  "The following log file will be created:\n\nc:\\mrv_nlog_112\n\nDo you want to open an Explorer window?");
        EXPECT_EQ(system.processes.explorerStarts, c.explorer);
        EXPECT_EQ(system.logLines().back(), c.lastLine);
    }
}

}  // namespace
}  // namespace qarvo
