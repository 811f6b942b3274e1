#include "base/PathHelpers.h"

#include <gtest/gtest.h>

#include <cstring>

#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;

TEST(PathHelpers, IsRelativePath) {
    struct Case {
        const char* path;
        bool relative;
    } cases[] = {
        {"lib\\a.jar", true}, {"C:\\a", false},     {"\\\\server\\share", false}, {"\\a", true},
        {"\"C:\\a", false},   {"\"\\\\srv\\x", false}, {"C:a", true},              {"C:", true},
        {"", true},           {"ab", true},         {"\"C:", true},               {"\"C:\\", false},
        {"x:\\", false},      {"/unix", true},
    };
    for (const Case& c : cases) EXPECT_EQ(isRelativePath(c.path), c.relative) << c.path;
}

TEST(PathHelpers, NormalizeBackslashes) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\\\dir\\\\\\file", "C:\\dir\\file"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"\\\\\\\\server\\\\share", "\\\\server\\share"},
        {"a\\\\", "a\\"},
        {"\\\\", "\\\\"},  // the first two characters are always kept
        {"", ""},
        {"no backslash", "no backslash"},
        {"C:\\caf\xe9\\\\x", "C:\\caf\xe9\\x"},
    };
    for (const Case& c : cases) {
        std::string path = c.in;
        normalizeBackslashes(path);
        EXPECT_EQ(path, c.out) << c.in;
    }
}

TEST(PathHelpers, ResolvesAgainstTheLauncherDirectory) {
    TestSystem system;
    EXPECT_EQ(launcherPath(), "C:\\app\\run.exe");
    struct Case {
        const char* path;
        const char* base;
        const char* resolved;
    } cases[] = {
        {"lib\\a.jar", nullptr, "C:\\app\\lib\\a.jar"},
        {"D:\\x", nullptr, "D:\\x"},
        {"..\\x", nullptr, "C:\\app\\..\\x"},  // dots are not resolved here
        {"sub\\\\y", nullptr, "C:\\app\\sub\\y"},
        {"inc.vmoptions", "D:\\conf\\app.vmoptions", "D:\\conf\\inc.vmoptions"},
        {"\\\\srv\\x", "D:\\conf\\app.vmoptions", "\\\\srv\\x"},
    };
    for (const Case& c : cases) EXPECT_EQ(resolveRelativePath(c.path, c.base), c.resolved) << c.path;
}

TEST(PathHelpers, AbsolutePath) {
    TestSystem system;
    EXPECT_EQ(absolutePath("..\\x", false), "c:\\x");
    EXPECT_EQ(absolutePath("..\\X", true), "C:\\X");
    EXPECT_EQ(absolutePath("Jre\\.\\Bin", false), "c:\\app\\jre\\bin");
    EXPECT_EQ(absolutePath(".", true), "C:\\app");
    EXPECT_EQ(absolutePath("D:\\A\\..\\B", false), "d:\\b");
}

TEST(PathHelpers, ResolvePathList) {
    TestSystem system;
    EXPECT_EQ(resolvePathList("a;;b"), "C:\\app\\a;C:\\app\\b");
    EXPECT_EQ(resolvePathList("lib;bin\\x86"), "C:\\app\\lib;C:\\app\\bin\\x86");
    EXPECT_EQ(resolvePathList(";;"), "");
    EXPECT_EQ(resolvePathList("D:\\x;"), "D:\\x");
    EXPECT_EQ(resolvePathList(""), "");
}

TEST(PathHelpers, FileExistsTreatsDriveRootsAsPresent) {
    TestSystem system;
    system.files.addDirectory("C:\\data");
    system.files.addFile("C:\\data\\a.txt");
    struct Case {
        const char* path;
        bool exists;
        bool searched;
    } cases[] = {
        {"C:\\", true, false},       {"C:\\.\\.", true, false}, {"d:\\.", true, false},
        {"C:\\data", true, true},    {"C:\\data\\a.txt", true, true}, {"C:\\data\\b.txt", false, true},
        {"C:\\data\\*.txt", true, true}, {"C:\\..", false, true}, {"", false, true},
    };
    for (const Case& c : cases) {
        system.files.searches.clear();
        EXPECT_EQ(fileExists(c.path), c.exists) << c.path;
        EXPECT_EQ(!system.files.searches.empty(), c.searched) << c.path;
    }
}

