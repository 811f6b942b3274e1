// Host build: the narrow code page is ISO 8859-1 (the first 256 code points),
// which behaves like Windows code page 1252 for the tests: accented Latin
// letters convert both ways, CJK text does not.
#include "os/CodePage.h"

namespace qarvo {

bool narrowToWide(std::string_view text, std::u16string& out) {
    out.clear();
    out.reserve(text.size());
    for (unsigned char c : text) out.push_back(static_cast<char16_t>(c));
    return true;
}

bool wideToNarrow(std::u16string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    bool exact = true;
    for (char16_t c : text) {
        if (c > 0xFF) {
            out.push_back('?');
            exact = false;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return exact;
}

void lowerCaseWide(std::u16string& text) {
    for (char16_t& c : text) {
        if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c += 0x20;
    }
}

}  // namespace qarvo
