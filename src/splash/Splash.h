// The splash screen shown through the runtime's splash library.
#pragma once

namespace qarvo {

// Shows the splash image (`showCommand` non-zero) or closes it when it is
// showing (0).
void splashScreen(int showCommand);

// splashScreen(0): what error reporting runs before every message.
void closeSplashScreen();

}  // namespace qarvo
