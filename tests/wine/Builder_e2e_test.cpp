// The build tool end to end: qarvo.exe under Wine writes the same bytes as
// the host's qarvo; an exe that qarvo built starts under Wine and hands the
// stub virtual machine what app.toml configured; signed with osslsigncode it
// verifies and still starts.
#include "TestRuntimes.h"
#include "image/testing/FakeIcon.h"

namespace qarvo::wine {
namespace {

// The runtime jar the tool ships: any bytes do for the stub virtual machine.
constexpr const char* runtimeJarText = "PK stand-in for qarvo-runtime.jar";

class Builder : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        if (HasFatalFailure()) return;
        writeText(directory() / "qarvo-runtime.jar", runtimeJarText);
    }

    // Runs the host's qarvo with `arguments`; its exit code, output in `output`.
    int hostQarvo(const std::vector<std::string>& arguments, std::string& output,
                  const Environment& extra = {}) const {
        ChildCommand command;
        command.argv = {QARVO_HOST_TOOL};
        command.argv.insert(command.argv.end(), arguments.begin(), arguments.end());
        command.environment = currentEnvironment();
        for (const auto& [name, value] : extra) command.environment[name] = value;
        command.environment.erase("SOURCE_DATE_EPOCH");
        const auto [out, err] = outputFiles();
        command.standardOutput = out;
        command.standardError = err;
        std::string error;
        const int code = runChild(command, error);
        output = readTextFile(out) + readTextFile(err) + error;
        return code;
    }
    // `qarvo build` of directory()/app.toml into `exe` with the build tree's launcher and the stand-in jar.
    int buildExe(const std::string& toml, const fs::path& exe, std::string& output) const {
        writeText(directory() / "app.toml", toml);
        return hostQarvo({"build", (directory() / "app.toml").string(), "-o", exe.string(), "--target",
                          launcherArchitecture().target, "--launcher", genericLauncher().string(), "--runtime-jar",
                          (directory() / "qarvo-runtime.jar").string()},
                         output);
    }
    std::vector<std::uint8_t> bytes(const fs::path& path) const {
        std::vector<std::uint8_t> content;
        EXPECT_TRUE(readFileBytes(path, content)) << path;
        return content;
    }
    int run(const std::vector<std::string>& argv, std::string& output) const {
        ChildCommand command;
        command.argv = argv;
        command.environment = currentEnvironment();
        const auto [out, err] = outputFiles();
        command.standardOutput = out;
        command.standardError = err;
        std::string error;
        const int code = runChild(command, error);
        output = readTextFile(out) + readTextFile(err) + error;
        return code;
    }
    std::vector<std::string> recorded(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& line : recordLines(directory() / "jre" / "bin" / "client" / "jvm-stub-record.txt")) {
            if (line.rfind(prefix, 0) == 0) found.push_back(line.substr(line.find(": ") + 2));
        }
        return found;
    }
};

constexpr const char* helloToml = R"([application]
name = "Hello"
main-class = "com.example.Main"
class-path = ["app.jar"]
type = "console"
arguments = ["--from-config", "two words"]

[runtime]
search-sequence = ["bundled:jre"]
min-version = "1.8"

[vm]
options = ["-Xmx64m", "-Dgreeting=hello world"]

[messages]
main-class-not-loaded = "Couldn't load main class."

[files]
include = [{ source = "data.txt", name = "conf\\data.txt" }]
)";

TEST_F(Builder, QarvoExeUnderWineWritesTheSameBytesAsTheHostTool) {
    writeText(directory() / "data.txt", "included data\n");
    std::string output;
    ASSERT_EQ(buildExe(helloToml, directory() / "host.exe", output), 0) << output;
    RunRequest request;
    request.program = win32Program("builder/qarvo.exe");
    request.arguments = {"build", windowsPath(directory() / "app.toml"), "-o", windowsPath(directory() / "wine.exe"),
                         "--target", launcherArchitecture().target, "--launcher", windowsPath(genericLauncher()),
                         "--runtime-jar",
                         windowsPath(directory() / "qarvo-runtime.jar")};
    const RunResult r = prefix().run(request);
    ASSERT_EQ(r.exitCode, 0) << r.standardOutput << r.standardError;
    const std::vector<std::uint8_t> host = bytes(directory() / "host.exe");
    EXPECT_GT(host.size(), fs::file_size(genericLauncher()));
    EXPECT_EQ(bytes(directory() / "wine.exe"), host);
    // The same error, with the same position, from both.
    writeText(directory() / "bad.toml", "[application]\nmain-class = \"a..b\"\n");
    request.arguments = {"build", windowsPath(directory() / "bad.toml"), "--target", launcherArchitecture().target,
                         "--launcher", windowsPath(genericLauncher())};
    const RunResult bad = prefix().run(request);
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.standardError.find("bad.toml:2:14: application.main-class: \"a..b\" is no dotted Java class name"),
              std::string::npos)
        << bad.standardError;
}

