// The names of included files (key 2003): which of them the launcher extracts,
// and which it refuses to start with. The build tool refuses to build a
// launcher with a name the launcher would refuse, by this very rule.
//
// Key 2003 holds the names separated by ";"; empty names are skipped, and only
// the first `count` (key 2002) non-empty names are extracted, each to the
// launcher temporary directory, a "\" and the name. A name that could lead
// anywhere else is refused:
//   - a component of two or more dots, with or without spaces ("..", "...",
//     ". .", ".. "): Windows takes it for a parent directory or strips it to one;
//   - a component naming a device: CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9,
//     CONIN$, CONOUT$, in any letter case, compared on the part before the
//     component's first dot with trailing spaces stripped ("con .txt", "Nul.tar.gz");
//   - a name that begins with "\" or "/" (rooted, UNC) or with a drive letter
//     and ":" (absolute);
//   - a ":" anywhere (a drive or an alternate data stream).
// Components are separated by "\" and by "/", which Windows takes as a
// separator too. Empty components and "." components stay allowed
// ("lib\\app.jar", "lib\.\app.jar"): Windows collapses them inside the
// directory.
//
// Names are narrow bytes in the ANSI code page. In a double-byte code page the
// second byte of a character can have the value of "\" (0x5C), never that of
// "/", ".", " ", ":" or ";". Without a lead-byte test every 0x5C byte
// separates components: that can cut a character in two and so find more
// components, and more problems, than there are, never fewer. With the code
// page's lead-byte test only real separators count.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qarvo {

enum class IncludedNameProblem {
    none,
    dotsComponent,     // a component of two or more dots (spaces aside)
    deviceName,        // a component naming a device
    absoluteOrRooted,  // begins with "\", "/" or a drive letter and ":"
    colon,             // a ":" elsewhere
};

// Whether `byte` begins a two-byte character of the code page the names are in.
using LeadByteTest = bool (*)(unsigned char byte);

// Why the launcher refuses `name`; none when it extracts it. Without
// `isLeadByte` every 0x5C byte is a separator.
IncludedNameProblem includedNameProblem(std::string_view name, LeadByteTest isLeadByte = nullptr);

// A short English text for `problem` ("a component of two or more dots"), for
// messages of tools; "" for none.
const char* describe(IncludedNameProblem problem);

// The names the launcher processes, in order: the first `count` non-empty
// names of `names` (the text of key 2003). None when `count` is 0 or less;
// fewer when the text holds fewer.
std::vector<std::string> includedNamesToProcess(std::string_view names, std::int32_t count);

}  // namespace qarvo
