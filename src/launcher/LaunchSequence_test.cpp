#include "launcher/LaunchSequence.h"

#include <gtest/gtest.h>

#include <map>

#include "config/Configuration.h"
#include "report/ErrorReport.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::ProcessExit;
using testing::TestSystem;

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

// Steps that record their calls; reading the configuration is stood in for by
// storing the given keys.
class RecordingSteps final : public LaunchSteps {
public:
    void rebootMachine() override { steps.push_back("reboot"); }
    void processStartupArguments(ArgumentList& arguments) override {
        steps.push_back("startup " + std::to_string(arguments.size()));
        for (const auto& [key, value] : keys) configurationMaps().stringValues[key] = value;
    }
    bool obtainConsole() override {
        steps.push_back("console");
        return console;
    }
    void runSingleInstanceCheck(bool honourConfiguration, bool notifyRunningInstance) override {
        steps.push_back("instance " + std::to_string(honourConfiguration) + std::to_string(notifyRunningInstance));
    }
    int extractIncludedFiles(bool createDirectory) override {
        steps.push_back("extract " + std::to_string(createDirectory));
        return extract;
    }
    void prependNativeLibraryPath() override { steps.push_back("path"); }
    bool loadDLL(bool reportErrors) override {
        steps.push_back("load " + std::to_string(reportErrors));
        return load;
    }
    void splashScreen(int showCommand) override { steps.push_back("splash " + std::to_string(showCommand)); }
    bool launchJavaVM(const ArgumentList& arguments, bool destroyAfterMain) override {
        steps.push_back("launch " + std::to_string(arguments.size()) + " " + std::to_string(destroyAfterMain));
        return launch;
    }

    std::map<std::int32_t, std::string> keys;
    bool console = true;
    int extract = 0;
    bool load = true;
    bool launch = true;
    std::vector<std::string> steps;
};

TEST(LaunchSequence, RunsTheStepsInOrderThroughTheirGates) {
    const std::map<std::int32_t, std::string> messages = {
        {1005, "The JVM could not be started."}, {1007, "Wrong Parameter Usage"}, {1009, "error code: {0}"}};
    struct Case {
        const char* name;
        const char* tail;
        const char16_t* commandLine;
        std::map<std::int32_t, std::string> keys;
        int extract;
        bool load, launch;
        std::vector<std::string> steps;
        int exitCode;
        const char* message;  // standard error, or null for none
    } cases[] = {
        {"plain start", "doc.txt", u"run.exe doc.txt", {}, 0, true, true,
         {"startup 2", "instance 11", "extract 1", "path", "load 1", "launch 2 1"}, 0, nullptr},
        {"reboot request", "__mrv_reboot", u"run.exe __mrv_reboot", {}, 0, true, true, {"reboot"}, 0, nullptr},
        {"not quite a reboot", "__mrv_reboot x", u"run.exe __mrv_reboot x", {}, 0, true, true,
         {"startup 3", "instance 11", "extract 1", "path", "load 1", "launch 3 1"}, 0, nullptr},
        {"language restart", "__mrv_lang_restart", u"run.exe __mrv_lang_restart", {}, 0, true, true,
         {"startup 2", "extract 1", "path", "load 1", "launch 2 1"}, 0, nullptr},
        {"quiet unbalanced quote", "-q_mrv_internal \"x", u"run.exe -q_mrv_internal \"x", {}, 0, true, true, {},
         1, ""},
        {"extraction fails", "", u"run.exe", {}, 2, true, true, {"startup 1", "instance 11", "extract 1"}, 1,
         "error code: 16"},
        {"no runtime", "", u"run.exe", {}, 0, false, true, {"startup 1", "instance 11", "extract 1", "path", "load 1"},
         83, nullptr},
        {"splash", "", u"run.exe", {{108, "1"}, {10123, "1"}}, 0, true, true,
         {"startup 1", "instance 11", "extract 1", "path", "load 1", "splash 5", "launch 1 1"}, 0, nullptr},
        {"splash without its library", "", u"run.exe", {{108, "1"}}, 0, true, true,
         {"startup 1", "instance 11", "extract 1", "path", "load 1", "launch 1 1"}, 0, nullptr},
        {"virtual machine fails", "", u"run.exe", {}, 0, true, false,
         {"startup 1", "instance 11", "extract 1", "path", "load 1", "launch 1 1"}, 1, "The JVM could not be started."},
        {"console switches", "-console", u"run.exe -console", {{156, "1"}}, 0, true, true,
         {"startup 2", "console", "instance 11", "extract 1", "path", "load 1", "launch 2 1"}, 0, nullptr},
    };
    for (const Case& c : cases) {
        TestSystem system;
        for (const auto& [key, text] : messages) system.setKey(key, text);
        setQuietErrors();
        RecordingSteps steps;
        steps.keys = c.keys;
        steps.extract = c.extract;
        steps.load = c.load;
        steps.launch = c.launch;
        int exitCode = -1;
        try {
            exitCode = runLauncher(c.tail, c.commandLine, 5, steps);
        } catch (const ProcessExit& exit) {
            exitCode = exit.code;
        }
        EXPECT_EQ(steps.steps, c.steps) << c.name;
        EXPECT_EQ(exitCode, c.exitCode) << c.name;
        EXPECT_EQ(system.calls.front(), "InitCommonControls") << c.name;
        if (c.message) {
            ASSERT_EQ(system.messages.size(), 1u) << c.name;
            EXPECT_EQ(system.messages[0].text, *c.message ? c.message : messages.at(1007)) << c.name;
        } else {
            EXPECT_TRUE(system.messages.empty()) << c.name;
        }
    }
}

