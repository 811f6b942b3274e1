// One launch of the launcher's own JNI code against the real virtual machine
// of this machine (libjvm.so), with the real qarvo-runtime.jar. A virtual
// machine can be created once per process, so every case is a process.
//
//   qarvo_jvm_case <libjvm.so> <app dir> <work dir> [<key>=<value>]... -- [argument]...
//
// The launcher runs as it does on Windows: at C:\app\run.exe, system
// temporary directory C:\Temp\, its configuration made of the given keys,
// started with the given arguments. <app dir> stands for C:\app\ (it holds
// the jars and, as run.vmoptions, the options file beside the launcher), <work dir> for C:\Temp\. Only the path texts the virtual machine
// opens are translated on the way to it: the class path (";" becomes ":") and
// the notification file. The proof covers the JNI calls, the option list and
// the parameter array, not Windows path syntax.
//
// Writes <work dir>/options.txt (every option as the launcher built it, one a
// line) and <work dir>/launcher.log (the launcher's log). Exit codes as the
// launcher's: 0 after DestroyJavaVM returned, 1 for a reported failure, n for
// a Java-side System.exit(n).
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "jvm/JavaVMCreation.h"
#include "jvm/JavaVMLauncher.h"
#include "jvm/JvmEntry.h"
#include "launcher/StartupArguments.h"
#include "os/testing/ForwardingFiles.h"
#include "report/ErrorReport.h"
#include "report/Log.h"
#include "testing/TestSystem.h"

namespace {

namespace fs = std::filesystem;
using namespace qarvo;

CreateJavaVMFunction realCreateJavaVM = nullptr;
std::string appDirectory;
std::string workDirectory;

// Failures end this process for real: code after a failed FindClass must
// never run. Messages go to the real standard error.
class ExitingProcesses final : public os::Processes {
public:
    explicit ExitingProcesses(os::Processes& fake) : fake_(fake) {}
    os::ProbeRun runProbe(const std::string& c, const std::string& f, std::uint32_t t) override {
        return fake_.runProbe(c, f, t);
    }
    bool runUnpacker(const std::string& p, const std::string& c, void (*s)(), std::uint32_t& e) override {
        return fake_.runUnpacker(p, c, s, e);
    }
    bool startExplorer(const std::string& c, std::uint32_t& e) override { return fake_.startExplorer(c, e); }
    std::uint32_t currentProcessId() override { return static_cast<std::uint32_t>(getpid()); }
    std::u16string commandLineWide() override { return fake_.commandLineWide(); }
    [[noreturn]] void exitProcess(int code) override {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    [[noreturn]] void exitThroughRuntime(int code) override { std::exit(code); }

private:
    os::Processes& fake_;
};

class StandardErrorDialogs final : public os::Dialogs {
public:
    void showError(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
    }
    void showPlain(const std::string& text, const std::string& caption) override { showError(text, caption); }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
};

class StandardErrorConsole final : public os::Console {
public:
    bool canAttach() override { return false; }
    bool attachToParent(std::uint32_t& error) override {
        error = 6;
        return false;
    }
    bool allocate() override { return false; }
    std::uint32_t outputCodePage() override { return 65001; }
    void writeStandardError(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
    }
    void writeStandardOutput(const std::string& text) override { std::fputs(text.c_str(), stdout); }
};

// The log goes to a real file of the work directory, line by line, so that it
// is complete when the virtual machine ends the process.
class StdioWriter final : public os::TextWriter {
public:
    explicit StdioWriter(std::FILE* stream) : stream_(stream) {}
    ~StdioWriter() override { std::fclose(stream_); }
    void write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stream_); }
    void flush() override { std::fflush(stream_); }

private:
    std::FILE* stream_;
};

class WorkLogFiles final : public os::testing::ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;
    std::unique_ptr<os::TextWriter> writeText(const std::string&, bool append) override {
        std::FILE* stream = std::fopen((workDirectory + "/launcher.log").c_str(), append ? "a" : "w");
        return stream ? std::make_unique<StdioWriter>(stream) : nullptr;
    }
};

// A Windows path below C:\app\ or C:\Temp\ as the Linux path it stands for.
std::string linuxPath(const std::string& path) {
    std::string out = path;
    for (const auto& [windows, local] : {std::pair<std::string, std::string>{"C:\\app\\", appDirectory + "/"},
                                         {"C:\\Temp\\", workDirectory + "/"}}) {
        if (path.rfind(windows, 0) == 0) out = local + path.substr(windows.size());
    }
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
    return out;
}

