// The launcher's command line as a list of UTF-16 words.
#pragma once

#include <string>
#include <vector>

namespace qarvo {

// The whole command line split into words; element 0 is the launcher path as
// it stood on the command line.
using ArgumentList = std::vector<std::u16string>;

}  // namespace qarvo
