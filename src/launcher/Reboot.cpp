#include "launcher/Reboot.h"

#include "os/System.h"

namespace qarvo {

void rebootMachine() {
    os::machine().sleep(5000);
    if (os::machine().isWindowsNT() && !os::machine().enableShutdownPrivilege()) return;
    os::machine().requestRestart();
}

}  // namespace qarvo
