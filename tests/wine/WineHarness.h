// Runs Windows programs under Wine for the end-to-end tests.
//
// One template prefix per test run (made by the "wine" CTest fixture, or reused
// when it is complete and newer than Wine), a shared prefix cloned from it whose
// server runs for the whole test run, and throw-away clones with their own
// server for tests that change a prefix or must not share it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qarvo::wine {

namespace fs = std::filesystem;

// Directory in the build tree that holds the prefixes, locales and test files.
fs::path wineRoot();
// A program of the 32-bit build, by its path relative to that build's tree
// ("bench/loaddll_bench.exe").
fs::path win32Program(const std::string& relative);
// Whether the tests run against the 64-bit launcher: QARVO_TEST_ARCHITECTURE is
// "x64" (CTest registers the suites once for each launcher).
bool testingSixtyFourBit();
// A program of the build of the launcher under test, by its path relative to
// that build's tree.
fs::path windowsProgram(const std::string& relative);
// The same in the build of the other architecture (a runtime this launcher
// cannot load).
fs::path otherArchitectureProgram(const std::string& relative);
// The generic launcher without a block and the probe made of the launcher's
// own code, of the build under test; the helper exe of the 32-bit build.
fs::path genericLauncher();
fs::path winTool();
fs::path launcherProbe();

// The text without the line ends ("\r" and "\n") at its end.
std::string trimLineEnd(std::string text);

// "Z:\dir\file" for an absolute Linux path (Wine maps the Linux root to Z:).
std::string windowsPath(const fs::path& linuxPath);

struct RunRequest {
    fs::path program;                    // Linux path of the Windows executable
    std::vector<std::string> arguments;  // Wine joins them, quoting those with blanks
    std::map<std::string, std::string> environment;  // added to the Windows environment
    std::vector<std::string> unsetEnvironment;
    fs::path workingDirectory;           // empty: the program's directory
    int timeoutSeconds = 30;
    std::string display;                 // an X display such as ":91"; empty: headless
    std::string locale;                  // an LC_ALL name made by ensureLocale ("de_DE.UTF-8")
};

struct RunResult {
    int exitCode = -1;           // low byte of the Windows exit code; 124 or 137 after the time-out
    std::string standardOutput;  // bytes as written (msvcrt text mode writes CR LF)
    std::string standardError;   // the same, without Wine's own lines ("wine: ...")
    double seconds = 0;          // wall time of the run
    bool timedOut() const { return exitCode == 124 || exitCode == 137; }
};

// A run started in the background.
class RunningProgram {
public:
    RunningProgram() = default;
    RunningProgram(RunningProgram&& other) noexcept;
    RunningProgram& operator=(RunningProgram&& other) noexcept;
    ~RunningProgram();  // waits for the run (its time-out bounds the wait)

    bool started() const { return pid_ > 0; }
    RunResult wait();

private:
    friend class Prefix;
    pid_t pid_ = -1;
    fs::path outFile_, errFile_;
    double startTime_ = 0;
};

class Prefix {
public:
    // The prefix prepared by the fixture; its server runs for the whole test run.
    // Null, with `error` set, when the fixture has not prepared it.
    static Prefix* shared(std::string& error);
    // A fresh copy of the template with its own server, removed on destruction.
    // `name` makes its directory recognisable; it need not be unique.
    static std::unique_ptr<Prefix> clone(const std::string& name, std::string& error);

    Prefix(const Prefix&) = delete;
    Prefix& operator=(const Prefix&) = delete;
    ~Prefix();

    const fs::path& path() const { return path_; }

    RunResult run(const RunRequest& request) const;
    RunningProgram start(const RunRequest& request) const;
    // Runs wintool.exe with the given subcommand and arguments.
    RunResult runWinTool(const std::vector<std::string>& arguments, int timeoutSeconds = 30) const;

    // Linux path of a "C:\..." or "Z:\..." path of this prefix.
    fs::path linuxPath(const std::string& windowsPath) const;
    // The user's temporary directory (HKCU\Environment TMP) as a Linux path.
    fs::path temporaryDirectory() const;

    // Registry through wintool.exe. `view` is 32 or 64. readRegistry gives the
    // helper's line ("REG_SZ text", "REG_DWORD 5", ...) or nothing when absent.
    std::optional<std::string> readRegistry(const std::string& hive, const std::string& subkey,
                                            const std::string& value, int view = 32) const;
    bool writeRegistry(const std::string& hive, const std::string& subkey, const std::string& value,
                       const std::string& type, const std::string& data, int view = 32) const;
    bool deleteRegistryTree(const std::string& hive, const std::string& subkey, int view = 32) const;
    // Imports .reg text ("Windows Registry Editor Version 5.00" first) in one
    // regedit run: faster than several writes. Written as UTF-16LE with BOM.
    bool importRegistry(const std::string& regText) const;

private:
    friend bool prepareTemplate(std::string& error);
    friend bool prepareSharedPrefix(std::string& error);
    Prefix(fs::path path, bool owned) : path_(std::move(path)), owned_(owned) {}
    fs::path path_;
    bool owned_;  // a clone: server stopped and directory removed on destruction
};

// --- Fixture side: called by the setup and cleanup tests. ---

// Reuses the template when it is complete and newer than Wine, else makes it anew.
bool prepareTemplate(std::string& error);
// Clones the template into the shared prefix and starts its server.
bool prepareSharedPrefix(std::string& error);
// Stops the servers of the shared prefix and of clones left behind, removes them.
void removePrefixesInUse();

}  // namespace qarvo::wine
