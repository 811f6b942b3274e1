// The code page of narrow text: that of the process's file functions, ANSI, or
// OEM when they were switched to OEM (AreFileApisANSI). Every conversion
// between narrow text and UTF-16 goes through here.
#pragma once

#include <string>
#include <string_view>

namespace qarvo::os {

class CodePage {
public:
    virtual ~CodePage() = default;
    // Widens `text`. False when the text is not valid in the code page.
    virtual bool narrowToWide(std::string_view text, std::u16string& out) = 0;
    // Narrows `text`, with "?" for characters the code page cannot represent.
    // False when a "?" had to be used or the conversion failed; `out` then
    // holds the text with the replacements.
    virtual bool wideToNarrow(std::u16string_view text, std::string& out) = 0;
    // Lower-cases UTF-16 text in place (letters of every script the system knows).
    virtual void lowerCaseWide(std::u16string& text) = 0;
    // Whether `byte` begins a two-byte character in the code page (only
    // double-byte pages such as 932, 936, 949 and 950 have such bytes). The
    // second byte of such a character can have any value from 0x40 on,
    // including that of "\".
    virtual bool isLeadByte(unsigned char byte) = 0;
};

}  // namespace qarvo::os
