#include "builder/TomlSafety.h"

namespace qarvo::builder {

namespace {

// Parts of a dotted key: far more than any configuration needs, far fewer
// than would exhaust a stack.
constexpr int maxKeyParts = 64;

}  // namespace

// TOML allows no control characters, characters beyond ASCII only in
// strings and comments, and a string ends on its line (a multi-line one before the end of the file). The
// file is checked for both before toml++ sees it: toml++ 3.3 reaches an
// "unreachable" branch (undefined behaviour) when it tests such a character
// for white space, as it does outside strings and behind an unclosed one.
bool unsafeForToml(const std::string& text, Position& at, std::string& what) {
    enum class In { code, comment, basic, literal, multiBasic, multiLiteral } in = In::code;
    int line = 1, column = 1;
    Position opened;
    // Keys: toml++ descends once for every part of a dotted key, so a key of
    // thousands of parts overflows the stack. A key stands at the start of a
    // line outside arrays, in a table header, and at the start of an inline
    // table and behind each of its commas; it ends at "=" (or at the header's "]").
    std::string brackets;  // the open "[" and "{" of values, innermost last
    bool inKey = true, inHeader = false, lineBlank = true;
    int keyParts = 1;
    Position keyAt{1, 1};
    auto startKey = [&] {
        inKey = true;
        keyParts = 1;
        keyAt = {line, column};
    };
    std::size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        // Control characters are no TOML anywhere (tabs and line ends aside).
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) {
            at = {line, column};
            what = "a control character";
            return true;
        }
        if ((in == In::basic || in == In::literal) && c == '\n') {
            at = opened;
            what = "a string that is not closed on its line";
            return true;
        }
        const bool three = i + 2 < text.size() && text[i + 1] == c && text[i + 2] == c;
        if (in == In::code) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                at = {line, column};
                what = "a character beyond ASCII outside a string or a comment";
                return true;
            }
            opened = {line, column};
            if (c == '#') in = In::comment;
            if (c == '"') in = three ? In::multiBasic : In::basic;
            if (c == '\'') in = three ? In::multiLiteral : In::literal;
            if (three && (c == '"' || c == '\'')) i += 2, column += 2;
            if (c == '[' && brackets.empty() && lineBlank) {
                inHeader = true;
                startKey();
            } else if (c == ']' && inHeader) {
                inHeader = inKey = false;
            } else if (c == '[' || c == '{') {
                brackets.push_back(c);
                if (c == '{') startKey();
            } else if ((c == ']' || c == '}') && !brackets.empty()) {
                brackets.pop_back();
            } else if (c == ',' && !brackets.empty() && brackets.back() == '{') {
                startKey();
            } else if (c == '=') {
                inKey = false;
            } else if (c == '.' && inKey && ++keyParts > maxKeyParts) {
                at = keyAt;
                what = "a dotted key of more than " + std::to_string(maxKeyParts) + " parts";
                return true;
            }
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n') lineBlank = false;
        } else if ((in == In::basic || in == In::multiBasic) && c == '\\') {
            // An escape: the next character is no closing quote. A line
            // ending escaped in a multi-line string still ends the line.
            ++i;
            if (i < text.size() && text[i] == '\n') {
                ++line;
                column = 0;  // the backslash's column is counted below
            } else {
                ++column;
            }
        } else if (in == In::comment && c == '\n') {
            in = In::code;
        } else if ((in == In::basic && c == '"') || (in == In::literal && c == '\'')) {
            in = In::code;
        } else if ((in == In::multiBasic && c == '"' && three) || (in == In::multiLiteral && c == '\'' && three)) {
            // The delimiter is the last three of up to five quotes: one or
            // two quotes right before it belong to the string.
            std::size_t run = 3;
            while (run < 5 && i + run < text.size() && text[i + run] == c) ++run;
            in = In::code;
            i += run - 1, column += static_cast<int>(run - 1);
        }
        if (c == '\n') {
            ++line;
            column = 1;
            if (in == In::code && brackets.empty() && !inHeader) startKey();
            lineBlank = true;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++column;
        }
    }
    if (in == In::code || in == In::comment) return false;
    at = opened;
    what = "a string that is not closed";
    return true;
}

}  // namespace qarvo::builder
