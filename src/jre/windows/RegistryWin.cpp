#include "jre/windows/RegistryWin.h"

#include <windows.h>

namespace qarvo {

namespace {

HKEY rootOf(Hive hive) { return hive == Hive::currentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// An open key, closed when it goes out of scope.
class OpenKey {
public:
    OpenKey() = default;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (key_) RegCloseKey(key_);
    }
    bool open(Hive hive, const std::string& subkey) {
        return RegOpenKeyExA(rootOf(hive), subkey.c_str(), 0, KEY_READ, &key_) == ERROR_SUCCESS;
    }
    bool create(Hive hive, const std::string& subkey) {
        return RegCreateKeyExA(rootOf(hive), subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                               nullptr, &key_, nullptr) == ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

bool WindowsRegistry::readValue(Hive hive, const std::string& subkey, const std::string& name, std::size_t capacity,
                                std::string& data) {
    OpenKey key;
    if (!key.open(hive, subkey)) return false;
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

bool WindowsRegistry::subkeyNames(Hive hive, const std::string& subkey, std::size_t limit,
                                  std::vector<std::string>& names) {
    OpenKey key;
    if (!key.open(hive, subkey)) return false;
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

bool WindowsRegistry::writeValue(Hive hive, const std::string& subkey, const std::string& name, ValueType type,
                                 const std::string& data) {
    OpenKey key;
    if (!key.create(hive, subkey)) return false;
    return RegSetValueExA(key.get(), name.c_str(), 0, type == ValueType::string ? REG_SZ : REG_BINARY,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

}  // namespace qarvo
