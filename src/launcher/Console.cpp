#include "launcher/Console.h"

#include "os/System.h"

namespace qarvo {

bool obtainConsole() {
    if (os::console().canAttach()) {
        std::uint32_t error = 0;
        if (os::console().attachToParent(error) || error == os::errorAccessDenied) return true;
    }
    return os::console().allocate();
}

}  // namespace qarvo
