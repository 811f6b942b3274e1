// The runtime search of a started launcher under Wine, against runtimes made
// of the stub java.exe and jvm.dll: the order of the sources, the two passes
// over the directory entries, location files and variables, runtimes of
// another machine type, and the message of each way a found runtime fails.
//
// A start that loads a runtime goes on to create the virtual machine; how that
// ends is not this file's concern, so those tests only require that the
// launcher did not end with 83 (no runtime) and read the log.
#include <cstdio>

#include "TestRuntimes.h"

namespace qarvo::wine {
namespace {

// The search's trace in a log: what it tested, in order, without the bounds.
std::vector<std::string> trace(const LoggedStart& start) {
    std::vector<std::string> lines =
        start.linesStartingWith({"Has ", "Testing", "checkJavaExe (", "Search sequence finished"});
    for (std::string& line : lines) line = line.substr(0, line.find(", [out]"));
    return lines;
}

class RuntimeSearch : public RuntimeTest {};

TEST_F(RuntimeSearch, TheSampleSequenceInItsDocumentedOrder) {
    std::string error;
    std::unique_ptr<Prefix> own = Prefix::clone("sample-sequence", error);  // it writes HKLM and HKCU
    ASSERT_TRUE(own) << error;
    const fs::path app = launcher({{key::searchSequence, "B.\\jre;EJAVA_HOME;EJDK_HOME;Y;"},
                                   {key::lowestVersion, "1.6"},
                                   {key::installationId, "qarvo-e2e"}});
    writeText(directory() / ".moravelin" / "pref_jre.cfg", win("pref") + "\r\n");
    writeText(directory() / ".moravelin" / "inst_jre.cfg", win("inst") + "\r\n");
    makeRuntime(directory() / "reg", {.output = "java version \"1.5.0_22\"\r\n"});
    const std::string javaSoft = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
    const int view = launcherArchitecture().registryView;  // where the launcher reads HKLM
    ASSERT_TRUE(own->writeRegistry("HKLM", javaSoft, "CurrentVersion", "REG_SZ", "1.6", view));
    ASSERT_TRUE(own->writeRegistry("HKLM", javaSoft + "\\1.6", "JavaHome", "REG_SZ", win("reg"), view));
    const std::string installations = "SOFTWARE\\tarnwell\\moravelin\\installations";
    ASSERT_TRUE(own->writeRegistry("HKCU", installations, "qarvo-e2e", "REG_SZ", win("prevu")));
    ASSERT_TRUE(own->writeRegistry("HKLM", installations, "qarvo-e2e", "REG_SZ", win("prevm"), view));

    LoggedStart start = startLogged(*own, app,
                                    {{"JAVA_HOME", win("javahome")}, {"JDK_HOME", win("jdkhome")},
                                     {"QARVO_JAVA_HOME", win("q")}, {"MORAVELIN_JAVA_HOME", win("m")}});
    EXPECT_EQ(start.result.exitCode, 83);
    EXPECT_EQ(start.result.standardError.rfind(messageWithLog(noRuntimeMessage()), 0), 0u)
        << start.result.standardError;
    EXPECT_EQ(trace(start), (std::vector<std::string>{
                                "Has preferred location " + win("pref"),
                                "checkJavaExe (" + normal("pref") + "\\bin\\java.exe",
                                "Testing location .\\jre (type B)",
                                "checkJavaExe (" + normal("jre") + "\\bin\\java.exe",
                                "Testing location JAVA_HOME (type E)",
                                "checkJavaExe (" + win("javahome") + "\\bin\\java.exe",
                                "Testing location JDK_HOME (type E)",
                                "checkJavaExe (" + win("jdkhome") + "\\bin\\java.exe",
                                "Testing location  (type Y)",
                                "checkJavaExe (" + win("reg") + "\\bin\\java.exe",  // its CurrentVersion
                                "checkJavaExe (" + win("reg") + "\\bin\\java.exe",  // the newest registered
                                "Has installer location " + win("inst"),
                                "checkJavaExe (" + normal("inst") + "\\bin\\java.exe",
                                "Testing relative location .\\jre",
                                "checkJavaExe (" + win("prevu") + "\\jre\\bin\\java.exe",
                                "checkJavaExe (" + win("prevm") + "\\jre\\bin\\java.exe",
                                "Search sequence finished",
                                "checkJavaExe (" + win("q") + "\\bin\\java.exe",
                                "checkJavaExe (" + win("m") + "\\bin\\java.exe",
                            }));
    EXPECT_TRUE(start.hasLine("got version from execution 1.5.0_22"));
    ASSERT_FALSE(start.log.empty());
    EXPECT_EQ(start.log.back(), "ERROR: No JVM found");
}

TEST_F(RuntimeSearch, AnOldShippedRuntimeIsRejectedFirstAndAcceptedByTheSecondPass) {
    const fs::path app = launcher({{key::searchSequence, "B.\\jre;EJAVA_HOME"}, {key::lowestVersion, "1.8"}});
    makeRuntime(directory() / "jre", {.output = "java version \"1.6.0_45\"\r\n"});
    LoggedStart start = startLogged(prefix(), app);
    EXPECT_NE(start.result.exitCode, 83) << start.result.standardError;
    const std::string javaExe = normal("jre") + "\\bin\\java.exe";
    EXPECT_EQ(start.linesStartingWith({"checkJavaExe returning", "Testing relative", javaExe, "Trying to load",
                                       "Loading of"}),
              (std::vector<std::string>{"checkJavaExe returning 0", "Testing relative location .\\jre",
                                        javaExe + " exists", "Trying to load JVM-DLL from " + javaExe,
                                        "Loading of JVM-DLL successful"}));
}

TEST_F(RuntimeSearch, AVariableWithForwardSlashesAndARuntimeThatPicksUpOptions) {
    const fs::path app = launcher({{key::searchSequence, "EMY_JAVA"}, {key::lowestVersion, "17"}});
    makeRuntime(directory() / "rt", {.output = "Picked up JAVA_TOOL_OPTIONS: -Dx=\"java version \\\"1\\\"\"\r\n"
                                               "openjdk version \"17.0.15\" 2025-04-15\r\n"});
    std::string slashed = win("rt");
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    LoggedStart start = startLogged(prefix(), app, {{"MY_JAVA", slashed}});
    EXPECT_NE(start.result.exitCode, 83) << start.result.standardError;
    EXPECT_TRUE(start.hasLine("got version from execution 17.0.15"));
    EXPECT_TRUE(start.hasLine("Trying to load JVM-DLL from " + normal("rt") + "\\bin\\java.exe"));
    EXPECT_TRUE(start.hasLine("Loading of JVM-DLL successful"));
}

TEST_F(RuntimeSearch, APreferredLocationFileWithCrLf) {
    const fs::path app = launcher({{key::searchSequence, ""}, {key::applicationDirectory, "."}});
    makeRuntime(directory() / "chosen");
    writeText(directory() / ".moravelin" / "pref_jre.cfg", win("chosen") + "\r\nignored\r\n");
    LoggedStart start = startLogged(prefix(), app);
    EXPECT_NE(start.result.exitCode, 83) << start.result.standardError;
    EXPECT_EQ(start.linesStartingWith({"Has preferred", "Using preferred", "Loading of"}),
              (std::vector<std::string>{"Has preferred location " + win("chosen"), "Using preferred location",
                                        "Loading of JVM-DLL successful"}));
}

TEST_F(RuntimeSearch, RuntimesOfAnotherMachineTypeArePassedOverInBothPasses) {
    makeRuntime(directory() / "other", {.otherArchitecture = true});
    makeRuntime(directory() / "jre");
    char passedOver[200];
    std::snprintf(passedOver, sizeof passedOver, "machine type 0x%04x of %s\\bin\\java.exe is not the launcher's 0x%04x",
                  launcherArchitecture().otherMachine, normal("other").c_str(), launcherArchitecture().machine);

    LoggedStart found = startLogged(prefix(), launcher({{key::searchSequence, "Bother;Bjre"}}, "both"));
    EXPECT_NE(found.result.exitCode, 83) << found.result.standardError;
    EXPECT_TRUE(found.hasLine(passedOver));
    EXPECT_TRUE(found.hasLine("Trying to load JVM-DLL from " + normal("jre") + "\\bin\\java.exe"));

    LoggedStart alone = startLogged(prefix(), launcher({{key::searchSequence, "Bother"}}, "alone"));
    EXPECT_EQ(alone.result.exitCode, 83);
    EXPECT_EQ(alone.result.standardError.rfind(messageWithLog(noRuntimeMessage()), 0), 0u)
        << "not the message of a runtime that failed to load: " << alone.result.standardError;
    EXPECT_EQ(alone.linesStartingWith({"machine type"}), (std::vector<std::string>{passedOver, passedOver}));
    EXPECT_EQ(stubRuns(directory() / "other"), 0u) << "a rejected executable is never run";
}

TEST_F(RuntimeSearch, OneMessagePerFailureAndExitCode83) {
    std::string error;
    std::unique_ptr<Prefix> own = Prefix::clone("messages", error);  // the registry case writes HKLM
    ASSERT_TRUE(own) << error;
    makeRuntime(directory() / "broken", {.jvmType = ""});
    const std::string javaSoft = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
    const int view = launcherArchitecture().registryView;  // where the launcher reads HKLM
    ASSERT_TRUE(own->writeRegistry("HKLM", javaSoft, "CurrentVersion", "REG_SZ", "17", view));
    ASSERT_TRUE(own->writeRegistry("HKLM", javaSoft + "\\17", "JavaHome", "REG_SZ", win("broken"), view));
    struct Case {
        const char* name;
        const char* sequence;
        std::string message;
    } cases[] = {
        {"search path", "S", noRuntimeMessage()},
        {"variable", "EBROKEN_JAVA", withArgument(variableText, "BROKEN_JAVA")},
        {"location", "Bbroken", withArgument(locationText, "broken")},
        {"registry", "Y", vmNotStartedText},
    };
    for (const Case& c : cases) {
        RunRequest request;
        request.program = launcher({{key::searchSequence, c.sequence}}, c.name);
        request.environment = {{"BROKEN_JAVA", win("broken")}, {"WINEPATH", win("broken") + "\\bin"}};
        request.unsetEnvironment = {"QARVO_LOG", "MORAVELIN_LOG"};
        RunResult r = own->run(request);
        EXPECT_EQ(r.exitCode, 83) << c.name;
        EXPECT_EQ(r.standardError, quietMessage(c.message)) << c.name;
    }
}

}  // namespace
}  // namespace qarvo::wine
