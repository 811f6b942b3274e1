#include "launcher/NativeLibraryPath.h"

#include <gtest/gtest.h>

#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;

// What Wine cannot show: a PATH that is not set, one longer than any buffer,
// and a failing SetEnvironmentVariableA.
TEST(NativeLibraryPath, PathBecomesTheDirectoriesAndTheOldPathInFull) {
    const std::string longPath = std::string(20000, 'p') + ";C:\\Windows";
    struct Case {
        const char* key;
        const char* oldPath;  // null: PATH not set
        bool failSet;
        std::string path;
        const char* outcome;  // the end of the second log line
    } cases[] = {
        {"%QARVO_EXEDIR%native;D:\\abs", "C:\\Windows", false, "C:\\app\\native;D:\\abs;C:\\Windows", ""},
        {"lib;", nullptr, false, "C:\\app\\lib;", ""},
        {"", nullptr, false, "", ""},
        {"lib", longPath.c_str(), false, "C:\\app\\lib;" + longPath, ""},
        {"lib", "C:\\Windows", true, "C:\\app\\lib;C:\\Windows", " failed with error 8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        TestSystem system;
        system.enableLog();
        system.setKey(10004, c.key);
        if (c.oldPath) system.environment.variables["PATH"] = c.oldPath;
        system.environment.failSet = c.failSet;
        prependNativeLibraryPath();
        EXPECT_EQ(system.callsStartingWith({"SetEnvironmentVariable", "_putenv"}),
                  (std::vector<std::string>{"SetEnvironmentVariable PATH=" + c.path, "_putenv PATH=" + c.path}));
        EXPECT_EQ(system.logLinesStartingWith({"native lib dir is", "Setting PATH"}),
                  (std::vector<std::string>{std::string("native lib dir is ") + c.key,
                                            "Setting PATH (native libs) " + c.path + c.outcome}));
    }
}

}  // namespace
}  // namespace qarvo
