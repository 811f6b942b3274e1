// An in-memory stand-in for every service of the seam, for native tests of
// the core. Paths are Windows paths compared without regard to ASCII case;
// every call a service receives is recorded in order in `calls` ("CreateFile
// C:\a.txt", "LoadLibrary C:\jre\bin\client\jvm.dll", ...).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "os/System.h"

namespace qarvo::os::testing {

// Thrown where the process would end, so that a test can observe the end; the
// core itself never catches anything.
struct ProcessExit {
    int code;
    bool throughRuntime = false;  // exit() rather than ExitProcess
};

// A message as the user saw it: an error box, or a line on standard error.
struct ShownMessage {
    bool box;  // true: message box, false: standard error
    std::string text;
    std::string caption;
};

class FakeCodePage final : public CodePage {
public:
    bool narrowToWide(std::string_view text, std::u16string& out) override;
    bool wideToNarrow(std::u16string_view text, std::string& out) override;
    void lowerCaseWide(std::u16string& text) override;
    bool isLeadByte(unsigned char byte) override;
    // false: ISO 8859-1, which behaves like code page 1252 for the tests
    // (accented Latin letters convert both ways, CJK text does not). true: a
    // part of code page 932: ASCII and a few katakana, among them "ソ"
    // (0x83 0x5C), whose second byte is that of "\".
    bool doubleByte = false;
};

class FakeFiles final : public Files {
public:
    struct Entry {
        std::string name;  // the path as created
        bool directory = false;
        FileTime lastWrite;
        std::string content;
    };
    FakeFiles(std::vector<std::string>& calls, FakeCodePage& codePage) : calls_(calls), codePage_(codePage) {}

    std::vector<DirectoryEntry> find(const std::string& pattern, std::size_t limit) override;
    bool attributes(const std::string& path, std::uint32_t& attributes, std::uint32_t& error) override;
    std::unique_ptr<ReadableFile> openForReading(const std::string& path, std::uint32_t& error) override;
    std::unique_ptr<WritableFile> create(const std::string& path, Creation creation, std::uint32_t& error) override;
    bool deleteFile(const std::string& path, std::uint32_t& error) override;
    bool createDirectory(const std::string& path, std::uint32_t& error) override;
    bool removeDirectory(const std::string& path) override;
    bool setCurrentDirectory(const std::string& path) override;
    std::unique_ptr<TextReader> openText(const std::string& path) override;
    std::unique_ptr<TextWriter> writeText(const std::string& path, bool append) override;
    std::string fullPathName(const std::string& path) override;
    bool shortPathName(const std::string& path, std::size_t capacity, std::string& shortPath) override;
    std::uint32_t systemLongPathName(const char* path, char* buffer, std::uint32_t size, bool& available,
                                     std::uint32_t& error) override;
    std::uint32_t emulatedLongPathName(const char* path, char* buffer, std::uint32_t size) override;
    bool longPathNameWide(const std::u16string& path, std::u16string& longPath) override;
    bool shortPathNameWide(const std::u16string& path, std::u16string& shortPath) override;
    bool searchPath(const std::string& fileName, std::string& found) override;
    std::uint32_t tempPath(std::string& path, std::uint32_t& error) override;
    std::uint32_t tempFileName(const std::string& directory, const char* prefix, std::string& name,
                               std::uint32_t& error) override;
    std::string windowsDirectory() override { return windowsPath; }

    // The layout of the disk. A file's directory need not exist.
    void addFile(const std::string& path, const std::string& content = "", FileTime time = {});
    void addDirectory(const std::string& path);
    bool exists(const std::string& path) const { return entries.count(key(path)) != 0; }
    bool isDirectory(const std::string& path) const;
    // The content of a file; empty when there is none.
    std::string content(const std::string& path) const;
    // Lower-cased, runs of backslashes collapsed, no trailing backslash below
    // the root, "." and ".." resolved: how Windows finds a file.
    std::string key(const std::string& path) const;

