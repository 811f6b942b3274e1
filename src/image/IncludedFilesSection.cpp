#include "image/IncludedFilesSection.h"

#include <cstring>

#include "image/LittleEndian.h"

namespace qarvo {

namespace {

class DiscardingSink final : public IncludedFileSink {
public:
    bool write(const std::uint8_t*, std::size_t) override { return true; }
};

}  // namespace

std::array<std::uint8_t, includedFileHeaderSize> encodeIncludedFileHeader(std::int64_t length) {
    std::array<std::uint8_t, includedFileHeaderSize> header;
    writeLittleEndian(header.data(), static_cast<std::uint64_t>(length), header.size());
    return header;
}

void scrambleIncludedBytes(std::span<std::uint8_t> bytes) {
    // Four bytes at a time: built for size, as in the launcher, a loop over
    // single bytes would halve the rate at which the launcher extracts.
    constexpr std::uint32_t wordKey = 0x01010101u * includedFileKey;
    std::uint8_t* const data = bytes.data();
    std::size_t i = 0;
    for (; i + 4 <= bytes.size(); i += 4) {
        std::uint32_t word;
        std::memcpy(&word, data + i, 4);
        word ^= wordKey;
        std::memcpy(data + i, &word, 4);
    }
    for (; i < bytes.size(); ++i) data[i] ^= includedFileKey;
}

void appendIncludedFile(std::vector<std::uint8_t>& section, std::span<const std::uint8_t> content) {
    const auto header = encodeIncludedFileHeader(static_cast<std::int64_t>(content.size()));
    section.insert(section.end(), header.begin(), header.end());
    const std::size_t start = section.size();
    section.insert(section.end(), content.begin(), content.end());
    scrambleIncludedBytes(std::span<std::uint8_t>(section).subspan(start));
}

bool IncludedFilesReader::fail(IncludedFilesFailure failure, std::uint32_t error) {
    failure_ = failure;
    error_ = error;
    return false;
}

bool IncludedFilesReader::nextEntry(std::int64_t& length) {
    if (failure_ != IncludedFilesFailure::none) return false;
    pending_ = 0;
    copied_ = 0;
    std::uint8_t header[includedFileHeaderSize];
    const ByteSource::Result read = source_.readAt(position_, header, sizeof header);
    if (!read.ok) return fail(IncludedFilesFailure::readFailed, read.error);
    if (read.bytes < sizeof header) return fail(IncludedFilesFailure::lengthCut, read.error);
    position_ += sizeof header;
    length = static_cast<std::int64_t>(readLittleEndian(header, sizeof header));
    pending_ = length > 0 ? static_cast<std::uint64_t>(length) : 0;
    return true;
}

bool IncludedFilesReader::contentFits() {
    const std::uint64_t size = source_.size();
    if (size == ByteSource::unknownSize || (position_ <= size && pending_ <= size - position_)) return true;
    return fail(IncludedFilesFailure::contentCut, 0);
}

bool IncludedFilesReader::copyContent(IncludedFileSink& sink) {
    if (failure_ != IncludedFilesFailure::none || !contentFits()) return false;
    std::uint8_t chunk[chunkSize];
    while (pending_ > 0) {
        const std::size_t want = pending_ < chunkSize ? static_cast<std::size_t>(pending_) : chunkSize;
        ByteSource::Result read = source_.readAt(position_, chunk, want);
        if (!read.ok) return fail(IncludedFilesFailure::readFailed, read.error);
        if (read.bytes == 0) return fail(IncludedFilesFailure::contentCut, read.error);
        const std::size_t got = read.bytes < want ? read.bytes : want;
        position_ += got;
        pending_ -= got;
        scrambleIncludedBytes(std::span<std::uint8_t>(chunk, got));
        if (!sink.write(chunk, got)) return fail(IncludedFilesFailure::sinkFailed, 0);
        copied_ += got;
    }
    return true;
}

bool IncludedFilesReader::skipContent() {
    if (failure_ != IncludedFilesFailure::none || !contentFits()) return false;
    // A source that cannot tell its size proves the content is there only by
    // delivering it.
    if (source_.size() == ByteSource::unknownSize) {
        DiscardingSink nowhere;
        return copyContent(nowhere);
    }
    position_ += pending_;
    pending_ = 0;
    return true;
}

}  // namespace qarvo
