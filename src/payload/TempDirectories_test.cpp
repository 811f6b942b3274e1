#include "payload/TempDirectories.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/PathHelpers.h"
#include "config/Configuration.h"
#include "report/ErrorReport.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;
using testing::ProcessExit;

// A converter that turns every path into one holding a character the code
// page cannot represent, as for a temporary directory with a CJK name.
std::uint32_t unrepresentableLongPath(const char* path, char* buffer, std::uint32_t size) {
    std::string longForm = std::string(path) + "\\??";
    if (longForm.size() + 1 > size) return static_cast<std::uint32_t>(longForm.size() + 1);
    std::memcpy(buffer, longForm.c_str(), longForm.size() + 1);
    return static_cast<std::uint32_t>(longForm.size());
}

std::uint32_t failingLongPath(const char*, char*, std::uint32_t) { return 0; }

// Only paths below the Windows directory convert cleanly.
std::uint32_t unrepresentableOutsideWindows(const char* path, char* buffer, std::uint32_t size) {
    if (std::strncmp(path, "C:\\Windows", 10) == 0) {
        std::uint32_t n = static_cast<std::uint32_t>(std::strlen(path));
        if (n + 1 > size) return n + 1;
        std::memcpy(buffer, path, n + 1);
        return n;
    }
    return unrepresentableLongPath(path, buffer, size);
}

class TempDirectoriesTest : public ::testing::Test {
protected:
    TempDirectoriesTest() { system.files.addDirectory("C:\\Windows"); }
    TestSystem system;
};

TEST_F(TempDirectoriesTest, UsesTheSystemTemporaryDirectoryWhenUsable) {
    EXPECT_EQ(getSystemTempDirectory(), "C:\\Temp\\");
}

TEST(TempDirectories, FallbackChain) {
    struct Case {
        const char* name;
        std::vector<const char*> writable;  // besides C:\Windows' own entries
        std::vector<const char*> readOnly;
        const char* chosen;
    } cases[] = {
        {"windows temp", {"C:\\Windows\\temp"}, {}, "C:\\Windows\\temp"},
        {"c:\\temp", {"C:\\temp"}, {"C:\\Windows", "C:\\"}, "c:\\temp"},
        {"c:\\tmp", {"C:\\tmp"}, {"C:\\Windows", "C:\\"}, "c:\\tmp"},
        {"windows directory", {}, {"C:\\"}, "C:\\Windows"},
        {"root only", {}, {"C:\\Windows"}, "c:\\tmp"},
    };
    for (const Case& c : cases) {
        TestSystem fresh;
        fresh.files.entries.erase(fresh.files.key("C:\\Temp"));
        fresh.files.addDirectory("C:\\Windows");
        for (const char* dir : c.writable) fresh.files.addDirectory(dir);
        for (const char* dir : c.readOnly) fresh.files.readOnlyDirectories.insert(fresh.files.key(dir));
        fresh.files.tempPathText = "C:\\\xe4\xb8\xad\\";
        // Every candidate converts to a "?"-free form; the system one does not.
        longPathConverter = [](const char* path, char* buffer, std::uint32_t size) -> std::uint32_t {
            if (std::strstr(path, "\xe4\xb8\xad")) return unrepresentableLongPath(path, buffer, size);
            std::uint32_t n = static_cast<std::uint32_t>(std::strlen(path));
            if (n + 1 > size) return n + 1;
            std::memcpy(buffer, path, n + 1);
            return n;
        };
        EXPECT_EQ(getSystemTempDirectory(), c.chosen) << c.name;
        EXPECT_TRUE(fresh.files.isDirectory(c.chosen)) << c.name;
    }
}

TEST_F(TempDirectoriesTest, FailedLongPathConversionTriesTheFallbacks) {
    system.files.addDirectory("C:\\Windows\\temp");
    longPathConverter = failingLongPath;
    // The fallbacks are tested with isWritableDirectory only, not converted.
    EXPECT_EQ(getSystemTempDirectory(), "C:\\Windows\\temp");
}

TEST_F(TempDirectoriesTest, NoUsableDirectoryEndsWithMessage1015) {
    configurationMaps().stringValues[1015] = "You must be at least Poweruser to run this program.";
    setQuietErrors();
    longPathConverter = unrepresentableLongPath;
    system.files.readOnlyDirectories.insert("c:\\");
    system.files.readOnlyDirectories.insert("c:\\windows");
    system.files.readOnlyDirectories.insert("c:\\temp");
    EXPECT_THROW(getSystemTempDirectory(), ProcessExit);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, "You must be at least Poweruser to run this program.");
}

