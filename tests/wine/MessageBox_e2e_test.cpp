// Message boxes on a display: Xvfb with Wine's virtual desktop, a prefix of the
// test's own, and wintool.exe to find, read and dismiss the box.
#include "E2eSupport.h"
#include "VirtualDisplay.h"

namespace qarvo::wine {
namespace {

class MessageBox : public ::testing::Test {
protected:
    void SetUp() override {
        if (!VirtualDisplay::available()) GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(fs::exists(winTool())) << winTool() << " missing: build the win32 preset";
        std::string error;
        ASSERT_TRUE(display_.start(error)) << error;
        prefix_ = Prefix::clone("msgbox", error);
        ASSERT_TRUE(prefix_) << error;
        directory_ = freshTestDirectory();
    }

    // Starts `launcher` on the display, reads the box captioned `caption` and
    // dismisses it; returns the box's text and the launcher's result.
    std::pair<RunResult, RunResult> showAndDismiss(const fs::path& launcher, const std::string& caption) {
        RunRequest request;
        request.program = launcher;
        request.display = display_.name();
        RunningProgram running = prefix_->start(request);
        EXPECT_TRUE(running.started());
        RunRequest reader;
        reader.program = winTool();
        reader.arguments = {"msgbox", caption, "20000"};
        reader.display = display_.name();
        RunResult box = prefix_->run(reader);
        return {box, running.wait()};
    }

    VirtualDisplay display_;
    std::unique_ptr<Prefix> prefix_;
    fs::path directory_;
};

TEST_F(MessageBox, FailedStartShowsTheConfiguredTextAndCaption) {
    const fs::path launcher = makeConfiguredLauncher(
        directory_, "app", {{applicationTypeKey, "1"}, {captionKey, "My Caption"}, {noRuntimeKey, "No Java {0}"}});
    ASSERT_FALSE(launcher.empty());
    auto [box, launcherRun] = showAndDismiss(launcher, "My Caption");
    EXPECT_EQ(box.exitCode, 0) << "no box captioned \"My Caption\": " << box.standardError;
    EXPECT_EQ(trimLineEnd(box.standardOutput), std::string("No Java ") + launcherArchitecture().bits);
    EXPECT_EQ(launcherRun.exitCode, 83) << "ends once the box is dismissed";
    EXPECT_EQ(launcherRun.standardError, "");
}

TEST_F(MessageBox, BlockFailureShowsItsTextWithAnEmptyCaption) {
    auto [box, launcherRun] = showAndDismiss(genericLauncher(), "");
    EXPECT_EQ(box.exitCode, 0) << "no box with an empty caption: " << box.standardError;
    EXPECT_EQ(trimLineEnd(box.standardOutput), "Internal Error: readInt");
    EXPECT_EQ(launcherRun.exitCode, 1);
}

}  // namespace
}  // namespace qarvo::wine
