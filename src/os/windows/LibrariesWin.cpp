#include <windows.h>

#include "os/windows/Services.h"

namespace qarvo::os::win32 {

void* WindowsLibraries::load(const std::string& pathOrName, std::uint32_t& error) {
    HMODULE module = LoadLibraryA(pathOrName.c_str());
    error = module ? 0 : GetLastError();
    return reinterpret_cast<void*>(module);
}

void* WindowsLibraries::moduleHandle(const char* name) { return reinterpret_cast<void*>(GetModuleHandleA(name)); }

void* WindowsLibraries::resolve(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

std::uint16_t WindowsLibraries::processMachine() {
    const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->FileHeader.Machine;
}

std::string WindowsLibraries::moduleFileName() {
    char buffer[8192];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, n < sizeof buffer ? n : 0);
}

std::u16string WindowsLibraries::moduleFileNameWide() {
    std::wstring buffer(8192, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), n < buffer.size() ? n : 0);
}

}  // namespace qarvo::os::win32
