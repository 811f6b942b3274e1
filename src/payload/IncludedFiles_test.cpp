#include "payload/IncludedFiles.h"

#include <gtest/gtest.h>

#include <map>

#include "config/Configuration.h"
#include "config/ReadConfiguration.h"
#include "image/IncludedFilesSection.h"
#include "image/testing/ByteBuilder.h"
#include "image/testing/FakePe.h"
#include "payload/TempDirectories.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Files = std::map<std::string, std::string>;  // relative name (lower case) -> content, "<dir>" for a directory

Bytes entries(const std::vector<std::string>& contents) {
    Bytes section;
    for (const std::string& c : contents) appendIncludedFile(section, Bytes(c.begin(), c.end()));
    return section;
}
Bytes header(std::int64_t length) { return testing::ByteBuilder().i64(length).bytes; }
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The fake system with C:\app\run.exe holding a block of keys 1009, 2002 and
// 2003 and `section` behind it, its configuration read and the log on.
struct Launcher : testing::TestSystem {
    Launcher(const char* count, const std::string& names, const Bytes& section, bool doubleByteCodePage = false) {
        codePage.doubleByte = doubleByteCodePage;
        enableLog();
        const Bytes image = testing::makeFakePeWithTail(block(count, names) + section);
        files.addFile("C:\\app\\run.exe", std::string(image.begin(), image.end()));
        readConfiguration();
        calls.clear();
    }
    static Bytes block(const char* count, const std::string& names) {
        ConfigBlockContent content;
        content.strings = {{1009, "An internal error occurred (error code: {0})"}, {2002, count}, {2003, names}};
        return encodeConfigurationBlock(content);
    }
    // Where the section of such a launcher begins.
    static std::uint64_t sectionStart(const char* count, const std::string& names) {
        return testing::FakePeLayout{}.blockOffset() + block(count, names).size();
    }
    std::string temp() const { return files.key(launcherTempDirectory()); }
    Files extracted() const {
        Files found;
        for (const auto& [key, entry] : files.entries) {
            if (key.rfind(temp() + "\\", 0) == 0) found[key.substr(temp().size() + 1)] = entry.directory ? "<dir>" : entry.content;
        }
        return found;
    }
    // Files and directories created anywhere but in the launcher temporary
    // directory (and the system one, which choosing it makes sure of).
    std::vector<std::string> createdOutside() const {
        std::vector<std::string> outside;
        for (const std::string& call : callsStartingWith({"CreateFile write ", "CreateDirectory "})) {
            const std::string k = files.key(call.substr(call.find(' ', 11) + 1));
            if (k != temp() && k.rfind(temp() + "\\", 0) != 0 && k != "c:\\temp") outside.push_back(call);
        }
        return outside;
    }
    // The error lines, with the launcher temporary directory written "<t>".
    std::vector<std::string> errors() const {
        std::vector<std::string> lines = logLinesStartingWith({"ERROR: "});
        for (std::string& line : lines) {
            const std::size_t at = line.find(launcherTempDirectory());
            if (at != std::string::npos) line.replace(at, launcherTempDirectory().size(), "<t>");
        }
        return lines;
    }
};

