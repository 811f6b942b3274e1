#include "jre/ModernRuntimes.h"

#include <gtest/gtest.h>

#include "jre/RuntimeSearch.h"
#include "jre/testing/RuntimeFakes.h"

namespace qarvo {
namespace {

using testing::RuntimeFixture;

TEST(ModernRuntimes, VersionsInNames) {
    struct Case {
        const char* name;
        const char* version;
    } cases[] = {
        {"17.0.2", "17.0.2"},         {"jdk-17.0.2+8", "17.0.2+8"},
        {"zulu-17-jre", "17"},        {"jdk1.8.0_202", "1.8.0_202"},
        {"jdk-21.0.1.12-hotspot", "21.0.1.12"}, {"zulu17.32.13-ca-jdk17.0.2-win_x64", "17.32.13"},
        {"LibericaJDK", ""},          {"11-", "11"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(versionInName(c.name), c.version) << c.name;
}

// Every vendor layout is found, in HKLM and in HKCU; the newest acceptable
// install wins after one probe, a stale key is passed over.
TEST(ModernRuntimes, TheNewestAcceptableInstallWinsWithoutProbingTheRest) {
    RuntimeFixture fx;
    const os::Hive machine = os::Hive::localMachine, user = os::Hive::currentUser;
    struct Install {
        os::Hive hive;
        std::string key;      // registry key and value naming the home; empty: a directory only
        std::string value;
        std::string home;
        std::string version;  // what the runtime answers; empty: nothing on disk (a stale key)
    } installs[] = {
        {machine, "SOFTWARE\\JavaSoft\\JDK\\11.0.2", "JavaHome", "C:\\jdk11", "11.0.2"},
        {machine, "SOFTWARE\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI", "Path", "C:\\adoptium17\\", "17.0.9"},
        {user, "SOFTWARE\\Azul Systems\\Zulu\\zulu-21", "InstallationPath", "C:\\zulu21", "21.0.1-beta"},
        {machine, "SOFTWARE\\Microsoft\\JDK\\25.0.0\\hotspot\\MSI", "Path", "C:\\gone25", ""},
        {machine, "SOFTWARE\\BellSoft\\Liberica\\jdk-8", "InstallationPath", "C:\\liberica8", "1.8.0_392"},
        {machine, "", "", "C:\\Program Files\\Java\\jdk-19", "19.0.1"},
    };
    fx.environment.variables["ProgramFiles"] = "C:\\Program Files";
    fx.files.addDirectory("C:\\Program Files\\Java");
    for (const Install& i : installs) {
        if (!i.key.empty()) fx.registry.setString(i.hive, i.key, i.value, i.home);
        if (!i.version.empty()) {
            fx.addRuntime(i.home.back() == '\\' ? i.home.substr(0, i.home.size() - 1) : i.home, i.version);
            fx.files.addDirectory(i.home);
        }
    }
    std::vector<RuntimeCandidate> candidates = modernRuntimeCandidates();
    ASSERT_EQ(candidates.size(), 6u);
    EXPECT_EQ(candidates.back().home, "C:\\Program Files\\Java\\jdk-19");

    // 25 is gone, 21 is a beta: 19 is the newest acceptable one.
    std::string javaExe, home;
    ASSERT_TRUE(searchModernRuntimes(javaExe, home, "1.8", ""));
    EXPECT_EQ(home, "C:\\Program Files\\Java\\jdk-19");
    EXPECT_EQ(fx.processes.probeCommandLines.size(), 2u) << "21 and 19 probed, nothing older";
    EXPECT_EQ(fx.logLinesStartingWith({"installed runtime C:\\gone25"}).size(), 1u);

    // Bounds: only 11 fits below 12.
    ASSERT_TRUE(searchModernRuntimes(javaExe, home, "", "11"));
    EXPECT_EQ(home, "C:\\jdk11");
}

TEST(ModernRuntimes, TheSearchSequenceLetterFindsALocation) {
    RuntimeFixture fx;
    fx.setKey(128, std::string("X;") + modernRuntimesLetter + ";");
    fx.registry.setString(os::Hive::localMachine, "SOFTWARE\\JavaSoft\\JRE\\17", "JavaHome", "C:\\jre17");
    fx.addRuntime("C:\\jre17", "17.0.1");
    fx.files.addDirectory("C:\\jre17");
    std::string javaExe, description;
    EXPECT_EQ(searchJvm(javaExe, description), FoundBy::Location);
    EXPECT_EQ(description, "C:\\jre17");
    EXPECT_EQ(fx.logLinesStartingWith({"Testing location"}),
              (std::vector<std::string>{"Testing location  (type X)", "Testing location  (type M)"}));
}

}  // namespace
}  // namespace qarvo
