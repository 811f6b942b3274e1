// The included-files section behind the configuration block: one entry per
// included file, in the order of the names of key 2003, with no header,
// padding or terminator. An entry is an 8-byte signed little-endian length L
// and then, when L > 0, L content bytes, each combined by XOR with
// includedFileKey whatever its position.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "image/ByteSource.h"

namespace qarvo {

constexpr std::uint8_t includedFileKey = 0xA7;
constexpr std::size_t includedFileHeaderSize = 8;

// The length field of an entry with `length` content bytes.
std::array<std::uint8_t, includedFileHeaderSize> encodeIncludedFileHeader(std::int64_t length);

// Scrambles `bytes` in place for the section; the same call unscrambles them.
// A writer that streams a large file writes encodeIncludedFileHeader(size) and
// then each chunk of the content passed through this.
void scrambleIncludedBytes(std::span<std::uint8_t> bytes);

// Appends one whole entry for `content` to `section`.
void appendIncludedFile(std::vector<std::uint8_t>& section, std::span<const std::uint8_t> content);

// Where the reader hands an entry's unscrambled content.
class IncludedFileSink {
public:
    virtual ~IncludedFileSink() = default;
    // Takes `size` bytes; false when they could not be written.
    virtual bool write(const std::uint8_t* bytes, std::size_t size) = 0;
};

enum class IncludedFilesFailure {
    none,
    lengthCut,   // fewer than 8 bytes left for a length
    contentCut,  // a content runs past the end of the source
    readFailed,  // the source's read failed (error())
    sinkFailed,  // the sink refused a piece
};

// Walks the entries of a section over a ByteSource. Nothing is allocated from
// a length: contents go through a fixed buffer of chunkSize bytes. After a
// failure every call fails.
class IncludedFilesReader {
public:
    static constexpr std::size_t chunkSize = 8192;

    // Reads the section that begins at `start` (the end of the block).
    IncludedFilesReader(ByteSource& source, std::uint64_t start) : source_(source), position_(start) {}

    // Reads the length of the next entry; its content, if any, comes next.
    // Fails with lengthCut or readFailed.
    bool nextEntry(std::int64_t& length);
    // Hands the content of the entry nextEntry read to `sink`, unscrambled, in
    // pieces of at most chunkSize bytes. A content longer than what remains of
    // a source of known size fails with contentCut before anything is read;
    // a read that delivers nothing midway fails with contentCut (readFailed
    // when the read itself failed), a refused piece with sinkFailed.
    bool copyContent(IncludedFileSink& sink);
    // Moves behind the content of the entry without handing it anywhere; fails
    // like copyContent.
    bool skipContent();

    // Offset of the next byte to read: behind the last length or content
    // byte read.
    std::uint64_t position() const { return position_; }
    IncludedFilesFailure failure() const { return failure_; }
    // The error code of the read that failed; 0 when the source gave none.
    std::uint32_t error() const { return error_; }
    // Content bytes of the current entry handed to the sink so far.
    std::uint64_t copied() const { return copied_; }

private:
    bool fail(IncludedFilesFailure failure, std::uint32_t error);
    // False (contentCut) when the source is known to end before the content.
    bool contentFits();

    ByteSource& source_;
    std::uint64_t position_;
    std::uint64_t pending_ = 0;  // content bytes of the current entry not yet read
    std::uint64_t copied_ = 0;
    IncludedFilesFailure failure_ = IncludedFilesFailure::none;
    std::uint32_t error_ = 0;
};

}  // namespace qarvo
