#include "image/BlockReader.h"

#include <cstring>

#include "image/LittleEndian.h"
#include "image/PeLayout.h"

namespace qarvo {

namespace {

// UTF-16 units converted per chunk, so that a wide string never needs a byte
// copy of itself on top of its text.
constexpr std::size_t wideChunkBytes = 512;

// A string length the source cannot hold, or one that is damage whatever the
// source holds.
bool implausibleLength(std::int32_t length, std::uint64_t remaining) {
    return length < 0 || length > maxConfigValueBytes || static_cast<std::uint64_t>(length) > remaining;
}

void traceValue(BlockReader& in, const char* text, std::int32_t value) { in.trace(TraceLine() << text << value); }

}  // namespace

TraceLine& TraceLine::operator<<(const char* text) {
    while (*text && length_ + 1 < sizeof text_) text_[length_++] = *text++;
    text_[length_] = '\0';
    return *this;
}

TraceLine& TraceLine::operator<<(std::int32_t value) {
    char text[12];
    char* digit = text + sizeof text;
    *--digit = '\0';
    // Unsigned, so that INT32_MIN has a magnitude too.
    std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    do {
        *--digit = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--digit = '-';
    return *this << digit;
}

BlockReader::BlockReader(ByteSource& source, ConfigTrace* trace)
    : source_(source), trace_(trace), sourceSize_(source.size()) {}

void BlockReader::seek(std::int64_t position) { position_ = position; }

std::uint64_t BlockReader::remaining() const {
    if (position_ < 0 || static_cast<std::uint64_t>(position_) >= sourceSize_) return 0;
    return sourceSize_ - static_cast<std::uint64_t>(position_);
}

bool BlockReader::refill() {
    windowStart_ = position_;
    windowLength_ = 0;
    // Nothing is asked of the source where nothing can be: a hostile header can
    // point anywhere, and some offsets mean something special to a system read.
    if (remaining() == 0) return false;
    ByteSource::Result result = source_.readAt(static_cast<std::uint64_t>(position_), window_, windowSize);
    lastError_ = result.error;
    if (!result.ok) return false;
    windowLength_ = result.bytes < windowSize ? result.bytes : windowSize;
    return windowLength_ > 0;
}

std::size_t BlockReader::take(std::uint8_t* out, std::size_t size) {
    lastError_ = 0;
    std::size_t done = 0;
    while (done < size) {
        const bool inWindow =
            position_ >= windowStart_ && position_ < windowStart_ + static_cast<std::int64_t>(windowLength_);
        if (!inWindow && !refill()) break;
        const std::size_t offset = static_cast<std::size_t>(position_ - windowStart_);
        std::size_t n = windowLength_ - offset;
        if (n > size - done) n = size - done;
        std::memcpy(out + done, window_ + offset, n);
        done += n;
        position_ += static_cast<std::int64_t>(n);
    }
    return done;
}

bool BlockReader::fail(ConfigReadFailure failure) {
    if (failure_ == ConfigReadFailure::none) failure_ = failure;
    return false;
}

bool BlockReader::failShort(ConfigReadFailure failure, int bytesThere) {
    TraceLine line;
    line << "error " << static_cast<std::int32_t>(lastError_);
    if (bytesThere >= 0) line << " " << bytesThere;
    trace(line << "\n");
    return fail(failure);
}

bool BlockReader::readLong(std::int64_t& value) {
    std::uint8_t bytes[8];
    if (take(bytes, sizeof bytes) != sizeof bytes) return failShort(ConfigReadFailure::readLong);
    value = static_cast<std::int64_t>(readLittleEndian(bytes, 8));
    return true;
}

bool BlockReader::readInt(std::int32_t& value) {
    std::uint8_t bytes[4];
    const std::size_t got = take(bytes, sizeof bytes);
    if (got != sizeof bytes) return failShort(ConfigReadFailure::readInt, static_cast<int>(got));
    value = static_cast<std::int32_t>(readLittleEndian(bytes, 4));
    return true;
}

bool BlockReader::readShort(std::int16_t& value) {
    std::uint8_t bytes[2];
    if (take(bytes, sizeof bytes) != sizeof bytes) return failShort(ConfigReadFailure::readShort);
    value = static_cast<std::int16_t>(readLittleEndian(bytes, 2));
    return true;
}

bool BlockReader::readString(std::string& value) {
    std::int32_t length = 0;
    if (!readInt(length)) return false;
    if (implausibleLength(length, remaining())) return fail(ConfigReadFailure::readString);
    value = std::string(static_cast<std::size_t>(length), '\0');
    if (take(reinterpret_cast<std::uint8_t*>(value.data()), value.size()) != value.size()) {
        return fail(ConfigReadFailure::readString);
    }
    value.resize(std::strlen(value.c_str()));
    return true;
}

bool BlockReader::readWString(std::u16string& value) {
    std::int32_t length = 0;
    if (!readInt(length)) return false;
    if (implausibleLength(length, remaining())) return fail(ConfigReadFailure::readWString);
    const std::size_t bytes = static_cast<std::size_t>(length);
    value = std::u16string(bytes / 2, u'\0');
    std::uint8_t chunk[wideChunkBytes];
    std::size_t unit = 0;
    for (std::size_t done = 0; done < bytes;) {
        std::size_t n = bytes - done < sizeof chunk ? bytes - done : sizeof chunk;
        if (take(chunk, n) != n) return fail(ConfigReadFailure::readWString);
        // Chunks are even-sized, so only the final chunk can end in half a unit.
        for (std::size_t i = 0; i + 1 < n; i += 2) {
            value[unit++] = static_cast<char16_t>(chunk[i] | (chunk[i + 1] << 8));
        }
        done += n;
    }
    const std::size_t end = value.find(u'\0');
    if (end != std::u16string::npos) value.resize(end);
    return true;
}

bool seekConfigurationBlock(BlockReader& in) {
    // 64-bit arithmetic throughout: the header fields are hostile 32-bit and
    // 16-bit values, and their sums must neither overflow nor wrap into a
    // plausible offset.
    std::int32_t peOffset = 0;
    in.seek(pe::peOffsetField);
    if (!in.readInt(peOffset)) return false;

    std::int16_t sections = 0;
    in.seek(std::int64_t{peOffset} + pe::sectionCountField);
    if (!in.readShort(sections)) return false;
    traceValue(in, "number of sections: ", sections);

    std::int16_t optionalHeaderSize = 0;
    in.seek(std::int64_t{peOffset} + pe::optionalHeaderSizeField);
    if (!in.readShort(optionalHeaderSize)) return false;
    traceValue(in, "size of optional headers: ", optionalHeaderSize);

    const std::int64_t resSectionTableStart =
        pe::sectionHeaderOffset(peOffset, optionalHeaderSize, std::int64_t{sections} - 1);
    // Traced as 32 bits like the other header values; for any header a linker
    // writes the value fits.
    traceValue(in, "resSectionTableStart: ", static_cast<std::int32_t>(resSectionTableStart));

    std::int32_t rawDataSize = 0;
    std::int32_t rawDataOffset = 0;
    in.seek(resSectionTableStart + pe::rawDataSizeField);
    if (!in.readInt(rawDataSize)) return false;
    in.seek(resSectionTableStart + pe::rawDataOffsetField);
    if (!in.readInt(rawDataOffset)) return false;
    in.trace(TraceLine() << "rawDataSize: " << rawDataSize << ", rawDataOffset: " << rawDataOffset);

    in.seek(std::int64_t{rawDataOffset} + rawDataSize);
    return true;
}

}  // namespace qarvo
