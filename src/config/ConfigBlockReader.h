// Reads the configuration block from the launcher's own executable into the
// process-wide configuration: the block codec reads, this stores each entry as
// it comes and logs the codec's trace.
#pragma once

#include <functional>

#include "image/ByteSource.h"
#include "image/ConfigBlock.h"

namespace qarvo {

// Reads the block of `file` into the process-wide configuration (Configuration.h):
// the string entries, the wide entries, then the wide entries of every locale
// section whose name is a prefix of the user's locale name, in block order;
// on success blockEndOffset. `userLocale` is called once, only when there are
// sections; it returns null when the user's locale has no name (no section
// matches then). Entries read before a failure are stored too. Logs the
// header values found and the error line of a primitive that ran short.
ConfigReadFailure readConfigurationFrom(ByteSource& file, const std::function<const char*()>& userLocale);

}  // namespace qarvo
