#include "jre/windows/RuntimeSystemWin.h"

#include <windows.h>

#include <cstdlib>

namespace qarvo {

namespace {

constexpr DWORD pathCapacity = 8192;
constexpr DWORD sharingRetryMs = 10;
constexpr DWORD sharingWaitMs = 2000;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

bool WindowsRuntimeFiles::readFile(const std::string& path, std::uint64_t offset, std::size_t maxBytes,
                                   std::string& bytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN)) return false;
    bytes.assign(maxBytes, '\0');
    std::size_t total = 0;
    while (total < maxBytes) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(maxBytes - total), &read, nullptr)) {
            bytes.clear();
            return false;
        }
        if (read == 0) break;
        total += read;
    }
    bytes.resize(total);
    return true;
}

bool WindowsRuntimeFiles::deleteFile(const std::string& path) {
    // A child process that has just ended may still hold the file for a few
    // milliseconds (seen under Wine after a probe run): wait a little for it.
    for (DWORD waited = 0;; waited += sharingRetryMs) {
        if (DeleteFileA(path.c_str())) return true;
        if (GetLastError() != ERROR_SHARING_VIOLATION || waited >= sharingWaitMs) return false;
        Sleep(sharingRetryMs);
    }
}

bool WindowsRuntimeFiles::shortPathName(const std::string& path, std::string& shortPath) {
    char buffer[pathCapacity];
    DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return false;
    shortPath.assign(buffer, n);
    return true;
}

bool WindowsRuntimeFiles::searchPath(const std::string& fileName, std::string& found) {
    char buffer[pathCapacity];
    DWORD n = SearchPathA(nullptr, fileName.c_str(), nullptr, sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer) return false;
    found.assign(buffer, n);
    return true;
}

void* WindowsLibraryLoader::load(const std::string& path, std::uint32_t& error) {
    HMODULE module = LoadLibraryA(path.c_str());
    error = module ? 0 : GetLastError();
    return reinterpret_cast<void*>(module);
}

void* WindowsLibraryLoader::symbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

bool WindowsLibraryLoader::setPath(const char* value, std::uint32_t& error) {
    bool set = SetEnvironmentVariableA("PATH", value) != 0;
    error = set ? 0 : GetLastError();
    // The C runtime copied the environment at start and keeps its own table;
    // "PATH=" removes the variable there.
    std::string assignment = std::string("PATH=") + (value ? value : "");
    _putenv(assignment.c_str());
    return set;
}

std::uint16_t WindowsLibraryLoader::processMachine() {
    const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->FileHeader.Machine;
}

}  // namespace qarvo
