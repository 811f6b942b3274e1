// The launcher's JNI code against the real virtual machine of this machine,
// with the real qarvo-runtime.jar and the recording sample application: each
// case runs qarvo_jvm_case as a child process and checks its exit code, its
// standard error, the options it built and what the application recorded.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct CaseResult {
    int exitCode = -1;
    std::string standardError;
    std::string record;   // what the sample application wrote
    std::string options;  // the options as the launcher built them
    std::string log;      // the launcher's log
};

class RealJvm : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        work_ = fs::path(QARVO_JVM_WORK_ROOT) / test->name();
        fs::remove_all(work_);
        // The launcher's directory, which holds the jars the block names.
        fs::create_directories(appDirectory());
        fs::copy_file(QARVO_RUNTIME_JAR, appDirectory() / "qarvo-runtime.jar");
        fs::copy_file(QARVO_SAMPLE_JAR, appDirectory() / "qarvo-sample.jar");
    }

    fs::path appDirectory() const { return work_ / "app"; }

    // The block of a plain launcher of the sample application that records into the work directory.
    std::map<int, std::string> sampleBlock() const {
        return {{121, "A1qarvo-runtime.jar;A1qarvo-sample.jar"},
                {122, "com.example.sample.RecordingApp"},
                {123, "-Dsample.recordFile=" + (work_ / "record.txt").string() + " -Dsample.dir=" + work_.string()},
                {2001, "e"}};
    }

    // Runs one launch; `whileRunning` gets the child's process id.
    CaseResult run(const std::map<int, std::string>& block, const std::vector<std::string>& arguments,
                   const std::function<void(pid_t)>& whileRunning = {}) const {
        std::vector<std::string> argv = {QARVO_JVM_CASE, QARVO_LIBJVM, appDirectory().string(), work_.string()};
        for (const auto& [key, value] : block) argv.push_back(std::to_string(key) + "=" + value);
        argv.push_back("--");
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const fs::path errFile = work_ / "stderr.txt";
        pid_t pid = fork();
        if (pid == 0) {
            std::freopen(errFile.c_str(), "w", stderr);
            std::freopen((work_ / "stdout.txt").c_str(), "w", stdout);
            std::vector<char*> pointers;
            for (std::string& a : argv) pointers.push_back(a.data());
            pointers.push_back(nullptr);
            execv(pointers[0], pointers.data());
            std::_Exit(127);
        }
        CaseResult result;
        if (pid < 0) return result;
        if (whileRunning) whileRunning(pid);
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "the launch did not end within 90 s";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.standardError = readText(errFile);
        result.record = readText(work_ / "record.txt");
        result.options = readText(work_ / "options.txt");
        result.log = readText(work_ / "launcher.log");
        return result;
    }

    fs::path work_;
};

TEST_F(RealJvm, NormalReturnWaitsForTheApplicationsThreads) {
    CaseResult r = run(sampleBlock(), {"caf\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80", "", "--sample-thread=700"});
    EXPECT_EQ(r.exitCode, 0) << r.standardError;
    // The options exactly as the launcher built them, in order.
    EXPECT_EQ(r.options,
              "-Dqarvo.moduleName=C:\\app\\run.exe\n-Dsun.java.command=C:\\app\\run.exe\n-Dqarvo.tempDir=\n"
              "-Dqarvo.unextractedPosition=0\n-Djava.library.path=/usr/bin:/bin\n-Dqarvo.consoleCodepage=cp65001\n"
              "-Dsample.recordFile=" + (work_ / "record.txt").string() + "\n-Dsample.dir=" + work_.string() + "\n"
              "-Djava.class.path=C:\\app\\qarvo-runtime.jar;C:\\app\\qarvo-sample.jar;\n");
    // WinLauncher passed the arguments behind the lead entries on, unchanged UTF-16.
    EXPECT_TRUE(contains(r.record, "args 4\narg 0 \"caf\\u00e9\"\narg 1 \"\\u65e5\\u672c \\ud83d\\ude00\"\n"
                                   "arg 2 \"\"\narg 3 \"--sample-thread=700\"\n")) << r.record;
    const std::string jars = appDirectory().string();
    EXPECT_TRUE(contains(r.record, "property java.class.path \"" + jars + "/qarvo-runtime.jar:" + jars +
                                       "/qarvo-sample.jar:\"\n")) << r.record;
    EXPECT_TRUE(contains(r.record, "property qarvo.moduleName \"C:\\\\app\\\\run.exe\"\n")) << r.record;
    EXPECT_TRUE(contains(r.record, "property qarvo.unextractedPosition \"0\"\n")) << r.record;
    // DestroyJavaVM waited for the non-daemon thread, which wrote after main had returned.
    EXPECT_TRUE(contains(r.record, "end\nthread finished\n")) << r.record;
    EXPECT_TRUE(contains(r.log, "main returned\ndest JVM\nlaunch done\n")) << r.log;
}

