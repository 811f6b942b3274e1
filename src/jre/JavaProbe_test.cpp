#include "jre/JavaProbe.h"

#include <gtest/gtest.h>

#include "image/PeLayout.h"
#include "jre/testing/RuntimeFakes.h"

namespace qarvo {
namespace {

using testing::RuntimeFixture;

// Probes with lowest version 1.6 and the beta check.
bool check(std::string& javaExe, std::string& version) { return checkJavaExe(javaExe, version, "1.6", "", false); }

const std::string* cached(const RuntimeFixture& fx, const char* path, const char* name) {
    return fx.registry.value(os::Hive::currentUser, std::string(versionCacheKey) + path, name);
}

TEST(JavaProbe, FindsTheExecutableOfAHome) {
    struct Case {
        std::vector<const char*> files;
        const char* requireJdk;  // key 131
        bool found;
        const char* javaExe;
    } cases[] = {
        {{"C:\\h\\jre\\bin\\java.exe", "C:\\h\\bin\\java.exe"}, "0", true, "C:\\h\\jre\\bin\\java.exe"},
        {{"C:\\h\\bin\\java.exe"}, "0", true, "C:\\h\\bin\\java.exe"},
        {{}, "0", true, "C:\\h\\bin\\java.exe"},  // its existence is the probe's business
        {{"C:\\h\\lib\\tools.jar", "C:\\h\\bin\\javac.exe"}, "1", true, "C:\\h\\jre\\bin\\java.exe"},
        {{"C:\\h\\bin\\javac.exe", "C:\\h\\bin\\java.exe"}, "1", true, "C:\\h\\bin\\java.exe"},  // Java 9+ kit
        {{"C:\\h\\bin\\java.exe", "C:\\h\\jre\\bin\\java.exe"}, "1", false, "C:\\h\\jre\\bin\\java.exe"},
    };
    for (const Case& c : cases) {
        RuntimeFixture each;
        for (const char* file : c.files) each.files.addFile(file, "");
        each.setKey(131, c.requireJdk);
        std::string javaExe;
        EXPECT_EQ(findJavaExe(javaExe, "C:\\h"), c.found) << c.javaExe;
        EXPECT_EQ(javaExe, c.javaExe);
    }
}

TEST(JavaProbe, ProbesOnceAndThenUsesTheCacheUntilTheExecutableChanges) {
    RuntimeFixture fx;
    std::string version;
    fx.addJavaExe("C:\\JRE\\bin\\java.exe", "openjdk version \"17.0.15\" 2025-04-15\r\n", 0x014C, {0x11223344, 0x55});
    std::string javaExe = "C:\\JRE\\BIN\\JAVA.EXE";
    EXPECT_TRUE(check(javaExe, version));
    EXPECT_EQ(javaExe, "c:\\jre\\bin\\java.exe");
    EXPECT_EQ(version, "17.0.15");
    ASSERT_EQ(fx.processes.probeCommandLines, std::vector<std::string>{"c:\\jre\\bin\\java.exe -version"});
    EXPECT_EQ(fx.processes.lastTimeout, 60000u);
    ASSERT_TRUE(cached(fx, "c:/jre/bin/java.exe", "Version"));
    EXPECT_EQ(*cached(fx, "c:/jre/bin/java.exe", "Version"), "17.0.15");
    EXPECT_EQ(*cached(fx, "c:/jre/bin/java.exe", "LastWriteTime"), std::string("\x44\x33\x22\x11\x55\0\0\0", 8));
    EXPECT_EQ(fx.files.deleted.size(), 1u) << "the output file is removed";

    EXPECT_TRUE(check(javaExe, version));
    EXPECT_EQ(version, "17.0.15");
    EXPECT_EQ(fx.processes.probeCommandLines.size(), 1u);
    EXPECT_EQ(fx.logLinesStartingWith({"got version"}),
              (std::vector<std::string>{"got version from execution 17.0.15", "got version from registry 17.0.15"}));

    fx.files.addFile("C:\\JRE\\bin\\java.exe", testing::peHeader(0x014C), {0x11223345, 0x55});  // replaced
    EXPECT_TRUE(check(javaExe, version));
    EXPECT_EQ(fx.processes.probeCommandLines.size(), 2u);
}

TEST(JavaProbe, FailedRunsAndUnreadableOutput) {
    struct Case {
        const char* name;
        std::string output;
        std::uint32_t exitCode;
        bool timesOut;
        const char* cachedVersion;  // null: nothing cached
        const char* logLine;
    } cases[] = {
        {"exit 1", "Error: no VM\n", 1, false, "1.0.0", "Exit Code 1"},
        {"time-out", "", 0, true, nullptr, "Terminating process"},
        {"garbage", "Error: could not find java.dll\n", 0, false, nullptr, "Java version: "},
    };
    for (const Case& c : cases) {
        RuntimeFixture each;
        each.addJavaExe("C:\\j\\bin\\java.exe", c.output);
        each.processes.scripts.begin()->second.exitCode = c.exitCode;
        each.processes.scripts.begin()->second.timesOut = c.timesOut;
        std::string javaExe = "C:\\j\\bin\\java.exe", found;
        EXPECT_FALSE(checkJavaExe(javaExe, found, "", "", false)) << c.name;
        const std::string* stored = cached(each, "c:/j/bin/java.exe", "Version");
        EXPECT_EQ(stored ? *stored : "(none)", c.cachedVersion ? c.cachedVersion : "(none)") << c.name;
        EXPECT_EQ(each.logLinesStartingWith({c.logLine}).size(), 1u) << c.name;
        EXPECT_EQ(each.files.deleted.size(), 1u) << c.name;
        EXPECT_EQ(each.files.find("C:\\Temp\\qvo*", 10).size(), 0u) << c.name;
    }
}

TEST(JavaProbe, ARunThatCannotStartIsLoggedAndItsFileRemoved) {
    RuntimeFixture fx;
    std::string version;
    fx.files.addFile("C:\\j\\bin\\java.exe", testing::peHeader(0x014C));
    fx.files.shortNames[fx.files.key("c:\\j\\bin\\java.exe")] = "C:\\J~1\\BIN\\JAVA.EXE";
    std::string javaExe = "C:\\j\\bin\\java.exe";
    EXPECT_FALSE(check(javaExe, version));
    ASSERT_EQ(fx.logLinesStartingWith({"Could not create process"}).size(), 1u);
    EXPECT_EQ(fx.logLinesStartingWith({"Could not create process"})[0].rfind(
                  "Could not create process C:\\J~1\\BIN\\JAVA.EXE -version > C:\\Temp\\", 0),
              0u);
    EXPECT_EQ(fx.files.deleted.size(), 1u);
}

TEST(JavaProbe, APathWithBlanksAndNoShortNameIsQuoted) {
    RuntimeFixture fx;
    std::string version;
    fx.addJavaExe("C:\\Program Files\\j\\bin\\java.exe", "java version \"1.8.0_402\"\n");
    std::string javaExe = "C:\\Program Files\\j\\bin\\java.exe";
    EXPECT_TRUE(check(javaExe, version));
    EXPECT_EQ(fx.processes.probeCommandLines, std::vector<std::string>{"\"c:\\program files\\j\\bin\\java.exe\" -version"});
}

TEST(JavaProbe, WindowedLaunchersNeedJavaw) {
    RuntimeFixture fx;
    std::string version;
    fx.setKey(107, "1");
    std::string javaExe = fx.addRuntime("C:\\a", "1.8.0_402");
    EXPECT_TRUE(check(javaExe, version));
    EXPECT_EQ(javaExe, "c:\\a\\bin\\javaw.exe");
    fx.addJavaExe("C:\\b\\bin\\java.exe", "java version \"1.8.0_402\"\n");
    javaExe = "C:\\b\\bin\\java.exe";
    EXPECT_FALSE(check(javaExe, version));
}

TEST(JavaProbe, ExecutablesOfAnotherMachineAreRejectedBeforeTheCache) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* logLine;
    } cases[] = {
        {"x86-64", testing::peHeader(0x8664), "machine type 0x8664 of c:\\j\\bin\\java.exe is not the launcher's 0x014c"},
        {"arm64", testing::peHeader(0xAA64), "machine type 0xaa64 of"},
        {"script", "#!/bin/sh\n", "no executable header in c:\\j\\bin\\java.exe"},
        {"cut short", testing::peHeader(0x014C).substr(0, pe::dosHeaderSize + pe::machineField),
         "no executable header in"},
        {"far header", "MZ" + std::string(pe::peOffsetField - 2, '\0') + std::string("\xff\xff\xff\x7f", 4),
         "no executable header in"},
    };
    for (const Case& c : cases) {
        RuntimeFixture each;
        each.addJavaExe("C:\\j\\bin\\java.exe", "java version \"1.8.0_402\"\n");
        each.files.addFile("C:\\j\\bin\\java.exe", c.bytes);
        each.registry.setString(os::Hive::currentUser, "SOFTWARE\\tarnwell\\qarvo\\jvms\\c:/j/bin/java.exe", "Version",
                                "1.8.0_402");
        each.registry.reads = 0;
        std::string javaExe = "C:\\j\\bin\\java.exe", found;
        EXPECT_FALSE(checkJavaExe(javaExe, found, "", "", false)) << c.name;
        EXPECT_EQ(each.registry.reads, 0) << c.name;
        EXPECT_TRUE(each.processes.probeCommandLines.empty()) << c.name;
        EXPECT_EQ(each.logLinesStartingWith({c.logLine}).size(), 1u) << c.name;
    }
}

}  // namespace
}  // namespace qarvo
