#include "launcher/CommandLineTail.h"

namespace qarvo {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }

const char* skipBlanks(const char* text) {
    while (isBlank(*text)) ++text;
    return text;
}
}  // namespace

const char* commandLineTail(const char* commandLine) {
    if (!commandLine) return "";
    const char* p = skipBlanks(commandLine);
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !isBlank(*p)) ++p;
    }
    return skipBlanks(p);
}

}  // namespace qarvo
