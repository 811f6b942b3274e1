#include "image/IncludedFileNames.h"

#include <cstring>

namespace qarvo {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Only dots and spaces, two dots at least.
bool isDotsComponent(std::string_view component) {
    int dots = 0;
    for (char c : component) {
        if (c == '.') {
            ++dots;
        } else if (c != ' ') {
            return false;
        }
    }
    return dots >= 2;
}

// Windows opens a device for such a component whatever follows the first dot,
// and after stripping trailing spaces. The names compared are ASCII, which no
// byte of a double-byte character can imitate here: a component starts behind
// a real separator, and lead bytes lie above 0x80.
bool isDeviceComponent(std::string_view component) {
    std::string_view stem = component.substr(0, component.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    char upper[8] = {};
    if (stem.size() < 3 || stem.size() >= sizeof upper) return false;
    for (std::size_t i = 0; i < stem.size(); ++i) upper[i] = upperAscii(stem[i]);
    // COM and LPT with a digit, or with a superscript 1, 2 or 3 (Windows-1252,
    // the code page of the names the build tool writes), which Windows takes
    // for the same devices.
    const unsigned char last = static_cast<unsigned char>(upper[3]);
    if (stem.size() == 4 && ((last >= '0' && last <= '9') || last == 0xB9 || last == 0xB2 || last == 0xB3)) {
        upper[3] = '\0';
        return std::strcmp(upper, "COM") == 0 || std::strcmp(upper, "LPT") == 0;
    }
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (std::strcmp(upper, device) == 0) return true;
    }
    return false;
}

IncludedNameProblem componentProblem(std::string_view component) {
    if (isDotsComponent(component)) return IncludedNameProblem::dotsComponent;
    if (isDeviceComponent(component)) return IncludedNameProblem::deviceName;
    return IncludedNameProblem::none;
}

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

IncludedNameProblem includedNameProblem(std::string_view name, LeadByteTest isLeadByte) {
    if (!name.empty() && isSeparator(name[0])) return IncludedNameProblem::absoluteOrRooted;
    if (name.size() >= 2 && isAsciiLetter(name[0]) && name[1] == ':') return IncludedNameProblem::absoluteOrRooted;
    // ":" is never the second byte of a double-byte character.
    if (name.find(':') != std::string_view::npos) return IncludedNameProblem::colon;
    std::size_t start = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (isLeadByte && isLeadByte(static_cast<unsigned char>(name[i]))) {
            ++i;  // its second byte is part of the character, whatever its value
            continue;
        }
        if (!isSeparator(name[i])) continue;
        const IncludedNameProblem problem = componentProblem(name.substr(start, i - start));
        if (problem != IncludedNameProblem::none) return problem;
        start = i + 1;
    }
    return componentProblem(name.substr(start));
}

const char* describe(IncludedNameProblem problem) {
    switch (problem) {
        case IncludedNameProblem::none: return "";
        case IncludedNameProblem::dotsComponent: return "a component of two or more dots";
        case IncludedNameProblem::deviceName: return "a device name";
        case IncludedNameProblem::absoluteOrRooted: return "an absolute or rooted path";
        case IncludedNameProblem::colon: return "a colon";
    }
    return "";
}

std::vector<std::string> includedNamesToProcess(std::string_view names, std::int32_t count) {
    std::vector<std::string> found;
    std::size_t start = 0;
    // ";" is never the second byte of a double-byte character: splitting
    // byte-wise is exact.
    while (count > 0 && found.size() < static_cast<std::size_t>(count) && start < names.size()) {
        std::size_t end = names.find(';', start);
        if (end == std::string_view::npos) end = names.size();
        if (end > start) found.push_back(std::string(names.substr(start, end - start)));
        start = end + 1;
    }
    return found;
}

}  // namespace qarvo
