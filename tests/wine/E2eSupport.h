// GoogleTest side of the end-to-end tests: per-test directories, the shared
// prefix, message texts and the diagnostic log as the launcher writes them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "LauncherFiles.h"
#include "WineHarness.h"
#include "config/ConfigKeys.h"
#include "report/ErrorReport.h"

namespace qarvo::wine {

// Message texts as a block usually carries them.
constexpr const char* errorCaption = "Error";
constexpr const char* wrongParameterText = "Wrong Parameter Usage";
constexpr const char* noRuntimeText =
    "No Java runtime found.\nPlease define QARVO_JAVA_HOME to point to an installed {0}-bit JDK or JRE\n"
    "or download a Java runtime.";
// The configuration keys the tests set most, by the launcher's own numbers.
constexpr std::int32_t applicationTypeKey = key::applicationType;
constexpr std::int32_t workingDirectoryKey = key::workingDirectory;
constexpr std::int32_t captionKey = message::caption;
constexpr std::int32_t wrongParameterKey = message::wrongParameterUsage;
constexpr std::int32_t noRuntimeKey = message::noRuntimeFound;
constexpr std::int32_t launcherKindKey = key::launcherKind;

// The message keys above with their usual texts.
StringEntries sampleMessages();

// What the expectations of the two launchers under test differ in, in one
// place: the suite runs once for each (QARVO_TEST_ARCHITECTURE).
struct LauncherArchitecture {
    const char* target;                  // the build tool's --target
    const char* bits;                    // the argument of message 1016
    std::int32_t variableRuntimeBroken;  // 1017 or 1018
    std::int32_t locationRuntimeBroken;  // 1019 or 1020
    std::uint16_t machine;               // the machine type of the runtimes it accepts
    std::uint16_t otherMachine;          // the other build's, which it passes over
    int registryView;                    // 32 or 64: the HKLM view its lookups read
    int otherRegistryView;
    const char* programFiles;            // %ProgramFiles% of its processes
    const char* otherProgramFiles;
    const char* beyondAddressSpace;      // a byte count no allocation of its processes gets
};
const LauncherArchitecture& launcherArchitecture();
// Message 1016 as the block of sampleMessages() makes the launcher under test show it.
std::string noRuntimeMessage();

// The text with its first "{0}" replaced by `argument`.
std::string withArgument(std::string text, const std::string& argument);
// The text as the C runtime's text-mode streams write it: "\n" becomes "\r\n".
std::string crlf(const std::string& text);
// A message as it reaches standard error in quiet mode.
std::string quietMessage(const std::string& text);

// Base of the end-to-end tests: a fresh directory for the test's files and the
// shared prefix (the test fails when the fixture has not prepared it).
class WineTest : public ::testing::Test {
protected:
    void SetUp() override;
    const Prefix& prefix() const { return *shared_; }
    const std::filesystem::path& directory() const { return directory_; }

    // The shared prefix's run of `program` with `arguments` and extra environment.
    RunResult runLauncher(const std::filesystem::path& program, const std::vector<std::string>& arguments = {},
                          const std::map<std::string, std::string>& environment = {}) const;

private:
    Prefix* shared_ = nullptr;
    std::filesystem::path directory_;
};

// A fresh empty directory for the running test, as a canonical path.
std::filesystem::path freshTestDirectory();

// The log file that a message on standard error names in its "Log: " line, as
// a Linux path of `prefix`; nothing when the message names none.
std::optional<std::filesystem::path> logFileNamedIn(const std::string& standardError, const Prefix& prefix);

// The lines of a log file. `onlyCrlf` is false when a line ends in a bare "\n"
// or the text does not end with a line end.
std::vector<std::string> logLines(const std::string& text, bool& onlyCrlf);

// Names of the files in `dir` whose names begin with `prefix`.
std::vector<std::string> filesStartingWith(const std::filesystem::path& dir, const std::string& prefix);

}  // namespace qarvo::wine
