#include "jvm/MainInvocation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "config/Configuration.h"
#include "jvm/JavaVMCreation.h"
#include "jvm/testing/FakeJvm.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::FakeJvm;
using testing::TestSystem;
using testing::ProcessExit;

class MainInvocation : public ::testing::Test {
protected:
    MainInvocation() {
        configurationMaps().stringValues = {{1009, "An internal error occurred (error code: {0})"},
                                            {1010, "Couldn't load main class."},
                                            {1011, "Main method not found."}};
    }
    void setKind(const char* kind) { system.setKind(kind); }
    // callMain on a created machine: "true", "false" or the message that ended
    // the process (without the log location).
    std::string call(const ArgumentList& arguments = {u"C:\\app\\run.exe"}) {
        if (!createJavaVM({}, arguments)) return "not created";
        try {
            return callMain(arguments) ? "true" : "false";
        } catch (const ProcessExit& exit) {
            const std::string& text = system.messages.at(0).text;
            return "exit " + std::to_string(exit.code) + ": " + text.substr(0, text.find("\n\nLog: "));
        }
    }
    TestSystem system;
    FakeJvm jvm;
};

TEST_F(MainInvocation, ParameterArrayLayout) {
    system.environment.variables = {{"LOGS", "D:\\logs"}};
    struct Case {
        const char* name;
        std::map<std::int32_t, std::string> keys;
        ArgumentList arguments;
        ArgumentList expected;
    } cases[] = {
        {"nothing configured", {}, {u"run.exe"}, {u"false", u"", u"", u"", u"false", u"run.exe"}},
        {"no launcher argument at all", {}, {}, {u"false", u"", u"", u"", u"false"}},
        {"GUI application with main class and flag 106",
         {{107, "1"}, {122, "com.example.Main"}, {106, "1"}},
         {u"run.exe", u"a b"},
         {u"true", u"com.example.Main", u"", u"", u"true", u"run.exe", u"a b"}},
        {"type 2 is no GUI", {{107, "2"}, {106, "0"}}, {u"x"}, {u"false", u"", u"", u"", u"false", u"x"}},
        {"redirection files",
         {{102, "1"}, {103, "logs\\err.txt"}, {104, "1"}, {105, "${LOGS}\\out.txt"}},
         {u"run.exe"},
         {u"false", u"", u"C:\\app\\logs\\err.txt", u"D:\\logs\\out.txt", u"false", u"run.exe"}},
        {"file names beginning with $ are left to the Java side",
         {{102, "1"}, {103, "${UNDEFINED}\\err.txt"}, {104, "1"}, {105, "$out.txt"}},
         {u"run.exe"},
         {u"false", u"", u"${UNDEFINED}\\err.txt", u"$out.txt", u"false", u"run.exe"}},
        {"file names without their switches", {{103, "err.txt"}, {105, "out.txt"}}, {u"r"}, {u"false", u"", u"", u"", u"false", u"r"}},
        {"an empty file name stays empty", {{102, "1"}, {103, ""}}, {u"r"}, {u"false", u"", u"", u"", u"false", u"r"}},
        {"default arguments before the user's",
         {{124, "-v 'two words' ${LOGS}"}},
         {u"run.exe", u"doc.txt"},
         {u"false", u"", u"", u"", u"false", u"run.exe", u"-v", u"two words", u"D:\\logs", u"doc.txt"}},
        {"key 125 keeps -J arguments from Java",
         {{125, "1"}},
         {u"run.exe", u"-J-Xmx512m", u"foo", u"-j-x", u"-J"},
         {u"false", u"", u"", u"", u"false", u"run.exe", u"foo", u"-j-x"}},
        {"without key 125 -J arguments are Java's",
         {{125, "0"}},
         {u"run.exe", u"-J-Xmx512m", u"foo"},
         {u"false", u"", u"", u"", u"false", u"run.exe", u"-J-Xmx512m", u"foo"}},
        {"element 0 is passed even when it begins with -J", {{125, "1"}}, {u"-Jrun.exe"}, {u"false", u"", u"", u"", u"false", u"-Jrun.exe"}},
    };
    for (const Case& c : cases) {
        configurationMaps().stringValues.clear();
        for (const auto& [key, value] : c.keys) configurationMaps().stringValues[key] = value;
        EXPECT_EQ(buildParameterList(c.arguments), c.expected) << c.name;
    }
}

