// formatTextV for the launcher: the system C runtime's _vsnprintf. mingw's own
// printf family would link its floating-point formatter into the launcher for
// nothing (the launcher never formats a float).
#include <stdio.h>

#include "base/Format.h"


namespace qarvo {

std::string formatTextV(const char* format, std::va_list args) {
    // msvcrt's _vsnprintf cannot measure: it returns -1 when the text does not
    // fit. Grow the buffer until it does.
    std::string text(256, '\0');
    for (;;) {
        std::va_list again;
        va_copy(again, args);
        int n = _vsnprintf(text.data(), text.size(), format, again);
        va_end(again);
        if (n >= 0 && static_cast<std::size_t>(n) < text.size()) {
            text.resize(static_cast<std::size_t>(n));
            return text;
        }
        if (text.size() >= (1u << 26)) {  // a runaway format; keep what fitted
            return text;
        }
        text.resize(text.size() * 2);
    }
}

}  // namespace qarvo
