#include <windows.h>

#include "os/windows/Handles.h"
#include "os/windows/Services.h"

namespace qarvo::os::win32 {

namespace {

HKEY rootOf(Hive hive) { return hive == Hive::currentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// KEY_WOW64_32KEY and KEY_WOW64_64KEY name a view explicitly; without them a
// 32-bit process sees HKLM\SOFTWARE through Wow6432Node.
REGSAM viewFlag(RegistryView view) {
    switch (view) {
        case RegistryView::bits32: return KEY_WOW64_32KEY;
        case RegistryView::bits64: return KEY_WOW64_64KEY;
        case RegistryView::own: break;
    }
    return 0;
}

UniqueKey openKey(Hive hive, RegistryView view, const std::string& subkey) {
    UniqueKey key;
    if (RegOpenKeyExA(rootOf(hive), subkey.c_str(), 0, KEY_READ | viewFlag(view), key.receive()) != ERROR_SUCCESS) {
        key.release();  // nothing was opened
    }
    return key;
}

}  // namespace

bool WindowsRegistry::readValue(Hive hive, RegistryView view, const std::string& subkey, const std::string& name,
                                std::size_t capacity, std::string& data) {
    UniqueKey key = openKey(hive, view, subkey);
    if (!key) return false;
    data.assign(capacity, '\0');
    DWORD size = static_cast<DWORD>(capacity);
    // A value larger than the buffer gives ERROR_MORE_DATA: it is not read.
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS ||
        size > capacity) {
        data.clear();
        return false;
    }
    data.resize(size);
    return true;
}

bool WindowsRegistry::subkeyNames(Hive hive, RegistryView view, const std::string& subkey, std::size_t limit,
                                  std::vector<std::string>& names) {
    UniqueKey key = openKey(hive, view, subkey);
    if (!key) return false;
    for (DWORD index = 0; names.size() < limit; ++index) {
        char name[256];  // the longest key name has 255 characters
        DWORD length = sizeof name;
        LONG result = RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS, or the key went away
        names.emplace_back(name, length);
    }
    return true;
}

bool WindowsRegistry::writeValue(Hive hive, RegistryView view, const std::string& subkey, const std::string& name,
                                 ValueType type, const std::string& data) {
    UniqueKey key;
    if (RegCreateKeyExA(rootOf(hive), subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | viewFlag(view), nullptr, key.receive(), nullptr) != ERROR_SUCCESS) {
        key.release();
        return false;
    }
    const DWORD types[] = {REG_SZ, REG_BINARY, REG_DWORD};
    return RegSetValueExA(key.get(), name.c_str(), 0, types[static_cast<int>(type)],
                          reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

}  // namespace qarvo::os::win32
