// A virtual machine for native tests of the JNI code: JNI_CreateJavaVM, the
// JNIEnv functions the launcher uses and DestroyJavaVM, recording what they
// were given and playing a scripted Java side.
#pragma once

#include <jni.h>

#include <set>
#include <string>
#include <vector>

namespace qarvo::testing {

struct FakeJavaSide {
    jint createResult = JNI_OK;
    std::set<std::string> missingClasses;  // FindClass gives null (an exception pending)
    std::set<std::string> missingMethods;  // GetStaticMethodID gives null
    bool mainThrows = false;
    bool firstRunThrows = false;
    bool firstRunResult = true;
    bool noArray = false;    // NewObjectArray gives null
    bool noStrings = false;  // NewString gives null
};

// Hands its JNI_CreateJavaVM to the launcher on construction; on destruction
// the one constructed before it (if any) takes over again.
class FakeJvm {
public:
    FakeJvm();
    ~FakeJvm();
    FakeJvm(const FakeJvm&) = delete;
    FakeJvm& operator=(const FakeJvm&) = delete;

    FakeJavaSide java;

    // What JNI_CreateJavaVM received.
    jint version = 0;
    jboolean ignoreUnrecognized = JNI_FALSE;
    std::vector<std::string> options;
    bool extraInfoGiven = false;
    // One line a call: "FindClass <name>", "GetStaticMethodID <name> <signature>",
    // "NewObjectArray <n> <class>", "CallStaticVoidMethod <name>",
    // "CallStaticBooleanMethod <name>", "ExceptionDescribe", "DestroyJavaVM".
    std::vector<std::string> calls;
    // The String[] main received.
    std::vector<std::u16string> mainArguments;
    bool calledBefore(const std::string& first, const std::string& second) const;
    bool called(const std::string& call) const;

private:
    void* state_;
    void* previous_;
};

}  // namespace qarvo::testing
