// The launcher's rule for the names of included files, as the launcher
// applies it before it extracts anything. A stand-in with the interface of
// image/IncludedFileNames.h, which will hold the launcher's own copy of the
// rule; the build tool switches to it then.
#pragma once

#include <string_view>

namespace qarvo {

enum class IncludedNameProblem {
    none,
    dotsComponent,     // a component of two or more dots (spaces around them count too)
    deviceName,        // a component naming a device: CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$
    absoluteOrRooted,  // begins with a separator or a drive
    colon,             // holds a colon anywhere
};

// Why the launcher refuses `name` (narrow bytes; "\" and "/" both separate
// components), or none.
IncludedNameProblem includedNameProblem(std::string_view name);

// A short text for the problem: "a component of two or more dots", ...
const char* describe(IncludedNameProblem problem);

}  // namespace qarvo
