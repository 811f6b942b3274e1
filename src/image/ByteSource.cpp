#include "image/ByteSource.h"

#include <cstring>

namespace qarvo {

ByteSource::Result MemorySource::readAt(std::uint64_t offset, void* buffer, std::size_t size) {
    Result result;
    if (offset >= bytes_.size()) return result;
    const std::size_t available = bytes_.size() - static_cast<std::size_t>(offset);
    result.bytes = size < available ? size : available;
    std::memcpy(buffer, bytes_.data() + offset, result.bytes);
    return result;
}

}  // namespace qarvo
