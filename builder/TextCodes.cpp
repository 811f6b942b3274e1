#include "builder/TextCodes.h"

#include <cstdint>

namespace qarvo::builder {

namespace {

// Windows-1252 at 0x80-0x9F; 0 where the code page defines no character.
constexpr char16_t high1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

// Decodes one UTF-8 sequence at `i`; false for an invalid one.
bool nextCodePoint(std::string_view text, std::size_t& i, char32_t& code) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    if (lead < 0x80) {
        code = lead;
    } else if (lead >= 0xC2 && lead < 0xE0) {
        code = lead & 0x1F;
        extra = 1;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        code = lead & 0x0F;
        extra = 2;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        code = lead & 0x07;
        extra = 3;
    } else {
        return false;
    }
    if (extra > 0 && i + static_cast<std::size_t>(extra) >= text.size()) return false;
    for (int k = 1; k <= extra; ++k) {
        const unsigned char c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) return false;
        code = (code << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode.
    if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF)) {
        return false;
    }
    i += static_cast<std::size_t>(extra) + 1;
    return true;
}

void appendUtf8(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

bool utf8ToWindows1252(std::string_view utf8, std::string& out, std::string& bad) {
    out.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t start = i;
        char32_t code = 0;
        if (!nextCodePoint(utf8, i, code)) {
            bad = std::string(utf8.substr(start, 1));
            return false;
        }
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out += static_cast<char>(code);
            continue;
        }
        bool found = false;
        for (int k = 0; k < 32 && !found; ++k) {
            if (high1252[k] != 0 && high1252[k] == code) {
                out += static_cast<char>(0x80 + k);
                found = true;
            }
        }
        if (!found) {
            bad = std::string(utf8.substr(start, i - start));
            return false;
        }
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0 && high1252[b - 0x80] != 0) {
            appendUtf8(high1252[b - 0x80], out);
        } else {
            appendUtf8(b, out);
        }
    }
    return out;
}

bool utf8ToUtf16(std::string_view utf8, std::u16string& out) {
    out.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code = 0;
        if (!nextCodePoint(utf8, i, code)) return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return true;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        appendUtf8(code, out);
    }
    return out;
}

}  // namespace qarvo::builder
