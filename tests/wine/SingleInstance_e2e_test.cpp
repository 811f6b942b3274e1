// Single instance under Wine: launchers in the test's own directory with a
// test runtime beside them, a first instance whose Java side is the stub
// jvm.dll (main-serve takes the notification files and records their bytes,
// main-wait-file takes none), and later starts that hand their arguments over.
// Semaphore names and the pids record follow the launcher's path, so the tests
// share the prefix without seeing each other.
#include <chrono>
#include <cstdio>
#include <thread>

#include "TestRuntimes.h"
#include "VirtualDisplay.h"

namespace qarvo::wine {
namespace {

constexpr const char* internalErrorText = "An internal error occurred (error code: {0})";
constexpr const char* pidsKey = "SOFTWARE\\tarnwell\\qarvo\\pids";

// Bytes in hexadecimal, as the stub records a notification.
std::string hex(const std::string& bytes) {
    std::string out;
    char byte[3];
    for (char c : bytes) {
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(c));
        out += byte;
    }
    return out;
}

// The notification of an ASCII text: its UTF-16LE bytes in hexadecimal.
std::string notificationHex(const std::string& ascii) {
    std::string utf16;
    for (char c : ascii) utf16 += std::string{c, '\0'};
    return hex(utf16);
}

// Polls until `condition` holds; false when it still does not after a minute.
template <typename Condition>
bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class SingleInstance : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        if (HasFatalFailure()) return;
        makeRuntime(directory() / "jre");
    }
    virtual const Prefix& where() const { return prefix(); }

    // dir/app.exe finding the runtime dir/jre, in single-instance mode unless
    // `extra` says otherwise.
    fs::path app(const fs::path& dir, const StringEntries& extra = {}) const {
        StringEntries entries = sampleMessages();
        entries[key::searchSequence] = "B.\\jre";
        entries[key::lowestVersion] = "1.8";
        entries[key::applicationType] = "2";  // messages on standard error
        entries[key::mainClass] = "com.example.Main";
        entries[key::singleInstance] = "1";
        entries[message::internalError] = internalErrorText;
        for (const auto& [key, value] : extra) entries[key] = value;
        const fs::path path = makeConfiguredLauncher(dir, "app", entries);
        EXPECT_FALSE(path.empty());
        return path;
    }
    fs::path app(const StringEntries& extra = {}) const { return app(directory(), extra); }

    static fs::path recordFile(const fs::path& dir) { return dir / "jre" / "bin" / "client" / "jvm-stub-record.txt"; }
    static void script(const fs::path& dir, const std::string& text) {
        writeText(dir / "jre" / "bin" / "client" / "jvm-stub-script.txt", text);
    }
    // The stub's recorded lines that begin with `prefix`, without it.
    static std::vector<std::string> recorded(const fs::path& dir, const std::string& prefix) {
        std::vector<std::string> found;
        for (const std::string& line : recordLines(recordFile(dir))) {
            if (line.rfind(prefix, 0) == 0) found.push_back(line.substr(prefix.size()));
        }
        return found;
    }
    std::vector<std::string> notifications() const { return recorded(directory(), "notification "); }
    std::size_t javaStarts(const fs::path& dir) const { return recorded(dir, "JNI_CreateJavaVM version").size(); }
    // The options of the `n`th virtual machine created with `dir`'s runtime.
    std::vector<std::string> options(const fs::path& dir, std::size_t n) const {
        std::vector<std::string> found;
        std::size_t created = 0;
        for (const std::string& line : recordLines(recordFile(dir))) {
            if (line.rfind("JNI_CreateJavaVM version", 0) == 0) ++created;
            if (created == n + 1 && line.rfind("option ", 0) == 0) found.push_back(line.substr(line.find(": ") + 2));
        }
        return found;
    }

    fs::path stopFile() const { return directory() / "stop"; }
    // Starts `launcher` in the background with `arguments`.
    RunningProgram begin(const fs::path& launcher, const std::vector<std::string>& arguments = {},
                         bool log = false) const {
        RunRequest request;
        request.program = launcher;
        request.arguments = arguments;
        request.timeoutSeconds = 90;
        request.unsetEnvironment = {"MANPATH", "MORAVELIN_LOG"};
        if (log) {
            request.environment["QARVO_LOG"] = "yes";
        } else {
            request.unsetEnvironment.push_back("QARVO_LOG");
        }
        request.display = display();
        return where().start(request);
    }
    virtual std::string display() const { return {}; }
    // The first instance, once its Java side serves or waits as `scriptText`
    // says (its window shown first, when it asks for one).
    RunningProgram beginFirst(const fs::path& launcher, const std::string& scriptText) const {
        const fs::path dir = launcher.parent_path();
        script(dir, scriptText);
        auto ready = [&] {
            return recorded(dir, "main-serve serving").size() + recorded(dir, "main-wait-file waiting").size();
        };
        const std::size_t before = ready();
        RunningProgram first = begin(launcher);
        EXPECT_TRUE(eventually([&] { return ready() > before; })) << "the first instance did not reach main";
        return first;
    }
    std::string serving() const { return "main-serve " + windowsPath(stopFile()) + "\n"; }
    std::string waitingForever() const { return "main-wait-file " + windowsPath(stopFile()) + "\n"; }
    void stop() const { writeText(stopFile(), ""); }

    // A start with exactly `commandLine`: "exit <code>".
    std::string runExact(const std::string& program, const std::string& commandLine) const {
        RunResult r = where().runWinTool({"run-exact", program, commandLine, "60000"}, 70);
        EXPECT_EQ(r.exitCode, 0) << r.standardError;
        return trimLineEnd(r.standardOutput);
    }
    // Logs of `launcher` that hold `line`.
    std::size_t logsWith(const fs::path& launcher, const std::string& line) const {
        std::size_t n = 0;
        for (const fs::path& log : logsOf(where(), launcher)) {
            if (readTextFile(log).find(line + "\r\n") != std::string::npos) ++n;
        }
        return n;
    }
    void removeLogs(const fs::path& launcher) const {
        for (const fs::path& log : logsOf(where(), launcher)) fs::remove(log);
    }
    // The notification file of the first instance, from its options.
    fs::path commFile(const fs::path& dir) const {
        for (const std::string& option : options(dir, 0)) {
            const std::string name = "-Dqarvo.processCommFile=";
            if (option.rfind(name, 0) == 0) return where().linuxPath(option.substr(name.size()));
        }
        ADD_FAILURE() << "no qarvo.processCommFile option";
        return {};
    }
};

