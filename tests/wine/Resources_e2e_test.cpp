// A launcher whose resources were replaced (icon, version information,
// manifest, splash image) and a block appended behind them: it still starts
// and reads its block, and Windows finds every resource where the library put
// it.
#include "TestRuntimes.h"

namespace qarvo::wine {
namespace {

class Resources : public RuntimeTest {
protected:
    fs::path rewrittenLauncher(const StringEntries& entries) const {
        const fs::path path = makeLauncherWithResources(directory(), "app", sampleApplicationResources(), entries);
        EXPECT_FALSE(path.empty());
        return path;
    }
    // The lines wintool printed, without their line ends.
    static std::vector<std::string> lines(const std::string& output) {
        std::vector<std::string> found;
        for (std::size_t at = 0; at < output.size();) {
            const std::size_t end = std::min(output.find('\n', at), output.size());
            found.push_back(trimLineEnd(output.substr(at, end - at)));
            at = end + 1;
        }
        return found;
    }
};

TEST_F(Resources, ARewrittenLauncherStartsAndReadsItsBlock) {
    std::string error;
    std::unique_ptr<Prefix> own = Prefix::clone("resources", error);  // the start caches its runtime
    ASSERT_TRUE(own) << error;
    makeRuntime(directory() / "jre");
    const fs::path app = rewrittenLauncher({{key::searchSequence, "B.\\jre"},
                                            {key::lowestVersion, "1.8"},
                                            {key::applicationType, "2"},
                                            {key::mainClass, "com.example.Rewritten"}});
    RunRequest request;
    request.program = app;
    request.arguments = {"doc.txt"};
    request.unsetEnvironment = {"MANPATH", "QARVO_LOG", "MORAVELIN_LOG"};
    const RunResult r = own->run(request);
    ASSERT_EQ(r.exitCode, 0) << r.standardError;
    const std::vector<std::string> record = recordLines(directory() / "jre" / "bin" / "client" / "jvm-stub-record.txt");
    EXPECT_NE(std::find(record.begin(), record.end(), "FindClass com/qarvo/runtime/WinLauncher"), record.end());
    EXPECT_NE(std::find(record.begin(), record.end(), "main arg 1: com.example.Rewritten"), record.end());
    EXPECT_NE(std::find(record.begin(), record.end(), "main arg 6: doc.txt"), record.end());
}

TEST_F(Resources, WindowsSeesTheVersionStringsTheSplashImageAndTheIcons) {
    const std::string app = windowsPath(rewrittenLauncher({{key::mainClass, "com.example.Rewritten"}}));
    RunResult version = prefix().runWinTool({"version-info", app, "CompanyName", "FileDescription", "FileVersion",
                                             "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"});
    ASSERT_EQ(version.exitCode, 0) << version.standardError;
    EXPECT_EQ(lines(version.standardOutput),
              (std::vector<std::string>{"file 1.2.3.4", "product 1.2.0.0", "translation 040904B0",
                                        "CompanyName=Tarnwell Test", "FileDescription=Sample application",
                                        "FileVersion=1.2.3.4", "LegalCopyright=\u00A9 2025 Tarnwell",
                                        "OriginalFilename=sample.exe", "ProductName=Sample", "ProductVersion=1.2"}));
    // InternalName was left empty, so the resource has none.
    EXPECT_EQ(prefix().runWinTool({"version-info", app, "InternalName"}).exitCode, 2);

    struct Case {
        std::vector<std::string> arguments;
        std::string output;
    } cases[] = {
        {{"resource-size", app, "10", "10000"}, std::to_string(sampleSplashImage().size())},
        {{"resource-size", app, "24", "1"}, std::to_string(manifestText(sampleManifestOptions()).size())},
        {{"load-icon", app, "1", "16"}, "icon 16x16"},
        {{"load-icon", app, "1", "32"}, "icon 32x32"},
    };
    for (const Case& c : cases) {
        RunResult r = prefix().runWinTool(c.arguments);
        EXPECT_EQ(r.exitCode, 0) << c.arguments[0] << ": " << r.standardError;
        EXPECT_EQ(trimLineEnd(r.standardOutput), c.output) << c.arguments[0] << " " << c.arguments[3];
    }
    EXPECT_EQ(prefix().runWinTool({"resource-size", app, "10", "10001"}).exitCode, 2);
}

}  // namespace
}  // namespace qarvo::wine
