// Narrow text in the code page of the file functions (os/CodePage.h): the
// conversions to and from UTF-16, and the byte-wise operations that must not
// mistake the second byte of a double-byte character for a character of its
// own. In code pages 932, 936, 949 and 950 that byte can have the value of
// "\" (0x5C) or of an ASCII letter.
#pragma once

#include <cstddef>
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

// Position of the first "\" of `text` that is a character of its own; npos
// when there is none.
std::size_t firstBackslash(std::string_view text);

// Position of the last "\" of `text` that is a character of its own (and, with
// `slashToo`, of the last such "/"); npos when there is none.
std::size_t lastPathSeparator(std::string_view text, bool slashToo = false);

// Whether the last character of `text` is "\" (not the second byte of a
// double-byte character).
bool endsWithBackslash(std::string_view text);

// `directory` with a "\" appended unless its last character is one.
std::string withBackslash(std::string directory);

// Upper-cases the ASCII letters of `text` that are characters of their own.
void upperCaseAscii(std::string& text);

// Replaces every `from` character of `text` (an ASCII character, not the
// second byte of a double-byte character) by `to`.
void replaceCharacter(std::string& text, char from, char to);

}  // namespace qarvo
