#include "jvm/JavaVMCreation.h"

#include <vector>

#include "jvm/JvmEntry.h"
#include "report/Log.h"
#include "vmargs/ClassPath.h"

namespace qarvo {

namespace {

JavaVM* vm = nullptr;
JNIEnv* env = nullptr;

// The option texts and the array handed to the virtual machine stay for the
// life of the process: nothing may free them while Java code runs, not even
// the exit-time handlers after a System.exit.
VmOptionList* texts = nullptr;
std::vector<JavaVMOption>* array = nullptr;
VmOptionList& optionTexts() {
    if (!texts) texts = new VmOptionList;
    return *texts;
}
std::vector<JavaVMOption>& optionArray() {
    if (!array) array = new std::vector<JavaVMOption>;
    return *array;
}

}  // namespace

VmOptionList collectVmOptions(const VmOptionList& launcherOptions, const ArgumentList& arguments) {
    VmOptionList options = launcherOptions;
    ClassPathOverrides overrides;
    addConfiguredVmOptions(arguments, options, overrides);
    std::unique_ptr<OptionsFile> defaultFile = openDefaultVmOptionsFile();
    logLine("default vmoptions file: %p", handleOf(defaultFile));
    readVmOptionsFile(nullptr, std::move(defaultFile), options, overrides);
    options.push_back(buildClassPathOption(overrides));
    return options;
}

bool createJavaVM(const VmOptionList& launcherOptions, const ArgumentList& arguments) {
    VmOptionList& texts = optionTexts();
    texts = collectVmOptions(launcherOptions, arguments);
    std::vector<JavaVMOption>& array = optionArray();
    array.assign(texts.size(), JavaVMOption{});
    for (std::size_t i = 0; i < texts.size(); ++i) {
        array[i].optionString = texts[i].data();
        array[i].extraInfo = nullptr;
    }
    JavaVMInitArgs initArguments{};
    initArguments.version = JNI_VERSION_1_2;
    initArguments.nOptions = static_cast<jint>(array.size());
    initArguments.options = array.data();
    initArguments.ignoreUnrecognized = JNI_TRUE;

    logLine("vmoption count %d", static_cast<int>(texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) logLine("vmoption %d: %s", static_cast<int>(i), texts[i].c_str());
    logLine("Creating JVM");
    auto create = reinterpret_cast<CreateJavaVMFunction>(createJavaVMEntry());
    if (!create) {
        logError("no runtime library was loaded");
        return false;
    }
    return create(&vm, reinterpret_cast<void**>(&env), &initArguments) == JNI_OK;
}

JavaVM* javaVM() { return vm; }
JNIEnv* jniEnv() { return env; }

void resetJavaVMForTesting() {
    vm = nullptr;
    env = nullptr;
}

}  // namespace qarvo
