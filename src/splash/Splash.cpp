#include "splash/Splash.h"

#include <climits>
#include <string>

#include "config/ConfigKeys.h"
#include "config/Configuration.h"
#include "os/System.h"
#include "report/Log.h"
#include "vmargs/VariableExpansion.h"

namespace qarvo {

namespace {

// The library's entry points: plain C functions with the default calling
// convention.
using SplashInitFunction = void (*)();
using SplashLoadMemoryFunction = int (*)(void* data, int size);
using SplashCloseFunction = void (*)();

// The image has been handed to the library; never cleared.
bool splashLoaded = false;
SplashCloseFunction splashClose = nullptr;

}  // namespace

void splashScreen(int showCommand) {
    if (getIntValue(key::splashLibrary) == 0) return;
    if (showCommand == 0) {
        if (splashLoaded) splashClose();
        return;
    }
    if (splashLoaded) return;

    const std::string path = jvmHome() + "\\bin\\splashscreen.dll";
    logLine("loading splashscreen dll from %s", path.c_str());
    std::uint32_t error = 0;
    void* library = os::libraries().load(path, error);
    if (!library) {
        logError("Could not load splashscreen.dll");
        return;
    }
    void* close = os::libraries().resolve(library, "SplashClose");
    void* init = os::libraries().resolve(library, "SplashInit");
    void* loadMemory = os::libraries().resolve(library, "SplashLoadMemory");
    if (!close || !init || !loadMemory) {
        logError("Could not find functions in splashscreen.dll");
        return;
    }
    // Looked up before the library is started, so that a launcher without the
    // image shows no empty splash window and the library never gets a null
    // address.
    os::OwnResources::Found image;
    if (!os::resources().find(os::resourceTypeRawData, splashImageResource, image) || image.size > INT_MAX) {
        logError("Could not find the splash image (resource %d)", static_cast<int>(splashImageResource));
        return;
    }
    reinterpret_cast<SplashInitFunction>(init)();
    const int size = static_cast<int>(image.size);
    const int result =
        reinterpret_cast<SplashLoadMemoryFunction>(loadMemory)(const_cast<void*>(image.data), size);
    logLine("splash load memory returned %d (%p, %p, %d)", result, image.handle, image.data, size);
    splashClose = reinterpret_cast<SplashCloseFunction>(close);
    splashLoaded = true;
}

void closeSplashScreen() { splashScreen(0); }

void resetSplashScreenForTesting() {
    splashLoaded = false;
    splashClose = nullptr;
}

}  // namespace qarvo
