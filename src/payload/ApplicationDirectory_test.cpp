#include "payload/ApplicationDirectory.h"

#include <gtest/gtest.h>

#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;

TEST(ApplicationDirectory, FilesBelowKey10003) {
    struct Case {
        const char* directory;  // key 10003; null: absent
        const char* expected;
    } cases[] = {
        {nullptr, "C:\\app\\.moravelin\\firstrun"},
        {".", "C:\\app\\.moravelin\\firstrun"},
        {"..\\Install", "C:\\Install\\.moravelin\\firstrun"},
        {"..\\Install\\", "C:\\Install\\.moravelin\\firstrun"},
        {"D:\\Other\\\\", "D:\\Other\\.moravelin\\firstrun"},
        {"C:\\", "C:\\.moravelin\\firstrun"},
    };
    for (const Case& c : cases) {
        TestSystem system;
        if (c.directory) system.setKey(10003, c.directory);
        EXPECT_EQ(applicationDirectoryFile(".moravelin\\firstrun"), c.expected) << (c.directory ? c.directory : "absent");
    }
}

}  // namespace
}  // namespace qarvo
