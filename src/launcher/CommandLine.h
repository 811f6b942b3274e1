// The launcher's own word splitting: words are separated by spaces only;
// double and single quotes group; there is no escape character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qarvo {

// The argument list: the whole command line as UTF-16 words; element 0 is the
// launcher path as it stood on the command line.
using ArgumentList = std::vector<std::u16string>;

// Appends the words of `text` to `list`. False when a quote has no closing
// partner (the words before it are appended).
bool splitWords(std::u16string_view text, ArgumentList& list);

// splitWords, ending the process with message 1007 on an unbalanced quote.
void splitCommandLine(std::u16string_view text, ArgumentList& list);

// The same rules for narrow text: each word is narrow text in the same code
// page. The whole text is split, however long. Like splitCommandLine, ends the
// process with message 1007 on an unbalanced quote.
void splitNarrowString(std::string_view text, std::vector<std::string>& list);

}  // namespace qarvo
