#include "payload/IncludedFiles.h"

namespace qarvo {

// Included files are not read yet: there is nothing to extract.
int extractIncludedFiles(bool) { return 0; }

std::uint32_t extractionEndPosition() { return 0; }

}  // namespace qarvo
