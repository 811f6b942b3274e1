// A whole start under Wine against a test runtime made of the doubles: a
// jre directory beside the launcher whose java.exe and javaw.exe are the
// scripted stub and whose jvm.dll is the recording stub. The stub's record
// shows the options and the String[] the virtual machine received.
//
// Each test runs in a prefix of its own: a start records the runtime it
// probed in the registry, where the runtime search of every later start in
// the same prefix would find it.
#include "Locales.h"
#include "TestRuntimes.h"

namespace qarvo::wine {
namespace {

constexpr const char* mainClassText = "Couldn't load main class.";
constexpr const char* mainMethodText = "Main method not found.";

class JvmLaunch : public OwnPrefixTest {
protected:
    JvmLaunch() : OwnPrefixTest("jvmlaunch") {}
    void SetUp() override {
        OwnPrefixTest::SetUp();
        if (HasFatalFailure()) return;
        // The test runtime: the stub java.exe answers "-version" like a Java 17.
        makeRuntime(directory() / "jre");
    }

    // A launcher whose block finds the test runtime beside it.
    fs::path launcher(const StringEntries& extra = {}) const {
        StringEntries entries = {
            {key::searchSequence, "B.\\jre"},
            {key::lowestVersion, "1.8"},
            {key::applicationType, "2"},  // a console application: messages go to standard error
            {key::mainClass, "com.example.Main"},
            {message::mainClassNotLoaded, mainClassText},
            {message::mainMethodNotFound, mainMethodText},
            {message::internalError, "An internal error occurred (error code: {0})"},
        };
        for (const auto& [key, value] : extra) entries[key] = value;
        return RuntimeTest::launcher(entries);
    }
    void script(const std::string& text) const { writeText(clientDirectory() / "jvm-stub-script.txt", text); }
    fs::path clientDirectory() const { return directory() / "jre" / "bin" / "client"; }

    RunResult start(const fs::path& program, const std::vector<std::string>& arguments = {},
                    const std::string& locale = {}) const {
        RunRequest request;
        request.program = program;
        request.arguments = arguments;
        request.unsetEnvironment = {"MANPATH", "QARVO_LOG", "MORAVELIN_LOG"};
        request.locale = locale;
        return own_->run(request);
    }