// The arguments exactly as they stand behind the program name and its blanks,
// quotes kept, then LF, in UTF-16LE; a start without arguments gives the LF.
// The same executable reached through a differently cased path is the same
// instance; another executable is a first instance of its own. The first
// instance is recorded under its path with its process id.
TEST_F(SingleInstance, LaterStartsHandTheirArgumentsOverExactly) {
    const fs::path launcher = app();
    const fs::path otherDir = directory() / "other";
    makeRuntime(otherDir / "jre");
    const fs::path other = app(otherDir);
    RunningProgram first = beginFirst(launcher, serving());
    const std::string exe = windowsPath(launcher);
    std::string upper = exe;
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    EXPECT_EQ(runExact(exe, "\"" + exe + "\"  -open \"a b.txt\""), "exit 0");
    EXPECT_EQ(runExact(exe, "\"" + exe + "\""), "exit 0");
    EXPECT_EQ(runExact(upper, "\"" + upper + "\" other"), "exit 0");
    RunResult r = runLauncher(other);
    EXPECT_EQ(r.exitCode, 0) << r.standardError;
    stop();
    EXPECT_EQ(first.wait().exitCode, 0);

    EXPECT_EQ(notifications(), (std::vector<std::string>{notificationHex("-open \"a b.txt\"\n"), notificationHex("\n"),
                                                         notificationHex("other\n")}));
    EXPECT_EQ(javaStarts(directory()), 1u) << "the later starts start no Java program";
    ASSERT_EQ(javaStarts(otherDir), 1u);
    EXPECT_EQ(options(directory(), 0).front(), "-Dqarvo.semaphoreName=" + semaphoreNameOf(launcher));
    EXPECT_EQ(options(otherDir, 0).front(), "-Dqarvo.semaphoreName=" + semaphoreNameOf(other));
    const std::vector<std::string> serves = recorded(directory(), "main-serve serving ");
    ASSERT_EQ(serves.size(), 1u);
    const std::size_t at = serves[0].rfind("\\qvo_p");
    ASSERT_NE(at, std::string::npos) << serves[0];
    const std::string pid = serves[0].substr(at + 6, serves[0].size() - at - 6 - 4);
    EXPECT_EQ(where().readRegistry("HKCU", pidsKey, launcherForm(launcher)), "REG_DWORD " + pid);
}

