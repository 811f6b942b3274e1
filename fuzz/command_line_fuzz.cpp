// Feeds arbitrary UTF-16 text to the launcher's command-line splitting, and
// checks what must hold for every input: no word holds a space unless it came
// from inside quotes, and splitting a balanced text never fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    qarvo::ArgumentList words;
    bool balanced = qarvo::splitWords(text, words);

    bool hasQuote = text.find(u'"') != std::u16string::npos || text.find(u'\'') != std::u16string::npos;
    if (!hasQuote) {
        if (!balanced) std::abort();
        for (const std::u16string& word : words) {
            if (word.empty() || word.find(u' ') != std::u16string::npos) std::abort();
        }
    }
    std::size_t letters = 0;
    for (const std::u16string& word : words) letters += word.size();
    if (letters > text.size()) std::abort();
    return 0;
}