    // The lines the stub recorded.
    std::vector<std::string> record() const { return recordLines(clientDirectory() / "jvm-stub-record.txt"); }
    // The recorded lines that begin with `prefix`, without it.
    std::vector<std::string> recorded(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& line : record()) {
            if (line.rfind(prefix, 0) == 0) found.push_back(line.substr(prefix.size()));
        }
        return found;
    }
    // The options the virtual machine received, in order.
    std::vector<std::string> options() const {
        std::vector<std::string> texts;
        for (const std::string& line : recorded("option ")) {
            const std::size_t colon = line.find(": ");
            EXPECT_EQ(line.substr(0, colon), std::to_string(texts.size()));
            texts.push_back(line.substr(colon + 2));
        }
        return texts;
    }
    // The String[] main received.
    std::vector<std::string> mainArguments() const {
        std::vector<std::string> texts;
        for (const std::string& line : recorded("main arg ")) texts.push_back(line.substr(line.find(": ") + 2));
        return texts;
    }
    bool recordedLine(const std::string& line) const {
        std::vector<std::string> lines = record();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::string windowsDirectory() const { return windowsPath(directory()); }

private:
};

// The single-instance step names a semaphore also when single-instance mode is
// off, with counter 0 for the only start. This launcher carries no included
// files: its temporary directory is empty and the position behind the included
// files 0 (IncludedFiles_e2e_test.cpp starts launchers that carry some).
TEST_F(JvmLaunch, NormalStartPassesEveryOptionInOrder) {
    const fs::path app = launcher({{key::vmOptions, "-Xmx256m \"-Dhome=${QARVO_EXEDIR}\""},
                                   {key::dashJArguments, "1"},
                                   {key::classPath, "A1lib\\app.jar"}});
    writeText(directory() / "lib" / "app.jar", "");
    writeText(directory() / "app.vmoptions",
              "# the default file\r\n  -Dfile=1  \r\n-include-options conf\\common.vmoptions\r\n-Dlast=1\r\n");
    writeText(directory() / "conf" / "common.vmoptions", "-Dcommon=1\n-include-options extra.vmoptions\n");
    writeText(directory() / "conf" / "extra.vmoptions", "-Dextra=1\n");
    RunResult r = start(app, {"-J-Xss2m", "doc.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.standardError;

    const std::string exe = windowsDirectory() + "\\app.exe";
    std::vector<std::string> received = options();
    ASSERT_EQ(received.size(), 15u);
    const std::vector<std::string> launcherOptions = {
        "-Dqarvo.semaphoreName=" + semaphoreNameOf(app) + "0", "-Dqarvo.moduleName=" + exe,
        "-Dsun.java.command=" + exe, "-Dqarvo.tempDir=", "-Dqarvo.unextractedPosition=0"};
    EXPECT_EQ(std::vector<std::string>(received.begin(), received.begin() + 5), launcherOptions);
    // PATH as the runtime's loading left it: with the runtime's bin directory
    // (in whatever letter case the loading wrote it).
    EXPECT_EQ(received[5].rfind("-Djava.library.path=", 0), 0u);
    EXPECT_NE(lowerCase(received[5]).find(normal("jre/bin")), std::string::npos) << received[5];
    EXPECT_EQ(received[6].rfind("-Dqarvo.consoleCodepage=cp", 0), 0u) << received[6];
    const std::vector<std::string> userOptions = {
        "-Xmx256m", "-Dhome=" + windowsDirectory() + "\\", "-Xss2m", "-Dfile=1", "-Dcommon=1", "-Dextra=1", "-Dlast=1",
        "-Djava.class.path=" + windowsDirectory() + "\\lib\\app.jar;"};
    EXPECT_EQ(std::vector<std::string>(received.begin() + 7, received.end()), userOptions);
    EXPECT_TRUE(recordedLine("JNI_CreateJavaVM version=0x00010002 nOptions=15 ignoreUnrecognized=1"));
    EXPECT_TRUE(recordedLine("FindClass com/qarvo/runtime/WinLauncher"));

    std::vector<std::string> arguments = mainArguments();
    ASSERT_EQ(arguments.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(arguments.begin(), arguments.begin() + 5),
              (std::vector<std::string>{"false", "com.example.Main", "", "", "false"}));
    EXPECT_TRUE(arguments[5].ends_with("app.exe")) << arguments[5];
    EXPECT_EQ(arguments[6], "doc.txt");
    const std::vector<std::string> lines = record();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "DestroyJavaVM");
}

TEST_F(JvmLaunch, ShortVmOptionsNameIsPreferred) {
    const fs::path app = launcher();
    struct Case {
        bool shortName, longName;
        const char* option;
    } cases[] = {{true, true, "-Dfrom=app.vmoptions"}, {false, true, "-Dfrom=app.exe.vmoptions"}};
    for (const Case& c : cases) {
        fs::remove(directory() / "app.vmoptions");
        fs::remove(clientDirectory() / "jvm-stub-record.txt");
        if (c.shortName) writeText(directory() / "app.vmoptions", "-Dfrom=app.vmoptions\n");
        if (c.longName) writeText(directory() / "app.exe.vmoptions", "-Dfrom=app.exe.vmoptions\n");
        RunResult r = start(app);
        ASSERT_EQ(r.exitCode, 0) << r.standardError;
        std::vector<std::string> received = options();
        ASSERT_GE(received.size(), 2u);
        EXPECT_EQ(received[received.size() - 2], c.option);
    }
}

TEST_F(JvmLaunch, DashJArgumentsGoToTheMachineWithKey125) {
    struct Case {
        const char* key125;
        bool vmOption;
        std::vector<std::string> javaTail;
    } cases[] = {{"1", true, {"foo"}}, {"0", false, {"-J-Xmx512m", "foo"}}};
    for (const Case& c : cases) {
        fs::remove(clientDirectory() / "jvm-stub-record.txt");
        RunResult r = start(launcher({{key::dashJArguments, c.key125}}), {"-J-Xmx512m", "foo"});
        ASSERT_EQ(r.exitCode, 0) << r.standardError;
        std::vector<std::string> received = options();
        EXPECT_EQ(std::count(received.begin(), received.end(), "-Xmx512m"), c.vmOption ? 1 : 0) << c.key125;
        std::vector<std::string> arguments = mainArguments();
        ASSERT_GE(arguments.size(), 6u);
        EXPECT_EQ(std::vector<std::string>(arguments.begin() + 6, arguments.end()), c.javaTail) << c.key125;
    }
}

TEST_F(JvmLaunch, NonAsciiArgumentsArriveAsTheSameText) {
    std::string error;
    ASSERT_TRUE(ensureLocale("de_DE.UTF-8", error)) << error;
    RunResult r = start(launcher(), {"caf\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC"}, "de_DE.UTF-8");
    ASSERT_EQ(r.exitCode, 0) << r.standardError;
    std::vector<std::string> arguments = mainArguments();
    ASSERT_EQ(arguments.size(), 8u);
    EXPECT_EQ(arguments[6], "caf\xC3\xA9");
    EXPECT_EQ(arguments[7], "\xE6\x97\xA5\xE6\x9C\xAC");
}

// In code page 932 the second byte of "ソ" (0x83 0x5C) is that of "\": a
// launcher named ソフト.exe must still find the runtime, the class path and the
// options file beside it.
TEST_F(JvmLaunch, ADoubleByteLauncherNameIsNoDirectory) {
    std::string error;
    ASSERT_TRUE(ensureLocale("ja_JP.UTF-8", error)) << error;
    const std::string name = "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88";  // ソフト in UTF-8
    StringEntries entries = {{key::searchSequence, "B.\\jre"},
                             {key::lowestVersion, "1.8"},
                             {key::applicationType, "2"},
                             {key::mainClass, "com.example.Main"},
                             {key::classPath, "A1lib\\app.jar"}};
    const fs::path app = RuntimeTest::launcher(entries, name);
    writeText(directory() / "lib" / "app.jar", "");
    writeText(directory() / (name + ".vmoptions"), "-Dfrom=vmoptions\r\n");
    RunResult r = start(app, {}, "ja_JP.UTF-8");
    ASSERT_EQ(r.exitCode, 0) << r.standardError;
    std::vector<std::string> received = options();
    ASSERT_GE(received.size(), 4u);
    // The stub records the options in UTF-8. The trail byte of "ソ" (0x5C)
    // stays in the semaphore name.
    EXPECT_EQ(received[0], "-Dqarvo.semaphoreName=" + semaphoreNameOf(app) + "0");
    EXPECT_EQ(received[1], "-Dqarvo.moduleName=" + windowsDirectory() + "\\" + name + ".exe");
    EXPECT_EQ(received[received.size() - 2], "-Dfrom=vmoptions");
    EXPECT_EQ(received.back(), "-Djava.class.path=" + windowsDirectory() + "\\lib\\app.jar;");
}

TEST_F(JvmLaunch, OutcomesOfTheJavaSide) {
    struct Case {
        const char* script;
        int exitCode;
        const char* message;  // on standard error; null: none
        bool mainCalled, destroyed;
    } cases[] = {
        {"", 0, nullptr, true, true},
        {"create-fails -1\n", 1, vmNotStartedText, false, false},
        {"missing-class com/qarvo/runtime/WinLauncher\n", 1, mainClassText, false, false},
        {"missing-method main\n", 1, mainMethodText, false, false},
        {"main-throws\n", 1, vmNotStartedText, true, false},
        {"main-exit 7\n", 7, nullptr, true, false},
        // The benchmarks' quiet stub: DestroyJavaVM still happens, unrecorded.
        {"record-only CallStaticVoidMethod main\n", 0, nullptr, true, false},
    };
    const fs::path app = launcher();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        fs::remove(clientDirectory() / "jvm-stub-record.txt");
        script(c.script);
        RunResult r = start(app);
        EXPECT_EQ(r.exitCode, c.exitCode);
        std::string expectedError = c.message ? quietMessage(c.message) : "";
        if (std::string(c.script) == "main-throws\n") expectedError = "stub exception in main\n" + expectedError;
        EXPECT_EQ(r.standardError, expectedError);
        EXPECT_EQ(recordedLine("CallStaticVoidMethod main"), c.mainCalled);
        EXPECT_EQ(recordedLine("DestroyJavaVM"), c.destroyed);
    }
}

TEST_F(JvmLaunch, InstallerKindRunsTheFirstRunHookWhenMarked) {
    const fs::path app = launcher({{key::launcherKind, "i"}, {key::applicationDirectory, "."}});
    struct Case {
        bool marker;
        const char* firstRun;
        bool hookCalled, mainCalled;
    } cases[] = {{false, "true", false, true}, {true, "true", true, true}, {true, "false", true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.marker ? "marker, " : "no marker, ") + c.firstRun);
        fs::remove(clientDirectory() / "jvm-stub-record.txt");
        fs::remove_all(directory() / ".moravelin");
        if (c.marker) writeText(directory() / ".moravelin" / "firstrun", "");
        script(std::string("firstrun ") + c.firstRun + "\n");
        RunResult r = start(app);
        EXPECT_EQ(r.exitCode, 0) << r.standardError;
        EXPECT_EQ(recordedLine("FindClass com/moravelin/runtime/launcher/FirstRun"), c.hookCalled);
        EXPECT_EQ(recordedLine("CallStaticBooleanMethod firstRun"), c.hookCalled);
        EXPECT_EQ(recordedLine("FindClass com/moravelin/runtime/launcher/WinLauncher"), c.mainCalled);
        EXPECT_EQ(recordedLine("CallStaticVoidMethod main"), c.mainCalled);
        std::vector<std::string> received = options();
        ASSERT_GE(received.size(), 3u);
        EXPECT_EQ(received[1], "-Dqarvo.isMoravelin=true");
        EXPECT_EQ(received.back(), "-Djava.class.path=" + windowsDirectory() + "\\.moravelin\\mrvruntime.jar;");
    }
}

}  // namespace
}  // namespace qarvo::wine
