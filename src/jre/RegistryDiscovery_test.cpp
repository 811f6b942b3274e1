#include "jre/RegistryDiscovery.h"

#include <gtest/gtest.h>

#include "jre/testing/RuntimeFakes.h"

namespace qarvo {
namespace {

using testing::RuntimeFixture;

// A runtime registered under a JavaSoft key: version subkey with JavaHome.
void registerRuntime(RuntimeFixture& fx, const char* javaSoftKey, const std::string& name, const std::string& home,
                     const std::string& actualVersion) {
    fx.registry.setString(os::Hive::localMachine, std::string(javaSoftKey) + "\\" + name, "JavaHome", home);
    if (!actualVersion.empty()) fx.addRuntime(home, actualVersion);
}

void locate(RuntimeFixture& fx, os::Hive hive, const std::string& home, const std::string& version) {
    std::string javaExe = fx.addRuntime(home, version);
    for (char& c : javaExe) c = c == '\\' ? '/' : c;
    fx.registry.addKey(hive, std::string(locatedRuntimesKey) + javaExe);
}

TEST(RegistryDiscovery, CurrentVersionsChooseTheKeyAndTheRuntimeWinsTies) {
    struct Case {
        const char* kit;
        const char* runtime;
        const char* requireJdk;
        const char* chosenHome;  // null: nothing found
    } cases[] = {
        {"1.6", "1.6", "0", "c:\\jre16"},
        {"1.7", "1.6", "0", "c:\\jdk17"},
        {"1.6", "1.7", "0", "c:\\jre17"},
        {"1.7", "1.9", "0", "c:\\jdk17"},  // the runtime's is above the highest bound: counts as empty
        {"1.5", "1.7", "0", "c:\\jre17"},  // the kit's is below the lowest bound
        {"1.6", "1.7", "1", "c:\\jdk16"},  // a kit required: the runtime key is ignored
        {"1.5", "1.5", "0", nullptr},
    };
    for (const Case& c : cases) {
        RuntimeFixture fx;
        fx.setKey(131, c.requireJdk);
        for (const char* v : {"1.5", "1.6", "1.7", "1.9"}) {
            const std::string digits = std::string(v).substr(2);
            // A kit of these versions keeps its runtime in its jre directory.
            registerRuntime(fx, javaSoftKitKey, v, "C:\\jdk1" + digits, "");
            fx.addRuntime("C:\\jdk1" + digits + "\\jre", std::string(v) + ".0_10");
            fx.files.addFile("C:\\jdk1" + digits + "\\lib\\tools.jar", "");
            registerRuntime(fx, javaSoftRuntimeKey, v, "C:\\jre1" + digits, std::string(v) + ".0_10");
        }
        fx.registry.setString(os::Hive::localMachine, javaSoftKitKey, "CurrentVersion", c.kit);
        fx.registry.setString(os::Hive::localMachine, javaSoftRuntimeKey, "CurrentVersion", c.runtime);
        std::string javaExe, version;
        const bool found = findCurrentVersionJvm(javaExe, version, "1.6", "1.8");
        const std::string home = found ? javaExe.substr(0, javaExe.find('\\', 3)) : "(none)";
        EXPECT_EQ(home, c.chosenHome ? c.chosenHome : "(none)") << c.kit << "/" << c.runtime;
    }
}

TEST(RegistryDiscovery, NewestRegisteredVersionIsChosenNumerically) {
    RuntimeFixture fx;
    registerRuntime(fx, javaSoftRuntimeKey, "1.6.0_3", "C:\\r603", "1.6.0_3");
    registerRuntime(fx, javaSoftRuntimeKey, "1.6.0_20", "C:\\r620", "");  // JavaHome of a deleted runtime
    registerRuntime(fx, javaSoftRuntimeKey, "1.6.0_9", "C:\\r609", "1.6.0_9");
    registerRuntime(fx, javaSoftRuntimeKey, "1.7.0", "C:\\r170", "1.7.0");  // above the highest bound
    registerRuntime(fx, javaSoftRuntimeKey, "1.5.0", "C:\\r150", "1.5.0");
    fx.registry.addKey(os::Hive::localMachine, std::string(javaSoftRuntimeKey) + "\\1.6.0_15");  // no JavaHome
    std::string javaExe, version;
    ASSERT_TRUE(findNewestRegisteredJvm(javaExe, version, "1.6", "1.6", javaSoftRuntimeKey));
    EXPECT_EQ(javaExe, "c:\\r609\\bin\\java.exe");
    EXPECT_EQ(fx.logLinesStartingWith({"checkJavaExe ("}),
              (std::vector<std::string>{"checkJavaExe (C:\\r620\\bin\\java.exe, [out], 1.6, 1.6, 0)",
                                        "checkJavaExe (C:\\r609\\bin\\java.exe, [out], 1.6, 1.6, 0)"}));
}

TEST(RegistryDiscovery, LocatedRuntimesAndTheirTies) {
    struct Case {
        const char* registered;  // version of the CurrentVersion runtime; null: none
        const char* user;
        const char* machine;
        const char* winner;
    } cases[] = {
        {"1.6.0_20", "1.6.0_20", nullptr, "c:\\user"},          // equal: the located one
        {"1.6.0_21", "1.6.0_20", nullptr, "c:\\registered"},
        {nullptr, "1.6.0_20", "1.6.0_20", "c:\\machine"},       // equal: the local machine's
        {nullptr, "1.6.0_20", "1.6.0_3", "c:\\user"},
        {nullptr, "1.6.0_3", "1.6.0_20", "c:\\machine"},
        {"1.6.0_9", nullptr, nullptr, "c:\\registered"},
        {nullptr, nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        RuntimeFixture fx;
        if (c.registered) {
            registerRuntime(fx, javaSoftRuntimeKey, "1.6", "C:\\registered", c.registered);
            fx.registry.setString(os::Hive::localMachine, javaSoftRuntimeKey, "CurrentVersion", "1.6");
        }
        if (c.user) locate(fx, os::Hive::currentUser, "C:\\user", c.user);
        if (c.machine) locate(fx, os::Hive::localMachine, "C:\\machine", c.machine);
        locate(fx, os::Hive::currentUser, "C:\\old", "1.5.0");
        std::string javaExe;
        const bool found = searchRegistry(javaExe, "1.6", "");
        EXPECT_EQ(found ? javaExe : "(none)", c.winner ? std::string(c.winner) + "\\bin\\java.exe" : "(none)");
    }
}

TEST(RegistryDiscovery, PreviousInstallations) {
    RuntimeFixture fx;
    fx.registry.setString(os::Hive::currentUser, installationsKey, "app-1", "C:\\gone;;C:\\old;C:\\prev");
    fx.addRuntime("C:\\old\\jre", "1.5.0_22");
    fx.addRuntime("C:\\prev\\jre", "1.6.0_20");
    std::string javaExe;
    EXPECT_FALSE(findPreviousInstallation(os::Hive::currentUser, javaExe, "1.6", ""));
    EXPECT_EQ(fx.registry.reads, 0) << "key 160 empty: nothing consulted";
    fx.setKey(160, "app-1");
    EXPECT_FALSE(findPreviousInstallation(os::Hive::localMachine, javaExe, "1.6", ""));
    ASSERT_TRUE(findPreviousInstallation(os::Hive::currentUser, javaExe, "1.6", ""));
    EXPECT_EQ(javaExe, "c:\\prev\\jre\\bin\\java.exe");
    EXPECT_EQ(fx.logLinesStartingWith({"found installations"}),
              std::vector<std::string>{"found installations: C:\\gone;;C:\\old;C:\\prev"});
}

}  // namespace
}  // namespace qarvo
