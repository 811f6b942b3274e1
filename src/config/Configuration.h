// The launcher's configuration, read once from the block appended to its own
// executable and read-only afterwards. Before the block is read every key is
// absent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace qarvo {

// Size of the buffers callers read values into, terminator included.
constexpr std::size_t valueCapacity = 8192;

// Narrow value of `key` copied into `buffer` (`capacity` bytes, terminator
// included); an absent key gives the empty string. A value that does not fit
// is cut to capacity - 1 bytes and an error line naming the key is logged.
void getStringValue(std::int32_t key, char* buffer, std::size_t capacity);

// The same into a string: the value as a buffer of `capacity` bytes would
// hold it.
std::string getStringValue(std::int32_t key, std::size_t capacity = valueCapacity);

// The value read into an 8192-byte buffer and converted like atoi: leading
// white space, an optional sign, decimal digits up to the first other
// character. Absent, empty or without leading digits: 0.
std::int32_t getIntValue(std::int32_t key);

// UTF-16 value of `key` after the locale overrides; absent gives "".
std::u16string getWideStringValue(std::int32_t key);

// The text of message `id` (a narrow value read into 8192 bytes): what error
// reporting shows once the configuration is installed as its text source.
std::string configuredMessageText(std::int32_t id);

// Offset in the executable file just behind the block; 0 before it was read.
std::uint32_t blockEndOffset();

// The maps the reader fills. The reader and tests write through these; every
// other caller uses the getters above.
struct ConfigurationMaps {
    std::map<std::int32_t, std::string> stringValues;
    std::map<std::int32_t, std::u16string> wideValues;
    std::uint32_t blockEndOffset = 0;
};
ConfigurationMaps& configurationMaps();

// Leaves every key absent again (tests only; the launcher reads once).
void clearConfiguration();

}  // namespace qarvo