TEST_F(MainInvocation, LauncherClassFollowsTheKind) {
    // An absent key 2001 gives no kind: the plain launcher's class.
    for (const char* kind : {"", "e", "x"}) {
        setKind(kind);
        EXPECT_STREQ(launcherClassName(), "com/qarvo/runtime/WinLauncher") << kind;
    }
    setKind("i");
    EXPECT_STREQ(launcherClassName(), "com/moravelin/runtime/launcher/WinLauncher");
}

TEST_F(MainInvocation, ArgumentsReachJavaAsUtf16) {
    system.enableLog();
    const ArgumentList arguments = {u"C:\\app\\run.exe", u"caf\u00e9", u"\u65e5\u672c", u"\U0001F600", u""};
    EXPECT_EQ(call(arguments), "true");
    const std::vector<std::u16string> expected = {u"false", u"", u"", u"", u"false", u"C:\\app\\run.exe",
                                                  u"caf\u00e9", u"\u65e5\u672c", u"\U0001F600", u""};
    EXPECT_EQ(jvm.mainArguments, expected);
    EXPECT_TRUE(jvm.called("NewObjectArray 10 java/lang/String"));
    auto lines = system.logLines();
    for (const char* line : {"param count: 10", "param 6: caf\xe9", "param 7: ??", "param 8: ??", "calling main", "main returned"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
}

TEST_F(MainInvocation, ArrayOrStringThatCannotBeMadeIsAnAssertion) {
    jvm.java.noArray = true;
    EXPECT_EQ(call(), "exit 1: Assertion failed: paramArray, file windows\\JavaVMLauncher");
    FakeJvm second;
    second.java.noStrings = true;
    system.messages.clear();
    EXPECT_EQ(call(), "exit 1: Assertion failed: jstr, file windows\\JavaVMLauncher");
    EXPECT_FALSE(second.called("CallStaticVoidMethod main"));
}

TEST_F(MainInvocation, FirstRunHook) {
    configurationMaps().stringValues[10003] = "..\\install";
    const std::string marker = "C:\\install\\.moravelin\\firstrun";
    struct Case {
        const char* name;
        const char* kind;
        bool marker;
        bool result, throws;
        std::set<std::string> missingClasses, missingMethods;
        const char* outcome;
        bool firstRunCalled, mainCalled;
    } cases[] = {
        {"kind e never looks", "e", true, false, false, {}, {}, "true", false, true},
        {"kind i without marker", "i", false, false, false, {}, {}, "true", false, true},
        {"hook says go on", "i", true, true, false, {}, {}, "true", true, true},
        {"hook says stop", "i", true, false, false, {}, {}, "true", true, false},
        {"hook throws", "i", true, true, true, {}, {}, "true", true, false},
        {"no FirstRun class", "i", true, true, false, {"com/moravelin/runtime/launcher/FirstRun"}, {},
         "exit 1: An internal error occurred (error code: 14)", false, false},
        {"no firstRun method", "i", true, true, false, {}, {"firstRun"},
         "exit 1: An internal error occurred (error code: 15)", false, false},
    };
    for (const Case& c : cases) {
        setKind(c.kind);
        system.files.entries.clear();
        system.files.addDirectory("C:\\Temp");
        if (c.marker) system.files.addFile(marker);
        FakeJvm own;
        own.java.firstRunResult = c.result;
        own.java.firstRunThrows = c.throws;
        own.java.missingClasses = c.missingClasses;
        own.java.missingMethods = c.missingMethods;
        system.messages.clear();
        EXPECT_EQ(call(), c.outcome) << c.name;
        EXPECT_EQ(own.called("CallStaticBooleanMethod firstRun"), c.firstRunCalled) << c.name;
        EXPECT_EQ(own.called("CallStaticVoidMethod main"), c.mainCalled) << c.name;
        EXPECT_EQ(own.called("FindClass com/moravelin/runtime/launcher/FirstRun"), c.kind[0] == 'i' && c.marker) << c.name;
        EXPECT_EQ(own.called("ExceptionDescribe"), c.throws) << c.name;
    }
}

}  // namespace
}  // namespace qarvo
