#include <windows.h>

#include "os/CodePage.h"

namespace qarvo {

namespace {
UINT fileApiCodePage() { return AreFileApisANSI() ? CP_ACP : CP_OEMCP; }
}  // namespace

bool narrowToWide(std::string_view text, std::u16string& out) {
    out.clear();
    if (text.empty()) return true;
    int n = MultiByteToWideChar(fileApiCodePage(), 0, text.data(), static_cast<int>(text.size()),
                                nullptr, 0);
    if (n <= 0) return false;
    out.resize(static_cast<std::size_t>(n));
    return MultiByteToWideChar(fileApiCodePage(), 0, text.data(), static_cast<int>(text.size()),
                               reinterpret_cast<wchar_t*>(out.data()), n) == n;
}

bool wideToNarrow(std::u16string_view text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    int n = WideCharToMultiByte(fileApiCodePage(), 0, wide, static_cast<int>(text.size()), nullptr,
                                0, "?", nullptr);
    if (n <= 0) return false;
    out.resize(static_cast<std::size_t>(n));
    BOOL usedDefault = FALSE;
    int written = WideCharToMultiByte(fileApiCodePage(), 0, wide, static_cast<int>(text.size()),
                                      out.data(), n, "?", &usedDefault);
    return written == n && !usedDefault;
}

void lowerCaseWide(std::u16string& text) {
    if (!text.empty()) {
        CharLowerBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
    }
}

}  // namespace qarvo
