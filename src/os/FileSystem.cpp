#include "os/FileSystem.h"

namespace qarvo {

namespace {
class EmptyFileSystem final : public FileSystem {
public:
    bool findFirst(const std::string&, FileTime*) override { return false; }
    std::vector<std::string> findAll(const std::string&) override { return {}; }
    bool makeDirectory(const std::string&) override { return false; }
    bool removeDirectory(const std::string&) override { return false; }
};
EmptyFileSystem emptyFileSystem;
FileSystem* installed = &emptyFileSystem;
}  // namespace

FileSystem& fileSystem() { return *installed; }
void installFileSystem(FileSystem& fs) { installed = &fs; }

}  // namespace qarvo
