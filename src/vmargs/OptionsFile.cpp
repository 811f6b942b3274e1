#include "vmargs/OptionsFile.h"

#include <cstdio>
#include <cstring>

namespace qarvo {

namespace {

class StandardOptionsFile final : public OptionsFile {
public:
    explicit StandardOptionsFile(std::FILE* stream) : stream_(stream) {}
    ~StandardOptionsFile() override { std::fclose(stream_); }
    StandardOptionsFile(const StandardOptionsFile&) = delete;
    StandardOptionsFile& operator=(const StandardOptionsFile&) = delete;

    bool readPiece(std::string& piece) override {
        char buffer[optionLineCapacity + 1];
        if (!std::fgets(buffer, sizeof buffer, stream_)) return false;
        // A NUL byte in the file ends the piece early, as it ends the C string.
        piece.assign(buffer, std::strlen(buffer));
        return true;
    }
    const void* handle() const override { return stream_; }

private:
    std::FILE* stream_;
};

class StandardOptionsFileOpener final : public OptionsFileOpener {
public:
    std::unique_ptr<OptionsFile> open(const std::string& path) override {
        std::FILE* stream = std::fopen(path.c_str(), "rt");
        if (!stream) return nullptr;
        return std::make_unique<StandardOptionsFile>(stream);
    }
};

StandardOptionsFileOpener standardOpener;
OptionsFileOpener* installed = &standardOpener;

}  // namespace

OptionsFileOpener& optionsFiles() { return *installed; }
void installOptionsFileOpener(OptionsFileOpener& opener) { installed = &opener; }
void installStandardOptionsFiles() { installed = &standardOpener; }

}  // namespace qarvo
