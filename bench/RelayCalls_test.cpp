#include "RelayCalls.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qarvo::bench {
namespace {

// A log as Wine writes it: the server's own process first, then the launcher
// (process 0030, loaded at 0x00400000, 0x24000 bytes) calling the system,
// system DLLs calling each other, and a child process whose image lies at
// the same address.
TEST(RelayCalls, CountsOnlyTheModulesOwnCallsByFunction) {
    std::istringstream log(
        "0028:002c:Call KERNEL32.GetTickCount() ret=00401000\n"
        "0030:0034:trace:loaddll:build_module Loaded L\"C:\\\\windows\\\\system32\\\\kernel32.dll\" at 7B600000: builtin\n"
        "0030:0034:trace:loaddll:build_module Loaded L\"Z:\\\\bench\\\\App.EXE\" at 00400000: native\n"
        "0030:0034:Call PE DLL (proc=7B63CE20,module=7B600000 L\"kernel32.dll\",reason=PROCESS_ATTACH) ret=00401000\n"
        "0030:0034:Call msvcrt.malloc(00000010) ret=00401439\r\n"
        "0030:0034:Ret  msvcrt.malloc() retval=00a31e60 ret=00401439\n"
        "0030:0034:Call ntdll.RtlAllocateHeap(00a30000,00000000,00000010) ret=65690123\n"
        "0030:0034:Call KERNEL32.GetFileAttributesA(0062f8a0 \"Z:\\\\a (x) ret=00401111\") ret=004012ab\n"
        "0030:0038:Call msvcrt.malloc(00000020) ret=00423fff\n"
        "0030:0034:Call msvcrt.free(00a31e60) ret=00424000\n"
        "0030:0034:Call msvcrt.strlen(003ffff0) ret=003fffff\n"
        "0040:0044:Call msvcrt.malloc(00000010) ret=00401439\n");
    RelayCalls calls;
    std::string error;
    ASSERT_TRUE(countRelayCalls(log, "app.exe", 0x24000, calls, error)) << error;
    EXPECT_EQ(calls.loadAddress, 0x400000u);
    EXPECT_EQ(calls.total, 3u);
    const std::map<std::string, std::uint64_t> expected = {{"msvcrt.malloc", 2}, {"KERNEL32.GetFileAttributesA", 1}};
    EXPECT_EQ(calls.byFunction, expected);

    std::istringstream other("0030:0034:Call msvcrt.malloc(00000010) ret=00401439\n");
    EXPECT_FALSE(countRelayCalls(other, "app.exe", 0x24000, calls, error));
    EXPECT_NE(error.find("app.exe"), std::string::npos);
}

}  // namespace
}  // namespace qarvo::bench
