// The launcher's own word splitting, for its command line and for the option
// texts of its configuration: words are separated by spaces only; double and
// single quotes group; there is no escape character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/ArgumentList.h"

namespace qarvo {

// Appends the words of `text` to `list`. False when a quote has no closing
// partner (the words before it are appended); the launcher then ends with
// message 1007.
bool splitWords(std::u16string_view text, ArgumentList& list);

// The same rules for narrow text: each word is narrow text in the same code
// page. The whole text is split, however long.
bool splitNarrowWords(std::string_view text, std::vector<std::string>& list);

}  // namespace qarvo
