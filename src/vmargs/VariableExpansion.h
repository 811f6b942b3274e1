// Launcher variables ("%QARVO_EXEDIR%", "${launcher:sys.jvmHome}", ...) and
// environment references ("${NAME}") in configuration values and option lines.
#pragma once

#include <string>
#include <string_view>

namespace qarvo {

// Longest text an expansion may produce: the callers' 8192-byte buffers hold
// this many bytes and the terminator.
constexpr std::size_t expandedCapacity = 8191;

// Replaces every known reference in `text`: the fixed names in their order,
// then ${NAME} (and its upper-case form) for every environment variable in
// block order. Unknown references stay. A replacement that would make the text
// longer than expandedCapacity is not made; an error line says so.
void expandVariables(std::string& text);

// Replaces every occurrence of `name` in `text` by `value` (an inserted value is
// not searched again), logging each replacement.
void replaceAll(std::string& text, std::string_view name, std::string_view value);

// Records the runtime home from the chosen java executable: "...\bin\javaw.exe"
// or "...\bin\java.exe" becomes "...\bin\..".
void setJvmHomeFromExecutable(const std::string& javaExe);

// The runtime home; empty until a runtime was chosen.
const std::string& jvmHome();

// Forgets the runtime home (tests only).
void resetJvmHomeForTesting();

}  // namespace qarvo
