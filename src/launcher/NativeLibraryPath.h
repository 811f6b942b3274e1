#pragma once

namespace qarvo {

// Puts the native-library directories of key 10004 (launcher variables
// expanded, each resolved against the launcher's directory, ";"-separated) in
// front of PATH, in the environment block and in the C runtime's copy, and
// logs the key and the new value. Runs with an empty key too: PATH is then
// written back unchanged. A failure to set PATH is only logged.
void prependNativeLibraryPath();

}  // namespace qarvo