    std::map<std::string, Entry> entries;       // by key
    std::set<std::string> readOnlyDirectories;  // keys: nothing can be created directly below them
    std::set<std::string> hiddenDirectories;    // keys: they exist, but no search sees them
    std::map<std::string, std::string> shortNames;  // key -> short form; absent: no short name
    std::map<std::string, std::string> longNames;   // key -> long form; absent: the path itself
    std::map<std::u16string, std::u16string> wideLongNames;   // GetLongPathNameW; absent: the path itself
    std::map<std::u16string, std::u16string> wideShortNames;  // GetShortPathNameW; absent: fails
    std::string currentDirectory = "C:\\cwd";
    std::string tempPathText = "C:\\Temp\\";  // what GetTempPathA reports
    std::string windowsPath = "C:\\Windows";
    std::string searchPathResult;  // what SearchPathA finds for "java.exe"; empty: nothing
    bool hasSystemLongPathName = true;
    bool failTempFileName = false;
    int failCreateDirectory = 0;   // this many CreateDirectoryA calls fail with access denied,
    std::string failCreateDirectoryEnding;  // counting only those for paths that end in this
    int failWrites = 0;            // this many WriteFile calls fail with ERROR_DISK_FULL
    // By key: reads of the file at or behind the offset fail with ERROR_READ_FAULT.
    std::map<std::string, std::uint64_t> failReadsFrom;
    std::set<std::string> failTextWrites;  // keys whose text files cannot be opened for writing
    struct DeleteFailure {
        std::uint32_t error;
        int times;  // this many attempts fail with it
    };
    std::map<std::string, DeleteFailure> deleteFailures;  // by key
    unsigned nextTempNumber = 0x1A2B;
    std::vector<std::string> searches;    // every pattern searched, in order
    std::vector<std::string> deleted;     // every path deleted, in order
    std::vector<std::string> textOpened;  // every path asked of openText, in order
    int textFilesOpen = 0;                // text files open at this moment
    int mostTextFilesOpen = 0;

private:
    std::string parentKey(const std::string& k) const;
    std::string lastComponent(const std::string& path) const;
    std::string withoutDotSegments(const std::string& path) const;
    std::vector<std::string>& calls_;
    FakeCodePage& codePage_;
};

class FakeEnvironment final : public Environment {
public:
    explicit FakeEnvironment(std::vector<std::string>& calls) : calls_(calls) {}
    bool get(const char* name, std::string& value) override;
    bool set(const char* name, const char* value, std::uint32_t& error) override;
    void putRuntime(const std::string& assignment) override;
    // The variables in name order ("NAME=value").
    std::vector<std::string> block() override;

    std::map<std::string, std::string> variables;
    std::vector<std::string> runtimeAssignments;  // every _putenv, in order
    bool failSet = false;

private:
    std::vector<std::string>& calls_;
};

// Keys compared without regard to case; subkeys enumerate in name order. The
// launcher's own view is the 32-bit one.
class FakeRegistry final : public Registry {
public:
    explicit FakeRegistry(std::vector<std::string>& calls) : calls_(calls) {}
    bool readValue(Hive hive, RegistryView view, const std::string& subkey, const std::string& name,
                   std::size_t capacity, std::string& data) override;
    bool subkeyNames(Hive hive, RegistryView view, const std::string& subkey, std::size_t limit,
                     std::vector<std::string>& names) override;
    bool writeValue(Hive hive, RegistryView view, const std::string& subkey, const std::string& name,
                    ValueType type, const std::string& data) override;

    void setString(Hive hive, const std::string& subkey, const std::string& name, const std::string& value,
                   RegistryView view = RegistryView::own);
    void addKey(Hive hive, const std::string& subkey, RegistryView view = RegistryView::own);
    // The stored value, or null.
    const std::string* value(Hive hive, const std::string& subkey, const std::string& name,
                             RegistryView view = RegistryView::own) const;

