#include "base/CommandLine.h"

#include "base/CodePage.h"

namespace qarvo {

namespace {

constexpr std::size_t none = std::u16string_view::npos;

bool before(std::size_t a, std::size_t b) { return a != none && (b == none || a < b); }

}  // namespace

bool splitWords(std::u16string_view text, ArgumentList& list) {
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t doubleQuote = text.find(u'"', p);
        std::size_t singleQuote = text.find(u'\'', p);
        std::size_t space = text.find(u' ', p);
        if (space == p) {
            ++p;  // runs of spaces make no empty words
            continue;
        }
        if (before(space, doubleQuote) && before(space, singleQuote)) {
            list.emplace_back(text.substr(p, space - p));
            p = space + 1;
            continue;
        }
        std::size_t quote = before(doubleQuote, singleQuote) ? doubleQuote : singleQuote;
        if (quote == none) {
            list.emplace_back(text.substr(p));
            break;
        }
        // A quoted part, possibly behind text of the same word (-Dname="a b").
        std::size_t close = text.find(text[quote], quote + 1);
        if (close == none) return false;
        std::u16string word(text.substr(p, quote - p));
        word += text.substr(quote + 1, close - quote - 1);
        list.push_back(std::move(word));
        // Text glued to the closing quote starts a word of its own.
        p = close + 1;
        if (p < text.size() && text[p] == u' ') ++p;
    }
    return true;
}

bool splitNarrowWords(std::string_view text, std::vector<std::string>& list) {
    std::u16string wide;
    narrowToWide(text, wide);
    ArgumentList words;
    const bool balanced = splitWords(wide, words);
    for (const std::u16string& word : words) {
        // Back to the code page the text came from; the words only lost the
        // spaces and quotes between them, so the conversion is exact.
        std::string narrow;
        wideToNarrow(word, narrow);
        list.push_back(std::move(narrow));
    }
    return balanced;
}

}  // namespace qarvo
