#include "splash/Splash.h"

#include <gtest/gtest.h>

#include "testing/TestSystem.h"
#include "vmargs/VariableExpansion.h"

namespace qarvo {
namespace {

// What the library's entry points were called with.
std::vector<std::string> libraryCalls;
const void* loadedData = nullptr;

void fakeInit() { libraryCalls.push_back("SplashInit"); }
int fakeLoadMemory(void* data, int size) {
    loadedData = data;
    libraryCalls.push_back("SplashLoadMemory " + std::to_string(size));
    return 1;
}
void fakeClose() { libraryCalls.push_back("SplashClose"); }

// What Wine cannot show: repeated requests, and a library without one of its
// entry points. The runtime is C:\jre; the executable carries the image.
TEST(Splash, ShownOnceClosedOnEveryRequestAndNeverWithoutAllItsFunctions) {
    for (const char* missing : {"", "SplashInit", "SplashLoadMemory", "SplashClose"}) {
        SCOPED_TRACE(missing);
        testing::TestSystem system;
        libraryCalls.clear();
        system.enableLog();
        system.setKey(10123, "1");
        setJvmHomeFromExecutable("C:\\jre\\bin\\java.exe");
        os::testing::FakeLibraries::Module& module = system.libraries.modules["c:\\jre\\bin\\splashscreen.dll"];
        module.functions = {{"SplashInit", reinterpret_cast<void*>(&fakeInit)},
                            {"SplashLoadMemory", reinterpret_cast<void*>(&fakeLoadMemory)},
                            {"SplashClose", reinterpret_cast<void*>(&fakeClose)}};
        module.exports = {"SplashInit", "SplashLoadMemory", "SplashClose"};
        module.exports.erase(missing);
        const std::string& image = system.resources.data[{10, 10000}] = "GIF89a image";

        splashScreen(0);
        splashScreen(5);
        splashScreen(1);
        closeSplashScreen();
        splashScreen(0);
        // A show request after a failure tries again.
        const std::size_t shows = *missing ? 2 : 1;
        EXPECT_EQ(system.callsStartingWith({"LoadLibrary"}),
                  std::vector<std::string>(shows, "LoadLibrary C:\\jre\\bin\\..\\bin\\splashscreen.dll"));
        if (*missing) {
            EXPECT_TRUE(libraryCalls.empty());
            EXPECT_EQ(system.logLinesStartingWith({"ERROR: "}),
                      std::vector<std::string>(shows, "ERROR: Could not find functions in splashscreen.dll"));
        } else {
            EXPECT_EQ(libraryCalls, (std::vector<std::string>{"SplashInit", "SplashLoadMemory 12", "SplashClose",
                                                              "SplashClose"}));
            EXPECT_EQ(loadedData, image.data()) << "the resource's own bytes";
        }
    }
}

}  // namespace
}  // namespace qarvo
