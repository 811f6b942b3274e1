// Key 146: the working directory a started launcher changes to, seen in its log
// (the directory of an ended process cannot be observed).
#include "E2eSupport.h"

namespace qarvo::wine {
namespace {

class WorkingDirectory : public WineTest {
protected:
    // The log line of the working-directory step (the one after the four
    // block-location lines), or "" when the run left no such log.
    std::string workingDirectoryLine(const fs::path& launcher, const std::vector<std::string>& arguments,
                                     const fs::path& startIn) {
        RunRequest request;
        request.program = launcher;
        request.arguments = arguments;
        request.environment = {{"QARVO_LOG", "yes"}};
        request.workingDirectory = startIn;
        RunResult r = prefix().run(request);
        EXPECT_EQ(r.exitCode, 83);
        std::optional<fs::path> log = logFileNamedIn(r.standardError, prefix());
        EXPECT_TRUE(log) << r.standardError;
        if (!log) return "";
        bool onlyCrlf = false;
        std::vector<std::string> lines = logLines(readTextFile(*log), onlyCrlf);
        EXPECT_GE(lines.size(), 8u);
        return lines.size() > 6 ? lines[6] : "";
    }
};

TEST_F(WorkingDirectory, ResolvesKey146AgainstTheLauncherDirectory) {
    struct Case {
        const char* value;  // null: key absent
        std::string logged;
    };
    fs::create_directories(directory() / "sub");
    const fs::path elsewhere = directory() / "elsewhere";
    fs::create_directories(elsewhere);
    const std::string here = windowsPath(directory());
    const Case cases[] = {
        {"sub", "change working directory to " + here + "\\sub"},
        {"SuB\\Not There", "change working directory to " + here + "\\SuB\\Not There"},
        {"C:\\windows", "change working directory to C:\\windows"},
        {"", "working directory unchanged"},
        {nullptr, "working directory unchanged"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(absent)");
        StringEntries entries = sampleMessages();
        if (c.value != nullptr) entries[workingDirectoryKey] = c.value;
        const fs::path launcher = makeConfiguredLauncher(directory(), "wd" + std::to_string(n++), entries);
        ASSERT_FALSE(launcher.empty());
        // Started from another directory: the value is relative to the launcher's.
        EXPECT_EQ(workingDirectoryLine(launcher, {}, elsewhere), c.logged);
    }
}

TEST_F(WorkingDirectory, LanguageRestartKeepsTheInheritedDirectory) {
    struct Case {
        std::vector<std::string> arguments;
        bool restart;
    };
    const Case cases[] = {
        {{"__mrv_lang_restart"}, true},
        {{"__mrv_lang_restart_from_installer", "x"}, true},
        {{"x", "__mrv_lang_restart"}, false},
        {{"__mrv_lang_restar"}, false},
    };
    fs::create_directories(directory() / "sub");
    StringEntries entries = sampleMessages();
    entries[workingDirectoryKey] = "sub";
    const fs::path launcher = makeConfiguredLauncher(directory(), "restart", entries);
    ASSERT_FALSE(launcher.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        const std::string line = workingDirectoryLine(launcher, c.arguments, directory());
        if (c.restart) {
            // Neither working-directory line: the step after it follows at once.
            EXPECT_EQ(line, "extracting files");
        } else {
            EXPECT_EQ(line, "change working directory to " + windowsPath(directory()) + "\\sub");
        }
    }
}

}  // namespace
}  // namespace qarvo::wine
