#include "builder/IncludedNameRule.h"

#include <cctype>
#include <string>

namespace qarvo {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool onlyDotsAndSpaces(std::string_view component) {
    int dots = 0;
    for (const char c : component) {
        if (c == '.') {
            ++dots;
        } else if (c != ' ') {
            return false;
        }
    }
    return dots >= 2;
}

// The part before the first dot, without trailing dots and spaces: what
// Windows compares with its device names.
bool namesDevice(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == '.')) base.remove_suffix(1);
    const std::string name = upper(base);
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL" || name == "CONIN$" || name == "CONOUT$") {
        return true;
    }
    return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) &&
           std::isdigit(static_cast<unsigned char>(name[3]));
}

}  // namespace

IncludedNameProblem includedNameProblem(std::string_view name) {
    if (!name.empty() && isSeparator(name[0])) return IncludedNameProblem::absoluteOrRooted;
    if (name.size() >= 2 && name[1] == ':') return IncludedNameProblem::absoluteOrRooted;
    if (name.find(':') != std::string_view::npos) return IncludedNameProblem::colon;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !isSeparator(name[end])) ++end;
        const std::string_view component = name.substr(start, end - start);
        if (onlyDotsAndSpaces(component)) return IncludedNameProblem::dotsComponent;
        if (namesDevice(component)) return IncludedNameProblem::deviceName;
        start = end + 1;
    }
    return IncludedNameProblem::none;
}

const char* describe(IncludedNameProblem problem) {
    switch (problem) {
        case IncludedNameProblem::none: return "no problem";
        case IncludedNameProblem::dotsComponent: return "a component of two or more dots";
        case IncludedNameProblem::deviceName: return "a device name";
        case IncludedNameProblem::absoluteOrRooted: return "an absolute or rooted name";
        case IncludedNameProblem::colon: return "a colon";
    }
    return "an unknown problem";
}

}  // namespace qarvo
