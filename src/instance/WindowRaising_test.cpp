#include "instance/WindowRaising.h"

#include <gtest/gtest.h>

#include "testing/TestSystem.h"

namespace qarvo {
namespace {

using testing::TestSystem;

// The windows in enumeration order (the fake's handles, as "%p" shows them):
// 0x1000 reports process 0; of process 42 are 0x1010 (hidden, the pop-up of
// 0x1020), 0x1020 (minimised) and 0x1040; 0x1030 belongs to process 43;
// process 44 has the hidden 0x1050 only.
TEST(WindowRaising, ActivatesTheVisibleWindowsOfTheProcessInOrder) {
    struct Case {
        const char* name;
        std::uint32_t processId;
        bool restore;
        std::vector<std::string> calls;
        std::vector<std::string> log;
    } cases[] = {
        {"restore", 42, true,
         {"ShowWindow 0x1020 SW_RESTORE", "SetForegroundWindow 0x1020", "SetForegroundWindow 0x1010",
          "SetForegroundWindow 0x1040", "SetForegroundWindow 0x1040"},
         {"found window 0x1020", "restore", "foreground", "popup", "done", "found window 0x1040", "foreground",
          "popup", "done"}},
        {"without restoring", 42, false,
         {"SetForegroundWindow 0x1020", "SetForegroundWindow 0x1010", "SetForegroundWindow 0x1040",
          "SetForegroundWindow 0x1040"},
         {"found window 0x1020", "foreground", "popup", "done", "found window 0x1040", "foreground", "popup",
          "done"}},
        {"a process without visible windows", 44, true, {}, {}},
        {"process id 0, as the windows of no known owner report it", 0, true, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSystem system;
        system.enableLog();
        system.windows.add({0, true, false, nullptr});
        const os::WindowHandle dialog = system.windows.add({42, false, false, nullptr});
        system.windows.add({42, true, true, dialog});
        system.windows.add({43, true, true, nullptr});
        system.windows.add({42, true, false, nullptr});
        system.windows.add({44, false, false, nullptr});
        activateProcessWindows(c.processId, c.restore);
        EXPECT_EQ(system.callsStartingWith({"ShowWindow", "SetForegroundWindow"}), c.calls);
        EXPECT_EQ(system.logLinesStartingWith({"found", "restore", "foreground", "popup", "done"}), c.log);
        EXPECT_EQ(system.windows.all[2].second.minimised, !c.restore || c.processId != 42);
        EXPECT_TRUE(system.windows.all[3].second.minimised) << "another process's window is left alone";
    }
}

}  // namespace
}  // namespace qarvo