TEST_F(Builder, ABuiltExeHandsTheStubVmWhatAppTomlSays) {
    std::string error;
    std::unique_ptr<Prefix> own = Prefix::clone("builder", error);
    ASSERT_TRUE(own) << error;
    makeRuntime(directory() / "jre");
    writeText(directory() / "app.jar", "");
    writeText(directory() / "data.txt", "included data\n");
    std::string output;
    ASSERT_EQ(buildExe(helloToml, directory() / "hello.exe", output), 0) << output;
    EXPECT_EQ(readTextFile(directory() / "qarvo-runtime.jar"), runtimeJarText);

    RunRequest request;
    request.program = directory() / "hello.exe";
    request.arguments = {"user argument"};
    request.unsetEnvironment = {"MANPATH", "QARVO_LOG", "MORAVELIN_LOG"};
    const RunResult r = own->run(request);
    ASSERT_EQ(r.exitCode, 0) << r.standardError;
    const std::vector<std::string> options = recorded("option ");
    ASSERT_GE(options.size(), 3u);
    const std::string dir = windowsPath(directory());
    EXPECT_EQ(options.back(), "-Djava.class.path=" + dir + "\\qarvo-runtime.jar;" + dir + "\\app.jar;");
    EXPECT_NE(std::find(options.begin(), options.end(), "-Xmx64m"), options.end());
    EXPECT_NE(std::find(options.begin(), options.end(), "-Dgreeting=hello world"), options.end());
    const std::vector<std::string> arguments = recorded("main arg ");
    ASSERT_EQ(arguments.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(arguments.begin(), arguments.begin() + 5),
              (std::vector<std::string>{"false", "com.example.Main", "", "", "false"}));
    EXPECT_EQ(std::vector<std::string>(arguments.begin() + 6, arguments.end()),
              (std::vector<std::string>{"--from-config", "two words", "user argument"}));
    // The included file went into the launcher's temporary directory, which the VM was told.
    const auto tempDir = std::find_if(options.begin(), options.end(),
                                      [](const std::string& o) { return o.rfind("-Dqarvo.tempDir=", 0) == 0; });
    ASSERT_NE(tempDir, options.end());
}

// An exe with every resource app.toml can give: it starts, the splash
// library is handed the image, and Windows finds the icon and the version.
TEST_F(Builder, AnExeWithAnIconAndASplashImageStarts) {
    std::string error;
    std::unique_ptr<Prefix> own = Prefix::clone("builder-resources", error);
    ASSERT_TRUE(own) << error;
    makeRuntime(directory() / "jre");
    fs::copy_file(doublesDirectory() / "splashscreen.dll", directory() / "jre" / "bin" / "splashscreen.dll");
    writeText(directory() / "app.jar", "");
    writeText(directory() / "data.txt", "included data\n");
    std::vector<std::uint8_t> splash;
    ASSERT_TRUE(readFileBytes(win32Program("tests/programs/splash.gif"), splash));
    ASSERT_TRUE(writeFileBytes(directory() / "splash.gif", splash));
    ASSERT_TRUE(writeFileBytes(directory() / "app.ico",
                               qarvo::testing::makeIcoFile({{32, 32, 1, 32, qarvo::testing::bitmapIconImage(32, 0xFF00FF00)}})));
    const std::string toml = std::string(helloToml) +
                             "\n[splash]\nimage = \"splash.gif\"\n[version]\nfile-version = \"2.0.1\"\n"
                             "company = \"Tarnwell Test\"\n[manifest]\ndpi-awareness = \"per-monitor-v2\"\n";
    std::string output;
    // The icon goes into [application], which helloToml opens first.
    ASSERT_EQ(buildExe("[application]\nicon = \"app.ico\"\n" + toml.substr(toml.find('\n') + 1),
                       directory() / "hello.exe", output),
              0)
        << output;

    RunRequest request;
    request.program = directory() / "hello.exe";
    request.unsetEnvironment = {"MANPATH", "QARVO_LOG", "MORAVELIN_LOG"};
    const RunResult r = own->run(request);
    ASSERT_EQ(r.exitCode, 0) << r.standardError;
    const std::vector<std::string> splashCalls = recordLines(directory() / "jre" / "bin" / "splash-stub-record.txt");
    ASSERT_EQ(splashCalls.size(), 2u);
    EXPECT_EQ(splashCalls[0], "SplashInit");
    EXPECT_EQ(splashCalls[1].rfind("SplashLoadMemory size=" + std::to_string(splash.size()) + " ", 0), 0u)
        << splashCalls[1];
    EXPECT_FALSE(recorded("main arg ").empty());

    const std::string exe = windowsPath(directory() / "hello.exe");
    const RunResult icon = own->runWinTool({"load-icon", exe, "1", "32"});
    EXPECT_EQ(icon.exitCode, 0) << icon.standardError;
    EXPECT_EQ(trimLineEnd(icon.standardOutput), "icon 32x32");
    const RunResult version = own->runWinTool({"version-info", exe, "CompanyName", "OriginalFilename"});
    EXPECT_EQ(version.exitCode, 0) << version.standardError;
    EXPECT_NE(version.standardOutput.find("file 2.0.1.0"), std::string::npos) << version.standardOutput;
    EXPECT_NE(version.standardOutput.find("CompanyName=Tarnwell Test"), std::string::npos) << version.standardOutput;
    EXPECT_NE(version.standardOutput.find("OriginalFilename=hello.exe"), std::string::npos) << version.standardOutput;
}

