// The Win32 side of the runtime search: file reads, short names and the
// search path; the hidden "-version" run; LoadLibraryA and PATH.
#pragma once

#include "jre/RuntimeSystem.h"

namespace qarvo {

class WindowsRuntimeFiles final : public RuntimeFiles {
public:
    bool readFile(const std::string& path, std::uint64_t offset, std::size_t maxBytes, std::string& bytes) override;
    bool deleteFile(const std::string& path) override;
    bool shortPathName(const std::string& path, std::string& shortPath) override;
    bool searchPath(const std::string& fileName, std::string& found) override;
};

class WindowsProbeProcess final : public ProbeProcess {
public:
    ProbeRun run(const std::string& commandLine, const std::string& standardErrorFile,
                 std::uint32_t timeoutMs) override;
};

class WindowsLibraryLoader final : public LibraryLoader {
public:
    void* load(const std::string& path, std::uint32_t& error) override;
    void* symbol(void* module, const char* name) override;
    bool setPath(const char* value, std::uint32_t& error) override;
    std::uint16_t processMachine() override;
};

}  // namespace qarvo
