#include "builder/testing/MemoryHost.h"

#include <cstring>

namespace qarvo::builder::testing {

namespace {

class MemoryInput final : public InputFile {
public:
    explicit MemoryInput(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    Result readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        if (offset >= bytes_.size()) return {};
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, bytes_.size() - offset));
        std::memcpy(buffer, bytes_.data() + offset, n);
        return {n, true, 0};
    }
    std::uint64_t size() override { return bytes_.size(); }

private:
    const std::vector<std::uint8_t>& bytes_;
};

class MemoryOutput final : public OutputFile {
public:
    MemoryOutput(MemoryHost& host, std::string path) : host_(host), path_(std::move(path)) { ++host_.openOutputs; }
    ~MemoryOutput() override { --host_.openOutputs; }
    bool write(const void* bytes, std::size_t size, std::string& error) override {
        if (host_.failWritesAfter && host_.bytesWritten + size > *host_.failWritesAfter) {
            error = "cannot write " + path_ + ": no space left on device";
            return false;
        }
        host_.bytesWritten += size;
        const auto* p = static_cast<const std::uint8_t*>(bytes);
        bytes_.insert(bytes_.end(), p, p + size);
        return true;
    }
    bool patch(std::uint64_t offset, const void* bytes, std::size_t size, std::string& error) override {
        if (offset + size > bytes_.size()) {
            error = "patch beyond the end";
            return false;
        }
        std::memcpy(bytes_.data() + offset, bytes, size);
        return true;
    }
    bool commit(std::string&) override {
        host_.files[path_] = std::move(bytes_);
        return true;
    }

private:
    MemoryHost& host_;
    std::string path_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::string MemoryHost::text(const std::string& path) const {
    const auto it = files.find(path);
    return it == files.end() ? std::string() : std::string(it->second.begin(), it->second.end());
}

std::unique_ptr<InputFile> MemoryHost::openInput(const std::string& path, std::string& error) {
    const auto it = files.find(path);
    if (it == files.end()) {
        error = "cannot open " + path + ": no such file";
        return nullptr;
    }
    return std::make_unique<MemoryInput>(it->second);
}

bool MemoryHost::readFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    const auto it = files.find(path);
    if (it == files.end()) {
        error = "cannot open " + path + ": no such file";
        return false;
    }
    bytes = it->second;
    return true;
}

std::unique_ptr<OutputFile> MemoryHost::createOutput(const std::string& path, std::string&) {
    return std::make_unique<MemoryOutput>(*this, path);
}

std::optional<std::uint64_t> MemoryHost::fileSize(const std::string& path) {
    const auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.size();
}

std::optional<std::string> MemoryHost::environment(const std::string& name) {
    const auto it = variables.find(name);
    if (it == variables.end()) return std::nullopt;
    return it->second;
}

}  // namespace qarvo::builder::testing