TEST(IncludedFiles, ExtractsTheNamedFilesAndRecordsWhereTheSectionEnds) {
    std::string big(3 * copyBufferSize + 17, '\0');  // every byte value, at every position of a buffer
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 256);
    struct Case {
        const char* name;
        const char* count;
        std::string names;
        Bytes section;
        Files files;
        std::int64_t sectionBytes;  // 8 and the positive length for every entry read
        bool doubleByte = false;
    } cases[] = {
        {"empty names", "2", "a.txt;;b.txt;", entries({"A", "BB"}), {{"a.txt", "A"}, {"b.txt", "BB"}}, 19},
        {"fewer names than the count", "3", "a.txt;b.txt", entries({"A", "BB"}), {{"a.txt", "A"}, {"b.txt", "BB"}}, 19},
        {"names beyond the count", "1", "a.txt;..\\b.txt", entries({"A", "BB"}), {{"a.txt", "A"}}, 9},
        {"no file for length 0 or less", "3", "z.txt;n.txt;c.txt", header(0) + header(-7) + entries({"C"}),
         {{"c.txt", "C"}}, 25},
        {"one directory level", "2", "lib\\a.jar;LIB\\b.jar", entries({"a", "b"}),
         {{"lib", "<dir>"}, {"lib\\a.jar", "a"}, {"lib\\b.jar", "b"}}, 18},
        {"forms Windows collapses", "2", "lib\\\\a.jar;lib\\.\\b.jar", entries({"a", "b"}),
         {{"lib", "<dir>"}, {"lib\\a.jar", "a"}, {"lib\\b.jar", "b"}}, 18},
        {"unscrambled over several buffers", "1", "big.bin", entries({big}), {{"big.bin", big}},
         8 + static_cast<std::int64_t>(big.size())},
        {"negative count", "-1", "a.txt", entries({"A"}), {}, 0},
        // "ソ" (0x83 0x5C) is one character: no directory "\x83", no device CON.
        {"double-byte names", "2", "\x83\x5C" "con.txt;\x83\x5C\\a.txt", entries({"1", "2"}),
         {{"\x83\x5C" "con.txt", "1"}, {"\x83\x5C", "<dir>"}, {"\x83\x5C\\a.txt", "2"}}, 18, true},
    };
    for (const Case& c : cases) {
        Launcher launcher(c.count, c.names, c.section, c.doubleByte);
        EXPECT_EQ(extractIncludedFiles(true), extraction::succeeded) << c.name;
        EXPECT_EQ(launcher.extracted(), c.files) << c.name;
        EXPECT_EQ(extractionEndPosition(), blockEndOffset() + c.sectionBytes) << c.name;
        EXPECT_EQ(launcher.errors(), std::vector<std::string>{}) << c.name;
        EXPECT_EQ(launcher.createdOutside(), std::vector<std::string>{}) << c.name;
        EXPECT_TRUE(launcher.messages.empty()) << c.name;
    }
}

TEST(IncludedFiles, NoCountCreatesAndOpensNothing) {
    for (bool createDirectory : {true, false}) {
        Launcher launcher("0", "a.txt", entries({"A"}));
        setLauncherTempDirectory("C:\\Temp\\before");
        EXPECT_EQ(extractIncludedFiles(createDirectory), extraction::succeeded);
        EXPECT_EQ(launcherTempDirectory(), createDirectory ? "" : "C:\\Temp\\before");
        EXPECT_EQ(launcher.calls, std::vector<std::string>{});
        EXPECT_EQ(extractionEndPosition(), 0);
    }
}

