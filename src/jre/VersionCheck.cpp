#include "jre/VersionCheck.h"

#include <algorithm>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "report/Log.h"

namespace qarvo {

namespace {

constexpr std::size_t probeLinesExamined = 20;

bool isSeparator(char c) { return c == '.' || c == '_' || c == '-' || c == '+'; }

// Component `index` of `version`; "0" when the version has fewer.
std::string_view component(std::string_view version, std::size_t index) {
    if (version.empty()) return "0";
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        std::size_t end = std::find_if(version.begin() + start, version.end(), isSeparator) - version.begin();
        if (end == version.size()) return "0";
        start = end + 1;
    }
    std::size_t end = std::find_if(version.begin() + start, version.end(), isSeparator) - version.begin();
    return version.substr(start, end - start);
}

// An empty component (as in "1..2") counts as the number 0.
bool isNumber(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Numbers of any length compare without overflow: leading zeros dropped, then
// the longer is the greater, then digit by digit.
int compareNumbers(std::string_view a, std::string_view b) {
    a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
    b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

// Numbers rank below text: comparing a number with text byte-wise would make
// the order cyclic (9 < 10 numerically, "10" < "1a" and "1a" < "9" byte-wise).
int compareComponent(std::string_view a, std::string_view b) {
    const bool aNumber = isNumber(a);
    const bool bNumber = isNumber(b);
    int result = aNumber && bNumber ? compareNumbers(a, b) : aNumber != bNumber ? (aNumber ? -1 : 1) : a.compare(b);
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

bool containsBetaMarker(const std::string& version) {
    for (const char* marker : {"beta", "ea", "rc"}) {
        if (version.find(marker) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

bool extractJavaVersion(std::string_view output, std::string& version) {
    static constexpr std::string_view prefixes[] = {"java version \"", "openjdk version \""};
    std::size_t start = 0;
    for (std::size_t line = 0; line < probeLinesExamined && start < output.size(); ++line) {
        std::size_t end = std::min(output.find('\n', start), output.size());
        std::string_view text = output.substr(start, end - start);
        start = end + 1;
        for (std::string_view prefix : prefixes) {
            if (text.substr(0, prefix.size()) != prefix) continue;
            std::string_view rest = text.substr(prefix.size());
            std::size_t quote = rest.find('"');
            if (quote == std::string_view::npos) return false;
            version.assign(rest.substr(0, std::min(quote, versionTextCapacity)));
            return true;
        }
    }
    return false;
}

std::size_t versionComponentCount(std::string_view version) {
    if (version.empty()) return 0;
    return 1 + static_cast<std::size_t>(std::count_if(version.begin(), version.end(), isSeparator));
}

int compareVersionComponents(std::string_view a, std::string_view b, std::size_t components) {
    for (std::size_t i = 0; i < components; ++i) {
        if (int result = compareComponent(component(a, i), component(b, i))) return result;
    }
    return 0;
}

int compareVersions(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : a.empty() ? -1 : 1;
    return compareVersionComponents(a, b, std::max(versionComponentCount(a), versionComponentCount(b)));
}

bool versionAcceptable(const std::string& version, const std::string& lowest, const std::string& highest,
                       bool skipBetaCheck) {
    if (!skipBetaCheck && getIntValue(key::allowBeta) == 0 && containsBetaMarker(version)) {
        logLine("beta vm not allowed");
        return false;
    }
    if (compareVersionComponents(version, lowest, versionComponentCount(lowest)) < 0) return false;
    return compareVersionComponents(version, highest, versionComponentCount(highest)) <= 0;
}

bool versionInRange(const std::string& name, const std::string& lowest, const std::string& highest) {
    const std::size_t count = versionComponentCount(name);
    if (compareVersionComponents(name, lowest, std::min(count, versionComponentCount(lowest))) < 0) return false;
    return compareVersionComponents(name, highest, std::min(count, versionComponentCount(highest))) <= 0;
}

}  // namespace qarvo
