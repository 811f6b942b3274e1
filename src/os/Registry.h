// The registry: values read by the runtime search, the probe cache and the
// single-instance record.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qarvo::os {

enum class Hive { currentUser, localMachine };

// Which registry view a 32-bit process on 64-bit Windows reads: its own (the
// 32-bit one, HKLM\SOFTWARE through Wow6432Node), or one named explicitly.
enum class RegistryView { own, bits32, bits64 };

class Registry {
public:
    enum class ValueType { string, binary, dword };

    virtual ~Registry() = default;
    // The raw bytes of value `name` of key `subkey`, whatever its type (a
    // string keeps a stored terminator). False when the key or the value is
    // missing or the data is longer than `capacity` bytes.
    virtual bool readValue(Hive hive, RegistryView view, const std::string& subkey, const std::string& name,
                           std::size_t capacity, std::string& data) = 0;
    // The names of the subkeys of `subkey` in index order, at most `limit` of
    // them. False when the key cannot be opened.
    virtual bool subkeyNames(Hive hive, RegistryView view, const std::string& subkey, std::size_t limit,
                             std::vector<std::string>& names) = 0;
    // Creates the key (non-volatile, all access) or opens the existing one and
    // writes the value: a string without terminator, raw bytes, or a DWORD
    // given as its four little-endian bytes. False on failure.
    virtual bool writeValue(Hive hive, RegistryView view, const std::string& subkey, const std::string& name,
                            ValueType type, const std::string& data) = 0;
};

}  // namespace qarvo::os