// A result is what extractIncludedFiles returns; a process end gives -1 and
// the message. Either way nothing is written outside the directory.
TEST(IncludedFiles, FailuresAndRefusals) {
    constexpr int ended = -1;
    const std::int64_t toTheLimit = INT32_MAX - 8 - Launcher::sectionStart("2", "a.txt");
    const std::uint64_t farEnd = Launcher::sectionStart("2", "a.txt;b.txt") + 9 + 8 + INT64_MAX;
    struct Case {
        const char* name;
        std::string names;
        Bytes section;
        int result;
        const char* message;
        std::vector<std::string> errors;
        bool directoryStays;
        int failWrites = 0;
        std::int64_t failReadsAt = -1;  // from the section's start
        const char* failCreateDirectory = nullptr;
        bool readOnlyTempDirectory = false;  // nothing can be created in it
    } cases[] = {
        {"cut in a content", "a.txt;b.txt", entries({"A"}) + header(100) + Bytes(40, 1), extraction::readFailed, "",
         {"ERROR: ReadFile failed 0 0 40", "ERROR: Failed to extract <t>\\b.txt"}, false},
        {"read fault", "a.txt", entries({std::string(copyBufferSize + 9, 'x')}), extraction::readFailed, "",
         {"ERROR: ReadFile failed 0 30 " + std::to_string(copyBufferSize), "ERROR: Failed to extract <t>\\a.txt"}, false,
         0, 8 + static_cast<std::int64_t>(copyBufferSize)},
        {"disk full", "a.txt", entries({"A"}), extraction::writeFailed, "",
         {"ERROR: WriteFile failed 1 112", "ERROR: Failed to extract <t>\\a.txt"}, false, 1},
        {"two directory levels", "a\\b\\c.txt", entries({"C"}), ended, "An internal error occurred (error code: 11)",
         {}, true},
        {"directory not created", "lib\\a.jar", entries({"A"}), ended, "An internal error occurred (error code: 11)",
         {"ERROR: failed to create directory <t>\\lib"}, true, 0, -1, "\\lib"},
        {"length cut short", "a.txt", Bytes(5, 0), ended, "Internal Error: readLong", {}, true},
        {"read-only directory", "lib\\a.jar;b.txt", entries({"A", "B"}), ended,
         "An internal error occurred (error code: 11)", {"ERROR: failed to create directory <t>\\lib"}, true, 0, -1,
         nullptr, true},
        {"section ends at the limit", "a.txt", header(toTheLimit), extraction::readFailed, "",
         {"ERROR: ReadFile failed 0 0 0", "ERROR: Failed to extract <t>\\a.txt"}, false},
        {"section ends behind the limit", "a.txt;b.txt", entries({"A"}) + header(INT64_MAX),
         extraction::sectionTooLong, "",
         {"ERROR: included files end at offset " + std::to_string(farEnd) + ", beyond 2147483647"}, false},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    for (const char* name : {"..\\evil.dll", "lib\\..\\..\\evil.dll", "../x\\y.jar", ". .\\x", "CON", "lib\\nul.txt",
                             "Com1.log", "conout$", "\\evil.dll", "C:\\evil.dll", "a.txt:stream"}) {
        all.push_back({name, std::string("ok.txt;") + name, entries({"ok", "evil"}), ended,
                       "An internal error occurred (error code: 11)",
                       {std::string("ERROR: refusing included file name ") + name}, false});
    }
    for (const Case& c : all) {
        Launcher launcher("2", c.names, c.section);
        launcher.files.failWrites = c.failWrites;
        if (c.failReadsAt >= 0) launcher.files.failReadsFrom[launcher.files.key("C:\\app\\run.exe")] = blockEndOffset() + c.failReadsAt;
        if (c.readOnlyTempDirectory) launcher.files.readOnlyDirectories.insert("c:\\temp\\qvo1a2b.tmp_dir");
        if (c.failCreateDirectory) {
            launcher.files.failCreateDirectory = 1;
            launcher.files.failCreateDirectoryEnding = c.failCreateDirectory;
        }
        int result = ended;
        try {
            result = extractIncludedFiles(true);
        } catch (const testing::ProcessExit& exit) {
            EXPECT_EQ(exit.code, 1) << c.name;
        }
        EXPECT_EQ(result, c.result) << c.name;
        // The text without the log location behind it.
        const std::string shown = launcher.messages.empty() ? "" : launcher.messages[0].text;
        EXPECT_EQ(shown.substr(0, shown.find("\n\n")), c.message) << c.name;
        EXPECT_EQ(launcher.errors(), c.errors) << c.name;
        EXPECT_EQ(launcher.files.isDirectory(launcherTempDirectory()), c.directoryStays) << c.name;
        EXPECT_EQ(launcher.createdOutside(), std::vector<std::string>{}) << c.name;
        if (!c.directoryStays) {
            EXPECT_EQ(launcher.extracted(), Files{}) << c.name;
        }
        EXPECT_EQ(extractionEndPosition(), 0) << c.name;
    }
}

}  // namespace
}  // namespace qarvo
