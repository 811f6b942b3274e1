// The reboot request: only the exact tail "__mrv_reboot" restarts the machine.
// Each case runs in a prefix of its own, which a restart request may end.
#include "E2eSupport.h"

namespace qarvo::wine {
namespace {

struct RebootCase {
    const char* name;
    std::vector<std::string> arguments;
    bool reboot;
    bool bareLauncher = false;  // no block: any attempt to read one would fail
};

void PrintTo(const RebootCase& c, std::ostream* out) { *out << c.name; }

class Reboot : public ::testing::TestWithParam<RebootCase> {};

TEST_P(Reboot, OnlyTheExactTailRequestsARestart) {
    const RebootCase& c = GetParam();
    std::string error;
    std::unique_ptr<Prefix> prefix = Prefix::clone(std::string("reboot-") + c.name, error);
    ASSERT_TRUE(prefix) << error;
    const fs::path dir = freshTestDirectory();
    const fs::path launcher = c.bareLauncher ? makeLauncherWithTail(dir, "app", {})
                                             : makeConfiguredLauncher(dir, "app", sampleMessages());
    ASSERT_FALSE(launcher.empty());
    const fs::path temp = prefix->temporaryDirectory();
    ASSERT_FALSE(temp.empty());
    ASSERT_TRUE(filesStartingWith(temp, "mrv_nlog").empty());

    RunRequest request;
    request.program = launcher;
    request.arguments = c.arguments;
    request.environment = {{"QARVO_LOG", "yes"}};
    RunResult r = prefix->run(request);

    if (c.reboot) {
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_GE(r.seconds, 4.9) << "waits five seconds before asking for the restart";
        EXPECT_EQ(r.standardError, "");
        EXPECT_TRUE(filesStartingWith(temp, "mrv_nlog").empty()) << "no configuration read, no log written";
    } else {
        EXPECT_EQ(r.exitCode, 83);
        EXPECT_EQ(r.standardError.substr(0, r.standardError.find("Log: ")),
                  crlf(noRuntimeMessage() + "\n\n"));
        EXPECT_EQ(filesStartingWith(temp, "mrv_nlog").size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tails, Reboot,
    ::testing::Values(RebootCase{"Exact", {"__mrv_reboot"}, true},
                      RebootCase{"ExactWithoutABlock", {"__mrv_reboot"}, true, true},
                      RebootCase{"FollowedByAnArgument", {"__mrv_reboot", "x"}, false},
                      RebootCase{"FollowedByCharacters", {"__mrv_rebootx"}, false},
                      RebootCase{"AfterAnArgument", {"x", "__mrv_reboot"}, false}),
    [](const ::testing::TestParamInfo<RebootCase>& info) { return std::string(info.param.name); });

// Wine builds a command line from its arguments with the program name first, so
// the launcher is started through wintool with an exact one: blanks before the
// program name are skipped, and the tail that follows is a reboot request.
TEST(RebootCommandLine, BlanksBeforeTheProgramNameAreSkipped) {
    std::string error;
    std::unique_ptr<Prefix> prefix = Prefix::clone("reboot-leading-blank", error);
    ASSERT_TRUE(prefix) << error;
    const fs::path launcher = makeConfiguredLauncher(freshTestDirectory(), "app", sampleMessages());
    ASSERT_FALSE(launcher.empty());
    const fs::path temp = prefix->temporaryDirectory();
    ASSERT_FALSE(temp.empty());

    RunRequest request;
    request.program = winTool();
    request.arguments = {"run-exact", windowsPath(launcher), " app.exe __mrv_reboot", "20000"};
    request.environment = {{"QARVO_LOG", "yes"}};
    RunResult r = prefix->run(request);

    EXPECT_EQ(r.exitCode, 0) << r.standardError;
    EXPECT_EQ(trimLineEnd(r.standardOutput), "exit 0") << "a normal start would end with 83";
    EXPECT_GE(r.seconds, 4.9) << "waits five seconds before asking for the restart";
    EXPECT_EQ(r.standardError, "");
    EXPECT_TRUE(filesStartingWith(temp, "mrv_nlog").empty()) << "no configuration read, no log written";
}

}  // namespace
}  // namespace qarvo::wine
