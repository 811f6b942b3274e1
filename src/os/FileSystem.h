// File queries and directory changes the core makes, behind an interface so
// native tests run against an in-memory file system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qarvo {

// A Windows FILETIME: 100-ns intervals since 1601, low word first.
struct FileTime {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    bool operator==(const FileTime&) const = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The first entry a directory search for `pattern` finds (FindFirstFileA:
    // wildcards allowed); false when nothing matches. Stores its last-write
    // time when `lastWrite` is given.
    virtual bool findFirst(const std::string& pattern, FileTime* lastWrite) = 0;
    // Names (without directory) of every entry the search for `pattern` finds,
    // in the order the file system returns them.
    virtual std::vector<std::string> findAll(const std::string& pattern) = 0;
    // The C runtime's _mkdir: true when it created the directory.
    virtual bool makeDirectory(const std::string& path) = 0;
    // The C runtime's _rmdir: true when it removed the (empty) directory.
    virtual bool removeDirectory(const std::string& path) = 0;
};

// The installed file system (until one is installed: one where nothing exists).
FileSystem& fileSystem();
void installFileSystem(FileSystem& fs);

}  // namespace qarvo