std::string translated(const std::string& option) {
    const std::string classPath = "-Djava.class.path=";
    const std::string commFile = "-Dqarvo.processCommFile=";
    if (option.rfind(commFile, 0) == 0) return commFile + linuxPath(option.substr(commFile.size()));
    if (option.rfind(classPath, 0) != 0) return option;
    std::string out = classPath;
    std::string rest = option.substr(classPath.size());
    for (std::size_t start = 0; start <= rest.size();) {
        std::size_t end = rest.find(';', start);
        if (end == std::string::npos) end = rest.size();
        if (start > 0) out += ':';
        out += linuxPath(rest.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// Records the options as the launcher built them and hands their Linux form
// to the real JNI_CreateJavaVM.
jint JNICALL translatingCreateJavaVM(JavaVM** vm, void** env, void* initArguments) {
    const auto* given = static_cast<const JavaVMInitArgs*>(initArguments);
    std::ofstream record(workDirectory + "/options.txt", std::ios::binary);
    static std::vector<std::string> texts;
    static std::vector<JavaVMOption> options;
    for (jint i = 0; i < given->nOptions; ++i) {
        record << given->options[i].optionString << '\n';
        texts.push_back(translated(given->options[i].optionString));
    }
    record.close();
    for (std::string& text : texts) options.push_back(JavaVMOption{text.data(), nullptr});
    JavaVMInitArgs linuxArguments = *given;
    linuxArguments.options = options.data();
    return realCreateJavaVM(vm, env, &linuxArguments);
}

// UTF-8 to UTF-16, for the arguments of this process.
std::u16string utf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t code = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k) code = (code << 6) | (utf8[i + k] & 0x3F);
        i += static_cast<std::size_t>(extra) + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: qarvo_jvm_case <libjvm.so> <app dir> <work dir> [key=value]... -- [argument]...\n");
        return 2;
    }
    appDirectory = argv[2];
    workDirectory = argv[3];

    testing::TestSystem system;
    ExitingProcesses processes(system.processes);
    StandardErrorDialogs dialogs;
    StandardErrorConsole console;
    WorkLogFiles files(system.files);
    os::installSystem({&files, &system.environment, &system.registry, &processes, &system.libraries,
                       &system.semaphores, &system.windows, &dialogs, &system.resources, &console,
                       &system.machine, &system.codePage});
    system.environment.variables = {{"PATH", "/usr/bin:/bin"}};
    system.files.addDirectory("C:\\app");
    for (const fs::directory_entry& entry : fs::directory_iterator(appDirectory)) {
        // The launcher reads .vmoptions files itself: they come with their text.
        const std::string name = entry.path().filename().string();
        std::string content;
        if (name.ends_with(".vmoptions")) {
            std::ifstream in(entry.path(), std::ios::binary);
            content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        system.files.addFile("C:\\app\\" + name, content);
    }

    auto& values = configurationMaps().stringValues;
    values = {{1005, "The JVM could not be started."},
              {1009, "An internal error occurred (error code: {0})"},
              {1010, "Couldn't load main class."},
              {1011, "Main method not found."}};
    ArgumentList arguments = {u"C:\\app\\run.exe"};
    int i = 4;
    for (; i < argc && std::string(argv[i]) != "--"; ++i) {
        std::string entry = argv[i];
        values[std::atoi(entry.c_str())] = entry.substr(entry.find('=') + 1);
    }
    for (++i; i < argc; ++i) arguments.push_back(utf16(argv[i]));
    selectLauncherKind();
    setQuietErrors();
    setCreateLogRequested();

    void* library = dlopen(argv[1], RTLD_NOW | RTLD_GLOBAL);
    if (!library) {
        std::fprintf(stderr, "dlopen %s: %s\n", argv[1], dlerror());
        return 2;
    }
    realCreateJavaVM = reinterpret_cast<CreateJavaVMFunction>(dlsym(library, "JNI_CreateJavaVM"));
    if (!realCreateJavaVM) {
        std::fprintf(stderr, "no JNI_CreateJavaVM in %s\n", argv[1]);
        return 2;
    }
    setCreateJavaVMEntry(reinterpret_cast<void*>(&translatingCreateJavaVM));

    // The launcher's last steps: the launch, message 1005 when it failed.
    const LauncherProcess process{static_cast<std::uint32_t>(getpid()), 65001};
    if (!launchJavaVM(arguments, true, process)) failWithMessageId(message::jvmNotStarted, nullptr);
    return 0;
}
