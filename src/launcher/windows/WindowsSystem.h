// The Win32 implementations of every system interface the core uses.
#pragma once

namespace qarvo {

// Installs them all (process-wide objects that live until the process ends).
// The launcher calls this first; test programs and benchmarks built from its
// code call it too and may then replace single pieces.
void installWindowsSystem();

}  // namespace qarvo
