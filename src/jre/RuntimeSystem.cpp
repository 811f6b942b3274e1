#include "jre/RuntimeSystem.h"

#include "image/PeLayout.h"

namespace qarvo {

namespace {

constexpr std::uint32_t errorFileNotFound = 2;

class NoRuntimeFiles final : public RuntimeFiles {
public:
    bool readFile(const std::string&, std::uint64_t, std::size_t, std::string&) override { return false; }
    bool deleteFile(const std::string&) override { return false; }
    bool shortPathName(const std::string&, std::string&) override { return false; }
    bool searchPath(const std::string&, std::string&) override { return false; }
};

class NoProbeProcess final : public ProbeProcess {
public:
    ProbeRun run(const std::string&, const std::string&, std::uint32_t) override {
        ProbeRun none;
        none.error = errorFileNotFound;
        return none;
    }
};

class NoLibraryLoader final : public LibraryLoader {
public:
    void* load(const std::string&, std::uint32_t& error) override {
        error = errorFileNotFound;
        return nullptr;
    }
    void* symbol(void*, const char*) override { return nullptr; }
    bool setPath(const char*, std::uint32_t& error) override {
        error = errorFileNotFound;
        return false;
    }
    std::uint16_t processMachine() override { return pe::machineI386; }
};

NoRuntimeFiles noRuntimeFiles;
NoProbeProcess noProbeProcess;
NoLibraryLoader noLibraryLoader;
RuntimeFiles* installedFiles = &noRuntimeFiles;
ProbeProcess* installedProcess = &noProbeProcess;
LibraryLoader* installedLoader = &noLibraryLoader;

}  // namespace

RuntimeFiles& runtimeFiles() { return *installedFiles; }
ProbeProcess& probeProcess() { return *installedProcess; }
LibraryLoader& libraryLoader() { return *installedLoader; }
void installRuntimeFiles(RuntimeFiles& files) { installedFiles = &files; }
void installProbeProcess(ProbeProcess& process) { installedProcess = &process; }
void installLibraryLoader(LibraryLoader& loader) { installedLoader = &loader; }

void resetRuntimeSystemForTesting() {
    installedFiles = &noRuntimeFiles;
    installedProcess = &noProbeProcess;
    installedLoader = &noLibraryLoader;
}

}  // namespace qarvo
