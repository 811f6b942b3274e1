// Path helpers and temporary directories under Wine, through launcher_probe, a
// test program built from the launcher's own code: the launcher's path in an
// openable form, drive roots, listings, the long-path emulation, the system
// temporary directory with its fallbacks, and the launcher temporary directory.
#include <fstream>
#include <regex>

#include "E2eSupport.h"
#include "Locales.h"

namespace qarvo::wine {
namespace {

// The first line of a program's output, without its line end.
std::string firstLine(const std::string& text) { return trimLineEnd(text.substr(0, text.find('\n'))); }

// ANSI code page 1252 bytes of a UTF-8 text made of Latin-1 characters.
std::string cp1252(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0xC0 && i + 1 < utf8.size()) {
            out += static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

class Payload : public WineTest {
protected:
    RunResult probe(const std::vector<std::string>& arguments, const fs::path& program = launcherProbe(),
                    const std::string& locale = {}, const Prefix* in = nullptr) const {
        RunRequest request;
        request.program = program;
        request.arguments = arguments;
        request.locale = locale;
        return (in ? *in : prefix()).run(request);
    }
    // The 8.3 form of a path as Wine reports it (its short names are hashes).
    // Non-ASCII names need a real locale to reach Wine intact.
    std::string shortPath(const std::string& windowsPath, const std::string& locale = "de_DE.UTF-8") const {
        RunRequest request;
        request.program = winTool();
        request.arguments = {"short-path", windowsPath};
        request.locale = locale;
        RunResult r = prefix().run(request);
        EXPECT_EQ(r.exitCode, 0) << r.standardError;
        return firstLine(r.standardOutput);
    }
    void useLocale(const std::string& name) {
        std::string error;
        ASSERT_TRUE(ensureLocale(name, error)) << error;
    }
};

TEST_F(Payload, LauncherUnderAnUnrepresentableNameUsesItsShortPath) {
    useLocale("de_DE.UTF-8");
    const fs::path dir = directory() / "\xe4\xb8\xad\xe6\x96\x87";  // two CJK characters: not in code page 1252
    fs::create_directories(dir);
    fs::copy_file(launcherProbe(), dir / "probe.exe");
    RunResult r = probe({"launcher-path"}, dir / "probe.exe", "de_DE.UTF-8");
    ASSERT_EQ(r.exitCode, 0) << r.standardError;
    const std::string reported = firstLine(r.standardOutput);
    EXPECT_EQ(reported.find('?'), std::string::npos) << reported;
    EXPECT_EQ(reported, shortPath(windowsPath(dir / "probe.exe")));

    // The rest of the start works from that path: the block is read and the
    // start goes on to the runtime search.
    const fs::path launcher = makeConfiguredLauncher(dir, "app", sampleMessages());
    RunRequest request;
    request.program = launcher;
    request.locale = "de_DE.UTF-8";
    RunResult start = prefix().run(request);
    EXPECT_EQ(start.exitCode, 83) << start.standardError;
    EXPECT_EQ(start.standardError, quietMessage(noRuntimeMessage()));
}

TEST_F(Payload, LauncherUnderARepresentableNameKeepsItsLongPath) {
    useLocale("de_DE.UTF-8");
    const fs::path dir = directory() / "B\xc3\xbcro";  // "Büro"
    fs::create_directories(dir);
    fs::copy_file(launcherProbe(), dir / "probe.exe");
    RunResult r = probe({"launcher-path"}, dir / "probe.exe", "de_DE.UTF-8");
    ASSERT_EQ(r.exitCode, 0) << r.standardError;
    EXPECT_EQ(firstLine(r.standardOutput), cp1252(windowsPath(dir / "probe.exe")));
}

TEST_F(Payload, LongPathEmulationAgreesWithTheSystem) {
    const fs::path dir = directory() / "Long Directory Name";
    fs::create_directories(dir / "Another Long Name");
    const std::string longForm = windowsPath(dir / "Another Long Name");
    useLocale("de_DE.UTF-8");
    const std::string shortForm = shortPath(longForm);
    ASSERT_NE(shortForm, longForm);
    for (bool emulate : {false, true}) {
        std::vector<std::string> arguments;
        if (emulate) arguments.push_back("--emulate-long-path");
        arguments.insert(arguments.end(), {"long-path", shortForm});
        RunResult r = probe(arguments);
        EXPECT_EQ(r.exitCode, 0) << r.standardError;
        EXPECT_EQ(firstLine(r.standardOutput), longForm) << (emulate ? "emulated" : "system");

        arguments.back() = windowsPath(dir / "missing");
        RunResult missing = probe(arguments);
        EXPECT_EQ(missing.exitCode, 1);
        EXPECT_EQ(firstLine(missing.standardOutput), "failed 2") << (emulate ? "emulated" : "system");
    }
}

TEST_F(Payload, FileExistenceAndListings) {
    fs::create_directories(directory() / "lib" / "sub.jar");
    for (const char* name : {"a.jar", "b.jar", "notes.txt"}) std::ofstream(directory() / "lib" / name) << "x";
    const std::string lib = windowsPath(directory() / "lib");
    struct Case {
        std::string path;
        const char* exists;
    } cases[] = {
        {"C:\\", "1"}, {"C:\\.", "1"}, {"C:\\.\\.", "1"}, {lib, "1"}, {lib + "\\a.jar", "1"},
        {lib + "\\missing.jar", "0"}, {lib + "\\*.txt", "1"}, {lib + "\\*.zip", "0"},
    };
    for (const Case& c : cases) {
        RunResult r = probe({"file-exists", c.path});
        EXPECT_EQ(firstLine(r.standardOutput), c.exists) << c.path;
    }
    for (const char* extension : {"jar", ".jar"}) {
        RunResult r = probe({"list", lib, extension});
        ASSERT_EQ(r.exitCode, 0) << r.standardError;
        std::vector<std::string> lines;
        bool crlfOnly = false;
        lines = logLines(r.standardOutput, crlfOnly);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "3") << extension;  // directories named *.jar are listed too
        std::sort(lines.begin() + 1, lines.end());
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
                  (std::vector<std::string>{"a.jar", "b.jar", "sub.jar"}));
    }
}

TEST_F(Payload, WritabilityTestLeavesNoDirectoryBehind) {
    fs::create_directories(directory() / "qvo_w_testdir");  // stale, from an earlier run
    RunResult r = probe({"writable", windowsPath(directory())});
    EXPECT_EQ(firstLine(r.standardOutput), "1");
    EXPECT_FALSE(fs::exists(directory() / "qvo_w_testdir"));
    r = probe({"writable", windowsPath(directory() / "missing")});
    EXPECT_EQ(firstLine(r.standardOutput), "0");
}

TEST_F(Payload, LauncherTemporaryDirectoriesAreNewForEveryRun) {
    const fs::path temp = prefix().temporaryDirectory();
    const std::regex name(R"(qvo[0-9A-Fa-f]{1,4}\.tmp_dir)");
    std::vector<std::string> made;
    for (int run = 0; run < 2; ++run) {
        RunResult r = probe({"launcher-temp-dir"});
        ASSERT_EQ(r.exitCode, 0) << r.standardError;
        made.push_back(firstLine(r.standardOutput));
        const fs::path dir = prefix().linuxPath(made.back());
        EXPECT_TRUE(fs::is_directory(dir)) << made.back();
        EXPECT_EQ(dir.parent_path(), temp);
        EXPECT_TRUE(std::regex_match(dir.filename().string(), name)) << made.back();
        // The empty file that reserved the name stays beside it.
        std::string reserving = dir.string();
        reserving.resize(reserving.size() - 4);
        EXPECT_TRUE(fs::is_regular_file(reserving)) << reserving;
    }
    EXPECT_NE(made[0], made[1]);
}

TEST_F(Payload, FiveFailedAttemptsEndWithInternalErrorSeven) {
    const std::string text = std::to_string(message::internalError) + "=An internal error occurred (error code: {0})";
    RunResult failed = probe({"--quiet", "--set", text, "--fail-create-directory", "5", "launcher-temp-dir"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.standardError, "An internal error occurred (error code: 7)\r\n");
    EXPECT_EQ(failed.standardOutput, "");
    RunResult fifth = probe({"--quiet", "--set", text, "--fail-create-directory", "4", "launcher-temp-dir"});
    EXPECT_EQ(fifth.exitCode, 0) << fifth.standardError;
}

TEST_F(Payload, NotificationFileLiesInTheTemporaryDirectory) {
    RunResult temp = probe({"temp-dir"});
    const std::string directory = firstLine(temp.standardOutput);
    ASSERT_FALSE(directory.empty());
    ASSERT_EQ(directory.back(), '\\');
    RunResult r = probe({"comm-file", "1234"});
    EXPECT_EQ(firstLine(r.standardOutput), directory + "qvo_p1234.tmp");
}

// The temporary directory comes from the user's registry environment under
// Wine; each case seeds it in a prefix of its own.
TEST_F(Payload, SystemTemporaryDirectoryFallsBackWhenTheNarrowFunctionsCannotUseIt) {
    useLocale("de_DE.UTF-8");
    const fs::path cjk = directory() / "\xe6\x97\xa5\xe6\x9c\xac";  // not in code page 1252
    const fs::path plain = directory() / "plain temp";
    fs::create_directories(cjk);
    fs::create_directories(plain);
    struct Case {
        const char* name;
        std::string temp;      // TEMP and TMP of the user's environment
        std::string expected;  // what the probe reports
    } cases[] = {
        // The short form works, but its long form holds characters the code
        // page cannot show: the Windows directory's temp is used.
        {"short path of a CJK directory", shortPath(windowsPath(cjk)), "C:\\windows\\temp"},
        // GetTempPathA itself reports "?" characters; the long form cannot be
        // found, so the fallbacks are tried.
        {"long CJK path", windowsPath(cjk), "C:\\windows\\temp"},
        {"usable directory", windowsPath(plain), windowsPath(plain) + "\\"},
    };
    for (const Case& c : cases) {
        std::string error;
        std::unique_ptr<Prefix> clone = Prefix::clone("tempdir", error);
        ASSERT_TRUE(clone) << error;
        ASSERT_TRUE(clone->writeRegistry("HKCU", "Environment", "TEMP", "REG_SZ", c.temp));
        ASSERT_TRUE(clone->writeRegistry("HKCU", "Environment", "TMP", "REG_SZ", c.temp));
        RunResult r = probe({"temp-dir"}, launcherProbe(), "de_DE.UTF-8", clone.get());
        EXPECT_EQ(r.exitCode, 0) << c.name << ": " << r.standardError;
        EXPECT_EQ(firstLine(r.standardOutput), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace qarvo::wine
