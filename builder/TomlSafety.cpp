#include "builder/TomlSafety.h"

namespace qarvo::builder {

// TOML allows no control characters, characters beyond ASCII only in
// strings and comments, and a string ends on its line (a multi-line one before the end of the file). The
// file is checked for both before toml++ sees it: toml++ 3.3 reaches an
// "unreachable" branch (undefined behaviour) when it tests such a character
// for white space, as it does outside strings and behind an unclosed one.
bool unsafeForToml(const std::string& text, Position& at, std::string& what) {
    enum class In { code, comment, basic, literal, multiBasic, multiLiteral } in = In::code;
    int line = 1, column = 1;
    Position opened;
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
        } else if ((in == In::basic || in == In::multiBasic) && c == '\\') {
            ++i, ++column;  // an escape: the next character is no closing quote
        } else if (in == In::comment && c == '\n') {
            in = In::code;
        } else if ((in == In::basic && c == '"') || (in == In::literal && c == '\'')) {
            in = In::code;
        } else if ((in == In::multiBasic && c == '"' && three) || (in == In::multiLiteral && c == '\'' && three)) {
            in = In::code;
            i += 2, column += 2;
        }
        if (c == '\n') {
            ++line;
            column = 1;
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
