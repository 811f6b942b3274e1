#include "base/CodePage.h"

#include "os/System.h"

namespace qarvo {

namespace {

// Calls `visit(index)` for the first byte of every character of `text`, in
// order. A lead byte at the very end has no second byte and counts alone.
template <typename Visit>
void forEachCharacter(std::string_view text, Visit visit) {
    os::CodePage& page = os::codePage();
    for (std::size_t i = 0; i < text.size(); ++i) {
        visit(i);
        if (page.isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
    }
}

}  // namespace

bool narrowToWide(std::string_view text, std::u16string& out) { return os::codePage().narrowToWide(text, out); }

bool wideToNarrow(std::u16string_view text, std::string& out) { return os::codePage().wideToNarrow(text, out); }

void lowerCaseWide(std::u16string& text) { os::codePage().lowerCaseWide(text); }

std::size_t firstBackslash(std::string_view text) {
    std::size_t found = std::string_view::npos;
    forEachCharacter(text, [&](std::size_t i) {
        if (text[i] == '\\' && found == std::string_view::npos) found = i;
    });
    return found;
}

std::size_t lastPathSeparator(std::string_view text, bool slashToo) {
    std::size_t found = std::string_view::npos;
    forEachCharacter(text, [&](std::size_t i) {
        if (text[i] == '\\' || (slashToo && text[i] == '/')) found = i;
    });
    return found;
}

bool endsWithBackslash(std::string_view text) {
    return !text.empty() && lastPathSeparator(text) == text.size() - 1;
}

std::string withBackslash(std::string directory) {
    if (!endsWithBackslash(directory)) directory += '\\';
    return directory;
}

void upperCaseAscii(std::string& text) {
    forEachCharacter(text, [&](std::size_t i) {
        if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 32);
    });
}

void replaceCharacter(std::string& text, char from, char to) {
    forEachCharacter(text, [&](std::size_t i) {
        if (text[i] == from) text[i] = to;
    });
}

}  // namespace qarvo
