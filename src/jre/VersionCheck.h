// Version texts of Java runtimes: the version a runtime prints for "-version",
// and the comparisons that decide whether a version is acceptable.
//
// Versions are compared component by component (components are separated by
// '.', '_', '-' and '+'). A component made of digits only is a number (the
// empty component counts as 0; leading zeros are ignored, any length); numbers
// compare numerically and rank below every other component, which compare with
// each other byte-wise as unsigned values. A missing component counts as 0, so
// "17" equals "17.0", 1.6.0_3 comes before 1.6.0_20 and 9 before 10 before 1a.
// compareVersions is therefore a strict weak order, fit for sorting.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qarvo {

// Longest version text taken from a runtime's output.
constexpr std::size_t versionTextCapacity = 99;

// The version in the standard error output of "java -version": the first line
// that begins with "java version \"" or "openjdk version \"" (lines before it,
// such as "Picked up JAVA_TOOL_OPTIONS: ...", are skipped) gives the text up to
// the next double quote, cut to versionTextCapacity bytes. Only the first 20
// lines are looked at. False when no line qualifies or the first one that does
// has no closing quote.
bool extractJavaVersion(std::string_view output, std::string& version);

// Number of components of a version; 0 for the empty text.
std::size_t versionComponentCount(std::string_view version);

// Compares the first `components` components of `a` and `b`; missing ones
// count as 0. Negative, zero or positive like strcmp.
int compareVersionComponents(std::string_view a, std::string_view b, std::size_t components);

// Orders two complete versions: over all components of both, the empty text
// below every other version.
int compareVersions(std::string_view a, std::string_view b);

// Whether a probed runtime's version may be used: not a beta, early-access or
// release-candidate build (text "beta", "ea" or "rc") unless `skipBetaCheck`
// or configuration key 130 allows them; not below `lowest` and not above
// `highest`, each bound compared over its own number of components (lowest
// "1.6" accepts 1.6.0_20 and 1.7.0, highest "1.6" accepts 1.6.0_20 but not
// 1.7.0). An empty bound accepts everything.
bool versionAcceptable(const std::string& version, const std::string& lowest, const std::string& highest,
                       bool skipBetaCheck);

// Whether a version name from the registry lies within the bounds, each
// comparison over the smaller component count of name and bound (so "1.6"
// lies within 1.6.0_10 and "1.6"). No beta check.
bool versionInRange(const std::string& name, const std::string& lowest, const std::string& highest);

}  // namespace qarvo
