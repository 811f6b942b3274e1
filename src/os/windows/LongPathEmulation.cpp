// The long form of a path on systems without GetLongPathNameA: the shell's
// desktop folder parses the full path into an item list, whose path comes back
// in its long form.
#include <shlobj.h>
#include <windows.h>

#include <cstring>

#include "os/windows/Services.h"

namespace qarvo::os::win32 {

std::uint32_t WindowsFiles::emulatedLongPathName(const char* shortPath, char* buffer, std::uint32_t size) {
    if (GetFileAttributesA(shortPath) == INVALID_FILE_ATTRIBUTES) return 0;
    char fullPath[MAX_PATH];
    DWORD n = GetFullPathNameA(shortPath, MAX_PATH, fullPath, nullptr);
    if (n == 0) return 0;
    if (n >= MAX_PATH) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return 0;
    }

    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return 0;
    std::uint32_t result = 0;
    wchar_t wide[MAX_PATH];
    LPITEMIDLIST items = nullptr;
    if (MultiByteToWideChar(fileApiCodePage(), 0, fullPath, -1, wide, MAX_PATH) == 0) {
        if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) SetLastError(ERROR_BUFFER_OVERFLOW);
    } else {
        HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, &items, nullptr);
        if (FAILED(parsed)) {
            SetLastError(HRESULT_FACILITY(parsed) == FACILITY_WIN32 ? HRESULT_CODE(parsed) : ERROR_INVALID_DATA);
            items = nullptr;
        } else {
            char longPath[MAX_PATH] = "";
            if (!SHGetPathFromIDListA(items, longPath)) {
                // Only a text left behind marks a real failure.
                if (longPath[0] != '\0') SetLastError(ERROR_INVALID_DATA);
            } else {
                std::uint32_t length = static_cast<std::uint32_t>(std::strlen(longPath));
                if (length + 1 > size) {
                    SetLastError(ERROR_INSUFFICIENT_BUFFER);
                    result = length + 1;
                } else {
                    std::memcpy(buffer, longPath, length + 1);
                    result = length;
                }
            }
        }
    }
    if (items) {
        IMalloc* allocator = nullptr;
        if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
            allocator->Free(items);
            allocator->Release();
        }
    }
    desktop->Release();
    return result;
}

}  // namespace qarvo::os::win32
