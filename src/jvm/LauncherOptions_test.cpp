#include "jvm/LauncherOptions.h"

#include <gtest/gtest.h>

#include "base/LanguageRestart.h"
#include "config/Configuration.h"
#include "instance/SingleInstance.h"
#include "testing/TestSystem.h"
#include "payload/IncludedFiles.h"
#include "payload/TempDirectories.h"

namespace qarvo {
namespace {

using testing::TestSystem;

class LauncherOptions : public ::testing::Test {
protected:
    TestSystem system;
    const LauncherProcess process{4242, 850};
};

// A normal start runs the single-instance step, which names a semaphore also
// when single-instance mode is off; a language restart skips it.
TEST_F(LauncherOptions, Combinations) {
    struct Case {
        const char* name;
        bool languageRestart;
        const char* kind;
        const char* singleInstance;
        bool manPath;
        const char* tempDir;
        std::int32_t extractionEnd;
        VmOptionList expected;
    } cases[] = {
        {"language restart of kind e", true, "e", "0", true, "", 4096,
         {"-Dqarvo.moduleName=C:\\app\\run.exe", "-Dsun.java.command=C:\\app\\run.exe", "-Dqarvo.tempDir=",
          "-Dqarvo.unextractedPosition=-1", "-Djava.library.path=C:\\bin;C:\\jre\\bin"}},
        {"normal start of kind i, single instance, no MANPATH", false, "i", "1", false, "C:\\Temp\\qvo1.tmp_dir",
         2147483647,
         {"-Dqarvo.semaphoreName=c:_app_run.exe", "-Dqarvo.isMoravelin=true", "-Dqarvo.moduleName=C:\\app\\run.exe",
          "-Dsun.java.command=C:\\app\\run.exe",
          "-Dqarvo.processCommFile=C:\\Temp\\qvo_p4242.tmp", "-Dqarvo.tempDir=C:\\Temp\\qvo1.tmp_dir",
          "-Dqarvo.unextractedPosition=2147483647", "-Djava.library.path=C:\\bin;C:\\jre\\bin",
          "-Dqarvo.consoleCodepage=cp850"}},
        {"no included files, no kind key, key 10005 not a number", false, "", "yes", false, "", 0,
         {"-Dqarvo.semaphoreName=c:_app_run.exe0", "-Dqarvo.moduleName=C:\\app\\run.exe",
          "-Dsun.java.command=C:\\app\\run.exe", "-Dqarvo.tempDir=",
          "-Dqarvo.unextractedPosition=0", "-Djava.library.path=C:\\bin;C:\\jre\\bin", "-Dqarvo.consoleCodepage=cp850"}},
    };
    for (const Case& c : cases) {
        clearConfiguration();
        configurationMaps().stringValues = {{10005, c.singleInstance}};
        system.setKind(c.kind);
        setLanguageRestart(c.languageRestart);
        resetSingleInstanceForTesting();
        if (!c.languageRestart) runSingleInstanceCheck(true, true);
        ASSERT_EQ(semaphoreName() == nullptr, c.languageRestart);
        setLauncherTempDirectory(c.tempDir);
        setExtractionEndPositionForTesting(c.extractionEnd);
        system.environment.variables = {{"PATH", "C:\\bin;C:\\jre\\bin"}};
        if (c.manPath) system.environment.variables["MANPATH"] = "";
        EXPECT_EQ(buildLauncherOptions(process), c.expected) << c.name;
    }
}

TEST_F(LauncherOptions, LibraryPathIsEmptyWhenPathDoesNotFit) {
    system.environment.variables = {{"MANPATH", "x"}};
    struct Case {
        std::size_t pathLength;
        bool kept;
    } cases[] = {{0, true}, {8171, true}, {8172, false}, {40000, false}};
    for (const Case& c : cases) {
        const std::string path(c.pathLength, 'p');
        system.environment.variables["PATH"] = path;
        EXPECT_EQ(buildLauncherOptions(process).back(), "-Djava.library.path=" + (c.kept ? path : "")) << c.pathLength;
    }
    system.environment.variables.erase("PATH");
    EXPECT_EQ(buildLauncherOptions(process).back(), "-Djava.library.path=");
}

TEST_F(LauncherOptions, LongValuesAreNotCut) {
    system.setLauncherPath("C:\\" + std::string(9000, 'd') + "\\run.exe");
    setLauncherTempDirectory("C:\\" + std::string(9000, 't'));
    VmOptionList options = buildLauncherOptions(process);
    ASSERT_GE(options.size(), 3u);
    EXPECT_EQ(options[0], "-Dqarvo.moduleName=" + system.libraries.moduleName);
    EXPECT_EQ(options[1], "-Dsun.java.command=" + system.libraries.moduleName);
    EXPECT_EQ(options[2], "-Dqarvo.tempDir=C:\\" + std::string(9000, 't'));
}

}  // namespace
}  // namespace qarvo
