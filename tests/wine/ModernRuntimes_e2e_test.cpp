// The search for runtimes installed the way today's installers install them
// (search-sequence letter M) of a started launcher under Wine: installs
// registered in the registry view of the launcher's own architecture and of
// the other one, per user, and as directories below %ProgramFiles%, each a
// runtime made of the stub doubles on disk.
//
// Every test writes HKLM or Program Files: each has a prefix of its own.
#include <cstdio>

#include "TestRuntimes.h"

namespace qarvo::wine {
namespace {

// One install. A registered one: `value` of `key` in `hive` names the home,
// directory()/`home`. One below Program Files (`hive` null): `key` is its
// directory there.
struct Install {
    const char* hive;
    std::string key;
    const char* value = nullptr;
    const char* home = nullptr;
    bool otherSide = false;  // the other architecture's view, or its Program Files
    TestRuntime runtime = {};
};

class ModernRuntimes : public OwnPrefixTest {
protected:
    ModernRuntimes() : OwnPrefixTest("modern") {}
    const Prefix& where() const { return *own_; }

    // The Windows form of the home as the search reads it.
    std::string homeOf(const Install& install) const {
        if (install.hive) return win(install.home);
        const LauncherArchitecture& arch = launcherArchitecture();
        return std::string(install.otherSide ? arch.otherProgramFiles : arch.programFiles) + "\\" + install.key;
    }
    std::filesystem::path linuxHome(const Install& install) const { return where().linuxPath(homeOf(install)); }

    // Lays out the runtime and registers it.
    void install(const Install& install) const {
        makeRuntime(linuxHome(install), install.runtime);
        if (!install.hive) return;
        const LauncherArchitecture& arch = launcherArchitecture();
        ASSERT_TRUE(where().writeRegistry(install.hive, install.key, install.value, "REG_SZ", homeOf(install),
                                          install.otherSide ? arch.otherRegistryView : arch.registryView))
            << install.key;
    }

    // The installed runtimes a start tested, in order, as "<home> (version <v>)".
    static std::vector<std::string> tested(const LoggedStart& start) {
        std::vector<std::string> homes;
        for (const std::string& line : start.linesStartingWith({"Testing installed runtime "})) {
            homes.push_back(line.substr(std::string("Testing installed runtime ").size()));
        }
        return homes;
    }

