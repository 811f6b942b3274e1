// The notification file through which a later start hands its arguments to
// the running instance, whose Java side reads and deletes it: UTF-16LE text
// without byte-order mark, the arguments exactly as they stand in the
// later start's command line, then one line feed.
#pragma once

#include <string>
#include <string_view>

namespace qarvo {

// The part of a wide command line behind the program name: a program name in
// double quotes ends at the closing quote, the arguments begin behind the next
// space and the spaces that follow it (tabs are not skipped). Empty when there
// is no closing quote or no space.
std::u16string argumentsAfterProgramName(std::u16string_view commandLine);

// The bytes of the notification file for `commandLine`: its arguments and a
// line feed as UTF-16LE, whatever their length (a command line can hold 32767
// units; none are cut).
std::string notificationText(std::u16string_view commandLine);

}  // namespace qarvo
