#include "LaunchLayout.h"

#include <fstream>

#include "config/ConfigKeys.h"
#include "report/ErrorReport.h"
#include "image/LauncherImage.h"
#include "image/PeLayout.h"

namespace qarvo::bench {

namespace {

std::size_t linesStartingWith(const fs::path& file, const std::string& prefix) {
    std::ifstream in(file, std::ios::binary);
    std::size_t count = 0;
    for (std::string line; std::getline(in, line);) count += line.rfind(prefix, 0) == 0;
    return count;
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

}  // namespace

bool writeConfiguredLauncher(const fs::path& generic, const fs::path& out, const wine::StringEntries& entries,
                             std::string& error) {
    std::vector<std::uint8_t> bytes, image;
    if (!wine::readFileBytes(generic, bytes) || bytes.empty()) {
        error = "cannot read " + generic.string();
        return false;
    }
    if (!writeLauncherImage(bytes, wine::blockContent(entries), {}, image, error)) {
        error = generic.string() + ": " + error;
        return false;
    }
    if (!wine::writeFileBytes(out, image)) {
        error = "cannot write " + out.string();
        return false;
    }
    return true;
}

wine::StringEntries benchEntries(const std::string& sequence) {
    return {{key::searchSequence, sequence},
            {key::lowestVersion, lowestVersion},
            {key::mainClass, "com.example.Main"},
            {message::caption, "Error"}};
}

void makeStubRuntime(const fs::path& home, const std::string& versionOutput, bool sixtyFourBit) {
    // The doubles of the build of the runtime's architecture.
    const fs::path doubles = sixtyFourBit == wine::testingSixtyFourBit() ? wine::windowsProgram("tests/doubles")
                                                                        : wine::otherArchitectureProgram("tests/doubles");
    const fs::path bin = home / "bin";
    for (const char* type : {"client", "server"}) {
        fs::create_directories(bin / type);
        fs::copy_file(doubles / "jvm.dll", bin / type / "jvm.dll",
                      fs::copy_options::overwrite_existing);
        // The stub records only the call of main (what the benchmarks check):
        // otherwise its file append for every option and JNI call, some 35
        // a start, would be timed as the launcher's.
        writeText(bin / type / "jvm-stub-script.txt", "record-only CallStaticVoidMethod main\n");
    }
    for (const char* name : {"java.exe", "javaw.exe"}) {
        fs::copy_file(doubles / "java.exe", bin / name,
                      fs::copy_options::overwrite_existing);
    }
    writeText(bin / "java-stub-stderr.txt", versionOutput);
}

std::size_t probeRuns(const std::vector<fs::path>& homes) {
    std::size_t runs = 0;
    for (const fs::path& home : homes) runs += linesStartingWith(home / "bin" / "java-stub-record.txt", "");
    return runs;
}

std::size_t mainCalls(const fs::path& home) {
    std::size_t calls = 0;
    for (const char* type : {"client", "server"}) {
        calls += linesStartingWith(home / "bin" / type / "jvm-stub-record.txt", "CallStaticVoidMethod main");
    }
    return calls;
}

std::uint16_t machineOf(const fs::path& exe) {
    std::vector<std::uint8_t> bytes;
    PeImage image;
    std::string error;
    if (!wine::readFileBytes(exe, bytes) || !parsePeImage(bytes, image, error)) return 0;
    return image.machine;
}

}  // namespace qarvo::bench
