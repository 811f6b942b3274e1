// Files stored behind the configuration block, extracted at start-up.
#pragma once

namespace qarvo {

// Extracts the included files into the launcher temporary directory; 0 on
// success, non-zero on a read or write failure.
int extractIncludedFiles(bool createDirectory);

}  // namespace qarvo