// The tests that take long: many processes, or the protocol's own waits.
class SlowSingleInstance : public SingleInstance {};

// The figures go to standard output: starts, deliveries, wall time.
TEST_F(SlowSingleInstance, TwentyStartsAtOnceDeliverEveryTextExactlyOnce) {
    const fs::path launcher = app();
    RunningProgram first = beginFirst(launcher, serving());
    constexpr int starts = 20;
    const auto began = std::chrono::steady_clock::now();
    std::vector<RunningProgram> later;
    for (int i = 0; i < starts; ++i) later.push_back(begin(launcher, {"start-" + std::to_string(i)}));
    for (int i = 0; i < starts; ++i) EXPECT_EQ(later[i].wait().exitCode, 0) << "start-" << i;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    stop();
    EXPECT_EQ(first.wait().exitCode, 0);

    const std::vector<std::string> texts = notifications();
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(starts));
    for (int i = 0; i < starts; ++i) {
        const std::string expected = notificationHex("start-" + std::to_string(i) + "\n");
        EXPECT_EQ(std::count(texts.begin(), texts.end(), expected), 1) << "start-" << i;
    }
    EXPECT_EQ(javaStarts(directory()), 1u);
    std::printf("[ figures  ] %d later starts, %zu deliveries, %.2f s\n", starts, texts.size(), seconds);
}

// The first instance ends while one later start waits for its file to be taken
// and another for its turn: the first deletes its file, both end with 0
// without starting a Java program, and the next start is a first instance.
TEST_F(SingleInstance, FirstInstanceEndingReleasesTheWaitingStarts) {
    const fs::path launcher = app();
    RunningProgram first = beginFirst(launcher, waitingForever());
    const fs::path file = commFile(directory());
    RunningProgram delivering = begin(launcher, {"a"}, true);
    ASSERT_TRUE(eventually([&] { return fs::exists(file); }));
    RunningProgram queued = begin(launcher, {"b"}, true);
    ASSERT_TRUE(eventually([&] { return logsWith(launcher, "waiting for notification semaphore") == 2; }));
    stop();
    EXPECT_EQ(first.wait().exitCode, 0);
    EXPECT_EQ(delivering.wait().exitCode, 0);
    EXPECT_EQ(queued.wait().exitCode, 0);
    EXPECT_FALSE(fs::exists(file)) << "the written file is deleted";
    EXPECT_EQ(logsWith(launcher, "main process already released semaphore."), 2u);
    EXPECT_EQ(logsWith(launcher, "waiting for file deletion"), 1u);
    EXPECT_EQ(javaStarts(directory()), 1u);

    RunResult next = runLauncher(launcher);
    EXPECT_EQ(next.exitCode, 0) << next.standardError;
    EXPECT_EQ(javaStarts(directory()), 2u) << "the next start is a first instance";
}

// About 20 s: a first instance that never takes the file. The
// second start gives up after about 10 s with 0 and leaves its file; the third
// waits as long for it to go and ends with message 1009 "21", and gives its
// turn back, so that a fourth queued behind it goes on (and ends with 0 once
// the first instance has ended).
TEST_F(SlowSingleInstance, FileNobodyTakesEndsTheNextStartWithMessage21) {
    const fs::path launcher = app();
    RunningProgram first = beginFirst(launcher, waitingForever());
    const fs::path file = commFile(directory());
    RunningProgram second = begin(launcher, {"one"}, true);
    EXPECT_EQ(second.wait().exitCode, 0);
    EXPECT_EQ(logsWith(launcher, "waiting for file deletion"), 1u);
    EXPECT_EQ(logsWith(launcher, "main process already released semaphore."), 0u);
    EXPECT_EQ(hex(readTextFile(file)), notificationHex("one\n"));

    removeLogs(launcher);
    RunningProgram third = begin(launcher, {"two"}, true);
    ASSERT_TRUE(eventually([&] { return logsWith(launcher, "wait returned 0") == 1; }));
    RunningProgram fourth = begin(launcher, {"three"}, true);
    ASSERT_TRUE(eventually([&] { return logsWith(launcher, "waiting for notification semaphore") == 2; }));
    RunResult failed = third.wait();
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.standardError.rfind(messageWithLog(withArgument(internalErrorText, "21")), 0), 0u)
        << failed.standardError;
    EXPECT_EQ(logsWith(launcher, "CreateFile failed 80"), 1u);
    stop();
    EXPECT_EQ(first.wait().exitCode, 0);
    RunResult queued = fourth.wait();
    EXPECT_EQ(queued.exitCode, 0) << "the turn was given back";
    EXPECT_EQ(hex(readTextFile(file)), notificationHex("one\n"));
}

