// Text conversions of the build tool: the configuration file is UTF-8, the
// block's narrow values are bytes in the ANSI code page of the machine that
// runs the launcher (written as Windows-1252, the code page of Western
// systems), its wide values UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace qarvo::builder {

// UTF-8 to Windows-1252. False when the text is not valid UTF-8 or holds a
// character that Windows-1252 cannot represent; `bad` then holds that
// character (or the invalid bytes) as UTF-8.
bool utf8ToWindows1252(std::string_view utf8, std::string& out, std::string& bad);

// Windows-1252 to UTF-8; bytes the code page leaves undefined become the
// control character of the same number.
std::string windows1252ToUtf8(std::string_view bytes);

// UTF-8 to UTF-16; false when the text is not valid UTF-8.
bool utf8ToUtf16(std::string_view utf8, std::u16string& out);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace qarvo::builder
