// Conversion between narrow text and UTF-16. Narrow text is in the code page of
// the process's file functions: ANSI, or OEM when they were switched to OEM.
// This is the one place where the launcher converts between the two.
#pragma once

#include <string>
#include <string_view>

namespace qarvo {

// Widens `text`. False when the text is not valid in the code page.
bool narrowToWide(std::string_view text, std::u16string& out);

// Narrows `text`, with "?" for characters the code page cannot represent.
// False when a "?" had to be used or the conversion failed; `out` then holds
// the text with the replacements, and callers that must not alter a path keep
// their original instead.
bool wideToNarrow(std::u16string_view text, std::string& out);

// Lower-cases UTF-16 text in place (letters of every script the system knows).
void lowerCaseWide(std::u16string& text);

}  // namespace qarvo
