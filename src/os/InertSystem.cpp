// The system of native builds until something is installed (and what fuzzers
// run against): nothing exists, nothing can be created or started, nothing is
// shown. Narrow text is ISO 8859-1, the first 256 code points.
#include <cstdlib>

#include "os/System.h"

namespace qarvo::os {

namespace {

class InertFiles final : public Files {
public:
    std::vector<DirectoryEntry> find(const std::string&, std::size_t) override { return {}; }
    bool attributes(const std::string&, std::uint32_t&, std::uint32_t& error) override {
        error = errorFileNotFound;
        return false;
    }
    std::unique_ptr<ReadableFile> openForReading(const std::string&, std::uint32_t& error) override {
        error = errorFileNotFound;
        return nullptr;
    }
    std::unique_ptr<WritableFile> create(const std::string&, Creation, std::uint32_t& error) override {
        error = errorAccessDenied;
        return nullptr;
    }
    bool deleteFile(const std::string&, std::uint32_t& error) override {
        error = errorFileNotFound;
        return false;
    }
    bool createDirectory(const std::string&, std::uint32_t& error) override {
        error = errorAccessDenied;
        return false;
    }
    bool removeDirectory(const std::string&) override { return false; }
    bool setCurrentDirectory(const std::string&) override { return false; }
    std::unique_ptr<TextReader> openText(const std::string&) override { return nullptr; }
    std::unique_ptr<TextWriter> writeText(const std::string&, bool) override { return nullptr; }
    std::string fullPathName(const std::string& path) override { return path; }
    bool shortPathName(const std::string&, std::size_t, std::string&) override { return false; }
    std::uint32_t systemLongPathName(const char*, char*, std::uint32_t, bool& available,
                                     std::uint32_t& error) override {
        available = false;
        error = errorCallNotImplemented;
        return 0;
    }
    std::uint32_t emulatedLongPathName(const char*, char*, std::uint32_t) override { return 0; }
    bool longPathNameWide(const std::u16string&, std::u16string&) override { return false; }
    bool shortPathNameWide(const std::u16string&, std::u16string&) override { return false; }
    bool searchPath(const std::string&, std::string&) override { return false; }
    std::uint32_t tempPath(std::string& path, std::uint32_t& error) override {
        path.clear();
        error = 0;
        return 0;
    }
    std::uint32_t tempFileName(const std::string&, const char*, std::string& name, std::uint32_t& error) override {
        name.clear();
        error = errorPathNotFound;
        return 0;
    }
    std::string windowsDirectory() override { return {}; }
};

class InertEnvironment final : public Environment {
public:
    bool get(const char*, std::string&) override { return false; }
    bool set(const char*, const char*, std::uint32_t& error) override {
        error = errorAccessDenied;
        return false;
    }
    void putRuntime(const std::string&) override {}
    std::vector<std::string> block() override { return {}; }
};

class InertRegistry final : public Registry {
public:
    bool readValue(Hive, RegistryView, const std::string&, const std::string&, std::size_t,
                   std::string&) override {
        return false;
    }
    bool subkeyNames(Hive, RegistryView, const std::string&, std::size_t, std::vector<std::string>&) override {
        return false;
    }
    bool writeValue(Hive, RegistryView, const std::string&, const std::string&, ValueType,
                    const std::string&) override {
        return false;
    }
};

class InertProcesses final : public Processes {
public:
    ProbeRun runProbe(const std::string&, const std::string&, std::uint32_t) override {
        ProbeRun run;
        run.error = errorFileNotFound;
        return run;
    }
    bool runUnpacker(const std::string&, const std::string&, void (*)(), std::uint32_t& error) override {
        error = errorFileNotFound;
        return false;
    }
    bool startExplorer(const std::string&, std::uint32_t& error) override {
        error = errorFileNotFound;
        return false;
    }
    std::uint32_t currentProcessId() override { return 0; }
    std::u16string commandLineWide() override { return {}; }
    void exitProcess(int code) override { std::_Exit(code); }
    void exitThroughRuntime(int code) override { std::exit(code); }
};

class InertLibraries final : public Libraries {
public:
    void* load(const std::string&, std::uint32_t& error) override {
        error = errorFileNotFound;
        return nullptr;
    }
    void* moduleHandle(const char*) override { return nullptr; }
    void* resolve(void*, const char*) override { return nullptr; }
    std::uint16_t processMachine() override { return 0x014C; }
    std::string moduleFileName() override { return {}; }
    std::u16string moduleFileNameWide() override { return {}; }
};

class InertSemaphores final : public Semaphores {
public:
    std::unique_ptr<Semaphore> create(const std::string&, std::uint32_t& lastError) override {
        lastError = errorAccessDenied;
        return nullptr;
    }
};

class InertWindows final : public TopLevelWindows {
public:
    std::vector<WindowHandle> enumerate() override { return {}; }
    bool isVisible(WindowHandle) override { return false; }
    std::uint32_t processOf(WindowHandle) override { return 0; }
    bool isMinimised(WindowHandle) override { return false; }
    void restore(WindowHandle) override {}
    void setForeground(WindowHandle) override {}
    WindowHandle lastActivePopup(WindowHandle window) override { return window; }
};

class InertDialogs final : public Dialogs {
public:
    void showError(const std::string&, const std::string&) override {}
    void showPlain(const std::string&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
};

class InertResources final : public OwnResources {
public:
    bool find(std::uint16_t, std::uint16_t, Found&) override { return false; }
};

class InertConsole final : public Console {
public:
    bool canAttach() override { return false; }
    bool attachToParent(std::uint32_t& error) override {
        error = errorAccessDenied;
        return false;
    }
    bool allocate() override { return false; }
    std::uint32_t outputCodePage() override { return 0; }
    void writeStandardError(const std::string&) override {}
    void writeStandardOutput(const std::string&) override {}
};

class InertMachine final : public Machine {
public:
    void initCommonControls() override {}
    bool isWindowsNT() override { return true; }
    bool enableShutdownPrivilege() override { return false; }
    void requestRestart() override {}
    void sleep(std::uint32_t) override {}
    std::string localTimeText() override { return "\n"; }
    int timeSeededRandom() override { return 0; }
    std::uint16_t userLanguageId() override { return 0x0409; }
};

class Latin1CodePage final : public CodePage {
public:
    bool narrowToWide(std::string_view text, std::u16string& out) override {
        out.assign(text.begin(), text.end());
        for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<unsigned char>(text[i]);
        return true;
    }
    bool wideToNarrow(std::u16string_view text, std::string& out) override {
        out.clear();
        bool exact = true;
        for (char16_t c : text) {
            exact = exact && c <= 0xFF;
            out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
        }
        return exact;
    }
    void lowerCaseWide(std::u16string& text) override {
        for (char16_t& c : text) {
            if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c += 0x20;
        }
    }
    bool isLeadByte(unsigned char) override { return false; }
};

InertFiles inertFiles;
InertEnvironment inertEnvironment;
InertRegistry inertRegistry;
InertProcesses inertProcesses;
InertLibraries inertLibraries;
InertSemaphores inertSemaphores;
InertWindows inertWindows;
InertDialogs inertDialogs;
InertResources inertResources;
InertConsole inertConsole;
InertMachine inertMachine;
Latin1CodePage latin1CodePage;

}  // namespace

const System defaultSystem = {&inertFiles,     &inertEnvironment, &inertRegistry, &inertProcesses,
                              &inertLibraries, &inertSemaphores,  &inertWindows,  &inertDialogs,
                              &inertResources, &inertConsole,     &inertMachine,  &latin1CodePage};

}  // namespace qarvo::os
