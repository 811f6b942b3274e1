#include "vmargs/VariableExpansion.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "testing/TestSystem.h"
#include "payload/TempDirectories.h"

namespace qarvo {
namespace {

using testing::TestSystem;

class VariableExpansion : public ::testing::Test {
protected:
    VariableExpansion() {
        resetJvmHomeForTesting();
    }
    ~VariableExpansion() override { resetJvmHomeForTesting(); }
    std::string expanded(std::string text) {
        expandVariables(text);
        return text;
    }
    TestSystem system;
};

TEST_F(VariableExpansion, FixedNames) {
    setLauncherTempDirectory("C:\\Temp\\qvo1.tmp_dir");
    setJvmHomeFromExecutable("C:\\jre\\bin\\javaw.exe");
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"${QARVO_EXEDIR}lib\\a.jar", "C:\\app\\lib\\a.jar"},
        {"%QARVO_EXEDIR%\\lib", "C:\\app\\\\lib"},  // the directory already ends in a backslash
        {"%MORAVELIN_EXEDIR%|${MORAVELIN_EXEDIR}|${launcher:sys.launcherDirectory}", "C:\\app\\|C:\\app\\|C:\\app\\"},
        {"%QARVO_TEMPDIR%|${MORAVELIN_TEMPDIR}|${launcher:sys.launcherTempDirectory}",
         "C:\\Temp\\qvo1.tmp_dir|C:\\Temp\\qvo1.tmp_dir|C:\\Temp\\qvo1.tmp_dir"},
        {"a%QARVO_PATHLIST_SEPARATOR%b${launcher:sys.pathlistSeparator}c", "a;b;c"},
        {"${QARVO_JVM_HOME}|%MORAVELIN_JVM_HOME%|${launcher:sys.jvmHome}", "C:\\jre\\bin\\..|C:\\jre\\bin\\..|C:\\jre\\bin\\.."},
        {"${launcher:sys.tempDir}", "C:\\Temp\\"},
        {"${qarvo_exedir} %qarvo_exedir%", "${qarvo_exedir} %qarvo_exedir%"},  // names are case-sensitive
        {"${UNKNOWN} ${launcher:sys.other}", "${UNKNOWN} ${launcher:sys.other}"},
    };
    for (const Case& c : cases) EXPECT_EQ(expanded(c.text), c.expected) << c.text;
}

// The system temporary directory is looked for only for a text that names it
// (the search creates the directory), not for every line of a .vmoptions file.
TEST_F(VariableExpansion, TheSystemTemporaryDirectoryIsSoughtOnlyWhenNamed) {
    const auto searches = [&](const char* text) {
        system.calls.clear();
        expanded(text);
        return system.callsStartingWith({"CreateDirectory C:\\Temp"}).size();
    };
    EXPECT_EQ(searches("-Xmx64m ${QARVO_EXEDIR} %QARVO_TEMPDIR%"), 0u);
    EXPECT_EQ(searches("-Dt=${launcher:sys.tempDir};${launcher:sys.tempDir}"), 1u);
}

TEST_F(VariableExpansion, JvmHomeIsEmptyBeforeARuntimeWasChosen) {
    EXPECT_EQ(expanded("[${launcher:sys.jvmHome}]"), "[]");
    struct Case {
        const char* exe;
        const char* home;
    } cases[] = {
        {"C:\\jre\\bin\\javaw.exe", "C:\\jre\\bin\\.."},
        {"c:\\app\\jre\\bin\\java.exe", "c:\\app\\jre\\bin\\.."},
        {"C:\\jre\\bin\\JAVAW.EXE", "C:\\jre\\bin\\J.."},  // only the exact "javaw.exe" is nine characters
        {"x", ".."},
    };
    for (const Case& c : cases) {
        setJvmHomeFromExecutable(c.exe);
        EXPECT_EQ(jvmHome(), c.home) << c.exe;
    }
}

TEST_F(VariableExpansion, EnvironmentReferences) {
    system.environment.variables = {{"Path", "C:\\bin"}, {"HOME_DIR", "D:\\h"}};
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"${Path}", "C:\\bin"},
        {"${PATH}", "C:\\bin"},  // an upper-case reference matches any case
        {"${path}", "${path}"},
        {"%PATH% %Path%", "%PATH% %Path%"},  // the percent form is for the fixed names only
        {"${HOME_DIR}\\x;${HOME_DIR}", "D:\\h\\x;D:\\h"},
        {"${UNDEFINED}", "${UNDEFINED}"},
    };
    for (const Case& c : cases) EXPECT_EQ(expanded(c.text), c.expected) << c.text;
}

TEST_F(VariableExpansion, ValuesReferringToLaterVariablesAreExpandedByTheLaterStep) {
    // Block order is name order in the fake: A before B.
    system.environment.variables = {{"A", "${B}/a"}, {"B", "b"}};
    EXPECT_EQ(expanded("${A}"), "b/a");
    system.environment.variables = {{"A", "a"}, {"B", "${A}"}};
    EXPECT_EQ(expanded("${B}"), "${A}");  // A's step ran before B inserted it
}

TEST_F(VariableExpansion, EveryOccurrenceIsReplacedAndLogged) {
    system.enableLog();
    EXPECT_EQ(expanded("%QARVO_PATHLIST_SEPARATOR%x%QARVO_PATHLIST_SEPARATOR%y%QARVO_PATHLIST_SEPARATOR%"), ";x;y;");
    std::vector<std::string> lines = system.logLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("expanding %QARVO_PATHLIST_SEPARATOR% to ;", 0) == 0; }),
              3);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "expanding %QARVO_PATHLIST_SEPARATOR% to ; in ;x;y;."),
              lines.end());
}

TEST_F(VariableExpansion, AnInsertedValueIsNotSearchedAgain) {
    std::string text = "ab";
    replaceAll(text, "a", "aa");
    EXPECT_EQ(text, "aab");
}

TEST_F(VariableExpansion, ResultsStayWithinTheCallersBuffer) {
    system.environment.variables = {{"BIG", std::string(5000, 'x')}};
    system.enableLog();
    std::string text = "${BIG}|${BIG}";
    expandVariables(text);
    EXPECT_EQ(text, std::string(5000, 'x') + "|${BIG}");
    EXPECT_LE(text.size(), expandedCapacity);
    std::vector<std::string> lines = system.logLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("ERROR: expanding ${BIG} would make", 0) == 0; }));
    // A self-referencing value is expanded by two passes, the exact and the
    // upper-case pattern (the same here), and neither pass searches what it
    // inserted: one reference becomes two, then four, and the growth stops.
    system.environment.variables = {{"LOOP", "${LOOP}${LOOP}"}};
    std::string loop = "${LOOP}";
    expandVariables(loop);
    EXPECT_EQ(loop, "${LOOP}${LOOP}${LOOP}${LOOP}");
}

}  // namespace
}  // namespace qarvo
