#include "base/Architecture.h"

#include "image/PeLayout.h"
#include "os/System.h"

namespace qarvo {

bool isSixtyFourBitLauncher() { return os::libraries().processMachine() == pe::machineAmd64; }

const char* launcherBits() { return isSixtyFourBitLauncher() ? "64" : "32"; }

}  // namespace qarvo
