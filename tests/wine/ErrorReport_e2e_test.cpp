// How a started launcher reports a failure: standard error or a message box by
// application type, the configured text with its argument, the exit code.
#include "E2eSupport.h"

namespace qarvo::wine {
namespace {

class ErrorReport : public WineTest {};

TEST_F(ErrorReport, ApplicationTypeChoosesStandardErrorOrMessageBox) {
    struct Case {
        const char* type;  // value of key 107; null: absent
        std::vector<std::string> arguments;
        bool onStandardError;
    };
    const Case cases[] = {
        {nullptr, {}, true},
        {"0", {}, true},
        {"2", {}, true},
        {"-1", {}, true},
        {"abc", {}, true},
        {"1", {}, false},
        {"5", {}, false},
        {"1x", {}, false},  // read like atoi
        {" 5", {}, false},
        {"1", {"-q_mrv_internal"}, true},
        {"5", {"-q_mrv_internal", "more"}, true},
        {"1", {"x", "-q_mrv_internal"}, false},  // the quiet prefix counts only at the start
    };
    const std::string expected = quietMessage(noRuntimeMessage());
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("key 107 ") + (c.type ? "\"" + std::string(c.type) + "\"" : "absent") +
                     (c.arguments.empty() ? "" : " with " + c.arguments[0]));
        StringEntries entries = sampleMessages();
        if (c.type != nullptr) entries[applicationTypeKey] = c.type;
        const fs::path launcher = makeConfiguredLauncher(directory(), "type" + std::to_string(n++), entries);
        ASSERT_FALSE(launcher.empty());
        RunResult r = runLauncher(launcher, c.arguments);
        // The shared prefix holds no Java runtime, so the runtime search finds
        // none and every start ends with 83 and the no-runtime message.
        EXPECT_EQ(r.exitCode, 83);
        EXPECT_EQ(r.standardError, c.onStandardError ? expected : "");
        EXPECT_EQ(r.standardOutput, "");
    }
}

TEST_F(ErrorReport, NoRuntimeMessagePutsItsArgumentInTheFirstPlaceholder) {
    struct Case {
        const char* text;  // null: key absent
        const char* shown;
    };
    const std::string bits = launcherArchitecture().bits;
    const std::string firstOnly = bits + "{0} and {0}";
    const std::string noJava = "No Java " + bits;
    const Case cases[] = {
        {noRuntimeText, nullptr},
        {"No Java {0}", noJava.c_str()},
        {"{0}{0} and {0}", firstOnly.c_str()},
        {"without placeholder", "without placeholder"},
        {"{0", "{0"},
        {"", ""},
        {nullptr, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(absent)");
        StringEntries entries = {{captionKey, errorCaption}};
        if (c.text != nullptr) entries[noRuntimeKey] = c.text;
        const fs::path launcher = makeConfiguredLauncher(directory(), "text" + std::to_string(n++), entries);
        ASSERT_FALSE(launcher.empty());
        RunResult r = runLauncher(launcher);
        EXPECT_EQ(r.exitCode, 83);
        const std::string shown = c.shown ? c.shown : withArgument(c.text, bits);
        EXPECT_EQ(r.standardError, quietMessage(shown));
    }
}

// An allocation that fails ends the process with 1 and says so; so does a
// string longer than any allocation.
TEST_F(ErrorReport, FailedAllocationEndsWith1AndTheOutOfMemoryMessage) {
    // More than the process has room for.
    for (const char* kind : {"new", "string"}) {
        RunResult r =
            runLauncher(launcherProbe(), {"--quiet", "allocate", kind, launcherArchitecture().beyondAddressSpace});
        EXPECT_EQ(r.exitCode, 1) << kind;
        EXPECT_EQ(r.standardError, quietMessage("Internal Error: out of memory")) << kind;
        EXPECT_EQ(r.standardOutput, "") << kind;
    }
}

}  // namespace
}  // namespace qarvo::wine
