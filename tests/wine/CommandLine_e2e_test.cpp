// The launcher's own command line: quoting failures before the block is read
// and the log-creation switch.
#include "E2eSupport.h"

namespace qarvo::wine {
namespace {

class CommandLine : public WineTest {};

TEST_F(CommandLine, UnbalancedQuoteEndsWithAnEmptyMessageBeforeTheBlockIsRead) {
    // The block carries a text for message 1007 and a caption, but the command
    // line is split before the block is read: the message is empty.
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string standardError;
    };
    const std::string started = quietMessage(noRuntimeMessage());
    const Case cases[] = {
        {{"-q_mrv_internal", "O'Neil"}, 1, "\r\n"},
        {{"-q_mrv_internal", "a", "it's"}, 1, "\r\n"},
        {{"-q_mrv_internal", "\"open"}, 1, "\r\n"},  // Wine writes the quote as \" and a backslash is plain text
        {{"O'Neil"}, 1, ""},                          // shown in a message box, which returns at once headless
        {{"-q_mrv_internal", "'O Neil'"}, 83, started},
        {{"-q_mrv_internal", "it's", "ok'"}, 83, started},  // the apostrophes pair up across the blank
    };
    StringEntries entries = sampleMessages();
    entries[applicationTypeKey] = "0";
    const fs::path launcher = makeConfiguredLauncher(directory(), "quotes", entries);
    ASSERT_FALSE(launcher.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        RunResult r = runLauncher(launcher, c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.standardError, c.standardError);
    }
}

TEST_F(CommandLine, LogSwitchCountsOnlyAsTheFirstArgument) {
    struct Case {
        std::vector<std::string> arguments;
        bool logged;
    };
    const Case cases[] = {
        {{"-create-mrv-log"}, true},
        {{"-create-qvo-log"}, true},
        {{"/create-mrv-log"}, true},
        {{"/create-qvo-log", "file.txt"}, true},
        {{"x", "-create-mrv-log"}, false},
        {{"-CREATE-MRV-LOG"}, false},
        {{"-create-mrv-log2"}, false},
        {{"create-mrv-log"}, false},
    };
    const fs::path launcher = makeConfiguredLauncher(directory(), "switch", sampleMessages());
    ASSERT_FALSE(launcher.empty());
    const std::string message = quietMessage(noRuntimeMessage());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0] + (c.arguments.size() > 1 ? " " + c.arguments[1] : ""));
        // The switch also asks whether to open Explorer; without a display the
        // question returns at once with no answer, so nothing is started.
        RunResult r = runLauncher(launcher, c.arguments);
        EXPECT_EQ(r.exitCode, 83);
        std::optional<fs::path> log = logFileNamedIn(r.standardError, prefix());
        EXPECT_EQ(log.has_value(), c.logged) << r.standardError;
        if (!c.logged) {
            EXPECT_EQ(r.standardError, message);
            continue;
        }
        EXPECT_EQ(r.standardError.substr(0, r.standardError.find("Log: ")), crlf(noRuntimeMessage() + "\n\n"));
        ASSERT_TRUE(log && fs::exists(*log)) << r.standardError;
        EXPECT_EQ(readTextFile(*log).rfind("Started executable " + windowsPath(launcher) + " at ", 0), 0u);
    }
}

}  // namespace
}  // namespace qarvo::wine
