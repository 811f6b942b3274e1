#include "launcher/LaunchSequence.h"

#include <gtest/gtest.h>

#include "os/testing/Fakes.h"
#include "report/ErrorReport.h"

namespace qarvo {
namespace {

using testing::FakeSystem;
using testing::ProcessExit;

TEST(LaunchSequence, ClassifiesTheCommandLineTail) {
    struct Case {
        const char* tail;
        bool reboot, restart, quiet;
    } cases[] = {
        {"", false, false, false},
        {"__mrv_reboot", true, false, false},
        {"__mrv_reboot ", false, false, false},
        {"__mrv_rebootx", false, false, false},
        {" __mrv_reboot", false, false, false},
        {"__mrv_lang_restart", false, true, false},
        {"__mrv_lang_restart a b", false, true, false},
        {"x __mrv_lang_restart", false, false, false},
        {"-q_mrv_internal", false, false, true},
        {"-q_mrv_internalfoo bar", false, false, true},
        {"-q_mrv_interna", false, false, false},
    };
    for (const Case& c : cases) {
        TailRequest r = classifyTail(c.tail);
        EXPECT_EQ(r.reboot, c.reboot) << c.tail;
        EXPECT_EQ(r.languageRestart, c.restart) << c.tail;
        EXPECT_EQ(r.quietErrors, c.quiet) << c.tail;
    }
}

class RecordingConsole final : public ConsoleControl {
public:
    bool obtainConsole() override {
        ++calls;
        return succeed;
    }
    void consoleUnavailable() override { throw ProcessExit{1}; }
    bool succeed = true;
    int calls = 0;
};

TEST(LaunchSequence, AppliesConsoleSwitches) {
    struct Case {
        ArgumentList args;
        bool quietSwitches;
        int consoleCalls;
        bool quietAfter;
    } cases[] = {
        // "-console" works whenever the scan runs; "-q"/"-c" only with key 154.
        {{u"run.exe", u"-console"}, false, 1, false},
        {{u"run.exe", u"-q", u"-c"}, false, 0, false},
        {{u"run.exe", u"-q"}, true, 0, true},
        {{u"run.exe", u"-c", u"-console"}, true, 1, true},
        {{u"run.exe", u"-console", u"-console"}, true, 2, false},
        {{u"-console"}, false, 1, false},  // element 0 is examined too
        {{u"run.exe", u"-Q", u"-C", u"--console"}, true, 0, false},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        RecordingConsole console;
        applyConsoleSwitches(c.args, c.quietSwitches, console);
        EXPECT_EQ(console.calls, c.consoleCalls);
        EXPECT_EQ(showErrorDialogs(), !c.quietAfter);
    }
}

TEST(LaunchSequence, ConsoleSwitchCEndsTheProcessWhenNoConsoleIsAvailable) {
    FakeSystem system;
    RecordingConsole console;
    console.succeed = false;
    EXPECT_THROW(applyConsoleSwitches({u"run.exe", u"-c"}, true, console), ProcessExit);
    // "-console" ignores the failure.
    RecordingConsole other;
    other.succeed = false;
    applyConsoleSwitches({u"run.exe", u"-console"}, true, other);
    EXPECT_EQ(other.calls, 1);
}

}  // namespace
}  // namespace qarvo
