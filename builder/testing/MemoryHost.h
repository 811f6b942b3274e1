// An in-memory host for the build tool's tests: files are byte vectors by
// path, outputs appear under their name only when committed, and writes can
// be made to fail after a number of bytes.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "builder/HostSystem.h"

namespace qarvo::builder::testing {

class MemoryHost final : public Host {
public:
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::map<std::string, std::string> variables;
    std::string standardError;
    bool terminal = false;
    std::string tool = "/opt/qarvo/bin";
    // Writes fail once this many bytes have gone into outputs altogether.
    std::optional<std::uint64_t> failWritesAfter;
    std::uint64_t bytesWritten = 0;
    int openOutputs = 0;  // outputs created and not yet destroyed

    void addFile(const std::string& path, const std::string& text) { files[path].assign(text.begin(), text.end()); }
    std::string text(const std::string& path) const;

    std::unique_ptr<InputFile> openInput(const std::string& path, std::string& error) override;
    bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) override;
    std::unique_ptr<OutputFile> createOutput(const std::string& path, std::string& error) override;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    bool isDirectory(const std::string&) override { return false; }
    bool sameFile(const std::string& a, const std::string& b) override { return a == b && files.count(a) != 0; }
    std::optional<std::string> environment(const std::string& name) override;
    bool standardErrorIsTerminal() override { return terminal; }
    void writeStandardError(const std::string& text) override { standardError += text; }
    std::string toolDirectory() override { return tool; }
};

}  // namespace qarvo::builder::testing
