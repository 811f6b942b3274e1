// Loading the runtime found, and the sources whose state lives in the
// registry, of a started launcher under Wine: the jvm.dll types and the
// development kit's fallback, PATH after a failed load, the registry's tie
// rules, and the cache of probed versions.
//
// A start that loads a runtime goes on to create the virtual machine; these
// tests only require that it did not end with 83 (no runtime) and read the log.
#include <chrono>
#include <cstdio>

#include "TestRuntimes.h"

namespace qarvo::wine {
namespace {

const std::string javaSoftKey = "SOFTWARE\\JavaSoft";
const std::string locatedKey = "SOFTWARE\\tarnwell\\qarvo\\locatedjvms";
const std::string cacheKey = "SOFTWARE\\tarnwell\\qarvo\\jvms";

class RuntimeLoading : public RuntimeTest {
protected:
    // The runtime a start loaded, from its log; empty when none.
    static std::string loadedFrom(const LoggedStart& start) {
        if (!start.hasLine("Loading of JVM-DLL successful")) return {};
        std::vector<std::string> lines = start.linesStartingWith({"Trying to load JVM-DLL from "});
        return lines.empty() ? std::string() : lines.back().substr(28);
    }
};

TEST_F(RuntimeLoading, ThePreferredTypeFirstThenTheFixedList) {
    makeRuntime(directory() / "rt", {.jvmType = "server"});
    LoggedStart start =
        startLogged(prefix(), launcher({{key::searchSequence, "Brt"}, {key::preferredVmType, "client"}}));
    EXPECT_NE(start.result.exitCode, 83) << start.result.standardError;
    const std::string bin = normal("rt") + "\\bin\\";
    EXPECT_EQ(start.linesStartingWith({"Trying " + bin, "Loading of"}),
              (std::vector<std::string>{"Trying " + bin + "client\\jvm.dll (exists 0)",
                                        "Trying " + bin + "hotspot\\jvm.dll (exists 0)",
                                        "Trying " + bin + "client\\jvm.dll (exists 0)",
                                        "Trying " + bin + "server\\jvm.dll (exists 1)",
                                        "Loading of JVM-DLL successful"}));
}

TEST_F(RuntimeLoading, AKitLoadsTheLibraryOfItsOwnRuntime) {
    makeRuntime(directory() / "jdk", {.jvmType = ""});
    fs::create_directories(directory() / "jdk" / "jre" / "bin" / "client");
    fs::copy_file(doublesDirectory() / "jvm.dll", directory() / "jdk" / "jre" / "bin" / "client" / "jvm.dll");
    LoggedStart start = startLogged(prefix(), launcher({{key::searchSequence, "Bjdk"}}));
    EXPECT_NE(start.result.exitCode, 83) << start.result.standardError;
    EXPECT_EQ(loadedFrom(start), normal("jdk") + "\\bin\\java.exe");
    EXPECT_TRUE(start.hasLine("Trying " + normal("jdk") + "\\bin\\..\\jre\\bin\\client\\jvm.dll (exists 1)"));
}

TEST_F(RuntimeLoading, PathIsRestoredExactlyAfterAFailedLoad) {
    makeRuntime(directory() / "rt", {.jvmType = ""});
    LoggedStart start = startLogged(prefix(), launcher({{key::searchSequence, "Brt"}}));
    EXPECT_EQ(start.result.exitCode, 83);
    EXPECT_EQ(start.result.standardError.rfind(messageWithLog(withArgument(locationText, "rt")), 0), 0u)
        << start.result.standardError;
    RunResult env = prefix().runWinTool({"env", "PATH"});
    ASSERT_EQ(env.exitCode, 0) << env.standardError;
    const std::string path = env.standardOutput.substr(0, env.standardOutput.find_first_of("\r\n"));
    const std::string bin = normal("rt") + "\\bin";
    EXPECT_EQ(start.linesStartingWith({"Setting PATH"}),
              (std::vector<std::string>{"Setting PATH (native libs) " + path, "Setting PATH " + path + ";" + bin,
                                        "Setting PATH " + path,
                                        "Setting PATH " + path + ";" + bin + "\\..\\jre\\bin",
                                        "Setting PATH " + path}));
}

TEST_F(RuntimeLoading, RegistryTieRules) {
    std::string error;
    std::unique_ptr<Prefix> own = Prefix::clone("registry-ties", error);
    ASSERT_TRUE(own) << error;
    for (const char* home : {"jre", "jdk", "user", "machine"}) makeRuntime(directory() / home);
    makeRuntime(directory() / "u20", {.output = "java version \"1.6.0_20\"\r\n"});
    makeRuntime(directory() / "m3", {.output = "java version \"1.6.0_3\"\r\n"});
    const int view = launcherArchitecture().registryView;  // where the launcher reads HKLM
    auto located = [&](const char* hive, const char* home) {
        std::string name = win(home) + "\\bin\\java.exe";
        std::replace(name.begin(), name.end(), '\\', '/');
        return own->writeRegistry(hive, locatedKey + "\\" + name, "by", "REG_SZ", "e2e", view);
    };
    auto registered = [&](const char* kind, const char* home) {
        const std::string key = javaSoftKey + "\\" + kind;
        return own->writeRegistry("HKLM", key, "CurrentVersion", "REG_SZ", "1.8", view) &&
               own->writeRegistry("HKLM", key + "\\1.8", "JavaHome", "REG_SZ", win(home), view);
    };
    struct Case {
        const char* name;
        std::function<bool()> seed;
        const char* winner;
    } cases[] = {
        {"kit and runtime of one version: the runtime",
         [&] { return registered("Java Development Kit", "jdk") && registered("Java Runtime Environment", "jre"); },
         "jre"},
        {"registered and located of one version: the located",
         [&] { return registered("Java Runtime Environment", "jre") && located("HKCU", "user"); }, "user"},
        {"user and machine of one version: the machine's",
         [&] { return located("HKCU", "user") && located("HKLM", "machine"); }, "machine"},
        {"1.6.0_20 is newer than 1.6.0_3", [&] { return located("HKCU", "u20") && located("HKLM", "m3"); }, "u20"},
    };
    const fs::path app = launcher({{key::searchSequence, "Y"}});
    for (const Case& c : cases) {
        for (const char* hive : {"HKCU", "HKLM"}) ASSERT_TRUE(own->deleteRegistryTree(hive, locatedKey, view));
        ASSERT_TRUE(own->deleteRegistryTree("HKLM", javaSoftKey, view));
        ASSERT_TRUE(c.seed()) << c.name;
        LoggedStart start = startLogged(*own, app);
        EXPECT_EQ(loadedFrom(start), normal(c.winner) + "\\bin\\java.exe") << c.name;
    }
}

// A Windows FILETIME of a file's last-write time, as wintool prints REG_BINARY.
std::string fileTimeHex(const fs::path& path) {
    using namespace std::chrono;
    const auto since1970 = duration_cast<nanoseconds>(
        file_clock::to_sys(fs::last_write_time(path)).time_since_epoch());
    const std::uint64_t ticks = static_cast<std::uint64_t>(since1970.count() / 100) + 116444736000000000ull;
    std::string hex;
    for (int i = 0; i < 8; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>((ticks >> (8 * i)) & 0xFF));
        hex += pair;
    }
    return hex;
}

TEST_F(RuntimeLoading, TheCacheSparesTheRunUntilTheExecutableChanges) {
    std::string error;
    std::unique_ptr<Prefix> own = Prefix::clone("probe-cache", error);
    ASSERT_TRUE(own) << error;
    ASSERT_TRUE(own->deleteRegistryTree("HKCU", cacheKey));
    makeRuntime(directory() / "rt");
    const fs::path app = launcher({{key::searchSequence, "Brt"}});
    // The cache key of a runtime's java.exe: its path with "/" for "\\".
    auto entryOf = [this](const char* home) {
        std::string entry = cacheKey + "\\" + normal(home) + "\\bin\\java.exe";
        std::replace(entry.begin() + cacheKey.size() + 1, entry.end(), '\\', '/');
        return entry;
    };
    const std::string entry = entryOf("rt");

    LoggedStart first = startLogged(*own, app);
    EXPECT_NE(first.result.exitCode, 83) << first.result.standardError;
    EXPECT_EQ(stubRuns(directory() / "rt"), 1u);
    EXPECT_TRUE(first.hasLine("got version from execution 17.0.15"));
    EXPECT_EQ(own->readRegistry("HKCU", entry, "Version"), "REG_SZ 17.0.15");
    EXPECT_EQ(own->readRegistry("HKCU", entry, "LastWriteTime"),
              "REG_BINARY " + fileTimeHex(directory() / "rt" / "bin" / "java.exe"));

    LoggedStart second = startLogged(*own, app);
    EXPECT_EQ(stubRuns(directory() / "rt"), 1u) << "a warm start runs no java.exe";
    EXPECT_TRUE(second.hasLine("got version from registry 17.0.15"));
    EXPECT_EQ(loadedFrom(second), normal("rt") + "\\bin\\java.exe");

    const fs::path exe = directory() / "rt" / "bin" / "java.exe";
    fs::last_write_time(exe, fs::last_write_time(exe) + std::chrono::seconds(2));
    startLogged(*own, app);
    EXPECT_EQ(stubRuns(directory() / "rt"), 2u) << "a changed executable is probed again";

    // A runtime that fails its "-version" run is recorded as 1.0.0 and not run again.
    makeRuntime(directory() / "bad", {.exitCode = 1});
    const fs::path badApp = launcher({{key::searchSequence, "EBAD_JAVA"}, {key::lowestVersion, "1.6"}}, "bad");
    const std::string badEntry = entryOf("bad");
    for (int run = 0; run < 2; ++run) {
        LoggedStart start = startLogged(*own, badApp, {{"BAD_JAVA", win("bad")}});
        EXPECT_EQ(start.result.exitCode, 83);
    }
    EXPECT_EQ(stubRuns(directory() / "bad"), 1u);
    EXPECT_EQ(own->readRegistry("HKCU", badEntry, "Version"), "REG_SZ 1.0.0");
    EXPECT_EQ(filesStartingWith(own->temporaryDirectory(), "qvo"), std::vector<std::string>{})
        << "every probe's output file is removed";

    // Both launchers share the cache: an entry that the other one left for an
    // executable of its own machine type is never used by this one.
    makeRuntime(directory() / "other", {.otherArchitecture = true});
    const std::string otherEntry = entryOf("other");
    ASSERT_TRUE(own->writeRegistry("HKCU", otherEntry, "LastWriteTime", "REG_BINARY",
                                   fileTimeHex(directory() / "other" / "bin" / "java.exe")));
    ASSERT_TRUE(own->writeRegistry("HKCU", otherEntry, "Version", "REG_SZ", "17.0.15"));
    LoggedStart other = startLogged(*own, launcher({{key::searchSequence, "Bother"}}, "other"));
    EXPECT_EQ(other.result.exitCode, 83);
    EXPECT_FALSE(other.hasLine("got version from registry 17.0.15"));
    EXPECT_EQ(stubRuns(directory() / "other"), 0u);
}

}  // namespace
}  // namespace qarvo::wine
