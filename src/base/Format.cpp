#include "base/Format.h"

#include <cstdio>
#include <cstring>

namespace qarvo {

std::string formatText(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string text = formatTextV(format, args);
    va_end(args);
    return text;
}

bool copyBounded(char* buffer, std::size_t capacity, const std::string& text) {
    std::size_t n = text.size() < capacity ? text.size() : capacity - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n == text.size();
}

}  // namespace qarvo
