// Files stored behind the configuration block, extracted at start-up.
#pragma once

#include <cstdint>

namespace qarvo {

// Extracts the included files into the launcher temporary directory; 0 on
// success, non-zero on a read or write failure.
int extractIncludedFiles(bool createDirectory);

// Offset in the launcher executable just behind the last included file; 0
// when there are none.
std::uint32_t extractionEndPosition();

}  // namespace qarvo
