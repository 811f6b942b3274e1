// Option and argument lists as the launcher splits them: words separated by
// spaces, double or single quotes grouping a part of a word, no escape
// character. The build tool writes lists of words in that form and reads them
// back for inspect.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qarvo::builder {

// One text that the launcher splits into exactly `words`. A word with a space,
// a quote or no characters is quoted with the quote character it does not
// contain. False with a message in `error` for a word that contains both
// quote characters, which no quoting can carry through.
bool joinWords(const std::vector<std::string>& words, std::string& text, std::string& error);

// The words the launcher makes of `text`; false when a quote has no closing
// partner (the launcher then stops with message 1007).
bool splitLauncherWords(std::string_view text, std::vector<std::string>& words);

}  // namespace qarvo::builder
