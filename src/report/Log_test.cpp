#include "report/Log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "os/testing/Fakes.h"

namespace qarvo {
namespace {

using testing::FakeSystem;
using testing::readFile;

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
        FakeSystem system;
        if (c.qarvo) system.environment.variables["QARVO_LOG"] = c.qarvo;
        if (c.moravelin) system.environment.variables["MORAVELIN_LOG"] = c.moravelin;
        if (c.switchGiven) system.enableLog();
        EXPECT_EQ(logFilePath(), nullptr);  // asking before the first line decides nothing
        logLine("hello %d", 1);
        EXPECT_EQ(logFilePath() != nullptr, c.on);
        if (c.on) {
            EXPECT_EQ(system.logLines().back(), "hello 1");
        }
        EXPECT_EQ(std::filesystem::is_empty(system.log.directory), !c.on);
    }
}

TEST(Log, FileHoldsHeaderEmptyLineAndOneLinePerCall) {
    FakeSystem system;
    system.environment.variables["QARVO_LOG"] = "yes";
    logLine("change working directory to %s", "C:\\app");
    logError("Could not open %s", "x.exe");
    logLine("error %d %d\n", 38, 2);
    logLine("last");
    EXPECT_EQ(readFile(logFilePath()),
              "Started executable C:\\app\\run.exe at Thu Jan  1 00:00:00 1970\n"
              "\n"
              "change working directory to C:\\app\n"
              "ERROR: Could not open x.exe\n"
              "error 38 2\n"
              "\n"
              "last\n");
}

TEST(Log, DecisionIsTakenOnce) {
    FakeSystem system;
    logLine("off");
    system.environment.variables["QARVO_LOG"] = "yes";
    logLine("still off");
    EXPECT_EQ(logFilePath(), nullptr);
}

TEST(Log, EveryRunGetsItsOwnFile) {
    std::string first;
    FakeSystem system;
    system.enableLog();
    logLine("one");
    first = logFilePath();
    resetLogForTesting();
    system.enableLog();
    logLine("two");
    EXPECT_NE(first, logFilePath());
    EXPECT_NE(readFile(first).find("one"), std::string::npos);
}

TEST(Log, FallsBackToTheFixedNameAndStaysSilentWhenThatFailsToo) {
    FakeSystem system;
    system.log.failNames = true;
    // Run where the fixed name cannot be created: a directory of that name is
    // in the way.
    std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(system.log.directory);
    std::filesystem::create_directory(fallbackLogPath);
    system.enableLog();
    logLine("lost");
    std::filesystem::current_path(old);
    ASSERT_NE(logFilePath(), nullptr);
    EXPECT_STREQ(logFilePath(), fallbackLogPath);  // messages still name it
}

}  // namespace
}  // namespace qarvo
