// A ByteSource over bytes in memory that records every read asked of it and
// can make reads fail from a given offset on, as a damaged or vanished file
// would.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "image/ByteSource.h"

namespace qarvo::testing {

class RecordingSource final : public ByteSource {
public:
    struct Read {
        std::uint64_t offset;
        std::size_t size;
    };

    explicit RecordingSource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // Reads that start at or behind `offset` fail with system error `error`;
    // reads before it end there.
    void failFrom(std::uint64_t offset, std::uint32_t error) {
        failOffset_ = offset;
        failError_ = error;
    }

    Result readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        reads.push_back({offset, size});
        Result result;
        if (offset >= failOffset_) {
            result.ok = false;
            result.error = failError_;
            return result;
        }
        std::uint64_t end = offset + size;
        if (end > failOffset_) end = failOffset_;
        if (end > bytes_.size()) end = bytes_.size();
        if (offset < end) {
            result.bytes = static_cast<std::size_t>(end - offset);
            std::memcpy(buffer, bytes_.data() + offset, result.bytes);
        }
        return result;
    }
    std::uint64_t size() override { return sizeHidden_ ? unknownSize : bytes_.size(); }
    // From now on the source cannot tell its size.
    void hideSize() { sizeHidden_ = true; }

    // The largest single read and the furthest byte any read asked for.
    std::size_t largestRead() const {
        std::size_t largest = 0;
        for (const Read& r : reads) largest = r.size > largest ? r.size : largest;
        return largest;
    }
    std::uint64_t furthestByte() const {
        std::uint64_t furthest = 0;
        for (const Read& r : reads) furthest = r.offset + r.size > furthest ? r.offset + r.size : furthest;
        return furthest;
    }

    std::vector<Read> reads;

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t failOffset_ = UINT64_MAX;
    std::uint32_t failError_ = 0;
    bool sizeHidden_ = false;
};

}  // namespace qarvo::testing
