#include "jre/LibraryLoading.h"

#include <gtest/gtest.h>

#include "jre/testing/RuntimeFakes.h"

namespace qarvo {
namespace {

using testing::RuntimeFixture;

TEST(LibraryLoading, PathIsRestoredExactlyWhenNothingLoads) {
    for (const char* previous : {static_cast<const char*>("C:\\Windows;C:\\x"), "", static_cast<const char*>(nullptr)}) {
        RuntimeFixture fx;
        if (previous) fx.environment.variables["PATH"] = previous;
        const std::string before = previous ? previous : "";
        fx.addJvmDll("c:\\k\\bin\\client\\jvm.dll", 193);
        EXPECT_EQ(loadJvmLibrary("c:\\k\\bin\\java.exe"), nullptr);
        EXPECT_EQ(fx.libraries.loads.size(), 10u) << "every type below both bin directories";
        std::string after = "<unset>";
        fx.environment.get("PATH", after);
        EXPECT_EQ(after, previous ? previous : "<unset>");
        EXPECT_EQ(fx.environment.runtimeAssignments,
                  (std::vector<std::string>{"PATH=" + before + ";c:\\k\\bin", "PATH=" + before,
                                            "PATH=" + before + ";c:\\k\\bin\\..\\jre\\bin", "PATH=" + before}));
        EXPECT_EQ(fx.logLinesStartingWith({"Failed with error code"}),
                  std::vector<std::string>{"Failed with error code 193"})
            << "only a library that exists reports its error";
    }
}

TEST(LibraryLoading, AFailedPathUpdateIsLoggedAndTheLibraryStillTried) {
    RuntimeFixture fx;
    fx.environment.failSet = true;
    fx.addJvmDll("c:\\r\\bin\\client\\jvm.dll");
    EXPECT_NE(loadJvmLibrary("c:\\r\\bin\\java.exe"), nullptr);
    EXPECT_EQ(fx.logLinesStartingWith({"Setting PATH"}),
              std::vector<std::string>{"Setting PATH ;c:\\r\\bin failed with error 8"});
    EXPECT_EQ(fx.environment.runtimeAssignments.size(), 1u);
}

TEST(LibraryLoading, TheEntryMustBeExported) {
    RuntimeFixture fx;
    fx.addJvmDll("c:\\r\\bin\\client\\jvm.dll");
    fx.libraries.modules.begin()->second.exports.clear();
    void* library = loadJvmLibrary("c:\\r\\bin\\java.exe");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(fx.libraries.loads.back().pathVariable, ";c:\\r\\bin") << "loaded with its bin directory on PATH";
    EXPECT_EQ(fx.environment.variables["PATH"], ";c:\\r\\bin") << "and that stays";
    EXPECT_FALSE(resolveCreateJavaVM(library));
    EXPECT_FALSE(resolveCreateJavaVM(nullptr));
}

}  // namespace
}  // namespace qarvo
