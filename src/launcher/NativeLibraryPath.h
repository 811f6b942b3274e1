#pragma once

namespace qarvo {

// Puts the configured native-library directories in front of PATH.
void prependNativeLibraryPath();

}  // namespace qarvo