TEST(LaunchSequence, QuietTailIsAppliedBeforeTheCommandLineIsSplit) {
    TestSystem system;
    RecordingSteps steps;
    EXPECT_THROW(runLauncher("-q_mrv_internal", u"run.exe 'x", 1, steps), ProcessExit);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_FALSE(system.messages[0].box) << "quiet before the block is read";
    EXPECT_THROW(runLauncher("", u"run.exe 'x", 1, steps), ProcessExit);
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_FALSE(system.messages[1].box) << "there is no way back to dialogs";
}

TEST(LaunchSequence, AppliesConsoleSwitches) {
    struct Case {
        ArgumentList args;
        bool quietSwitches;
        bool consoleWorks;
        int consoleCalls;
        bool quietAfter;
        bool exits;
    } cases[] = {
        // "-console" works whenever the scan runs; "-q"/"-c" only with key 154.
        {{u"run.exe", u"-console"}, false, true, 1, false, false},
        {{u"run.exe", u"-q", u"-c"}, false, true, 0, false, false},
        {{u"run.exe", u"-q"}, true, true, 0, true, false},
        {{u"run.exe", u"-c", u"-console"}, true, true, 1, true, false},  // "-c" ends the walk
        {{u"run.exe", u"-console", u"-console"}, true, true, 2, false, false},
        {{u"-console"}, false, true, 1, false, false},  // element 0 is examined too
        {{u"run.exe", u"-Q", u"-C", u"--console"}, true, true, 0, false, false},
        {{u"run.exe", u"-console"}, true, false, 1, false, false},  // "-console" ignores a failure
        {{u"run.exe", u"-c"}, true, false, 1, true, true},
    };
    for (const Case& c : cases) {
        TestSystem system;
        RecordingSteps steps;
        steps.console = c.consoleWorks;
        bool exited = false;
        try {
            applyConsoleSwitches(c.args, c.quietSwitches, steps);
        } catch (const ProcessExit& exit) {
            exited = true;
            EXPECT_EQ(exit.code, 1);
            EXPECT_TRUE(exit.throughRuntime);
            ASSERT_EQ(system.dialogs.plain.size(), 1u);
            EXPECT_EQ(system.dialogs.plain[0].text, "Error: Could not allocate console.");
            EXPECT_EQ(system.dialogs.plain[0].caption, "moravelin");
        }
        EXPECT_EQ(exited, c.exits);
        EXPECT_EQ(static_cast<int>(steps.steps.size()), c.consoleCalls);
        EXPECT_EQ(showErrorDialogs(), !c.quietAfter);
    }
}

}  // namespace
}  // namespace qarvo
