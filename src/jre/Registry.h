// Registry values read as text by the runtime search and the probe cache.
#pragma once

#include <cstddef>
#include <string>

#include "os/Registry.h"

namespace qarvo {

// A string value as text: read into `capacity` bytes of the launcher's own
// registry view and cut at the first terminator. False when it cannot be read.
bool readRegistryText(os::Hive hive, const std::string& subkey, const std::string& name, std::size_t capacity,
                      std::string& text);

}  // namespace qarvo
