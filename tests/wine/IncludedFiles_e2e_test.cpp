// Included files under Wine: a launcher carrying files extracts them into its
// temporary directory before the runtime search and tells the Java side where;
// a failed extraction cleans up or not as the launcher says, and a name that
// leads out of the directory writes nothing. Each test runs in a prefix of its
// own, so that its temporary directory holds only what the test's starts made.
#include <map>
#include <set>

#include "TestRuntimes.h"

namespace qarvo::wine {
namespace {

using Bytes = std::vector<std::uint8_t>;
const std::string internalErrorText = "An internal error occurred (error code: {0})";

Bytes pattern(std::size_t size, unsigned seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * seed + i / 251);
    return bytes;
}

// Every file below `dir` with its content, by relative path.
std::map<std::string, Bytes> tree(const fs::path& dir) {
    std::map<std::string, Bytes> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) readFileBytes(entry.path(), found[fs::relative(entry.path(), dir).string()]);
    }
    return found;
}

class IncludedFilesE2e : public OwnPrefixTest {
protected:
    IncludedFilesE2e() : OwnPrefixTest("included") {}
    // directory()/app.exe with `files` under `names` (key 2003), finding the
    // test runtime beside it.
    fs::path launcher(const std::string& names, const IncludedFileContents& files) const {
        StringEntries entries = sampleMessages();
        entries[key::searchSequence] = "B.\\jre";
        entries[key::lowestVersion] = "1.8";
        entries[key::applicationType] = "2";  // messages go to standard error
        entries[key::mainClass] = "com.example.Main";
        entries[message::internalError] = internalErrorText;
        entries[key::includedFileCount] = std::to_string(files.size());
        entries[key::includedFileNames] = names;
        return makeLauncherFromContent(directory(), "app", blockContent(entries), files);
    }
    RunResult start(const fs::path& program) const {
        RunRequest request;
        request.program = program;
        request.unsetEnvironment = {"MANPATH", "QARVO_LOG", "MORAVELIN_LOG"};
        return own_->run(request);
    }
    // The names in the prefix's temporary directory.
    std::set<std::string> temporaryNames() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(own_->temporaryDirectory())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    // The launcher temporary directory that a start logged, as the launcher wrote it.
    static std::string loggedTempDir(const LoggedStart& start) {
        const std::vector<std::string> lines = start.linesStartingWith({"Temp dir: "});
        EXPECT_EQ(lines.size(), 1u);
        return lines.empty() ? std::string() : lines[0].substr(10);
    }
};

TEST_F(IncludedFilesE2e, FilesReachTheJavaSideByteExact) {
    makeRuntime(directory() / "jre");
    const IncludedFileContents files = {pattern(70000, 7), pattern(3, 1), pattern(131072, 13)};
    const fs::path app = launcher("a.bin;lib\\b.jar;c.dat", files);
    RunResult r = start(app);
    ASSERT_EQ(r.exitCode, 0) << r.standardError;

    std::string tempDir, position;
    for (const std::string& line : recordLines(directory() / "jre" / "bin" / "client" / "jvm-stub-record.txt")) {
        if (line.rfind("option ", 0) != 0) continue;
        const std::string option = line.substr(line.find(": ") + 2);
        if (option.rfind("-Dqarvo.tempDir=", 0) == 0) tempDir = option.substr(16);
        if (option.rfind("-Dqarvo.unextractedPosition=", 0) == 0) position = option.substr(28);
    }
    ASSERT_FALSE(tempDir.empty());
    // The section is the last thing in the file.
    EXPECT_EQ(position, std::to_string(fs::file_size(app)));
    const std::map<std::string, Bytes> expected = {{"a.bin", files[0]}, {"lib/b.jar", files[1]}, {"c.dat", files[2]}};
    EXPECT_EQ(tree(own_->linuxPath(tempDir)), expected);
}

TEST_F(IncludedFilesE2e, AnExecutableCutInAContentIsCleanedUp) {
    const fs::path app = launcher("a.bin;b.jar", {pattern(1000, 3), pattern(100000, 5)});
    fs::resize_file(app, fs::file_size(app) - 50000);
    LoggedStart start = startLogged(*own_, app);
    EXPECT_EQ(start.result.exitCode, 1);
    EXPECT_EQ(start.result.standardError.rfind(messageWithLog(withArgument(internalErrorText, "16")), 0), 0u)
        << start.result.standardError;
    const std::vector<std::string> failed = start.linesStartingWith({"ERROR: ReadFile failed 0 "});
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].substr(failed[0].rfind(' ') + 1), "50000");
    const std::string tempDir = loggedTempDir(start);
    ASSERT_FALSE(tempDir.empty());
    EXPECT_TRUE(start.hasLine("emptying " + tempDir));
    EXPECT_FALSE(fs::exists(own_->linuxPath(tempDir)));
}

TEST_F(IncludedFilesE2e, ANameThatCannotBeCreatedEndsAtOnce) {
    const fs::path app = launcher("a.txt;x\\y\\z.txt", {pattern(10, 1), pattern(10, 2)});
    LoggedStart start = startLogged(*own_, app);
    EXPECT_EQ(start.result.exitCode, 1);
    EXPECT_EQ(start.result.standardError.rfind(messageWithLog(withArgument(internalErrorText, "11")), 0), 0u)
        << start.result.standardError;
    const fs::path tempDir = own_->linuxPath(loggedTempDir(start));
    EXPECT_TRUE(fs::is_regular_file(tempDir / "a.txt"));
    EXPECT_TRUE(fs::is_directory(tempDir / "x"));
}

// Without the refusal "..\" would write beside the directory and "../x\y.jar"
// create a directory beside it.
TEST_F(IncludedFilesE2e, ATraversalNameWritesNothingOutsideTheDirectory) {
    for (const char* name : {"..\\evil.dll", "lib\\..\\..\\evil.dll", "../x\\y.jar", "nul.txt"}) {
        SCOPED_TRACE(name);
        const std::set<std::string> before = temporaryNames();
        RunResult r = start(launcher(std::string("ok.txt;") + name, {pattern(10, 1), pattern(10, 2)}));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.standardError, quietMessage(withArgument(internalErrorText, "11")));
        std::set<std::string> added;
        for (const std::string& now : temporaryNames()) {
            if (!before.count(now)) added.insert(now);
        }
        // Only the empty file that reserved the directory's name stays.
        ASSERT_EQ(added.size(), 1u);
        EXPECT_TRUE(fs::is_regular_file(own_->temporaryDirectory() / *added.begin())) << *added.begin();
        EXPECT_FALSE(fs::exists(directory() / "evil.dll"));
    }
}

}  // namespace
}  // namespace qarvo::wine