TEST(PathHelpers, FindFileTimeReportsTheLastWriteTime) {
    TestSystem system;
    system.files.addDirectory("C:\\jre");
    system.files.addFile("C:\\jre\\java.exe", "", os::FileTime{0x11223344, 0x01D00000});
    os::FileTime time;
    ASSERT_TRUE(findFileTime("C:\\jre\\java.exe", &time));
    EXPECT_EQ(time, (os::FileTime{0x11223344, 0x01D00000}));
    EXPECT_FALSE(findFileTime("C:\\", &time));  // no drive-root rule here
}

TEST(PathHelpers, ListFilesWithExtension) {
    TestSystem system;
    system.files.addDirectory("C:\\lib");
    system.files.addFile("C:\\lib\\b.jar");
    system.files.addFile("C:\\lib\\a.jar");
    system.files.addFile("C:\\lib\\notes.txt");
    system.files.addDirectory("C:\\lib\\hidden.jar");  // created, but no search sees it
    system.files.hiddenDirectories.insert("c:\\lib\\hidden.jar");
    for (const char* extension : {"jar", ".jar"}) {
        std::vector<std::string> names{"kept"};
        system.files.searches.clear();
        EXPECT_EQ(listFilesWithExtension("C:\\lib", extension, names), 2u);
        EXPECT_EQ(system.files.searches, std::vector<std::string>{"C:\\lib\\*.jar"});
        EXPECT_EQ(names, (std::vector<std::string>{"kept", "a.jar", "b.jar"}));
    }
    std::vector<std::string> none;
    EXPECT_EQ(listFilesWithExtension("C:\\lib", "zip", none), 0u);
    EXPECT_TRUE(none.empty());
}

// The path itself as its long form, with "\\long" appended.
std::uint32_t suffixedLongPath(const char* path, char* buffer, std::uint32_t size) {
    const std::string longForm = std::string(path) + "\\long";
    if (longForm.size() + 1 > size) return static_cast<std::uint32_t>(longForm.size() + 1);
    std::memcpy(buffer, longForm.c_str(), longForm.size() + 1);
    return static_cast<std::uint32_t>(longForm.size());
}

std::uint32_t failingLongPath(const char*, char*, std::uint32_t) { return 0; }

TEST(PathHelpers, LongPathNameFitsAn8192ByteBuffer) {
    TestSystem system;
    longPathConverter = suffixedLongPath;
    std::string longForm = "unchanged";
    ASSERT_TRUE(longPathName("C:\\PROGRA~1", longForm));
    EXPECT_EQ(longForm, "C:\\PROGRA~1\\long");
    // 8191 bytes and the terminator fit; one more does not.
    const std::string fits(8191 - 5, 'x');
    ASSERT_TRUE(longPathName(fits, longForm));
    EXPECT_EQ(longForm.size(), 8191u);
    longForm = "unchanged";
    EXPECT_FALSE(longPathName(fits + "x", longForm));
    EXPECT_EQ(longForm, "unchanged");
    longPathConverter = failingLongPath;
    EXPECT_FALSE(longPathName("C:\\PROGRA~1", longForm));
    EXPECT_EQ(longForm, "unchanged");
}

TEST(PathHelpers, JavaExecutableDirectory) {
    struct Case {
        const char* javaExe;
        const char* directory;
    } cases[] = {
        {"C:\\jre\\bin\\java.exe", "C:\\jre\\bin\\"},
        {"C:\\jre\\bin\\javaw.exe", "C:\\jre\\bin\\"},
        {"java.exe", ""},
        {"javaw.exe", ""},
        {"x", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(javaExecutableDirectory(c.javaExe), c.directory) << c.javaExe;
}

TEST(PathHelpers, AcceptLauncherPath) {
    struct Case {
        const char16_t* wide;
        bool accepted;
    } cases[] = {
        {u"C:\\app\\run.exe", true},
        {u"C:\\app\\RUN.EXE", true},
        {u"C:\\caf\x00e9\\run.exe", true},
        {u"C:\\\x4e2d\x6587\\run.exe", false},  // not representable: the short name is needed
        {u"C:\\app\\run.com", false},
        {u".exe", true},
        {u"exe", false},
        {u"", false},
    };
    for (const Case& c : cases) {
        std::string narrow;
        EXPECT_EQ(acceptLauncherPath(c.wide, narrow), c.accepted);
    }
}

}  // namespace
}  // namespace qarvo
