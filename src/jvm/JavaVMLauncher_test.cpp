#include "jvm/JavaVMLauncher.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "config/Configuration.h"
#include "jvm/JvmEntry.h"
#include "jvm/testing/FakeJvm.h"
#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::FakeJvm;
using testing::TestSystem;

class JavaVMLauncher : public ::testing::Test {
protected:
    JavaVMLauncher() {
        system.environment.variables = {{"PATH", "C:\\jre\\bin"}, {"MANPATH", "m"}};
        system.setKind("e");
        system.enableLog();
    }
    std::size_t logIndex(const std::string& line) {
        auto lines = system.logLines();
        return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
    }
    bool logged(const std::string& line) { return logIndex(line) < system.logLines().size(); }

    TestSystem system;
    FakeJvm jvm;
    const LauncherProcess process{7, 437};
};

TEST_F(JavaVMLauncher, CompleteOptionOrder) {
    auto& values = configurationMaps().stringValues;
    values[123] = "-Xmx256m \"-Dkey=a b\"";
    values[125] = "1";
    values[121] = "A0lib\\app.jar";
    system.files.addFile("C:\\app\\run.vmoptions", "-Dfrom.file=1\n-include-options ..\\shared\\more.vmoptions\n-Dafter=1\n");
    system.files.addFile("C:\\shared\\more.vmoptions", "-Dincluded=1\n-include-options deeper.vmoptions\n");
    system.files.addFile("C:\\shared\\deeper.vmoptions", "-Ddeeper=1\n");
    ArgumentList arguments = {u"C:\\app\\run.exe", u"-J-Xss2m", u"doc.txt"};
    ASSERT_TRUE(launchJavaVM(arguments, true, process));
    const VmOptionList expected = {
        "-Dqarvo.moduleName=C:\\app\\run.exe", "-Dsun.java.command=C:\\app\\run.exe", "-Dqarvo.tempDir=",
        "-Dqarvo.unextractedPosition=0", "-Djava.library.path=C:\\jre\\bin",
        "-Xmx256m", "-Dkey=a b", "-Xss2m",
        "-Dfrom.file=1", "-Dincluded=1", "-Ddeeper=1", "-Dafter=1",
        "-Djava.class.path=C:\\app\\lib\\app.jar;"};
    EXPECT_EQ(jvm.options, expected);
    EXPECT_EQ(jvm.version, JNI_VERSION_1_2);
    EXPECT_EQ(jvm.ignoreUnrecognized, JNI_TRUE);
    EXPECT_FALSE(jvm.extraInfoGiven);
    EXPECT_EQ(jvm.mainArguments, (std::vector<std::u16string>{u"false", u"", u"", u"", u"false", u"C:\\app\\run.exe", u"doc.txt"}));
    // Every option is logged before the creation, so that a failed one can be diagnosed.
    EXPECT_LT(logIndex("vmoption count 13"), logIndex("vmoption 0: -Dqarvo.moduleName=C:\\app\\run.exe"));
    EXPECT_LT(logIndex("vmoption 12: -Djava.class.path=C:\\app\\lib\\app.jar;"), logIndex("Creating JVM"));
    EXPECT_LT(logIndex("Creating JVM"), logIndex("JVM created"));
}

TEST_F(JavaVMLauncher, Outcomes) {
    // Without DestroyJavaVM either way: not asked for, or main threw.
    struct Case {
        const char* name;
        bool mainThrows;
        bool destroyAfterMain;
        bool result;
        const char* lastLine;
    } cases[] = {
        {"not destroyed when not asked", false, false, true, "launch done"},
        {"main throws: the machine is left as it is", true, true, false, "ERROR: could not call main"},
    };
    for (const Case& c : cases) {
        FakeJvm own;
        own.java.mainThrows = c.mainThrows;
        ArgumentList arguments = {u"run.exe"};
        EXPECT_EQ(launchJavaVM(arguments, c.destroyAfterMain, process), c.result) << c.name;
        EXPECT_TRUE(own.called("CallStaticVoidMethod main")) << c.name;
        EXPECT_FALSE(own.called("DestroyJavaVM")) << c.name;
        EXPECT_EQ(system.logLines().back(), c.lastLine) << c.name;
    }
}

TEST_F(JavaVMLauncher, NoRuntimeLibraryNoMachine) {
    setCreateJavaVMEntry(nullptr);
    ArgumentList arguments = {u"run.exe"};
    EXPECT_FALSE(launchJavaVM(arguments, true, process));
    EXPECT_TRUE(jvm.calls.empty());
    EXPECT_TRUE(logged("ERROR: could not initialize JVM"));
}

}  // namespace
}  // namespace qarvo