TEST_F(TempDirectoriesTest, EmptyTempPathUsesTheHomeDirectory) {
    system.files.tempPathText = "";
    system.environment.variables["HOMEDRIVE"] = "C:";
    system.environment.variables["HOMEPATH"] = "\\Users\\name";
    system.files.addDirectory("C:\\Users");
    system.files.addDirectory("C:\\Users\\name");
    system.enableLog();
    EXPECT_EQ(getSystemTempDirectory(), "C:\\Users\\name");
    EXPECT_EQ(makeTempFileName(), "C:\\Users\\name\\qvo1A2B.tmp");
    std::vector<std::string> lines = system.logLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "No temp dir defined. Using home C:\\Users\\name"), lines.end());
}

TEST_F(TempDirectoriesTest, WritabilityTestLeavesNothingBehind) {
    system.files.addDirectory("C:\\Temp\\qvo_w_testdir");  // stale, from an earlier run
    EXPECT_TRUE(isWritableDirectory("C:\\Temp"));
    EXPECT_FALSE(system.files.exists("C:\\Temp\\qvo_w_testdir"));
    EXPECT_FALSE(isWritableDirectory("C:\\missing"));
    // Created but not visible to a directory search: not writable either.
    system.files.hiddenDirectories.insert("c:\\temp\\qvo_w_testdir");
    EXPECT_FALSE(isWritableDirectory("C:\\Temp"));
    EXPECT_FALSE(system.files.exists("C:\\Temp\\qvo_w_testdir"));
}

TEST_F(TempDirectoriesTest, TempFileNames) {
    EXPECT_EQ(makeTempFileName(), "C:\\Temp\\qvo1A2B.tmp");
    EXPECT_TRUE(system.files.exists("C:\\Temp\\qvo1A2B.tmp"));  // the name is reserved
    system.files.failTempFileName = true;
    EXPECT_EQ(makeTempFileName(), "C:\\Temp\\qvo4711");
}

TEST_F(TempDirectoriesTest, CommFileNameLiesInsideTheDirectory) {
    EXPECT_EQ(makeCommFileName(1234), "C:\\Temp\\qvo_p1234.tmp");
    system.files.addDirectory("C:\\tmp");
    system.files.tempPathText = "C:\\\xe4\xb8\xad\\";
    system.files.readOnlyDirectories.insert("c:\\windows");
    system.files.readOnlyDirectories.insert("c:\\temp");
    longPathConverter = unrepresentableOutsideWindows;
    // The fallback "c:\tmp" has no closing backslash of its own.
    EXPECT_EQ(makeCommFileName(1234), "c:\\tmp\\qvo_p1234.tmp");
}

TEST_F(TempDirectoriesTest, LauncherTempDirectory) {
    system.enableLog();
    createLauncherTempDirectory();
    EXPECT_EQ(launcherTempDirectory(), "C:\\Temp\\qvo1A2B.tmp_dir");
    EXPECT_TRUE(system.files.exists("C:\\Temp\\qvo1A2B.tmp_dir"));
    EXPECT_TRUE(system.files.exists("C:\\Temp\\qvo1A2B.tmp"));

    // Two failures: the third name is used, and every attempt leaves its file.
    system.files.failCreateDirectory = 2;
    system.files.failCreateDirectoryEnding = "_dir";
    createLauncherTempDirectory();
    EXPECT_EQ(launcherTempDirectory(), "C:\\Temp\\qvo1A2E.tmp_dir");
    std::vector<std::string> lines = system.logLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Could not create dir (5)"), 2);
}

TEST_F(TempDirectoriesTest, FiveFailuresEndWithMessage1009Code7) {
    configurationMaps().stringValues[1009] = "An internal error occurred (error code: {0})";
    setQuietErrors();
    system.files.failCreateDirectory = 5;
    system.files.failCreateDirectoryEnding = "_dir";
    EXPECT_THROW(createLauncherTempDirectory(), ProcessExit);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, "An internal error occurred (error code: 7)");
}

}  // namespace
}  // namespace qarvo
