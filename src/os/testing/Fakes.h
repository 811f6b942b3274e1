// In-memory stand-ins for the system, for native tests of the core.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "os/Environment.h"
#include "os/FileSystem.h"
#include "payload/TempDirectories.h"
#include "payload/PathHelpers.h"
#include "report/ErrorReport.h"
#include "report/Log.h"

namespace qarvo::testing {

class FakeEnvironment final : public Environment {
public:
    bool get(const char* name, std::string& value) override;
    bool set(const char* name, const char* value) override;
    // The variables in name order ("NAME=value").
    std::vector<std::string> block() override;
    std::map<std::string, std::string> variables;
};

// Thrown by FakeErrorSink::exitProcess so a test can observe the end of the
// process; the core itself never catches anything.
struct ProcessExit {
    int code;
};

class FakeErrorSink final : public ErrorSink {
public:
    struct Shown {
        bool box;  // true: message box, false: standard error
        std::string text;
        std::string caption;
    };
    void showMessageBox(const std::string& text, const std::string& caption) override;
    void writeStandardError(const std::string& text) override;
    [[noreturn]] void exitProcess(int code) override;
    std::vector<Shown> shown;
};

// Log files go to a fresh directory of the host's temporary directory.
class FakeLogPlatform final : public LogPlatform {
public:
    FakeLogPlatform();
    ~FakeLogPlatform() override;
    std::string uniqueLogName() override;
    std::string moduleFileName() override { return "C:\\app\\run.exe"; }
    std::string localTimeText() override { return "Thu Jan  1 00:00:00 1970\n"; }
    std::string directory;
    bool failNames = false;  // uniqueLogName gives no name
    int counter = 0;
};

// Windows-style paths: the launcher at C:\app\run.exe, current directory C:\cwd.
class FakePathSystem final : public PathSystem {
public:
    std::string launcherModulePath() override { return launcher; }
    std::string fullPathName(const std::string& path) override;
    std::string launcher = "C:\\app\\run.exe";
    std::string currentDirectory = "C:\\cwd";
};

// Paths compared without regard to case, as on Windows. Directory searches
// match "*" and "?" in the last component.
class FakeFileSystem final : public FileSystem {
public:
    bool findFirst(const std::string& pattern, FileTime* lastWrite) override;
    std::vector<std::string> findAll(const std::string& pattern) override;
    bool makeDirectory(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;

    void addFile(const std::string& path, FileTime time = {});
    void addDirectory(const std::string& path) { addFile(path); directories.insert(key(path)); }
    bool exists(const std::string& path) const { return entries.count(key(path)) != 0; }
    static std::string key(const std::string& path);

    // path key -> (name as created, last-write time), in creation order of keys
    std::map<std::string, std::pair<std::string, FileTime>> entries;
    std::set<std::string> directories;
    std::set<std::string> readOnlyDirectories;  // makeDirectory fails below these
    std::set<std::string> hiddenDirectories;    // created, but searches do not see them
    std::vector<std::string> searches;          // every pattern searched, in order
};

class FakeTempSystem final : public TempSystem {
public:
    explicit FakeTempSystem(FakeFileSystem& fs) : fs_(fs) {}
    std::uint32_t tempPath(std::string& path, std::uint32_t& lastError) override;
    std::string windowsDirectory() override { return windows; }
    std::uint32_t tempFileName(const std::string& directory, const char* prefix, std::string& name,
                               std::uint32_t& lastError) override;
    bool createDirectory(const std::string& path, std::uint32_t& lastError) override;
    int timeSeededRandom() override { return 4711; }

    std::string temp = "C:\\Temp\\";  // what GetTempPathA reports
    std::string windows = "C:\\Windows";
    bool failTempFileName = false;
    int failCreateDirectory = 0;  // this many CreateDirectoryA calls fail
    unsigned nextNumber = 0x1A2B;

private:
    FakeFileSystem& fs_;
};

// Installs every fake and resets the process-wide state of the core on
// construction and destruction.
class FakeSystem {
public:
    FakeSystem();
    ~FakeSystem();
    FakeSystem(const FakeSystem&) = delete;
    FakeSystem& operator=(const FakeSystem&) = delete;

    // Turns the log on (as the log switch does) and returns its lines so far.
    void enableLog();
    std::vector<std::string> logLines() const;

    FakeEnvironment environment;
    FakeFileSystem files;
    FakeTempSystem temp{files};
    FakeErrorSink errors;
    FakeLogPlatform log;
    FakePathSystem paths;

private:
    // Leaves the process-wide state of the core as at start.
    static void resetCoreState();
    LongPathConverter savedConverter_;
};

// Reads a whole file; empty when it does not exist.
std::string readFile(const std::string& path);

}  // namespace qarvo::testing
