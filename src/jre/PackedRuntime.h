// Runtimes shipped with their archives in packed form, expanded on the user's
// machine before the runtime is first probed.
#pragma once

#include <string>

namespace qarvo {

// Expands a packed runtime in `home` (absolute, lower case) when one is there
// and not yet expanded.
void unpackPackedRuntime(const std::string& home);

}  // namespace qarvo
