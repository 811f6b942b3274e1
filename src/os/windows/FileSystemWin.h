#pragma once

#include "os/FileSystem.h"

namespace qarvo {

// FindFirstFileA/FindNextFileA and the C runtime's _mkdir/_rmdir.
class WindowsFileSystem final : public FileSystem {
public:
    bool findFirst(const std::string& pattern, FileTime* lastWrite) override;
    std::vector<std::string> findAll(const std::string& pattern) override;
    bool makeDirectory(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
};

}  // namespace qarvo
