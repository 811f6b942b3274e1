#include "jre/PackedRuntime.h"

namespace qarvo {

// Packed runtimes are not expanded yet: a directory that holds one is probed
// as it is, and its missing archives make the probe or the load fail.
void unpackPackedRuntime(const std::string&) {}

}  // namespace qarvo
