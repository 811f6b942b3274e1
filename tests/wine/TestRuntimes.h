// Test runtimes for the end-to-end tests of the runtime search: directory
// trees of the stub java.exe and jvm.dll, launchers that log, and the log of
// one start.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "E2eSupport.h"

namespace qarvo::wine {

// What "-version" prints on a Java 17 runtime.
inline constexpr const char* java17Output = "openjdk version \"17.0.15\" 2025-04-15\r\n";

struct TestRuntime {
    std::string output = java17Output;   // standard error of "-version"
    std::string jvmType = "client";      // bin\<type>\jvm.dll; empty: no jvm.dll
    bool otherArchitecture = false;      // java.exe, javaw.exe and jvm.dll of the other build
    int exitCode = 0;                    // exit code of "-version"
};

// The directory of the Windows test doubles of the launcher's architecture
// (java.exe, jvm.dll, splashscreen.dll, unpack200.exe).
std::filesystem::path doublesDirectory();

// Lays out a runtime home: bin\java.exe and bin\javaw.exe (copies of the
// stub, scripted by files in bin) and the jvm.dll.
void makeRuntime(const std::filesystem::path& home, const TestRuntime& runtime = {});

// The lines a stub recorded in `file`, one per call; none when it is missing.
std::vector<std::string> recordLines(const std::filesystem::path& file);

// The lines of bin\java-stub-record.txt: one per run of the stub in bin.
std::size_t stubRuns(const std::filesystem::path& home);

void writeText(const std::filesystem::path& path, const std::string& text);
std::string lowerCase(std::string text);

// The normalised form the launcher gives a path: its Windows form in lower case.
std::string launcherForm(const std::filesystem::path& path);
// The name of the single-instance semaphore of `launcher`: its normalised form
// with "_" for every "\" (in single-instance mode; otherwise a counter follows).
std::string semaphoreNameOf(const std::filesystem::path& launcher);

struct LoggedStart {
    RunResult result;
    std::vector<std::string> log;  // lines of the diagnostic log of this start
    // The log lines that begin with one of `prefixes`, in order.
    std::vector<std::string> linesStartingWith(const std::vector<std::string>& prefixes) const;
    bool hasLine(const std::string& line) const;
};

// The diagnostic logs that `launcher` wrote into the temporary directory of
// `prefix`, one per start.
std::vector<std::filesystem::path> logsOf(const Prefix& prefix, const std::filesystem::path& launcher);

// Starts `launcher` in `prefix` with the log on and the extra environment, and
// reads the log it wrote (an earlier log of the same launcher is removed first).
LoggedStart startLogged(const Prefix& prefix, const std::filesystem::path& launcher,
                        const std::map<std::string, std::string>& environment = {});

// The message of a start with the log on, as it reaches standard error.
std::string messageWithLog(const std::string& text);

// Texts of the messages of a found runtime that fails, as the tests configure
// them: the variable and location texts under the keys of the launcher's
// architecture; the keys of the other architecture carry the decoy.
inline constexpr const char* vmNotStartedText = "The JVM could not be started.";
inline constexpr const char* variableText = "The runtime named by {0} could not be loaded.";
inline constexpr const char* locationText = "The runtime in {0} could not be loaded.";
inline constexpr const char* otherArchitectureText = "The message of the other launcher: {0}";

// Base of the tests that start launchers against test runtimes laid out in
// the test's directory.
class RuntimeTest : public WineTest {
protected:
    // directory()/name.exe with the sample messages, the three texts above and
    // `extra` (which wins) in its block.
    std::filesystem::path launcher(const StringEntries& extra = {}, const std::string& name = "app") const;
    // The Windows form of a path below the test's directory ("rt" or "jre/bin").
    std::string win(const std::string& relative) const;
    // The same in the launcher's normalised form.
    std::string normal(const std::string& relative) const;
};

// A runtime test in a prefix of its own, cloned from the template: for tests
// whose probe cache, named objects or temporary files must not meet those of
// tests running at the same time. `name` names the clone.
class OwnPrefixTest : public RuntimeTest {
protected:
    explicit OwnPrefixTest(std::string name) : name_(std::move(name)) {}
    void SetUp() override;

    std::unique_ptr<Prefix> own_;

private:
    std::string name_;
};

}  // namespace qarvo::wine
