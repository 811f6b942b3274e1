#include "config/BlockReader.h"

#include <cstring>

#include "report/Log.h"

namespace qarvo {

namespace {

std::uint64_t littleEndian(const std::uint8_t* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

// UTF-16 units converted per chunk, so that a wide string never needs a byte
// copy of itself on top of its text.
constexpr std::size_t wideChunkBytes = 512;

}  // namespace

BlockReader::BlockReader(RandomAccessFile& file) : file_(file), fileSize_(file.size()) {}

void BlockReader::seek(std::int64_t position) { position_ = position; }

std::uint64_t BlockReader::remaining() const {
    if (position_ < 0 || static_cast<std::uint64_t>(position_) >= fileSize_) return 0;
    return fileSize_ - static_cast<std::uint64_t>(position_);
}

bool BlockReader::refill() {
    windowStart_ = position_;
    windowLength_ = 0;
    // Nothing is asked of the file where nothing can be: a hostile header can
    // point anywhere, and some offsets mean something special to a system read.
    if (remaining() == 0) return false;
    RandomAccessFile::Result result = file_.readAt(static_cast<std::uint64_t>(position_), window_, windowSize);
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

bool BlockReader::readLong(std::int64_t& value) {
    std::uint8_t bytes[8];
    if (take(bytes, sizeof bytes) != sizeof bytes) {
        logLine("error %d\n", static_cast<int>(lastError_));
        return fail(ConfigReadFailure::readLong);
    }
    value = static_cast<std::int64_t>(littleEndian(bytes, 8));
    return true;
}

bool BlockReader::readInt(std::int32_t& value) {
    std::uint8_t bytes[4];
    const std::size_t got = take(bytes, sizeof bytes);
    if (got != sizeof bytes) {
        logLine("error %d %d\n", static_cast<int>(lastError_), static_cast<int>(got));
        return fail(ConfigReadFailure::readInt);
    }
    value = static_cast<std::int32_t>(littleEndian(bytes, 4));
    return true;
}

bool BlockReader::readShort(std::int16_t& value) {
    std::uint8_t bytes[2];
    if (take(bytes, sizeof bytes) != sizeof bytes) {
        logLine("error %d\n", static_cast<int>(lastError_));
        return fail(ConfigReadFailure::readShort);
    }
    value = static_cast<std::int16_t>(littleEndian(bytes, 2));
    return true;
}

bool BlockReader::readString(std::string& value) {
    std::int32_t length = 0;
    if (!readInt(length)) return false;
    if (length < 0 || static_cast<std::uint64_t>(length) > remaining()) {
        return fail(ConfigReadFailure::readString);
    }
    value.assign(static_cast<std::size_t>(length), '\0');
    if (take(reinterpret_cast<std::uint8_t*>(value.data()), value.size()) != value.size()) {
        return fail(ConfigReadFailure::readString);
    }
    value.resize(std::strlen(value.c_str()));
    return true;
}

bool BlockReader::readWString(std::u16string& value) {
    std::int32_t length = 0;
    if (!readInt(length)) return false;
    if (length < 0 || static_cast<std::uint64_t>(length) > remaining()) {
        return fail(ConfigReadFailure::readWString);
    }
    const std::size_t bytes = static_cast<std::size_t>(length);
    value.assign(bytes / 2, u'\0');
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

}  // namespace qarvo
