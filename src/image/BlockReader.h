// The read primitives of the configuration block over a ByteSource:
// little-endian integers and length-prefixed strings at a logical position,
// served from a small read-ahead window so that a block of many tiny fields
// costs a handful of system reads, and the data behind the block (included
// files, possibly hundreds of megabytes) is never read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/ConfigBlock.h"

namespace qarvo {

// One trace line of texts and decimal numbers (as printf's "%d" writes them),
// cut at 127 bytes; the lines traced here are far shorter.
class TraceLine {
public:
    TraceLine() { text_[0] = '\0'; }
    TraceLine& operator<<(const char* text);
    TraceLine& operator<<(std::int32_t value);
    const char* text() const { return text_; }

private:
    char text_[128];
    std::size_t length_ = 0;
};

class BlockReader {
public:
    // The most the reader asks of the source in one read, and so the most it
    // reads past the last field it needs.
    static constexpr std::size_t windowSize = 4096;

    // Error lines of the primitives go to `trace` when given.
    explicit BlockReader(ByteSource& source, ConfigTrace* trace = nullptr);
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // Moves the logical position to byte `position` of the source. Nothing can
    // be read at a negative position or at or behind the end of the source:
    // every read there runs short without asking the source.
    void seek(std::int64_t position);
    // Offset of the next byte to read: where the last seek went plus every byte
    // the primitives consumed since (not where the window was filled from).
    std::int64_t position() const { return position_; }

    // Each primitive reads at the position and advances past what it read. On a
    // short or failed read it returns false and records its failure (failure()):
    //   readLong, readShort trace "error %d\n" with the system error;
    //   readInt traces "error %d %d\n" with the system error and the number of
    //   bytes that were available for the field;
    //   readString, readWString trace nothing. Their length is read with readInt,
    //   so a length field that runs short is a readInt failure.
    bool readLong(std::int64_t& value);
    bool readInt(std::int32_t& value);
    bool readShort(std::int16_t& value);  // sign-extended by the type
    // A byte length n (a negative n, one above maxConfigValueBytes or one
    // larger than what remains of the source fails before anything is
    // allocated), then n bytes. The text ends at the first zero byte, as the
    // launcher uses its values as C strings.
    bool readString(std::string& value);
    // A byte length n, checked like readString's, then n bytes of UTF-16LE. An
    // odd n is read in full; its last byte is not half of any unit and is
    // dropped from the text. The text ends at the first zero unit.
    bool readWString(std::u16string& value);

    // The primitive that failed first; none while every read succeeded.
    ConfigReadFailure failure() const { return failure_; }

    // Sends `line` to the trace, if any.
    void trace(const TraceLine& line) {
        if (trace_) trace_->line(line.text());
    }

private:
    // Bytes of the source from the position on, 0 where nothing can be read.
    std::uint64_t remaining() const;
    // Copies up to `size` bytes at the position into `out`, advances, and
    // returns the count; lastError_ holds the error of the last source read.
    std::size_t take(std::uint8_t* out, std::size_t size);
    // Refills the window from the position; false when nothing came.
    bool refill();
    bool fail(ConfigReadFailure failure);
    // Records `failure` after tracing "error <last error>\n", or with
    // `bytesThere` >= 0 "error <last error> <bytesThere>\n".
    bool failShort(ConfigReadFailure failure, int bytesThere = -1);

    ByteSource& source_;
    ConfigTrace* trace_;
    std::uint64_t sourceSize_;
    std::int64_t position_ = 0;
    std::int64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
    std::uint32_t lastError_ = 0;
    ConfigReadFailure failure_ = ConfigReadFailure::none;
    std::uint8_t window_[windowSize];
};

// Positions `in` at the first byte of the block: behind the raw data of the
// executable's last section, found through the PE headers (e_lfanew gives the
// PE header; its section count and optional header size give the last section
// header, whose raw data size and offset give the position). Nothing else of
// the headers is checked: a wrong position shows up as a bad magic or a short
// read. Traces each value it finds. False when a read failed (in.failure()).
bool seekConfigurationBlock(BlockReader& in);

}  // namespace qarvo
