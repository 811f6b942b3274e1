#include "launcher/NativeLibraryPath.h"

namespace qarvo {

// Native-library directories are not configured yet: PATH stays as inherited.
void prependNativeLibraryPath() {}

}  // namespace qarvo
