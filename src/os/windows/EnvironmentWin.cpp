#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "os/windows/Services.h"

namespace qarvo::os::win32 {

bool WindowsEnvironment::get(const char* name, std::string& value) {
    value.assign(256, '\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        DWORD n = GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
        if (n == 0) {
            value.clear();
            // An empty value is a set variable; only "not found" means unset.
            return GetLastError() != ERROR_ENVVAR_NOT_FOUND;
        }
        if (n < value.size()) {
            value.resize(n);
            return true;
        }
        value.assign(n, '\0');  // n is the size needed, terminator included
    }
}

bool WindowsEnvironment::set(const char* name, const char* value, std::uint32_t& error) {
    bool set = SetEnvironmentVariableA(name, value) != 0;
    error = set ? 0 : GetLastError();
    return set;
}

void WindowsEnvironment::putRuntime(const std::string& assignment) { _putenv(assignment.c_str()); }

std::vector<std::string> WindowsEnvironment::block() {
    std::vector<std::string> entries;
    char* strings = GetEnvironmentStringsA();
    if (!strings) return entries;
    for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) entries.emplace_back(entry);
    FreeEnvironmentStringsA(strings);
    return entries;
}

}  // namespace qarvo::os::win32
