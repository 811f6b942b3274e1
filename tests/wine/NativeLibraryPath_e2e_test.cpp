// The native-library directories of key 10004 in front of PATH, as the stub
// virtual machine sees PATH when it is created: its java.library.path option
// is the PATH of that moment.
#include "TestRuntimes.h"

namespace qarvo::wine {
namespace {

class NativeLibraryPath : public RuntimeTest {};

TEST_F(NativeLibraryPath, DirectoriesGoInFrontOfTheOldPath) {
    makeRuntime(directory() / "jre");
    RunResult env = prefix().runWinTool({"env", "PATH"});
    ASSERT_EQ(env.exitCode, 0) << env.standardError;
    const std::string oldPath = trimLineEnd(env.standardOutput);
    ASSERT_FALSE(oldPath.empty());
    // Loading jvm.dll appends the runtime's bin directory.
    const std::string runtimeBin = ";" + normal("jre") + "\\bin";
    const fs::path record = directory() / "jre" / "bin" / "client" / "jvm-stub-record.txt";
    struct Case {
        const char* key;
        std::string path;  // PATH after the step
    } cases[] = {
        {"lib;bin\\x86", win("lib") + ";" + win("bin/x86") + ";" + oldPath},
        {"lib;", win("lib") + ";" + oldPath},
        {";;", oldPath},
        {"", oldPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        fs::remove(record);
        const fs::path app = launcher({{key::searchSequence, "B.\\jre"}, {key::nativeLibraryPath, c.key}});
        LoggedStart start = startLogged(prefix(), app);
        EXPECT_EQ(start.result.exitCode, 0) << start.result.standardError;
        EXPECT_EQ(start.linesStartingWith({"native lib dir is", "Setting PATH (native libs)"}),
                  (std::vector<std::string>{std::string("native lib dir is ") + c.key,
                                            "Setting PATH (native libs) " + c.path}));
        const std::vector<std::string> lines = recordLines(record);
        const std::string option = "-Djava.library.path=" + c.path + runtimeBin;
        EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                               [&](const std::string& line) { return line.ends_with(": " + option); }),
                  lines.end())
            << "no option " << option;
    }
}

}  // namespace
}  // namespace qarvo::wine
