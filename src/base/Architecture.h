// The launcher's own architecture, the one thing in which its 32-bit and
// 64-bit builds differ at run time: the machine type of its own image, which
// decides the runtimes it can load, the "32" or "64" of message 1016 and the
// 64-bit texts 1018 and 1020 instead of 1017 and 1019.
#pragma once

namespace qarvo {

// True when the launcher's image is an AMD64 one.
bool isSixtyFourBitLauncher();

// "32" or "64": the argument of message 1016.
const char* launcherBits();

}  // namespace qarvo
