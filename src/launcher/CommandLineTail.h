// The narrow command-line tail that the entry point looks at for the reboot,
// language-restart and quiet prefixes.
#pragma once

namespace qarvo {

// The part of the narrow command line `commandLine` that follows the program
// name: leading blanks skipped, then the program name (up to and including the
// closing double quote when the line starts with one, the whole rest when that
// quote is missing; else up to the next blank or the end), then the blanks
// after it. Blanks are space and tab only. A pointer into `commandLine`
// (never null; "" for a null line). Unlike the C runtime's tail for WinMain,
// quotes inside an unquoted program name do not group, nothing stops a quoted
// name but its closing quote, and other control characters are not blanks.
const char* commandLineTail(const char* commandLine);

}  // namespace qarvo
