// Files and directories as the launcher uses them: directory searches,
// attributes, reading at offsets, creating and writing, deleting, text files
// through the C runtime, and the names the system gives a path (full, short,
// long, on the search path, temporary).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image/ByteSource.h"

namespace qarvo::os {

// A Windows FILETIME: 100-ns intervals since 1601, low word first.
struct FileTime {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    bool operator==(const FileTime&) const = default;
};

// One entry of a directory search.
struct DirectoryEntry {
    std::string name;        // without its directory
    bool directory = false;  // FILE_ATTRIBUTE_DIRECTORY
    FileTime lastWrite;
};

// Attribute bits as GetFileAttributesA reports them.
constexpr std::uint32_t attributeDirectory = 0x10;

// System error codes the core tests for.
constexpr std::uint32_t errorFileNotFound = 2;
constexpr std::uint32_t errorPathNotFound = 3;
constexpr std::uint32_t errorAccessDenied = 5;
constexpr std::uint32_t errorFileExists = 80;
constexpr std::uint32_t errorCallNotImplemented = 120;
constexpr std::uint32_t errorAlreadyExists = 183;

// The result of one read or write call: the bytes read or written, whether
// the call itself succeeded, the system error after it.
using IoResult = ByteSource::Result;

// A file opened for reading at explicit offsets, closed when destroyed: a byte
// source for the image readers.
using ReadableFile = ByteSource;

// A file opened for writing (GENERIC_WRITE, no sharing); closed when destroyed.
class WritableFile {
public:
    virtual ~WritableFile() = default;
    // One WriteFile call: the bytes it wrote, or failure with the system error.
    virtual IoResult write(const void* data, std::size_t size) = 0;
};

// A text file read through the C runtime (fopen with "rt", then fgets).
class TextReader {
public:
    virtual ~TextReader() = default;
    // The next piece as fgets gives it into a buffer of `capacity` bytes: up to
    // and including the next line feed, at most capacity - 1 characters, with
    // CR LF turned into LF. False at the end of the file.
    virtual bool readPiece(std::string& piece, std::size_t capacity) = 0;
    // The stream to show in log lines ("%p").
    virtual const void* handle() const = 0;
};

// A text file written through the C runtime (fopen with "w" or "a"): every
// line feed is stored as CR LF.
class TextWriter {
public:
    virtual ~TextWriter() = default;
    virtual void write(std::string_view text) = 0;
    virtual void flush() = 0;
};

class Files {
public:
    virtual ~Files() = default;

    // A directory search for `pattern` (FindFirstFileA, then FindNextFileA):
    // the entries it finds in file-system order, at most `limit` of them,
    // "." and ".." included as the system reports them. Empty when nothing
    // matches.
    virtual std::vector<DirectoryEntry> find(const std::string& pattern, std::size_t limit) = 0;
    // GetFileAttributesA. False, with the system error, when the path does not
    // exist or cannot be asked about.
    virtual bool attributes(const std::string& path, std::uint32_t& attributes, std::uint32_t& error) = 0;

    // Opens an existing file for reading, sharing read and write. Null
    // with the system error on failure.
    virtual std::unique_ptr<ReadableFile> openForReading(const std::string& path, std::uint32_t& error) = 0;
    enum class Creation {
        replace,    // CREATE_ALWAYS: an existing file is replaced
        createNew,  // CREATE_NEW: fails when the file exists
    };
    // Creates a file for writing without sharing. Null with the system error
    // on failure.
    virtual std::unique_ptr<WritableFile> create(const std::string& path, Creation creation,
                                                 std::uint32_t& error) = 0;
    // DeleteFileA.
    virtual bool deleteFile(const std::string& path, std::uint32_t& error) = 0;
    // CreateDirectoryA without security attributes.
    virtual bool createDirectory(const std::string& path, std::uint32_t& error) = 0;
    // RemoveDirectoryA: only an empty directory goes.
    virtual bool removeDirectory(const std::string& path) = 0;
    // SetCurrentDirectoryA.
    virtual bool setCurrentDirectory(const std::string& path) = 0;

    // fopen(path, "rt"); null when the file cannot be opened.
    virtual std::unique_ptr<TextReader> openText(const std::string& path) = 0;
    // fopen(path, "a") when appending, else fopen(path, "w"); null on failure.
    virtual std::unique_ptr<TextWriter> writeText(const std::string& path, bool append) = 0;

    // GetFullPathNameA into 8192 bytes: absolute, "." and ".." resolved;
    // `path` unchanged on failure.
    virtual std::string fullPathName(const std::string& path) = 0;
    // GetShortPathNameA into `capacity` bytes. False when it fails or the
    // short form does not fit.
    virtual bool shortPathName(const std::string& path, std::size_t capacity, std::string& shortPath) = 0;
    // GetLongPathNameA of KERNEL32, with its arguments and result. `available`
    // is false (and nothing is done) when the system lacks the function;
    // `error` is the system error after the call.
    virtual std::uint32_t systemLongPathName(const char* path, char* buffer, std::uint32_t size, bool& available,
                                             std::uint32_t& error) = 0;
    // The long form of an existing path through the shell's desktop folder,
    // for systems without GetLongPathNameA; the same arguments and result.
    virtual std::uint32_t emulatedLongPathName(const char* path, char* buffer, std::uint32_t size) = 0;
    // GetLongPathNameW and GetShortPathNameW into 8192 units; false on failure.
    virtual bool longPathNameWide(const std::u16string& path, std::u16string& longPath) = 0;
    virtual bool shortPathNameWide(const std::u16string& path, std::u16string& shortPath) = 0;
    // SearchPathA with the system's search order for executables, into 8192
    // bytes. False when `fileName` is not found.
    virtual bool searchPath(const std::string& fileName, std::string& found) = 0;

    // GetTempPathA into 8192 bytes: its result, the text (empty when it did not
    // fit) and the system error after the call.
    virtual std::uint32_t tempPath(std::string& path, std::uint32_t& error) = 0;
    // GetTempFileNameA(directory, prefix, 0): creates an empty file with a new
    // name and returns non-zero; 0 with the system error on failure.
    virtual std::uint32_t tempFileName(const std::string& directory, const char* prefix, std::string& name,
                                       std::uint32_t& error) = 0;
    // GetWindowsDirectoryA; empty when it does not fit 8192 bytes.
    virtual std::string windowsDirectory() = 0;
};

}  // namespace qarvo::os