    int reads = 0;  // readValue calls
    int writes = 0;

private:
    struct Key {
        std::string name;  // last component as created
        std::map<std::string, std::string> values;
    };
    static std::string canonical(Hive hive, RegistryView view, const std::string& subkey);
    std::map<std::string, Key> keys_;
    std::vector<std::string>& calls_;
};

class FakeProcesses final : public Processes {
public:
    // A probe's scripted run, by the key of the program's path.
    struct Script {
        std::string standardError;
        std::uint32_t exitCode = 0;
        bool timesOut = false;
    };
    FakeProcesses(std::vector<std::string>& calls, FakeFiles& files) : calls_(calls), files_(files) {}
    ProbeRun runProbe(const std::string& commandLine, const std::string& standardErrorFile,
                      std::uint32_t timeoutMs) override;
    bool runUnpacker(const std::string& program, const std::string& commandLine, void (*started)(),
                     std::uint32_t& error) override;
    bool startExplorer(const std::string& commandLine, std::uint32_t& error) override;
    std::uint32_t currentProcessId() override { return processId; }
    std::u16string commandLineWide() override { return commandLine; }
    [[noreturn]] void exitProcess(int code) override;
    [[noreturn]] void exitThroughRuntime(int code) override;

    std::map<std::string, Script> scripts;
    std::vector<std::string> probeCommandLines;
    std::uint32_t lastTimeout = 0;
    std::vector<std::string> unpackerRuns;   // "<program>|<command line>"
    std::vector<std::string> explorerStarts;
    bool failStarts = false;  // the unpacker and Explorer cannot be started
    std::uint32_t processId = 7;
    std::u16string commandLine = u"C:\\app\\run.exe";

private:
    std::vector<std::string>& calls_;
    FakeFiles& files_;
};

class FakeLibraries final : public Libraries {
public:
    struct Module {
        std::uint32_t loadError = 0;  // non-zero: loading fails with it
        std::set<std::string> exports = {"JNI_CreateJavaVM"};
        // Exports a test can call, by name; the other exports resolve to an
        // address that must not be called.
        std::map<std::string, void*> functions;
    };
    struct Load {
        std::string path;
        std::string pathVariable;  // PATH while it was loaded ("<unset>" when unset)
    };
    FakeLibraries(std::vector<std::string>& calls, FakeEnvironment& environment, FakeFiles& files)
        : calls_(calls), environment_(environment), files_(files) {}
    void* load(const std::string& pathOrName, std::uint32_t& error) override;
    void* moduleHandle(const char* name) override;
    void* resolve(void* module, const char* name) override;
    std::uint16_t processMachine() override { return machine; }
    std::string moduleFileName() override { return moduleName; }
    std::u16string moduleFileNameWide() override { return moduleNameWide; }

