// A Files service that hands every call to another one: the base of test
// stand-ins that change a single call of a real or fake file system.
#pragma once

#include "os/Files.h"

namespace qarvo::os::testing {

class ForwardingFiles : public Files {
public:
    explicit ForwardingFiles(Files& next) : next_(next) {}

    std::vector<DirectoryEntry> find(const std::string& pattern, std::size_t limit) override {
        return next_.find(pattern, limit);
    }
    bool attributes(const std::string& path, std::uint32_t& attributes, std::uint32_t& error) override {
        return next_.attributes(path, attributes, error);
    }
    std::unique_ptr<ReadableFile> openForReading(const std::string& path, std::uint32_t& error) override {
        return next_.openForReading(path, error);
    }
    std::unique_ptr<WritableFile> create(const std::string& path, Creation creation, std::uint32_t& error) override {
        return next_.create(path, creation, error);
    }
    bool deleteFile(const std::string& path, std::uint32_t& error) override { return next_.deleteFile(path, error); }
    bool createDirectory(const std::string& path, std::uint32_t& error) override {
        return next_.createDirectory(path, error);
    }
    bool removeDirectory(const std::string& path) override { return next_.removeDirectory(path); }
    bool setCurrentDirectory(const std::string& path) override { return next_.setCurrentDirectory(path); }
    std::unique_ptr<TextReader> openText(const std::string& path) override { return next_.openText(path); }
    std::unique_ptr<TextWriter> writeText(const std::string& path, bool append) override {
        return next_.writeText(path, append);
    }
    std::string fullPathName(const std::string& path) override { return next_.fullPathName(path); }
    bool shortPathName(const std::string& path, std::size_t capacity, std::string& shortPath) override {
        return next_.shortPathName(path, capacity, shortPath);
    }
    std::uint32_t systemLongPathName(const char* path, char* buffer, std::uint32_t size, bool& available,
                                     std::uint32_t& error) override {
        return next_.systemLongPathName(path, buffer, size, available, error);
    }
    std::uint32_t emulatedLongPathName(const char* path, char* buffer, std::uint32_t size) override {
        return next_.emulatedLongPathName(path, buffer, size);
    }
    bool longPathNameWide(const std::u16string& path, std::u16string& longPath) override {
        return next_.longPathNameWide(path, longPath);
    }
    bool shortPathNameWide(const std::u16string& path, std::u16string& shortPath) override {
        return next_.shortPathNameWide(path, shortPath);
    }
    bool searchPath(const std::string& fileName, std::string& found) override {
        return next_.searchPath(fileName, found);
    }
    std::uint32_t tempPath(std::string& path, std::uint32_t& error) override { return next_.tempPath(path, error); }
    std::uint32_t tempFileName(const std::string& directory, const char* prefix, std::string& name,
                               std::uint32_t& error) override {
        return next_.tempFileName(directory, prefix, name, error);
    }
    std::string windowsDirectory() override { return next_.windowsDirectory(); }

private:
    Files& next_;
};

}  // namespace qarvo::os::testing
