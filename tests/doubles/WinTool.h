// wintool.exe: Win32 queries and changes for the test harness, which runs on
// Linux and cannot make these calls itself. Output is UTF-8 on stdout;
// exit code 0 on success, 1 with a message on standard error on failure,
// 2 when a looked-up item does not exist, 3 on a time-out.
#pragma once

#include <string>
#include <vector>

namespace wintool {

using Args = std::vector<std::wstring>;  // the arguments after the subcommand

// Each returns the process exit code.
int regRead(const Args& args);
int regWrite(const Args& args);
int regDeleteTree(const Args& args);
int regList(const Args& args);
int msgbox(const Args& args);
int windowState(const Args& args);
int versionInfo(const Args& args);
int resourceSize(const Args& args);
int loadIcon(const Args& args);

// Prints UTF-16 text as UTF-8 and a line feed on stdout.
void printLine(const std::wstring& text);
// Prints "wintool: <message>" on stderr and returns 1.
int fail(const std::string& message);
// As fail, with " (error <code>)" appended.
int failWin32(const std::string& message, unsigned long code);

}  // namespace wintool
