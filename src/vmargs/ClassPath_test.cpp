#include "vmargs/ClassPath.h"

#include <gtest/gtest.h>

#include "config/Configuration.h"
#include "testing/TestSystem.h"
#include "payload/TempDirectories.h"

namespace qarvo {
namespace {

using testing::TestSystem;
using testing::ProcessExit;

class ClassPath : public ::testing::Test {
protected:
    ClassPath() {
        system.files.addDirectory("C:\\app");
        configurationMaps().stringValues = {
            {1006, "File or directory {0} not found or empty\n"},
            {1008, "The environment variable {0} has to be defined"},
        };
    }
    void setKind(const char* kind) { system.setKind(kind); }
    // The class path of key 121 alone, or the message that ended the launch.
    std::string configured(const std::string& entries) {
        configurationMaps().stringValues[121] = entries;
        system.messages.clear();
        std::string classPath;
        try {
            appendConfiguredClassPath(classPath);
        } catch (const ProcessExit& exit) {
            return "exit " + std::to_string(exit.code) + ": " + system.messages.at(0).text;
        }
        return classPath;
    }
    TestSystem system;
};

TEST_F(ClassPath, ConfiguredEntries) {
    system.files.addFile("C:\\app\\lib\\a.jar");
    system.files.addDirectory("C:\\app\\classes");
    system.files.addDirectory("C:\\app\\ext");
    system.files.addFile("C:\\app\\ext\\b.jar");
    system.files.addFile("C:\\app\\ext\\a.zip");
    system.files.addFile("C:\\app\\ext\\c.jar");
    system.files.addFile("C:\\app\\ext\\notes.txt");
    system.files.addDirectory("C:\\app\\empty");
    system.files.addFile("D:\\h\\a.jar");
    system.environment.variables = {{"APP_CP", "\"C:\\x y\\lib.jar\""}, {"LIST", "x.jar;y.jar"}, {"SEP", "a.jar;"},
                                    {"EMPTY", ""}, {"HOME_DIR", "D:\\h"}, {"QUOTE", "\""}};
    const std::string noEntry = "exit 1: File or directory  not found or empty\n";
    const char* driveRoot = "C:\\run.exe";
    struct Case {
        const char* entries;
        std::string result;
        const char* launcher = "C:\\app\\run.exe";
    } cases[] = {
        {"A1lib\\a.jar", "C:\\app\\lib\\a.jar;"},
        {"A1.\\lib\\a.jar", "C:\\app\\.\\lib\\a.jar;"},
        {"A0lib\\missing.jar", "C:\\app\\lib\\missing.jar;"},  // optional: added anyway
        {"Axlib\\missing.jar", "C:\\app\\lib\\missing.jar;"},  // only '1' means required
        {"A1lib\\missing.jar", "exit 1: File or directory lib\\missing.jar not found or empty\n"},
        {"D1classes", "C:\\app\\classes;"},
        {"D1C:\\\\app\\\\classes", "C:\\app\\classes;"},
        {"A1${HOME_DIR}\\a.jar", "D:\\h\\a.jar;"},
        {"A0${LIST}", "C:\\app\\x.jar;C:\\app\\y.jar;"},
        {"S1ext", "C:\\app\\ext\\b.jar;C:\\app\\ext\\c.jar;C:\\app\\ext\\a.zip;"},
        {"S1empty", ""},
        {"S1none", "exit 1: File or directory none not found or empty\n"},
        {"S0none", ""},
        {"E1APP_CP", "C:\\x y\\lib.jar;"},
        {"E1SEP", "a.jar;"},
        {"E1QUOTE", "\";"},  // a lone quote is not a pair of quotes
        {"E0UNSET", ""},
        {"E1UNSET", "exit 1: The environment variable UNSET has to be defined"},
        {"E0EMPTY", ""},
        {"E1EMPTY", "exit 1: The environment variable EMPTY has to be defined"},
        {"X0foo", ""},
        {"X1foo", "exit 1: File or directory foo not found or empty\n"},
        {"A;D;E;S;X", ""},  // one character: no flag, no value, skipped
        // Two characters: an entry with an empty value, which is never found.
        {"A1", noEntry},
        {"D1", noEntry},
        {"A1", noEntry, driveRoot},
        {"A1${EMPTY}", noEntry},
        {"E1", "exit 1: The environment variable  has to be defined"},
        {"S1", noEntry},
        {"S1", noEntry, driveRoot},  // not the root directory itself
        {"X1", noEntry},
        {"A0;D0;E0;S0;S0;X0", ""},   // optional: nothing, and no empty element
        {"S0", "", driveRoot},
        {"A0;A0lib\\a.jar;D0", "C:\\app\\lib\\a.jar;"},
        {";;A0a.jar;;D0b;", "C:\\app\\a.jar;C:\\app\\b;"},
        {"A0${EMPTY}", ""},  // no empty element: it would stand for the current directory
        {"A0lib\\a.jar;A1lib\\missing.jar;A0never.jar", "exit 1: File or directory lib\\missing.jar not found or empty\n"},
        {"", ""},
    };
    for (const Case& c : cases) {
        system.setLauncherPath(c.launcher);
        EXPECT_EQ(configured(c.entries), c.result) << c.entries << " for " << c.launcher;
    }
}

TEST_F(ClassPath, RequiredArchiveOfAnInstallerLauncher) {
    system.setLauncherPath("C:\\App\\run.exe");
    system.files.addFile("C:\\App\\lib\\app.jar");
    setKind("i");
    configurationMaps().stringValues[10003] = ".";
    configurationMaps().stringValues[121] = "A1.\\lib\\app.jar";
    EXPECT_EQ(buildClassPathOption({}),
              "-Djava.class.path=C:\\App\\.moravelin\\mrvruntime.jar;C:\\App\\.\\lib\\app.jar;");
    configurationMaps().stringValues[10003] = "..\\Install\\";
    EXPECT_EQ(buildClassPathOption({}),
              "-Djava.class.path=C:\\Install\\.moravelin\\mrvruntime.jar;C:\\App\\.\\lib\\app.jar;");
    setKind("e");
    EXPECT_EQ(buildClassPathOption({}), "-Djava.class.path=C:\\App\\.\\lib\\app.jar;");
}

TEST_F(ClassPath, OrderOfTheParts) {
    const std::string temp = "C:\\Temp\\qvo1.tmp_dir";
    setLauncherTempDirectory(temp);
    system.files.addDirectory(temp);
    system.files.addFile(temp + "\\b.zip");
    system.files.addFile(temp + "\\a.jar");
    system.files.addDirectory(temp + "\\user");
    system.files.addFile(temp + "\\user\\u.jar");
    configurationMaps().stringValues[121] = "A0x.jar";
    ClassPathOverrides overrides;
    overrides.prepend = "p.jar";
    overrides.append = "z.jar";
    EXPECT_EQ(buildClassPathOption(overrides), "-Djava.class.path=p.jar;" + temp + "\\a.jar;" + temp + "\\b.zip;" +
                                                   temp + "\\user\\u.jar;C:\\app\\x.jar;z.jar");
    // The replacement takes the place of key 121, whose required entries are not even checked.
    configurationMaps().stringValues[121] = "A1missing.jar;E1UNSET";
    overrides.replacement = "r1.jar;r2.jar";
    EXPECT_EQ(buildClassPathOption(overrides), "-Djava.class.path=p.jar;" + temp + "\\a.jar;" + temp + "\\b.zip;" +
                                                   temp + "\\user\\u.jar;r1.jar;r2.jar;z.jar");
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(ClassPath, AppendAndPrependNeverMakeEmptyElements) {
    struct Case {
        std::optional<std::string> prepend, replacement, append;
        const char* option;
    } cases[] = {
        {std::nullopt, "", "z.jar", "-Djava.class.path=z.jar"},
        {std::nullopt, "r.jar;", "z.jar", "-Djava.class.path=r.jar;z.jar"},
        {"p.jar;", "", std::nullopt, "-Djava.class.path=p.jar;"},
        {"", "", "", "-Djava.class.path="},
    };
    for (const Case& c : cases) {
        ClassPathOverrides overrides{c.replacement, c.prepend, c.append};
        EXPECT_EQ(buildClassPathOption(overrides), c.option);
    }
}

TEST_F(ClassPath, LongClassPathsAreNeverCut) {
    system.files.addDirectory("C:\\app\\lib");
    const std::string longName(120, 'n');
    for (int i = 0; i < 500; ++i) system.files.addFile("C:\\app\\lib\\" + longName + std::to_string(1000 + i) + ".jar");
    configurationMaps().stringValues[121] = "S1lib;A0tail.jar";
    std::string option = buildClassPathOption({});
    EXPECT_GT(option.size(), 40960u);
    EXPECT_NE(option.find(longName + "1000.jar;"), std::string::npos);
    EXPECT_NE(option.find(longName + "1499.jar;"), std::string::npos);
    EXPECT_TRUE(option.ends_with(".jar;C:\\app\\tail.jar;"));
}

}  // namespace
}  // namespace qarvo