// Single-instance mode off: two starts run side by side, each holding a
// semaphore named with the lowest free counter.
TEST_F(SingleInstance, WithTheModeOffStartsRunSideBySide) {
    const fs::path launcher = app({{key::singleInstance, "0"}});
    RunningProgram one = beginFirst(launcher, waitingForever());
    RunningProgram two = begin(launcher);
    ASSERT_TRUE(eventually([&] { return recorded(directory(), "main-wait-file waiting").size() == 2; }));
    stop();
    EXPECT_EQ(one.wait().exitCode, 0);
    EXPECT_EQ(two.wait().exitCode, 0);
    ASSERT_EQ(javaStarts(directory()), 2u);
    const std::string name = "-Dqarvo.semaphoreName=" + semaphoreNameOf(launcher);
    EXPECT_EQ(options(directory(), 0).front(), name + "0");
    EXPECT_EQ(options(directory(), 1).front(), name + "1");
    for (std::size_t n = 0; n < 2; ++n) {
        for (const std::string& option : options(directory(), n)) {
            EXPECT_EQ(option.rfind("-Dqarvo.processCommFile=", 0), std::string::npos) << option;
        }
    }
}

// On a display (Xvfb, a prefix of the test's own): a later start restores the
// first instance's minimised window and brings it to the foreground.
class WindowRaising : public SingleInstance {
protected:
    void SetUp() override {
        if (!VirtualDisplay::available()) GTEST_SKIP() << "Xvfb is not installed";
        SingleInstance::SetUp();
        if (HasFatalFailure()) return;
        std::string error;
        ASSERT_TRUE(display_.start(error)) << error;
        own_ = Prefix::clone("raising", error);
        ASSERT_TRUE(own_) << error;
    }
    const Prefix& where() const override { return *own_; }
    std::string display() const override { return display_.name(); }
    std::string windowState() const {
        RunRequest request;
        request.program = winTool();
        request.arguments = {"window-state", "jvm stub window"};
        request.display = display_.name();
        RunResult r = own_->run(request);
        EXPECT_EQ(r.exitCode, 0) << r.standardError;
        return trimLineEnd(r.standardOutput);
    }

    VirtualDisplay display_;
    std::unique_ptr<Prefix> own_;
};

TEST_F(WindowRaising, LaterStartRestoresAndRaisesTheFirstInstancesWindow) {
    const fs::path launcher = app();
    RunningProgram first = beginFirst(launcher, "main-window minimised\n" + serving());
    EXPECT_EQ(recorded(directory(), "main-window shown "), (std::vector<std::string>{"minimised"}));
    EXPECT_EQ(windowState(), "visible 1 minimised 1 foreground 0");
    RunningProgram later = begin(launcher, {"-open", "x"}, true);
    EXPECT_EQ(later.wait().exitCode, 0);
    EXPECT_EQ(windowState(), "visible 1 minimised 0 foreground 1");
    stop();
    EXPECT_EQ(first.wait().exitCode, 0);
    EXPECT_EQ(notifications(), (std::vector<std::string>{notificationHex("-open x\n")}));
    const std::vector<fs::path> logs = logsOf(where(), launcher);
    ASSERT_EQ(logs.size(), 1u);
    bool onlyCrlf = false;
    std::vector<std::string> raising;
    for (const std::string& line : logLines(readTextFile(logs[0]), onlyCrlf)) {
        for (const char* step : {"found window ", "restore", "foreground", "popup", "done"}) {
            if (line.rfind(step, 0) == 0) raising.push_back(step);
        }
    }
    EXPECT_EQ(raising, (std::vector<std::string>{"found window ", "restore", "foreground", "popup", "done"}));
}

}  // namespace
}  // namespace qarvo::wine
