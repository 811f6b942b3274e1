#include "instance/Notification.h"

namespace qarvo {

namespace {

// Where the arguments of `commandLine` begin; its size when there are none.
std::size_t argumentsStart(std::u16string_view commandLine) {
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == u'"') {
        at = commandLine.find(u'"', 1);
        if (at == std::u16string_view::npos) return commandLine.size();
    }
    at = commandLine.find(u' ', at);
    if (at == std::u16string_view::npos) return commandLine.size();
    while (at < commandLine.size() && commandLine[at] == u' ') ++at;
    return at;
}

}  // namespace

std::u16string argumentsAfterProgramName(std::u16string_view commandLine) {
    return std::u16string(commandLine.substr(argumentsStart(commandLine)));
}

std::string notificationText(std::u16string_view commandLine) {
    const std::u16string_view arguments = commandLine.substr(argumentsStart(commandLine));
    std::string bytes(2 * (arguments.size() + 1), '\0');
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        bytes[2 * i] = static_cast<char>(arguments[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(arguments[i] >> 8);
    }
    bytes[bytes.size() - 2] = '\n';
    return bytes;
}

}  // namespace qarvo
