#include "jre/LibraryLoading.h"

#include <gtest/gtest.h>

#include "jre/testing/RuntimeFakes.h"

namespace qarvo {
namespace {

using testing::RuntimeFixture;

std::vector<std::string> loadedPaths(const RuntimeFixture& fx) {
    std::vector<std::string> paths;
    for (const auto& load : fx.loader.loads) paths.push_back(load.path);
    return paths;
}

TEST(LibraryLoading, ThePreferredTypeFirstThenTheFixedList) {
    RuntimeFixture fx;
    fx.system.environment.variables["PATH"] = "C:\\Windows";
    fx.setKey(152, "client");
    fx.addJvmDll("c:\\r\\bin\\server\\jvm.dll");
    void* library = loadJvmLibrary("c:\\r\\bin\\javaw.exe");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(loadedPaths(fx), (std::vector<std::string>{"c:\\r\\bin\\client\\jvm.dll", "c:\\r\\bin\\hotspot\\jvm.dll",
                                                         "c:\\r\\bin\\client\\jvm.dll", "c:\\r\\bin\\server\\jvm.dll"}));
    EXPECT_EQ(fx.logLinesStartingWith({"Trying"}).front(), "Trying c:\\r\\bin\\client\\jvm.dll (exists 0)");
    EXPECT_EQ(fx.logLinesStartingWith({"Trying"}).back(), "Trying c:\\r\\bin\\server\\jvm.dll (exists 1)");
    EXPECT_TRUE(resolveCreateJavaVM(library));
    // The bin directory stays on PATH, in both environments.
    EXPECT_EQ(fx.loader.loads[0].pathVariable, "C:\\Windows;c:\\r\\bin");
    EXPECT_EQ(fx.system.environment.variables["PATH"], "C:\\Windows;c:\\r\\bin");
    EXPECT_EQ(fx.loader.runtimePath, std::vector<std::string>{"PATH=C:\\Windows;c:\\r\\bin"});
}

TEST(LibraryLoading, AKitLoadsTheLibraryOfItsOwnRuntime) {
    RuntimeFixture fx;
    fx.addJvmDll("c:\\k\\bin\\..\\jre\\bin\\server\\jvm.dll");
    ASSERT_NE(loadJvmLibrary("c:\\k\\bin\\java.exe"), nullptr);
    EXPECT_EQ(loadedPaths(fx).size(), 5u + 3u);
    EXPECT_EQ(loadedPaths(fx).back(), "c:\\k\\bin\\..\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(fx.system.environment.variables["PATH"], ";c:\\k\\bin\\..\\jre\\bin");
}

TEST(LibraryLoading, PathIsRestoredExactlyWhenNothingLoads) {
    for (const char* previous : {static_cast<const char*>("C:\\Windows;C:\\x"), "", static_cast<const char*>(nullptr)}) {
        RuntimeFixture fx;
        if (previous) fx.system.environment.variables["PATH"] = previous;
        const std::string before = previous ? previous : "";
        fx.addJvmDll("c:\\k\\bin\\client\\jvm.dll", 193);
        EXPECT_EQ(loadJvmLibrary("c:\\k\\bin\\java.exe"), nullptr);
        std::string after = "<unset>";
        fx.system.environment.get("PATH", after);
        EXPECT_EQ(after, previous ? previous : "<unset>");
        EXPECT_EQ(fx.loader.runtimePath,
                  (std::vector<std::string>{"PATH=" + before + ";c:\\k\\bin", "PATH=" + before,
                                            "PATH=" + before + ";c:\\k\\bin\\..\\jre\\bin", "PATH=" + before}));
        EXPECT_EQ(fx.logLinesStartingWith({"Failed with error code"}),
                  std::vector<std::string>{"Failed with error code 193"})
            << "only a library that exists reports its error";
    }
}

TEST(LibraryLoading, AFailedPathUpdateIsLoggedAndTheLibraryStillTried) {
    RuntimeFixture fx;
    fx.loader.failSetPath = true;
    fx.addJvmDll("c:\\r\\bin\\client\\jvm.dll");
    EXPECT_NE(loadJvmLibrary("c:\\r\\bin\\java.exe"), nullptr);
    EXPECT_EQ(fx.logLinesStartingWith({"Setting PATH"}),
              std::vector<std::string>{"Setting PATH ;c:\\r\\bin failed with error 8"});
    EXPECT_EQ(fx.loader.runtimePath.size(), 1u);
}

TEST(LibraryLoading, TheEntryMustBeExported) {
    RuntimeFixture fx;
    fx.addJvmDll("c:\\r\\bin\\client\\jvm.dll");
    fx.loader.modules.begin()->second.exportsCreate = false;
    void* library = loadJvmLibrary("c:\\r\\bin\\java.exe");
    ASSERT_NE(library, nullptr);
    EXPECT_FALSE(resolveCreateJavaVM(library));
    EXPECT_FALSE(resolveCreateJavaVM(nullptr));
}

}  // namespace
}  // namespace qarvo
