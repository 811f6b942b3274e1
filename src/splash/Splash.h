// The splash screen shown through the runtime's splash library: the image
// comes from the launcher's own resources, the window belongs to the library.
#pragma once

#include <cstdint>

namespace qarvo {

// The resource (of type RT_RCDATA) that holds the splash image.
constexpr std::uint16_t splashImageResource = 10000;

// Nothing when key 10123 is 0. `showCommand` 0 (also SW_HIDE) is a close
// request: SplashClose when the image was handed over, every time it is
// asked. Any other value shows the image once: the runtime's
// bin\splashscreen.dll is loaded, and the image is handed to it whole.
// Failures are logged and leave no splash screen; they never end the launch.
void splashScreen(int showCommand);

// splashScreen(0): what error reporting runs before every message.
void closeSplashScreen();

// Forgets the library and that the image was handed over (tests only).
void resetSplashScreenForTesting();

}  // namespace qarvo
