#include "payload/Cleanup.h"

#include <gtest/gtest.h>

#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;

TEST(Cleanup, EmptyDirectoryDeletesFilesAndRemovesOnlyEmptySubdirectories) {
    struct Case {
        const char* name;
        std::string path;
        bool subdirectories;  // C:\Temp\x holds an empty one and one with a file
        bool removable;  // the caller's removal succeeds afterwards
        std::vector<const char*> left;  // what stays below C:\Temp\x
        std::vector<std::string> log;
    } cases[] = {
        {"files only", "C:\\Temp\\x", false, true, {},
         {"emptying C:\\Temp\\x", "attempting to delete C:\\Temp\\x\\a.txt", "attempting to delete C:\\Temp\\x\\b"}},
        {"a trailing backslash", "C:\\Temp\\x\\", false, true, {},
         {"emptying C:\\Temp\\x\\", "attempting to delete C:\\Temp\\x\\a.txt", "attempting to delete C:\\Temp\\x\\b"}},
        {"an empty and a full subdirectory", "C:\\Temp\\x", true, false, {"C:\\Temp\\x\\full", "C:\\Temp\\x\\full\\f.txt"},
         {"emptying C:\\Temp\\x", "attempting to delete C:\\Temp\\x\\a.txt", "attempting to delete C:\\Temp\\x\\b",
          "attempting to remove C:\\Temp\\x\\empty", "attempting to remove C:\\Temp\\x\\full"}},
        {"a relative path", ".\\x", false, false, {"C:\\Temp\\x\\a.txt", "C:\\Temp\\x\\b"}, {}},
        {"no path", "", false, false, {"C:\\Temp\\x\\a.txt", "C:\\Temp\\x\\b"}, {}},
    };
    for (const Case& c : cases) {
        TestSystem system;
        system.enableLog();
        system.files.currentDirectory = "C:\\Temp";
        system.files.addDirectory("C:\\Temp\\x");
        system.files.addFile("C:\\Temp\\x\\a.txt", "a");
        system.files.addFile("C:\\Temp\\x\\b", "b");  // no extension: "*.*" finds it too
        if (c.subdirectories) {
            system.files.addDirectory("C:\\Temp\\x\\empty");
            system.files.addDirectory("C:\\Temp\\x\\full");
            system.files.addFile("C:\\Temp\\x\\full\\f.txt", "f");
        }
        system.calls.clear();
        emptyDirectory(c.path);
        if (c.path.empty() || c.path[0] == '.') {
            EXPECT_EQ(system.calls, std::vector<std::string>{}) << c.name;
        }

        // "." and ".." are found, and never touched.
        for (const std::string& call : system.calls) {
            EXPECT_EQ(call.find("\\."), std::string::npos) << c.name << ": " << call;
        }
        EXPECT_EQ(system.logLinesStartingWith({"emptying", "attempting"}), c.log) << c.name;
        std::vector<const char*> left;
        for (const char* path : {"C:\\Temp\\x\\a.txt", "C:\\Temp\\x\\b", "C:\\Temp\\x\\empty", "C:\\Temp\\x\\full",
                                 "C:\\Temp\\x\\full\\f.txt"}) {
            if (system.files.exists(path)) left.push_back(path);
        }
        EXPECT_EQ(left, c.left) << c.name;
        EXPECT_EQ(system.files.removeDirectory("C:\\Temp\\x"), c.removable) << c.name;
    }
}

}  // namespace
}  // namespace qarvo
