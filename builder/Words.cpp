#include "builder/Words.h"

namespace qarvo::builder {

bool joinWords(const std::vector<std::string>& words, std::string& text, std::string& error) {
    text.clear();
    for (const std::string& word : words) {
        if (!text.empty()) text += ' ';
        const bool hasDouble = word.find('"') != std::string::npos;
        const bool hasSingle = word.find('\'') != std::string::npos;
        if (hasDouble && hasSingle) {
            error = "the word " + word + " holds both quote characters; the launcher cannot receive it as one word";
            return false;
        }
        if (!word.empty() && !hasDouble && !hasSingle && word.find(' ') == std::string::npos) {
            text += word;
            continue;
        }
        const char quote = hasDouble ? '\'' : '"';
        text += quote;
        text += word;
        text += quote;
    }
    return true;
}

bool splitLauncherWords(std::string_view text, std::vector<std::string>& words) {
    std::size_t p = 0;
    while (p < text.size()) {
        if (text[p] == ' ') {
            ++p;
            continue;
        }
        const std::size_t end = text.find_first_of(" \"'", p);
        if (end == std::string_view::npos || text[end] == ' ') {
            words.emplace_back(text.substr(p, end == std::string_view::npos ? std::string_view::npos : end - p));
            if (end == std::string_view::npos) break;
            p = end + 1;
            continue;
        }
        // A quoted part, possibly behind text of the same word; text glued to
        // the closing quote starts a word of its own.
        const std::size_t close = text.find(text[end], end + 1);
        if (close == std::string_view::npos) return false;
        std::string word(text.substr(p, end - p));
        word += text.substr(end + 1, close - end - 1);
        words.push_back(std::move(word));
        p = close + 1;
        if (p < text.size() && text[p] == ' ') ++p;
    }
    return true;
}

}  // namespace qarvo::builder
