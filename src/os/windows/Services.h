// The Win32 implementation of every service of the seam. Each method makes the
// calls its contract in os/ names and reports what happened; none decides
// anything. WindowsSystem.cpp installs one object of each.
#pragma once

#include "os/System.h"

namespace qarvo::os::win32 {

class WindowsFiles final : public Files {
public:
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
    std::string windowsDirectory() override;
};

class WindowsEnvironment final : public Environment {
public:
    bool get(const char* name, std::string& value) override;
    bool set(const char* name, const char* value, std::uint32_t& error) override;
    void putRuntime(const std::string& assignment) override;
    std::vector<std::string> block() override;
};

class WindowsRegistry final : public Registry {
public:
    bool readValue(Hive hive, RegistryView view, const std::string& subkey, const std::string& name,
                   std::size_t capacity, std::string& data) override;
    bool subkeyNames(Hive hive, RegistryView view, const std::string& subkey, std::size_t limit,
                     std::vector<std::string>& names) override;
    bool writeValue(Hive hive, RegistryView view, const std::string& subkey, const std::string& name,
                    ValueType type, const std::string& data) override;
};

class WindowsProcesses final : public Processes {
public:
    ProbeRun runProbe(const std::string& commandLine, const std::string& standardErrorFile,
                      std::uint32_t timeoutMs) override;
    bool runUnpacker(const std::string& program, const std::string& commandLine, void (*started)(),
                     std::uint32_t& error) override;
    bool startExplorer(const std::string& commandLine, std::uint32_t& error) override;
    std::uint32_t currentProcessId() override;
    std::u16string commandLineWide() override;
    [[noreturn]] void exitProcess(int code) override;
    [[noreturn]] void exitThroughRuntime(int code) override;
};

class WindowsLibraries final : public Libraries {
public:
    void* load(const std::string& pathOrName, std::uint32_t& error) override;
    void* moduleHandle(const char* name) override;
    void* resolve(void* module, const char* name) override;
    std::uint16_t processMachine() override;
    std::string moduleFileName() override;
    std::u16string moduleFileNameWide() override;
};

class WindowsSemaphores final : public Semaphores {
public:
    std::unique_ptr<Semaphore> create(const std::string& name, std::uint32_t& lastError) override;
};

class WindowsTopLevelWindows final : public TopLevelWindows {
public:
    std::vector<WindowHandle> enumerate() override;
    bool isVisible(WindowHandle window) override;
    std::uint32_t processOf(WindowHandle window) override;
    bool isMinimised(WindowHandle window) override;
    void restore(WindowHandle window) override;
    void setForeground(WindowHandle window) override;
    WindowHandle lastActivePopup(WindowHandle window) override;
};

class WindowsDialogs final : public Dialogs {
public:
    void showError(const std::string& text, const std::string& caption) override;
    void showPlain(const std::string& text, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
};

class WindowsResources final : public OwnResources {
public:
    bool find(std::uint16_t type, std::uint16_t id, Found& found) override;
};

class WindowsConsole final : public Console {
public:
    bool canAttach() override;
    bool attachToParent(std::uint32_t& error) override;
    bool allocate() override;
    std::uint32_t outputCodePage() override;
    void writeStandardError(const std::string& text) override;
    void writeStandardOutput(const std::string& text) override;
};

class WindowsMachine final : public Machine {
public:
    void initCommonControls() override;
    bool isWindowsNT() override;
    bool enableShutdownPrivilege() override;
    void requestRestart() override;
    void sleep(std::uint32_t milliseconds) override;
    std::string localTimeText() override;
    int timeSeededRandom() override;
    std::uint16_t userLanguageId() override;
};

class WindowsCodePage final : public CodePage {
public:
    bool narrowToWide(std::string_view text, std::u16string& out) override;
    bool wideToNarrow(std::u16string_view text, std::string& out) override;
    void lowerCaseWide(std::u16string& text) override;
    bool isLeadByte(unsigned char byte) override;
};

// The code page the file functions use: ANSI unless they were switched to OEM.
unsigned fileApiCodePage();

}  // namespace qarvo::os::win32
