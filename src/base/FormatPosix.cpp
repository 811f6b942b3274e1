// formatTextV for the host build: the C library's vsnprintf.
#include <cstdio>

#include "base/Format.h"

namespace qarvo {

std::string formatTextV(const char* format, std::va_list args) {
    std::va_list again;
    va_copy(again, args);
    int needed = std::vsnprintf(nullptr, 0, format, args);
    std::string text;
    if (needed > 0) {
        text.resize(static_cast<std::size_t>(needed));
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    return text;
}

}  // namespace qarvo