    // By moduleKey; "kernel32.dll" is there from the start.
    std::map<std::string, Module> modules;
    // The key of a library: that of its path (FakeFiles::key), or the
    // lower-cased bare name.
    std::string moduleKey(const std::string& pathOrName) const;
    std::vector<Load> loads;
    std::uint16_t machine = 0x014C;
    std::string moduleName = "C:\\app\\run.exe";
    std::u16string moduleNameWide = u"C:\\app\\run.exe";
private:
    std::vector<std::string>& calls_;
    FakeEnvironment& environment_;
    FakeFiles& files_;
    std::vector<std::unique_ptr<std::string>> handles_;
};

class FakeSemaphores final : public Semaphores {
public:
    explicit FakeSemaphores(std::vector<std::string>& calls) : calls_(calls) {}
    std::unique_ptr<Semaphore> create(const std::string& name, std::uint32_t& lastError) override;
    std::map<std::string, int> open;  // handles open per name (a test adds those of other processes)
    bool failCreate = false;
    std::set<std::string> failNames;  // creating a semaphore of one of these names fails
    // Runs inside every WaitForSingleObject, with the semaphore's name: what
    // other processes do meanwhile.
    std::function<void(const std::string& name)> duringWait;

private:
    std::vector<std::string>& calls_;
};

class FakeWindows final : public TopLevelWindows {
public:
    struct Window {
        std::uint32_t processId = 0;
        bool visible = true;
        bool minimised = false;
        WindowHandle popup = nullptr;  // null: the window itself
    };
    explicit FakeWindows(std::vector<std::string>& calls) : calls_(calls) {}
    std::vector<WindowHandle> enumerate() override;
    bool isVisible(WindowHandle window) override;
    std::uint32_t processOf(WindowHandle window) override;
    bool isMinimised(WindowHandle window) override;
    void restore(WindowHandle window) override;
    void setForeground(WindowHandle window) override;
    WindowHandle lastActivePopup(WindowHandle window) override;
    // Adds a window; returns its handle.
    WindowHandle add(const Window& window);
    std::vector<std::pair<WindowHandle, Window>> all;  // in enumeration order

private:
    Window* find(WindowHandle window);
    std::vector<std::string>& calls_;
};

class FakeDialogs final : public Dialogs {
public:
    FakeDialogs(std::vector<std::string>& calls, std::vector<ShownMessage>& messages)
        : calls_(calls), messages_(messages) {}
    void showError(const std::string& text, const std::string& caption) override;
    void showPlain(const std::string& text, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    std::vector<ShownMessage> plain;      // MB_OK boxes
    std::vector<ShownMessage> questions;  // MB_YESNO boxes
    bool answerYes = false;

private:
    std::vector<std::string>& calls_;
    std::vector<ShownMessage>& messages_;
};

class FakeResources final : public OwnResources {
public:
    bool find(std::uint16_t type, std::uint16_t id, Found& found) override;
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::string> data;  // (type, id) -> bytes
};

class FakeConsole final : public Console {
public:
    FakeConsole(std::vector<std::string>& calls, std::vector<ShownMessage>& messages)
        : calls_(calls), messages_(messages) {}
    bool canAttach() override { return attachExists; }
    bool attachToParent(std::uint32_t& error) override;
    bool allocate() override;
    std::uint32_t outputCodePage() override { return codePage; }
    void writeStandardError(const std::string& text) override;
    void writeStandardOutput(const std::string& text) override;
    bool attachExists = true;
    std::uint32_t attachError = 6;  // ERROR_INVALID_HANDLE: the parent has no console
    bool allocateSucceeds = true;
    std::uint32_t codePage = 437;
    std::string standardOutput;

private:
    std::vector<std::string>& calls_;
    std::vector<ShownMessage>& messages_;
};

class FakeMachine final : public Machine {
public:
    explicit FakeMachine(std::vector<std::string>& calls) : calls_(calls) {}
    void initCommonControls() override;
    bool isWindowsNT() override { return windowsNT; }
    bool enableShutdownPrivilege() override;
    void requestRestart() override;
    void sleep(std::uint32_t milliseconds) override;
    std::string localTimeText() override { return "Thu Jan  1 00:00:00 1970\n"; }
    int timeSeededRandom() override { return 4711; }
    std::uint16_t userLanguageId() override { return languageId; }
    bool windowsNT = true;
    bool shutdownPrivilege = true;
    std::uint16_t languageId = 0x0409;
    std::uint64_t sleptMs = 0;
    // Runs inside every Sleep: what other processes do meanwhile.
    std::function<void()> duringSleep;

private:
    std::vector<std::string>& calls_;
};

// Every fake, wired together: a file written by a probe exists in `files`, a
// library sees PATH of `environment`. Installed while it lives; on destruction
// the inert system is back. The disk holds C:\ and C:\Temp.
class FakeSystem {
public:
    FakeSystem();
    ~FakeSystem();
    FakeSystem(const FakeSystem&) = delete;
    FakeSystem& operator=(const FakeSystem&) = delete;

    // The calls whose text begins with one of `prefixes`, in order.
    std::vector<std::string> callsStartingWith(std::initializer_list<const char*> prefixes) const;

    std::vector<std::string> calls;
    std::vector<ShownMessage> messages;  // error boxes and standard-error lines, in order
    FakeCodePage codePage;
    FakeFiles files{calls, codePage};
    FakeEnvironment environment{calls};
    FakeRegistry registry{calls};
    FakeProcesses processes{calls, files};
    FakeLibraries libraries{calls, environment, files};
    FakeSemaphores semaphores{calls};
    FakeWindows windows{calls};
    FakeDialogs dialogs{calls, messages};
    FakeResources resources;
    FakeConsole console{calls, messages};
    FakeMachine machine{calls};
};

}  // namespace qarvo::os::testing
