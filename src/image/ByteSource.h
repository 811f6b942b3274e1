// A bounded random-access source of bytes: what the image readers read from.
// The launcher's own executable file, a file the build tool inspects and a
// buffer in memory (tests, fuzzers) all look alike to them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace qarvo {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    struct Result {
        std::size_t bytes = 0;    // bytes read, at most the size asked for
        bool ok = true;           // false when the read call itself failed
        std::uint32_t error = 0;  // the system's error code after the call; 0 when it has none
    };
    // Size in bytes of a source that cannot tell it.
    static constexpr std::uint64_t unknownSize = UINT64_MAX;

    // Reads up to `size` bytes at `offset` into `buffer`; fewer at the end of
    // the source, none at or behind it.
    virtual Result readAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
    // Size of the source in bytes, or unknownSize; then reads simply end short.
    virtual std::uint64_t size() = 0;
};

// Bytes held in memory, owned by the source.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    Result readAt(std::uint64_t offset, void* buffer, std::size_t size) override;
    std::uint64_t size() override { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace qarvo
