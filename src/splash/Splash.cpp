#include "splash/Splash.h"

namespace qarvo {

// No splash library is loaded yet, so there is nothing to show or close.
void splashScreen(int) {}

void closeSplashScreen() { splashScreen(0); }

}  // namespace qarvo
