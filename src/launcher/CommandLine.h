// Splitting the launcher's own command line into the argument list.
#pragma once

#include <string_view>

#include "base/ArgumentList.h"

namespace qarvo {

// Appends the words of `text` to `list` by the launcher's rules
// (base/CommandLine.h); ends the process with message 1007 on an unbalanced
// quote.
void splitCommandLine(std::u16string_view text, ArgumentList& list);

}  // namespace qarvo
