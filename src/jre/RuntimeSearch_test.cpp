#include "jre/RuntimeSearch.h"

#include <gtest/gtest.h>

#include "jre/RegistryDiscovery.h"
#include "jre/testing/RuntimeFakes.h"
#include "vmargs/VariableExpansion.h"

namespace qarvo {
namespace {

using testing::RuntimeFixture;

TEST(RuntimeSearch, AnOldShippedRuntimeIsAcceptedByTheSecondPassUnlessItIsForeign) {
    for (std::uint16_t machine : {0x014C, 0x8664}) {
        RuntimeFixture fx;
        fx.setKey(128, "B.\\jre;Y");
        fx.setKey(126, "1.6");
        fx.addRuntime("C:\\app\\jre", "1.5.0_22");
        fx.files.addFile("C:\\app\\jre\\bin\\java.exe", testing::peHeader(machine));
        std::string javaExe, description;
        const FoundBy found = searchJvm(javaExe, description);
        if (machine == 0x8664) {
            EXPECT_EQ(found, FoundBy::None);
            continue;
        }
        EXPECT_EQ(found, FoundBy::Location);
        EXPECT_EQ(javaExe, "c:\\app\\jre\\bin\\java.exe");
        EXPECT_EQ(description, ".\\jre");
        EXPECT_EQ(fx.logLinesStartingWith({"c:\\app"}), std::vector<std::string>{"c:\\app\\jre\\bin\\java.exe exists"});
    }
}

TEST(RuntimeSearch, TypeLettersAndTheSecondPass) {
    RuntimeFixture fx;
    fx.setKey(128, "XC:\\x;bC:\\y;AC:\\abs;A\\\\srv\\j;Arel;RC:;Bd:\\b;S;;");
    std::string javaExe, description;
    EXPECT_EQ(searchJvm(javaExe, description), FoundBy::None);
    std::vector<std::string> tested = fx.logLinesStartingWith({"Testing"});
    EXPECT_EQ(tested, (std::vector<std::string>{
                          "Testing location C:\\x (type X)", "Testing location C:\\y (type b)",
                          "Testing location C:\\abs (type A)", "Testing location \\\\srv\\j (type A)",
                          "Testing location rel (type A)", "Testing location C: (type R)",
                          "Testing location d:\\b (type B)", "Testing location  (type S)",
                          "Testing relative location rel", "Testing relative location d:\\b",
                      }));
}

TEST(RuntimeSearch, LocationFilesGiveTheirFirstLine) {
    const std::string none = "(none)";
    struct Case {
        std::string content;
        std::string line;
    } cases[] = {
        {"C:\\pref\r\n", "C:\\pref"}, {"C:\\a\nC:\\b\n", "C:\\a"}, {"C:\\a\r\r\n", "C:\\a"},
        {"\r\n", ""},                  {"", none},                  {std::string(9000, 'a'), std::string(8191, 'a')},
    };
    for (const Case& c : cases) {
        RuntimeFixture fx;
        fx.setKey(10003, ".");
        fx.files.addFile("C:\\app\\.moravelin\\pref_jre.cfg", c.content);
        std::string line;
        EXPECT_EQ(readLocationFile(line, preferredLocationFile) ? line : none, c.line) << c.content.substr(0, 20);
    }
}

TEST(RuntimeSearch, EnvironmentVariablesWithForwardSlashesOrTooLong) {
    RuntimeFixture fx;
    fx.addRuntime("C:\\java\\jre", "1.8.0_402");
    // Homes of 8191 and 8192 bytes that both name C:\java\jre: only the
    // length tells them apart.
    std::string fits = "C:\\java\\jre";
    while (fits.size() < 8191) fits += "\\.";
    const std::string tooLong = "C:\\" + fits.substr(2);  // a second backslash after the drive
    ASSERT_EQ(fits.size(), 8191u);
    ASSERT_EQ(tooLong.size(), 8192u);
    fx.environment.variables = {
        {"J", "c:/java/jre"}, {"FITS", fits}, {"LONG", tooLong}, {"EMPTY", ""}};
    std::string javaExe;
    EXPECT_TRUE(testEnvironmentVariable(javaExe, "J", "1.6", ""));
    EXPECT_EQ(javaExe, "c:\\java\\jre\\bin\\java.exe");
    javaExe.clear();
    EXPECT_TRUE(testEnvironmentVariable(javaExe, "FITS", "1.6", ""));
    EXPECT_EQ(javaExe, "c:\\java\\jre\\bin\\java.exe");
    EXPECT_TRUE(fx.logLinesStartingWith({"ERROR:"}).empty());
    EXPECT_FALSE(testEnvironmentVariable(javaExe, "LONG", "1.6", ""));
    EXPECT_EQ(fx.logLinesStartingWith({"ERROR:"}), std::vector<std::string>{"ERROR: LONG is longer than 8191 bytes"});
    EXPECT_FALSE(testEnvironmentVariable(javaExe, "EMPTY", "", ""));
    EXPECT_FALSE(testEnvironmentVariable(javaExe, "UNSET", "", ""));
}

// The 64-bit launcher names its own architecture: "64" in 1016, and 1018 and
// 1020 instead of 1017 and 1019.
TEST(RuntimeSearch, OneMessageChosenByHowTheBrokenRuntimeWasFound) {
    struct Case {
        const char* sequence;
        std::uint16_t machine;
        const char* shown;
    } cases[] = {
        {"S", 0x014C, "none 32"},          {"EJAVA_HOME", 0x014C, "variable JAVA_HOME"},
        {"BC:\\r", 0x014C, "location C:\\r"}, {"Y", 0x014C, "vm {0}"},
        {"S", 0x8664, "none 64"},          {"EJAVA_HOME", 0x8664, "variable64 JAVA_HOME"},
        {"BC:\\r", 0x8664, "location64 C:\\r"}, {"Y", 0x8664, "vm {0}"},
    };
    for (const Case& c : cases) {
        RuntimeFixture fx;
        fx.setKey(128, c.sequence);
        for (auto [key, text] : {std::pair{1005, "vm {0}"}, {1016, "none {0}"}, {1017, "variable {0}"},
                                 {1018, "variable64 {0}"}, {1019, "location {0}"}, {1020, "location64 {0}"}}) {
            fx.setKey(key, text);
        }
        fx.libraries.machine = c.machine;
        const std::string javaExe = fx.addRuntime("C:\\r", "1.8.0_402", "none");
        fx.addJavaExe(javaExe, "java version \"1.8.0_402\"\n", c.machine);
        fx.files.addFile("C:\\r\\bin\\javaw.exe", testing::peHeader(c.machine));
        fx.libraries.modules.clear();  // its jvm.dll does not load
        fx.files.searchPathResult = javaExe;
        fx.environment.variables["JAVA_HOME"] = "C:\\r";
        fx.registry.setString(os::Hive::localMachine, javaSoftRuntimeKey, "CurrentVersion", "1.8");
        fx.registry.setString(os::Hive::localMachine, std::string(javaSoftRuntimeKey) + "\\1.8", "JavaHome", "C:\\r");
        EXPECT_FALSE(LoadDLL(true)) << c.sequence;
        ASSERT_EQ(fx.messages.size(), 1u) << c.sequence;
        const std::string& text = fx.messages[0].text;
        EXPECT_EQ(text.substr(0, text.find("\n\nLog: ")), c.shown);
        EXPECT_EQ(fx.logLinesStartingWith({"ERROR: "}),
                  (std::vector<std::string>{"ERROR: Could not get DLL-Handle.", "ERROR: Could not load functions"}));
        EXPECT_EQ(jvmHome(), "c:\\r\\bin\\..");
    }
}

TEST(RuntimeSearch, LoadsTheRuntimeFoundAndRecordsItsHome) {
    RuntimeFixture fx;
    fx.setKey(128, "B%QARVO_EXEDIR%jre");
    fx.addRuntime("C:\\app\\jre", "17");
    fx.setKey(126, "17.0");
    EXPECT_TRUE(LoadDLL(true));
    EXPECT_TRUE(fx.messages.empty());
    EXPECT_EQ(jvmHome(), "c:\\app\\jre\\bin\\..");
    EXPECT_EQ(fx.logLinesStartingWith({"Trying to load", "Loading of"}),
              (std::vector<std::string>{"Trying to load JVM-DLL from c:\\app\\jre\\bin\\java.exe",
                                        "Loading of JVM-DLL successful"}));
}

}  // namespace
}  // namespace qarvo
