// Walks arbitrary bytes as an included-files section: hostile lengths must
// end in a failure, never in a large allocation or a read past the source.
// The first byte picks whether the source tells its size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/IncludedFilesSection.h"

namespace {

// The bytes with or without their size, as a file or a runtime's reader gives them.
class FuzzSource final : public qarvo::ByteSource {
public:
    FuzzSource(const std::uint8_t* data, std::size_t size, bool tellsSize)
        : memory_(std::vector<std::uint8_t>(data, data + size)), tellsSize_(tellsSize) {}
    Result readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        return memory_.readAt(offset, buffer, size);
    }
    std::uint64_t size() override { return tellsSize_ ? memory_.size() : unknownSize; }

private:
    qarvo::MemorySource memory_;
    bool tellsSize_;
};

class CountingSink final : public qarvo::IncludedFileSink {
public:
    bool write(const std::uint8_t*, std::size_t size) override {
        if (size == 0 || size > qarvo::IncludedFilesReader::chunkSize) std::abort();
        bytes += size;
        return true;
    }
    std::uint64_t bytes = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    FuzzSource source(data + 1, size - 1, (data[0] & 1) != 0);
    qarvo::IncludedFilesReader reader(source, 0);
    std::int64_t length = 0;
    for (int entry = 0; entry < 64 && reader.nextEntry(length); ++entry) {
        if ((data[0] & 2) != 0) {
            if (!reader.skipContent()) break;
            continue;
        }
        CountingSink sink;
        if (!reader.copyContent(sink)) break;
        if (sink.bytes != static_cast<std::uint64_t>(length > 0 ? length : 0)) std::abort();
    }
    if (reader.position() > size - 1) std::abort();  // never behind what was there
    return 0;
}
