// The parts of the Windows registry the runtime search reads and the probe
// cache writes, behind an interface so native tests use an in-memory registry.
// The launcher installs the Windows implementation at start.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qarvo {

enum class Hive { currentUser, localMachine };

class Registry {
public:
    enum class ValueType { string, binary };

    virtual ~Registry() = default;
    // The raw bytes of value `name` of key `subkey`, whatever its type (a
    // string keeps a stored terminator). False when the key or the value is
    // missing or the data is longer than `capacity` bytes.
    virtual bool readValue(Hive hive, const std::string& subkey, const std::string& name, std::size_t capacity,
                           std::string& data) = 0;
    // The names of the subkeys of `subkey` in index order, at most `limit` of
    // them. False when the key cannot be opened.
    virtual bool subkeyNames(Hive hive, const std::string& subkey, std::size_t limit,
                             std::vector<std::string>& names) = 0;
    // Creates the key (non-volatile) or opens the existing one and writes the
    // value: a string without terminator, or raw bytes. False on failure.
    virtual bool writeValue(Hive hive, const std::string& subkey, const std::string& name, ValueType type,
                            const std::string& data) = 0;
};

// The installed registry (until one is installed: an empty one that keeps
// nothing). The caller keeps ownership.
Registry& registry();
void installRegistry(Registry& r);
// Back to the empty registry (tests only).
void resetRegistryForTesting();

// A string value as text: read into `capacity` bytes and cut at the first
// terminator. False when it cannot be read.
bool readRegistryText(Hive hive, const std::string& subkey, const std::string& name, std::size_t capacity,
                      std::string& text);

}  // namespace qarvo