TEST_F(Builder, ASignedExeVerifiesAndStarts) {
    std::string error;
    std::unique_ptr<Prefix> own = Prefix::clone("builder-signed", error);
    ASSERT_TRUE(own) << error;
    makeRuntime(directory() / "jre");
    writeText(directory() / "app.jar", "");
    writeText(directory() / "data.txt", "included data\n");
    std::string output;
    ASSERT_EQ(buildExe(helloToml, directory() / "hello.exe", output), 0) << output;

    const std::string key = (directory() / "key.pem").string(), cert = (directory() / "cert.pem").string();
    ASSERT_EQ(run({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days",
                   "2", "-subj", "/CN=qarvo throw-away test certificate"},
                  output),
              0)
        << output;
    const std::string signedExe = (directory() / "signed.exe").string();
    ASSERT_EQ(run({"osslsigncode", "sign", "-certs", cert, "-key", key, "-n", "Hello", "-in",
                   (directory() / "hello.exe").string(), "-out", signedExe},
                  output),
              0)
        << output;
    ASSERT_EQ(run({"osslsigncode", "verify", "-CAfile", cert, "-in", signedExe}, output), 0) << output;
    EXPECT_NE(output.find("Signature verification: ok"), std::string::npos) << output;

    // inspect sees the signature behind the block and the included files.
    ASSERT_EQ(hostQarvo({"inspect", signedExe, "--json"}, output), 0) << output;
    EXPECT_NE(output.find("\"present\" : true"), std::string::npos) << output;
    EXPECT_NE(output.find("\"name\" : \"conf\\\\data.txt\""), std::string::npos) << output;

    RunRequest request;
    request.program = signedExe;
    request.unsetEnvironment = {"MANPATH", "QARVO_LOG", "MORAVELIN_LOG"};
    const RunResult r = own->run(request);
    ASSERT_EQ(r.exitCode, 0) << r.standardError;
    EXPECT_FALSE(recorded("main arg ").empty());

    // A signed generic launcher is refused as a template, with the reason.
    const std::string signedLauncher = (directory() / "signed-launcher.exe").string();
    ASSERT_EQ(run({"osslsigncode", "sign", "-certs", cert, "-key", key, "-in", genericLauncher().string(), "-out",
                   signedLauncher},
                  output),
              0)
        << output;
    EXPECT_EQ(hostQarvo({"build", (directory() / "app.toml").string(), "-o", (directory() / "x.exe").string(),
                         "--target", launcherArchitecture().target, "--launcher", signedLauncher, "--runtime-jar",
                         (directory() / "qarvo-runtime.jar").string()},
                        output),
              1);
    EXPECT_NE(output.find("it carries a code signature"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(directory() / "x.exe"));
}

}  // namespace
}  // namespace qarvo::wine