TEST_F(RealJvm, SystemExitEndsTheProcessWithItsCode) {
    CaseResult r = run(sampleBlock(), {"--sample-exit=7"});
    EXPECT_EQ(r.exitCode, 7) << r.standardError;
    EXPECT_TRUE(contains(r.record, "end\n"));
    EXPECT_TRUE(contains(r.log, "calling main\n"));
    EXPECT_FALSE(contains(r.log, "main returned"));
}

TEST_F(RealJvm, ExceptionFromMainTakesTheFailurePath) {
    CaseResult r = run(sampleBlock(), {"--sample-throw=boom"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.standardError, "java.lang.IllegalStateException: boom")) << r.standardError;
    EXPECT_TRUE(contains(r.standardError, "The JVM could not be started.\n\nLog: ")) << r.standardError;
    EXPECT_TRUE(contains(r.log, "ERROR: an exception occured\nERROR: could not call main\n")) << r.log;
    EXPECT_FALSE(contains(r.log, "dest JVM"));
}

TEST_F(RealJvm, LauncherClassMissingFromTheClassPath) {
    std::map<int, std::string> block = sampleBlock();
    block[121] = "A1qarvo-sample.jar";
    CaseResult r = run(block, {});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.standardError.substr(0, r.standardError.find("\n\nLog: ")), "Couldn't load main class.");
    EXPECT_TRUE(contains(r.log, "main class: com/qarvo/runtime/WinLauncher\nERROR: could not find main class\n")) << r.log;
    EXPECT_EQ(r.record, "");
}

TEST_F(RealJvm, OutputIsRedirectedToTheConfiguredFiles) {
    std::map<int, std::string> block = sampleBlock();
    // Names beginning with '$' reach the Java side unchanged, which resolves them.
    block[102] = "1";
    block[103] = "${sample.dir}/logs/err.txt";
    block[104] = "1";
    block[105] = "${sample.dir}/logs/out.txt";
    CaseResult r = run(block, {"--sample-out=to the output", "--sample-err=to the error file"});
    EXPECT_EQ(r.exitCode, 0) << r.standardError;
    EXPECT_EQ(readText(work_ / "logs" / "out.txt"), "to the output\n");
    EXPECT_EQ(readText(work_ / "logs" / "err.txt"), "to the error file\n");
    EXPECT_FALSE(contains(readText(work_ / "stdout.txt"), "to the output"));
}

TEST_F(RealJvm, StartupNotificationReachesTheApplication) {
    std::map<int, std::string> block = sampleBlock();
    block[10005] = "1";
    CaseResult r = run(block, {"--sample-notifications=1"}, [&](pid_t pid) {
        // What a later start of the same launcher writes: its arguments as
        // typed, UTF-16LE, one line ending in LF. Written complete, then renamed.
        const std::u16string line = u"second 'two words' caf\u00e9\n";
        std::string bytes;
        for (char16_t c : line) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        const fs::path partial = work_ / "notification.partial";
        std::ofstream(partial, std::ios::binary) << bytes;
        fs::rename(partial, work_ / ("qvo_p" + std::to_string(pid) + ".tmp"));
    });
    EXPECT_EQ(r.exitCode, 0) << r.standardError;
    EXPECT_TRUE(contains(r.record, "notification \"second\" \"two words\" \"caf\\u00e9\"\n")) << r.record;
    EXPECT_TRUE(contains(r.options, "-Dqarvo.processCommFile=C:\\Temp\\qvo_p")) << r.options;
}

TEST_F(RealJvm, InstallerKindCallsTheInstallerLauncherClass) {
    std::map<int, std::string> block = sampleBlock();
    block[2001] = "i";
    block[10003] = ".";
    CaseResult r = run(block, {"x"});
    EXPECT_EQ(r.exitCode, 0) << r.standardError;
    EXPECT_TRUE(contains(r.log, "main class: com/moravelin/runtime/launcher/WinLauncher\n")) << r.log;
    EXPECT_TRUE(contains(r.options, "-Dqarvo.isMoravelin=true\n"));
    EXPECT_TRUE(contains(r.options, "-Djava.class.path=C:\\app\\.moravelin\\mrvruntime.jar;C:\\app\\qarvo-runtime.jar;"));
    EXPECT_TRUE(contains(r.record, "property qarvo.isMoravelin \"true\"\n")) << r.record;
}

}  // namespace
