#include <windows.h>

#include "os/windows/Services.h"

namespace qarvo::os::win32 {

// The number of the code page, not CP_ACP or CP_OEMCP: wideToNarrow must know
// when that page is UTF-8.
unsigned fileApiCodePage() { return AreFileApisANSI() ? GetACP() : GetOEMCP(); }

namespace {

// `text` with every unpaired surrogate replaced by "?": what UTF-8 cannot
// carry.
std::u16string withoutLoneSurrogates(std::u16string_view text) {
    std::u16string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const bool high = out[i] >= 0xD800 && out[i] <= 0xDBFF;
        const bool low = out[i] >= 0xDC00 && out[i] <= 0xDFFF;
        if (high && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) {
            ++i;  // a pair: one character
        } else if (high || low) {
            out[i] = u'?';
        }
    }
    return out;
}

// WideCharToMultiByte into `out`; false when it fails or, for a page other
// than UTF-8, when a character had to be replaced by "?".
bool convertToNarrow(UINT codePage, std::u16string_view text, std::string& out) {
    // For UTF-8 (65001, the system setting "use Unicode UTF-8 for worldwide
    // language support") the default-character arguments must be null, or the
    // call fails with ERROR_INVALID_PARAMETER. Every character has a UTF-8
    // form there; only an unpaired surrogate has none, and WC_ERR_INVALID_CHARS
    // makes the call fail on it instead of writing U+FFFD. (Systems older than
    // Vista reject that flag, but they never have UTF-8 as ANSI or OEM page.)
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : 0;
    const char* defaultChar = utf8 ? nullptr : "?";
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    int n = WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, defaultChar, nullptr);
    if (n <= 0) return false;
    out.resize(static_cast<std::size_t>(n));
    BOOL usedDefault = FALSE;
    int written = WideCharToMultiByte(codePage, flags, wide, length, out.data(), n, defaultChar,
                                      utf8 ? nullptr : &usedDefault);
    return written == n && !usedDefault;
}

}  // namespace

bool WindowsCodePage::narrowToWide(std::string_view text, std::u16string& out) {
    out.clear();
    if (text.empty()) return true;
    const UINT codePage = fileApiCodePage();
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return false;
    out.resize(static_cast<std::size_t>(n));
    return MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                               reinterpret_cast<wchar_t*>(out.data()), n) == n;
}

bool WindowsCodePage::wideToNarrow(std::u16string_view text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    const UINT codePage = fileApiCodePage();
    if (convertToNarrow(codePage, text, out)) return true;
    if (codePage == CP_UTF8) {
        // Text with unpaired surrogates: hand back the rest with "?" for them,
        // as for any other page, and report the replacement.
        if (!convertToNarrow(codePage, withoutLoneSurrogates(text), out)) out.clear();
    }
    return false;
}

void WindowsCodePage::lowerCaseWide(std::u16string& text) {
    if (!text.empty()) {
        CharLowerBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
    }
}

bool WindowsCodePage::isLeadByte(unsigned char byte) {
    // Path operations ask for every byte: the lead-byte ranges of the code page
    // (GetCPInfo, up to five ranges) are read once into a table.
    static bool known = false;
    static unsigned char lead[32];  // a bit per byte value
    if (!known) {
        CPINFO info = {};
        if (GetCPInfo(fileApiCodePage(), &info)) {
            for (int r = 0; r + 1 < MAX_LEADBYTES && (info.LeadByte[r] || info.LeadByte[r + 1]); r += 2) {
                for (int b = info.LeadByte[r]; b <= info.LeadByte[r + 1]; ++b) lead[b >> 3] |= 1 << (b & 7);
            }
        }
        known = true;
    }
    return (lead[byte >> 3] >> (byte & 7)) & 1;
}

}  // namespace qarvo::os::win32
