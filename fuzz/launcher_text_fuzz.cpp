// The launcher's small parsers of outside text, the first byte choosing one:
//   0  variable expansion of the rest, in an environment whose variables refer
//      to each other and to themselves;
//   1  the version line of "-version" output, and the version comparisons on
//      three versions taken from the rest (split at zero bytes), which must
//      form a strict weak order;
//   2  the class-path entries of key 121 against a small disk;
//   3  the part of a command line (UTF-16) behind the program name, and the
//      notification file made of it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/ConfigKeys.h"
#include "instance/Notification.h"
#include "jre/VersionCheck.h"
#include "testing/TestSystem.h"
#include "vmargs/ClassPath.h"
#include "vmargs/VariableExpansion.h"

namespace {

int sign(int value) { return (value > 0) - (value < 0); }

void expand(std::string_view input) {
    qarvo::testing::TestSystem system;
    system.environment.variables = {
        {"A", "${B}${B}"}, {"B", "${A}${A}"}, {"Path", "C:\\bin;${Path}"}, {"SELF", "${SELF}${SELF}"}};
    std::string text(input.substr(0, qarvo::expandedCapacity));
    const bool plain = text.find('%') == std::string::npos && text.find('$') == std::string::npos;
    const std::string before = text;
    qarvo::expandVariables(text);
    if (text.size() > qarvo::expandedCapacity || (plain && text != before)) __builtin_trap();
}

// Irreflexive, antisymmetric, transitive, with transitive equivalence.
void checkOrder(std::string_view a, std::string_view b, std::string_view c) {
    const int ab = sign(qarvo::compareVersions(a, b)), ba = sign(qarvo::compareVersions(b, a));
    const int bc = sign(qarvo::compareVersions(b, c)), ac = sign(qarvo::compareVersions(a, c));
    if (qarvo::compareVersions(a, a) != 0 || ab != -ba) __builtin_trap();
    if (ab == bc && ac != ab) __builtin_trap();  // a<b<c, a=b=c, a>b>c
    for (std::size_t n = 0; n < 4; ++n) {
        if (sign(qarvo::compareVersionComponents(a, b, n)) != -sign(qarvo::compareVersionComponents(b, a, n))) {
            __builtin_trap();
        }
    }
}

void versions(std::string_view input) {
    std::string version;
    if (qarvo::extractJavaVersion(input, version) &&
        (version.size() > qarvo::versionTextCapacity || input.find(version) == std::string_view::npos)) {
        __builtin_trap();
    }
    std::string_view parts[3];
    for (std::string_view& part : parts) {
        const std::size_t end = input.find('\0');
        part = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    }
    checkOrder(parts[0], parts[1], parts[2]);
    qarvo::testing::TestSystem system;  // key 130 is read from an empty configuration
    (void)qarvo::versionAcceptable(std::string(parts[0]), std::string(parts[1]), std::string(parts[2]), false);
    (void)qarvo::versionInRange(std::string(parts[0]), std::string(parts[1]), std::string(parts[2]));
}

void classPath(std::string_view input) {
    qarvo::testing::TestSystem system;
    system.files.addFile("C:\\app\\app.jar");
    system.files.addFile("C:\\app\\lib\\a.jar");
    system.files.addFile("C:\\app\\lib\\b.zip");
    system.environment.variables = {{"CP", "\"C:\\app\\app.jar\""}, {"EMPTY", ""}};
    system.setKey(qarvo::key::classPath, std::string(input));
    std::string path;
    try {
        qarvo::appendConfiguredClassPath(path);
    } catch (const qarvo::testing::ProcessExit& exit) {
        // Only a required entry that is missing ends the launch, with its message.
        if (exit.code != 1 || system.messages.empty()) __builtin_trap();
        return;
    }
    if (!path.empty() && path.back() != ';') __builtin_trap();
}

void commandLine(std::string_view input) {
    std::u16string line;
    for (std::size_t i = 0; i + 1 < input.size(); i += 2) {
        line.push_back(static_cast<char16_t>(static_cast<unsigned char>(input[i]) |
                                             (static_cast<unsigned char>(input[i + 1]) << 8)));
    }
    const std::u16string arguments = qarvo::argumentsAfterProgramName(line);
    if (arguments.size() > line.size() || line.compare(line.size() - arguments.size(), arguments.size(), arguments) != 0) {
        __builtin_trap();  // not the command line's own tail
    }
    if (qarvo::notificationText(line).size() != 2 * (arguments.size() + 1)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
        case 0: expand(rest); break;
        case 1: versions(rest); break;
        case 2: classPath(rest); break;
        default: commandLine(rest); break;
    }
    return 0;
}
