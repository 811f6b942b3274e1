// The splash screen of a started launcher under Wine: launchers made from the
// generic launcher linked with a splash image (tests/programs), a runtime
// whose bin\splashscreen.dll is the recording stub. The stub writes each call
// to standard error too, so its calls and the launcher's messages show up in
// the order they happened.
#include <cstdint>
#include <cstdio>

#include "TestRuntimes.h"

namespace qarvo::wine {
namespace {

class Splash : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        if (HasFatalFailure()) return;
        makeRuntime(directory() / "jre");
        ASSERT_TRUE(readFileBytes(win32Program("tests/programs/splash.gif"), image_));
        std::uint32_t hash = 2166136261u;
        for (std::uint8_t byte : image_) hash = (hash ^ byte) * 16777619u;
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(hash));
        loaded_ = "SplashLoadMemory size=" + std::to_string(image_.size()) + " fnv1a=" + hex;
    }

    // directory()/app.exe, with the splash image when `withImage`, finding
    // the runtime in jre beside it.
    fs::path splashLauncher(const StringEntries& extra, bool withImage = true) const {
        StringEntries entries = {{key::searchSequence, "B.\\jre"}, {message::jvmNotStarted, vmNotStartedText}};
        entries.insert(extra.begin(), extra.end());
        const fs::path base = withImage ? windowsProgram("tests/programs/splash_launcher.exe") : genericLauncher();
        std::vector<std::uint8_t> bytes, image;
        std::string error;
        EXPECT_TRUE(readFileBytes(base, bytes)) << base;
        EXPECT_TRUE(writeLauncherImage(bytes, blockContent(entries), {}, image, error)) << error;
        EXPECT_TRUE(writeFileBytes(directory() / "app.exe", image));
        return directory() / "app.exe";
    }
    void startAfresh(bool withLibrary) const {
        for (const char* file : {"splash-stub-record.txt", "client/jvm-stub-record.txt", "splashscreen.dll"}) {
            fs::remove(bin() / file);
        }
        if (withLibrary) fs::copy_file(doublesDirectory() / "splashscreen.dll", bin() / "splashscreen.dll");
    }
    fs::path bin() const { return directory() / "jre" / "bin"; }
    std::vector<std::string> splashRecord() const { return recordLines(bin() / "splash-stub-record.txt"); }
    std::string libraryLine() const {
        return "loading splashscreen dll from " + normal("jre") + "\\bin\\..\\bin\\splashscreen.dll";
    }

    std::vector<std::uint8_t> image_;
    std::string loaded_;  // the stub's record of being handed the image
};

TEST_F(Splash, ShownBeforeTheMachineIsCreatedAndClosedBeforeItsMessage) {
    startAfresh(true);
    writeText(bin() / "client" / "jvm-stub-script.txt", "create-fails -1\n");
    const fs::path app = splashLauncher({{key::splashWanted, "1"}, {key::splashLibrary, "1"},
                                         {key::applicationType, "2"}});  // messages on standard error
    LoggedStart start = startLogged(prefix(), app);
    EXPECT_EQ(start.result.exitCode, 1);
    EXPECT_EQ(splashRecord(), (std::vector<std::string>{"SplashInit", loaded_, "SplashClose"}));
    const std::string expected = "splash stub: SplashInit\nsplash stub: " + loaded_ + "\nsplash stub: SplashClose\n" +
                                 messageWithLog(vmNotStartedText);
    EXPECT_EQ(start.result.standardError.rfind(expected, 0), 0u) << start.result.standardError;

    const std::vector<std::string> lines =
        start.linesStartingWith({"loading splashscreen dll from ", "splash load memory returned ", "Creating JVM"});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], libraryLine());
    EXPECT_EQ(lines[1].rfind("splash load memory returned 1 (", 0), 0u) << lines[1];
    EXPECT_TRUE(lines[1].ends_with(", " + std::to_string(image_.size()) + ")")) << lines[1];
    EXPECT_EQ(lines[2], "Creating JVM");
}

TEST_F(Splash, WhenTheSplashScreenAppears) {
    const std::vector<std::string> shown = {"SplashInit", loaded_};
    const StringEntries both = {{key::splashWanted, "1"}, {key::splashLibrary, "1"}};
    struct Case {
        const char* name;
        StringEntries keys;
        bool image, library;
        int showCommand;  // -1: an ordinary start, with the log
        std::vector<std::string> record;
        std::vector<std::string> errors;  // the log's error lines
    } cases[] = {
        {"an ordinary start", both, true, true, -1, shown, {}},
        {"started hidden (SW_HIDE)", both, true, true, 0, {}, {}},
        {"started minimised (7)", both, true, true, 7, shown, {}},
        {"key 108 without key 10123", {{key::splashWanted, "1"}}, true, true, -1, {}, {}},
        {"a runtime without splashscreen.dll", both, true, false, -1, {}, {"ERROR: Could not load splashscreen.dll"}},
        {"a launcher without the image", both, false, true, -1, {},
         {"ERROR: Could not find the splash image (resource 10000)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startAfresh(c.library);
        const fs::path app = splashLauncher(c.keys, c.image);
        if (c.showCommand < 0) {
            LoggedStart start = startLogged(prefix(), app);
            EXPECT_EQ(start.result.exitCode, 0) << start.result.standardError;
            EXPECT_EQ(start.linesStartingWith({"ERROR: "}), c.errors);
            EXPECT_EQ(start.hasLine(libraryLine()), c.keys.size() == 2);
        } else {
            RunResult r = prefix().runWinTool(
                {"run-exact", windowsPath(app), "app.exe", "60000", std::to_string(c.showCommand)}, 90);
            EXPECT_EQ(trimLineEnd(r.standardOutput), "exit 0") << r.standardError;
        }
        EXPECT_EQ(splashRecord(), c.record);
        const std::vector<std::string> jvm = recordLines(bin() / "client" / "jvm-stub-record.txt");
        EXPECT_TRUE(!jvm.empty() && jvm.back() == "DestroyJavaVM") << "the start goes on";
    }
}

}  // namespace
}  // namespace qarvo::wine
