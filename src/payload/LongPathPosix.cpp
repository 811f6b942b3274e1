// Host build: paths have no short forms, so the long form of a path is the
// path itself.
#include <cstring>

#include "payload/PathHelpers.h"

namespace qarvo {

namespace {
std::uint32_t identityLongPathName(const char* shortPath, char* buffer, std::uint32_t size) {
    std::uint32_t n = static_cast<std::uint32_t>(std::strlen(shortPath));
    if (n + 1 > size) return n + 1;
    std::memcpy(buffer, shortPath, n + 1);
    return n;
}
}  // namespace

LongPathConverter longPathConverter = identityLongPathName;

}  // namespace qarvo
