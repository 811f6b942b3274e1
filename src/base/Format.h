// printf-style formatting into std::string, shared by the log, the messages and
// every place that builds a path or an option from a template.
#pragma once

#include <cstdarg>
#include <string>

namespace qarvo {

#if defined(__GNUC__)
#define QARVO_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define QARVO_PRINTF(fmt, args)
#endif

// The formatted text, whatever its length.
std::string formatText(const char* format, ...) QARVO_PRINTF(1, 2);
std::string formatTextV(const char* format, std::va_list args);

// Copies `text` into `buffer` of `capacity` bytes (capacity > 0), cutting it so
// that it fits with its terminator. Returns false when it was cut.
bool copyBounded(char* buffer, std::size_t capacity, const std::string& text);

}  // namespace qarvo