    // The runtime a start loaded, from its log; empty when none.
    static std::string loadedFrom(const LoggedStart& start) {
        if (!start.hasLine("Loading of JVM-DLL successful")) return {};
        std::vector<std::string> lines = start.linesStartingWith({"Trying to load JVM-DLL from "});
        return lines.empty() ? std::string() : lines.back().substr(28);
    }

private:
};

std::string javaExeOf(const std::string& home) { return lowerCase(home) + "\\bin\\java.exe"; }

TEST_F(ModernRuntimes, EveryLayoutIsACandidateNewestFirst) {
    // Newest first, as the search must visit them, each with the version its
    // name gives.
    const std::pair<Install, const char*> layouts[] = {
        {{nullptr, "BellSoft\\LibericaJDK-32"}, "32"},
        {{nullptr, "Amazon Corretto\\jdk31.0.1_9"}, "31.0.1_9"},
        {{nullptr, "Microsoft\\jdk-30.0.1-hotspot"}, "30.0.1"},
        {{nullptr, "Zulu\\zulu-29"}, "29"},
        {{nullptr, "Eclipse Adoptium\\jdk-28.0.1+12-hotspot"}, "28.0.1+12"},
        {{nullptr, "Java\\jdk-27"}, "27"},
        {{"HKCU", "SOFTWARE\\Eclipse Adoptium\\JDK\\26.0.1.12\\hotspot\\MSI", "Path", "user"}, "26.0.1.12"},
        {{"HKLM", "SOFTWARE\\Microsoft\\JDK\\25.0.1.8\\hotspot\\MSI", "Path", "microsoft"}, "25.0.1.8"},
        {{"HKLM", "SOFTWARE\\Semeru\\JDK\\24.0.1.9\\openj9\\MSI", "Path", "semeru-jdk"}, "24.0.1.9"},
        {{"HKLM", "SOFTWARE\\Azul Systems\\Zulu\\zulu-23", "InstallationPath", "zulu"}, "23"},
        {{"HKLM", "SOFTWARE\\Azul Systems\\Zulu\\zulu-22-jre", "InstallationPath", "zulu-jre"}, "22"},
        {{"HKLM", "SOFTWARE\\JavaSoft\\JDK\\21.0.2", "JavaHome", "javasoft-jdk"}, "21.0.2"},
        {{"HKLM", "SOFTWARE\\Azul Systems\\Zulu 32-bit\\zulu-20", "InstallationPath", "zulu32"}, "20"},
        {{"HKLM", "SOFTWARE\\BellSoft\\Liberica\\jdk-19", "InstallationPath", "liberica-jdk"}, "19"},
        {{"HKLM", "SOFTWARE\\BellSoft\\Liberica\\jre-18", "InstallationPath", "liberica-jre"}, "18"},
        {{"HKLM", "SOFTWARE\\Eclipse Adoptium\\JDK\\17.0.10.7\\hotspot\\MSI", "Path", "adoptium-jdk"}, "17.0.10.7"},
        {{"HKLM", "SOFTWARE\\AdoptOpenJDK\\JDK\\16.0.2.7\\hotspot\\MSI", "Path", "adoptopenjdk-jdk"}, "16.0.2.7"},
        {{"HKLM", "SOFTWARE\\AdoptOpenJDK\\JRE\\15.0.2.7\\hotspot\\MSI", "Path", "adoptopenjdk-jre"}, "15.0.2.7"},
        {{"HKLM", "SOFTWARE\\Eclipse Foundation\\JDK\\14.0.2.12\\hotspot\\MSI", "Path", "foundation-jdk"},
         "14.0.2.12"},
        {{"HKLM", "SOFTWARE\\Eclipse Foundation\\JRE\\13.0.2.8\\hotspot\\MSI", "Path", "foundation-jre"},
         "13.0.2.8"},
        {{"HKLM", "SOFTWARE\\Eclipse Adoptium\\JRE\\11.0.22.7\\hotspot\\MSI", "Path", "adoptium-jre"}, "11.0.22.7"},
        {{"HKLM", "SOFTWARE\\Semeru\\JRE\\10.0.2.13\\openj9\\MSI", "Path", "semeru-jre"}, "10.0.2.13"},
        {{"HKLM", "SOFTWARE\\JavaSoft\\JRE\\9.0.4", "JavaHome", "javasoft-jre"}, "9.0.4"},
    };
    std::vector<std::string> expected;
    for (const auto& [layout, version] : layouts) {
        install(layout);
        expected.push_back(homeOf(layout) + " (version " + version + ")");
    }
    // None is acceptable (each runs "-version" and says 17.0.15), so each is tested.
    LoggedStart start = startLogged(where(), launcher({{key::searchSequence, "M"}, {key::lowestVersion, "99"}}));
    EXPECT_EQ(start.result.exitCode, 83);
    EXPECT_EQ(start.result.standardError.rfind(messageWithLog(noRuntimeMessage()), 0), 0u)
        << start.result.standardError;
    EXPECT_TRUE(start.hasLine("Testing location  (type M)"));
    EXPECT_EQ(tested(start), expected);
    for (const auto& [layout, version] : layouts) EXPECT_EQ(stubRuns(linuxHome(layout)), 1u) << homeOf(layout);
}

TEST_F(ModernRuntimes, EachLauncherSeesItsOwnViewAndProgramFilesAndLoadsItsOwnMachineType) {
    const TestRuntime other = {.otherArchitecture = true};
    const Install installs[] = {
        {"HKLM", "SOFTWARE\\JavaSoft\\JDK\\11", "JavaHome", "own"},
        // Newer, but where installers of the other architecture register.
        {"HKLM", "SOFTWARE\\JavaSoft\\JDK\\21", "JavaHome", "other-view", true, other},
        {nullptr, "Java\\jdk-22", nullptr, nullptr, true, other},
        // HKCU has one view: a per-user install of the other architecture is
        // seen, and passed over by its machine type without being run.
        {"HKCU", "SOFTWARE\\Eclipse Adoptium\\JDK\\17.0.10.7\\hotspot\\MSI", "Path", "user-other", false, other},
    };
    for (const Install& i : installs) install(i);
    LoggedStart start = startLogged(where(), launcher({{key::searchSequence, "M"}}));
    EXPECT_NE(start.result.exitCode, 83) << start.result.standardError;
    EXPECT_EQ(tested(start), (std::vector<std::string>{win("user-other") + " (version 17.0.10.7)",
                                                       win("own") + " (version 11)"}));
    char passedOver[300];
    std::snprintf(passedOver, sizeof passedOver, "machine type 0x%04x of %s is not the launcher's 0x%04x",
                  launcherArchitecture().otherMachine, javaExeOf(win("user-other")).c_str(),
                  launcherArchitecture().machine);
    EXPECT_TRUE(start.hasLine(passedOver));
    EXPECT_EQ(loadedFrom(start), javaExeOf(win("own")));
    for (const Install& i : installs) EXPECT_EQ(stubRuns(linuxHome(i)), &i == &installs[0] ? 1u : 0u) << homeOf(i);
}

TEST_F(ModernRuntimes, TheNewestAcceptableWinsAStaleKeyIsSkippedAndAFailedLoadNamesTheHome) {
    // A block without the letter: its search before and after installs appear.
    const fs::path old = launcher({{key::searchSequence, "B.\\jre;EJAVA_HOME;EJDK_HOME;Y;"}}, "old");
    auto search = [](const LoggedStart& start) {
        std::vector<std::string> lines = start.linesStartingWith(
            {"Has ", "Testing", "checkJavaExe", "Search sequence finished", "installed runtime", "ERROR: "});
        const std::string& message = start.result.standardError;
        lines.push_back("exit " + std::to_string(start.result.exitCode) + ": " + message.substr(0, message.find("Log: ")));
        return lines;
    };
    const std::vector<std::string> before = search(startLogged(where(), old));

    const Install installs[] = {
        {"HKLM", "SOFTWARE\\Eclipse Adoptium\\JDK\\11.0.22.7\\hotspot\\MSI", "Path", "adoptium", false,
         {.output = "openjdk version \"11.0.22\" 2024-01-16\r\n"}},
        {"HKLM", "SOFTWARE\\Microsoft\\JDK\\17.0.10.7\\hotspot\\MSI", "Path", "microsoft", false,
         {.output = "openjdk version \"17.0.10\" 2024-01-16 LTS\r\n"}},
        {nullptr, "Zulu\\zulu-21", nullptr, nullptr, false, {.output = "openjdk version \"21.0.2\" 2024-01-16 LTS\r\n"}},
    };
    for (const Install& i : installs) install(i);
    const std::string adoptium = homeOf(installs[0]), microsoft = homeOf(installs[1]), zulu = homeOf(installs[2]);
    // One of them also under the JavaSoft name of Java 9 and later, which the
    // entry Y does not read (and M probes once).
    ASSERT_TRUE(where().writeRegistry("HKLM", "SOFTWARE\\JavaSoft\\JDK\\17.0.10.7", "JavaHome", "REG_SZ", microsoft,
                                      launcherArchitecture().registryView));
    EXPECT_EQ(search(startLogged(where(), old)), before) << "a block without the letter searches as before";
    for (const Install& i : installs) EXPECT_EQ(stubRuns(linuxHome(i)), 0u) << homeOf(i);

    // Cold: the newest is probed, and only it.
    LoggedStart cold = startLogged(where(), launcher({{key::searchSequence, "M"}}, "any"));
    EXPECT_EQ(loadedFrom(cold), javaExeOf(zulu));
    EXPECT_EQ(tested(cold), std::vector<std::string>{zulu + " (version 21)"});
    for (const Install& i : installs) EXPECT_EQ(stubRuns(linuxHome(i)), &i == &installs[2] ? 1u : 0u) << homeOf(i);

    // With a highest version: the newest that fits (the one above it known from the cache).
    const fs::path upTo17 = launcher({{key::searchSequence, "M"}, {key::highestVersion, "17"}}, "upto17");
    LoggedStart bounded = startLogged(where(), upTo17);
    EXPECT_EQ(loadedFrom(bounded), javaExeOf(microsoft));
    EXPECT_TRUE(bounded.hasLine("got version from registry 21.0.2"));
    EXPECT_EQ(stubRuns(linuxHome(installs[2])), 1u);

    // Its directory removed, its keys stay: skipped without a probe.
    fs::remove_all(linuxHome(installs[1]));
    LoggedStart stale = startLogged(where(), upTo17);
    EXPECT_TRUE(stale.hasLine("installed runtime " + microsoft + " (version 17.0.10.7) is gone"));
    EXPECT_EQ(loadedFrom(stale), javaExeOf(adoptium));

    // Found, then not loadable: the location message names the home.
    fs::remove_all(linuxHome(installs[2]) / "bin" / "client");
    RunRequest request;
    request.program = launcher({{key::searchSequence, "M"}}, "any");
    request.unsetEnvironment = {"QARVO_LOG", "MORAVELIN_LOG"};
    const RunResult broken = where().run(request);
    EXPECT_EQ(broken.exitCode, 83);
    EXPECT_EQ(broken.standardError, quietMessage(withArgument(locationText, zulu)));
}

}  // namespace
}  // namespace qarvo::wine
