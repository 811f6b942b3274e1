// The fixture of the native unit tests: the in-memory system installed and
// every piece of process-wide state of the core as at process start, on
// construction and again on destruction. The disk holds C:\ and C:\Temp, the
// launcher is C:\app\run.exe and the configuration is empty.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "os/testing/FakeSystem.h"

namespace qarvo::testing {

using os::testing::ProcessExit;
using os::testing::ShownMessage;

class TestSystem : public os::testing::FakeSystem {
public:
    TestSystem();
    ~TestSystem();

    // Turns the log on (as the log switch does).
    void enableLog();
    // The lines of the log so far; empty when there is none.
    std::vector<std::string> logLines() const;
    // The log lines that begin with one of `prefixes`.
    std::vector<std::string> logLinesStartingWith(std::initializer_list<const char*> prefixes) const;
    // Sets a narrow configuration value.
    void setKey(std::int32_t key, const std::string& value);
    // Sets key 2001 and the launcher kind it gives.
    void setKind(const char* kind);
    // Makes the executable's module name `path` (narrow text in the code page).
    void setLauncherPath(const std::string& path);
};

// Leaves the process-wide state of the core as at process start.
void resetCoreState();

}  // namespace qarvo::testing
