#include <windows.h>

#include <cstdio>
#include <cstring>

#include "os/windows/Handles.h"
#include "os/windows/Services.h"

namespace qarvo::os::win32 {

namespace {

constexpr DWORD nameCapacity = 8192;

FileTime fileTimeOf(const FILETIME& time) { return FileTime{time.dwLowDateTime, time.dwHighDateTime}; }

class Win32ReadableFile final : public ReadableFile {
public:
    explicit Win32ReadableFile(UniqueHandle handle) : handle_(std::move(handle)) {}

    IoResult readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        IoResult result;
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(handle_.get(), position, nullptr, FILE_BEGIN)) {
            result.ok = false;
            result.error = GetLastError();
            return result;
        }
        DWORD read = 0;
        result.ok = ReadFile(handle_.get(), buffer, static_cast<DWORD>(size), &read, nullptr) != 0;
        result.error = GetLastError();
        result.bytes = read;
        return result;
    }

    std::uint64_t size() override {
        LARGE_INTEGER size;
        return GetFileSizeEx(handle_.get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }

private:
    UniqueHandle handle_;
};

class Win32WritableFile final : public WritableFile {
public:
    explicit Win32WritableFile(UniqueHandle handle) : handle_(std::move(handle)) {}

    IoResult write(const void* data, std::size_t size) override {
        IoResult result;
        DWORD written = 0;
        result.ok = WriteFile(handle_.get(), data, static_cast<DWORD>(size), &written, nullptr) != 0;
        result.error = result.ok ? 0 : GetLastError();
        result.bytes = written;
        return result;
    }

private:
    UniqueHandle handle_;
};

class StdioReader final : public TextReader {
public:
    explicit StdioReader(std::FILE* stream) : stream_(stream) {}
    ~StdioReader() override { std::fclose(stream_); }
    StdioReader(const StdioReader&) = delete;
    StdioReader& operator=(const StdioReader&) = delete;

    bool readPiece(std::string& piece, std::size_t capacity) override {
        piece.assign(capacity, '\0');
        if (!std::fgets(piece.data(), static_cast<int>(capacity), stream_)) return false;
        // A NUL byte in the file ends the piece early, as it ends the C string.
        piece.resize(std::strlen(piece.c_str()));
        return true;
    }
    const void* handle() const override { return stream_; }

private:
    std::FILE* stream_;
};

class StdioWriter final : public TextWriter {
public:
    explicit StdioWriter(std::FILE* stream) : stream_(stream) {}
    ~StdioWriter() override { std::fclose(stream_); }
    StdioWriter(const StdioWriter&) = delete;
    StdioWriter& operator=(const StdioWriter&) = delete;

    void write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stream_); }
    void flush() override { std::fflush(stream_); }

private:
    std::FILE* stream_;
};

// A narrow result of a call that fills `capacity` bytes and returns the length
// written, or the size needed when it does not fit, or 0 on failure.
template <typename Call>
bool narrowResult(std::size_t capacity, std::string& out, Call call) {
    std::string buffer(capacity, '\0');
    DWORD n = call(buffer.data(), static_cast<DWORD>(capacity));
    if (n == 0 || n >= capacity) return false;
    buffer.resize(n);
    out = std::move(buffer);
    return true;
}

// The wide functions of kernel32 that NT 4 lacks, looked up at run time.
template <typename Function>
Function kernelFunction(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

using WidePathFunction = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

bool widePathCall(WidePathFunction function, const std::u16string& path, std::u16string& out) {
    if (!function) return false;
    std::wstring buffer(nameCapacity, L'\0');
    DWORD n = function(reinterpret_cast<const wchar_t*>(path.c_str()), buffer.data(), nameCapacity);
    if (n == 0 || n >= nameCapacity) return false;
    out.assign(reinterpret_cast<const char16_t*>(buffer.data()), n);
    return true;
}

}  // namespace

std::vector<DirectoryEntry> WindowsFiles::find(const std::string& pattern, std::size_t limit) {
    std::vector<DirectoryEntry> entries;
    WIN32_FIND_DATAA data;
    UniqueFind search(FindFirstFileA(pattern.c_str(), &data));
    if (!search) return entries;
    do {
        entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           fileTimeOf(data.ftLastWriteTime)});
    } while (entries.size() < limit && FindNextFileA(search.get(), &data));
    return entries;
}

bool WindowsFiles::attributes(const std::string& path, std::uint32_t& attributes, std::uint32_t& error) {
    DWORD found = GetFileAttributesA(path.c_str());
    error = found == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    attributes = found;
    return found != INVALID_FILE_ATTRIBUTES;
}

