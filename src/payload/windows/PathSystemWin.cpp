#include "payload/windows/PathSystemWin.h"

#include <windows.h>

#include "launcher/windows/Reboot.h"

namespace qarvo {

namespace {

using GetLongPathNameAFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);

GetLongPathNameAFn systemLongPathName = nullptr;
std::uint32_t callSystemLongPathName(const char* shortPath, char* buffer, std::uint32_t size) {
    return systemLongPathName(shortPath, buffer, size);
}

std::uint32_t probeLongPathName(const char* shortPath, char* buffer, std::uint32_t size) {
    HMODULE kernel = GetModuleHandleA("KERNEL32");
    systemLongPathName =
        kernel ? reinterpret_cast<GetLongPathNameAFn>(
                     reinterpret_cast<void*>(GetProcAddress(kernel, "GetLongPathNameA")))
               : nullptr;
    if (systemLongPathName) {
        DWORD n = systemLongPathName(shortPath, buffer, size);
        if (n != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
            longPathConverter = callSystemLongPathName;
            return n;
        }
    }
    longPathConverter = emulateLongPathName;
    return emulateLongPathName(shortPath, buffer, size);
}

}  // namespace

// The first call probes for GetLongPathNameA and replaces the converter.
LongPathConverter longPathConverter = probeLongPathName;

namespace {

std::string narrowModuleFileName() {
    char buffer[8192];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, n < sizeof buffer ? n : 0);
}

}  // namespace

std::string WindowsPathSystem::launcherModulePath() {
    using GetLongPathNameWFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);
    HMODULE kernel = LoadLibraryA("Kernel32.DLL");
    auto getLongPathNameW =
        kernel ? reinterpret_cast<GetLongPathNameWFn>(
                     reinterpret_cast<void*>(GetProcAddress(kernel, "GetLongPathNameW")))
               : nullptr;
    if (!isWindowsNT() || !getLongPathNameW) return narrowModuleFileName();

    // The long name when the code page can express it, else the 8.3 name, so
    // the narrow file functions can always open the launcher.
    std::wstring module(8192, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
    module.resize(n < module.size() ? n : 0);
    std::wstring longForm(8192, L'\0');
    n = getLongPathNameW(module.c_str(), longForm.data(), static_cast<DWORD>(longForm.size()));
    longForm.resize(n < longForm.size() ? n : 0);
    std::string narrow;
    if (acceptLauncherPath(std::u16string_view(reinterpret_cast<const char16_t*>(longForm.data()), longForm.size()),
                           narrow)) {
        return narrow;
    }
    std::wstring shortForm(8192, L'\0');
    n = GetShortPathNameW(longForm.c_str(), shortForm.data(), static_cast<DWORD>(shortForm.size()));
    shortForm.resize(n < shortForm.size() ? n : 0);
    if (acceptLauncherPath(std::u16string_view(reinterpret_cast<const char16_t*>(shortForm.data()), shortForm.size()),
                           narrow)) {
        return narrow;
    }
    std::string moduleName = narrowModuleFileName();
    char shortName[8192];
    n = GetShortPathNameA(moduleName.c_str(), shortName, sizeof shortName);
    return n > 0 && n < sizeof shortName ? std::string(shortName, n) : moduleName;
}

std::string WindowsPathSystem::fullPathName(const std::string& path) {
    char buffer[8192];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer) return path;
    return std::string(buffer, n);
}

}  // namespace qarvo
