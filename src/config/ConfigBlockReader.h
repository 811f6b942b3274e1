// Reads the configuration block from the launcher's own executable: the
// position behind the last section's raw data, the block's fields through a
// bounded read-ahead window, the locale overrides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace qarvo {

constexpr std::uint32_t configBlockMagic = 0xE8E413D5u;

// A file read at explicit offsets.
class RandomAccessFile {
public:
    virtual ~RandomAccessFile() = default;
    struct Result {
        std::size_t bytes = 0;    // bytes read
        bool ok = true;           // false when the read call itself failed
        std::uint32_t error = 0;  // the system's last error after the call
    };
    // Reads up to `size` bytes at `offset`; fewer at the end of the file.
    virtual Result readAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
    // Size of the file in bytes.
    virtual std::uint64_t size() = 0;
};

// A file held in memory (tests, fuzzers, the builder).
class MemoryFile final : public RandomAccessFile {
public:
    explicit MemoryFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    Result readAt(std::uint64_t offset, void* buffer, std::size_t size) override;
    std::uint64_t size() override { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Which primitive ran short; each has its own message.
enum class ConfigReadFailure { none, magic, readLong, readInt, readShort, readString, readWString };

// "Internal Error: magic", "Internal Error: readInt", ...; "" for none.
const char* configReadFailureMessage(ConfigReadFailure failure);

// Reads the block of `file` into the process-wide configuration (Configuration.h):
// positions behind the last section, checks the magic, reads the string and
// wide entries and the locale sections, and records blockEndOffset. The locale
// sections match against `userLocale` (called once, only when there are
// sections; returns null when the user's locale has no name). Entries stored
// before a failure stay. Logs what the launcher's log shows for each step.
ConfigReadFailure readConfigurationFrom(RandomAccessFile& file,
                                        const std::function<const char*()>& userLocale);

}  // namespace qarvo