std::unique_ptr<ReadableFile> WindowsFiles::openForReading(const std::string& path, std::uint32_t& error) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = GetLastError();
        return nullptr;
    }
    error = 0;
    return std::make_unique<Win32ReadableFile>(std::move(file));
}

std::unique_ptr<WritableFile> WindowsFiles::create(const std::string& path, Creation creation, std::uint32_t& error) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                  creation == Creation::replace ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file) {
        error = GetLastError();
        return nullptr;
    }
    error = 0;
    return std::make_unique<Win32WritableFile>(std::move(file));
}

bool WindowsFiles::deleteFile(const std::string& path, std::uint32_t& error) {
    bool deleted = DeleteFileA(path.c_str()) != 0;
    error = deleted ? 0 : GetLastError();
    return deleted;
}

bool WindowsFiles::createDirectory(const std::string& path, std::uint32_t& error) {
    bool created = CreateDirectoryA(path.c_str(), nullptr) != 0;
    error = created ? 0 : GetLastError();
    return created;
}

bool WindowsFiles::removeDirectory(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

bool WindowsFiles::setCurrentDirectory(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

std::unique_ptr<TextReader> WindowsFiles::openText(const std::string& path) {
    std::FILE* stream = std::fopen(path.c_str(), "rt");
    return stream ? std::make_unique<StdioReader>(stream) : nullptr;
}

std::unique_ptr<TextWriter> WindowsFiles::writeText(const std::string& path, bool append) {
    std::FILE* stream = std::fopen(path.c_str(), append ? "a" : "w");
    return stream ? std::make_unique<StdioWriter>(stream) : nullptr;
}

std::string WindowsFiles::fullPathName(const std::string& path) {
    std::string full;
    if (!narrowResult(nameCapacity, full, [&](char* buffer, DWORD size) {
            return GetFullPathNameA(path.c_str(), size, buffer, nullptr);
        })) {
        return path;
    }
    return full;
}

bool WindowsFiles::shortPathName(const std::string& path, std::size_t capacity, std::string& shortPath) {
    return narrowResult(capacity, shortPath,
                        [&](char* buffer, DWORD size) { return GetShortPathNameA(path.c_str(), buffer, size); });
}

std::uint32_t WindowsFiles::systemLongPathName(const char* path, char* buffer, std::uint32_t size, bool& available,
                                               std::uint32_t& error) {
    using LongPathNameA = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
    static bool lookedUp = false;
    static LongPathNameA function = nullptr;
    if (!lookedUp) {
        function = kernelFunction<LongPathNameA>("GetLongPathNameA");
        lookedUp = true;
    }
    available = function != nullptr;
    if (!function) {
        error = ERROR_CALL_NOT_IMPLEMENTED;
        return 0;
    }
    DWORD n = function(path, buffer, size);
    error = GetLastError();
    return n;
}

bool WindowsFiles::longPathNameWide(const std::u16string& path, std::u16string& longPath) {
    return widePathCall(kernelFunction<WidePathFunction>("GetLongPathNameW"), path, longPath);
}

bool WindowsFiles::shortPathNameWide(const std::u16string& path, std::u16string& shortPath) {
    return widePathCall(GetShortPathNameW, path, shortPath);
}

bool WindowsFiles::searchPath(const std::string& fileName, std::string& found) {
    return narrowResult(nameCapacity, found, [&](char* buffer, DWORD size) {
        return SearchPathA(nullptr, fileName.c_str(), nullptr, size, buffer, nullptr);
    });
}

std::uint32_t WindowsFiles::tempPath(std::string& path, std::uint32_t& error) {
    char buffer[nameCapacity] = "";
    DWORD n = GetTempPathA(sizeof buffer, buffer);
    error = GetLastError();
    path = n < sizeof buffer ? buffer : "";
    return n;
}

std::uint32_t WindowsFiles::tempFileName(const std::string& directory, const char* prefix, std::string& name,
                                         std::uint32_t& error) {
    char buffer[MAX_PATH] = "";  // GetTempFileNameA writes at most MAX_PATH characters
    UINT n = GetTempFileNameA(directory.c_str(), prefix, 0, buffer);
    error = GetLastError();
    name = n ? buffer : "";
    return n;
}

std::string WindowsFiles::windowsDirectory() {
    char buffer[nameCapacity] = "";
    UINT n = GetWindowsDirectoryA(buffer, sizeof buffer);
    return n < sizeof buffer ? buffer : "";
}

}  // namespace qarvo::os::win32
