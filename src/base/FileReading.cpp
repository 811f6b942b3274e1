#include "base/FileReading.h"

#include "os/System.h"

namespace qarvo {

bool readFileBytes(const std::string& path, std::uint64_t offset, std::size_t maxBytes, std::string& bytes) {
    std::uint32_t error = 0;
    std::unique_ptr<os::ReadableFile> file = os::files().openForReading(path, error);
    if (!file) return false;
    bytes.assign(maxBytes, '\0');
    std::size_t total = 0;
    while (total < maxBytes) {
        os::IoResult read = file->readAt(offset + total, bytes.data() + total, maxBytes - total);
        if (!read.ok) {
            bytes.clear();
            return false;
        }
        if (read.bytes == 0) break;
        total += read.bytes;
    }
    bytes.resize(total);
    return true;
}

}  // namespace qarvo
