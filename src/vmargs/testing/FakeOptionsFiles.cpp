#include "vmargs/testing/FakeOptionsFiles.h"

#include <algorithm>

#include "os/testing/Fakes.h"

namespace qarvo::testing {

namespace {

class FakeOptionsFile final : public OptionsFile {
public:
    FakeOptionsFile(std::string content, int& openNow) : content_(std::move(content)), openNow_(openNow) {}
    ~FakeOptionsFile() override { --openNow_; }
    FakeOptionsFile(const FakeOptionsFile&) = delete;
    FakeOptionsFile& operator=(const FakeOptionsFile&) = delete;

    // fgets into an 8192-byte buffer.
    bool readPiece(std::string& piece) override {
        if (at_ >= content_.size()) return false;
        std::size_t end = content_.find('\n', at_);
        end = end == std::string::npos ? content_.size() : end + 1;
        end = std::min(end, at_ + optionLineCapacity);
        piece = content_.substr(at_, end - at_);
        at_ = end;
        return true;
    }
    const void* handle() const override { return this; }

private:
    std::string content_;
    std::size_t at_ = 0;
    int& openNow_;
};

// Windows opens C:\a\..\b.txt as C:\b.txt, whatever the letter case.
std::string fileKey(const std::string& path) { return FakeFileSystem::key(FakePathSystem().fullPathName(path)); }

// Text mode turns CR LF into LF before the program sees the characters.
std::string textMode(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text += bytes[i];
    }
    return text;
}

}  // namespace

FakeOptionsFiles::FakeOptionsFiles() { installOptionsFileOpener(*this); }
FakeOptionsFiles::~FakeOptionsFiles() { installStandardOptionsFiles(); }

std::unique_ptr<OptionsFile> FakeOptionsFiles::open(const std::string& path) {
    opened.push_back(path);
    auto it = files_.find(fileKey(path));
    if (it == files_.end()) return nullptr;
    mostOpen = std::max(mostOpen, ++openNow);
    return std::make_unique<FakeOptionsFile>(textMode(it->second), openNow);
}

void FakeOptionsFiles::add(const std::string& path, const std::string& content) {
    files_[fileKey(path)] = content;
}

}  // namespace qarvo::testing
