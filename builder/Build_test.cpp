#include "builder/Build.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "builder/ContentHash.h"
#include "builder/ImageReport.h"
#include "builder/testing/MemoryHost.h"
#include "image/ConfigBlock.h"
#include "image/IncludedFilesSection.h"
#include "image/LittleEndian.h"
#include "image/PeLayout.h"
#include "image/testing/FakeIcon.h"

namespace qarvo::builder {
namespace {

constexpr const char* installedLauncher = "/opt/qarvo/bin/../share/qarvo/launcher-x86.exe";
constexpr const char* jar = "/opt/qarvo/share/qarvo/qarvo-runtime.jar";

std::vector<std::uint8_t> genericLauncher() {
    std::ifstream in(QARVO_TEST_LAUNCHER, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        launcher_ = genericLauncher();
        ASSERT_FALSE(launcher_.empty()) << "no generic launcher at " << QARVO_TEST_LAUNCHER;
        host.files[installedLauncher] = launcher_;
        host.addFile(jar, "PK runtime jar");
        host.addFile("/p/data.bin", std::string(3000, 'd'));
        host.addFile("/p/lib/plugin.jar", "plugin");
    }
    int run(const std::string& toml, BuildRequest request = {}) {
        host.addFile("/p/app.toml", toml);
        request.configurationFile = "/p/app.toml";
        request.runtimeJar = jar;
        return build(request, host);
    }
    InspectReport inspected(const std::string& path) {
        MemorySource source(host.files.at(path));
        InspectReport report;
        std::string error;
        EXPECT_TRUE(inspectImage(source, host.files.at(path), path, report, error)) << error;
        return report;
    }

    testing::MemoryHost host;
    std::vector<std::uint8_t> launcher_;
};

constexpr const char* minimal = "[application]\nmain-class = \"com.example.Main\"\n";

TEST_F(BuildTest, WritesTheGenericLauncherTheBlockAndTheIncludedFiles) {
    ASSERT_EQ(run(std::string(minimal) + "[files]\ninclude = [\"data.bin\", { source = \"lib/plugin.jar\", name = "
                                         "\"lib\\\\plugin.jar\" }]\n"),
              exitBuilt)
        << host.standardError;
    const std::vector<std::uint8_t>& exe = host.files.at("/p/app.exe");
    // The generic launcher unchanged up to its end but for the checksum of the
    // whole exe, then the block.
    ASSERT_GT(exe.size(), launcher_.size());
    PeImage pe;
    std::string error;
    ASSERT_TRUE(parsePeImage(exe, pe, error)) << error;
    EXPECT_EQ(pe.checkSum, peChecksum(exe, pe.checkSumOffset));
    std::vector<std::uint8_t> start(exe.begin(), exe.begin() + static_cast<std::ptrdiff_t>(launcher_.size()));
    std::copy_n(launcher_.begin() + pe.checkSumOffset, 4, start.begin() + pe.checkSumOffset);
    EXPECT_EQ(start, launcher_);
    const InspectReport report = inspected("/p/app.exe");
    EXPECT_EQ(report.blockOffset, launcher_.size());
    ASSERT_EQ(report.includedFiles.size(), 2u);
    EXPECT_EQ(report.includedFiles[0].name, "data.bin");
    EXPECT_EQ(report.includedFiles[0].size, 3000);
    EXPECT_EQ(report.includedFiles[1].name, "lib\\plugin.jar");
    EXPECT_EQ(report.includedFilesEnd, exe.size());
    // The content is scrambled in the file and comes back as it was.
    std::vector<std::uint8_t> plugin(exe.begin() + static_cast<std::ptrdiff_t>(report.includedFiles[1].offset),
                                     exe.begin() + static_cast<std::ptrdiff_t>(report.includedFiles[1].offset + 6));
    scrambleIncludedBytes(plugin);
    EXPECT_EQ(std::string(plugin.begin(), plugin.end()), "plugin");
    // The runtime jar beside the exe, reached by the first class path entry.
    EXPECT_EQ(host.text("/p/qarvo-runtime.jar"), "PK runtime jar");
    EXPECT_EQ(host.openOutputs, 0);
}

TEST_F(BuildTest, WithoutIncludedFilesTheBlockEndsWithTheMarkerAndPadding) {
    ASSERT_EQ(run(minimal), exitBuilt) << host.standardError;
    const std::vector<std::uint8_t>& exe = host.files.at("/p/app.exe");
    const InspectReport report = inspected("/p/app.exe");
    EXPECT_EQ(exe.size() % 512, 0u);
    EXPECT_EQ(readLittleEndian(exe.data() + report.blockEnd, 4), 0xD513E4E8u);
}

// Same inputs, same bytes; the opaque word follows the content.
TEST_F(BuildTest, IsDeterministic) {
    const std::string toml = std::string(minimal) + "[files]\ninclude = [\"data.bin\"]\n";
    ASSERT_EQ(run(toml), exitBuilt);
    const std::vector<std::uint8_t> first = host.files.at("/p/app.exe");
    host.files.erase("/p/app.exe");
    ASSERT_EQ(run(toml), exitBuilt);
    EXPECT_EQ(host.files.at("/p/app.exe"), first);
    const std::uint32_t word = inspected("/p/app.exe").content.opaqueHeaderWord;
    EXPECT_NE(word, 0u);
    host.files["/p/data.bin"].back() = 'e';  // one byte of an included file differs
    ASSERT_EQ(run(toml), exitBuilt);
    EXPECT_NE(inspected("/p/app.exe").content.opaqueHeaderWord, word);

    // SOURCE_DATE_EPOCH becomes the header's time stamp.
    host.variables["SOURCE_DATE_EPOCH"] = "1700000000";
    ASSERT_EQ(run(toml), exitBuilt);
    PeImage pe;
    std::string error;
    ASSERT_TRUE(parsePeImage(host.files.at("/p/app.exe"), pe, error)) << error;
    EXPECT_EQ(pe.timeDateStamp, 1700000000u);
}

TEST_F(BuildTest, RefusesTemplatesThatAreNoGenericLauncher) {
    std::vector<std::uint8_t> signedLauncher = launcher_;
    PeImage pe;
    std::string error;
    ASSERT_TRUE(parsePeImage(launcher_, pe, error));
    writeLittleEndian(signedLauncher.data() + pe.dataDirectoryOffset + pe::certificateDirectory * 8,
                      launcher_.size() | (std::uint64_t{16} << 32), 8);
    signedLauncher.resize(launcher_.size() + 16, 0);
    std::vector<std::uint8_t> built = launcher_;
    for (std::uint8_t b : {0xD5, 0x13, 0xE4, 0xE8, 0, 0}) built.push_back(b);
    std::vector<std::uint8_t> trailing = launcher_;
    trailing.push_back(0);
    std::vector<std::uint8_t> sixtyFour = launcher_;
    writeLittleEndian(sixtyFour.data() + pe.peOffset + pe::machineField, pe::machineAmd64, 2);
    const struct Case {
        std::vector<std::uint8_t> bytes;
        std::string message;
    } cases[] = {
        {signedLauncher, "it carries a code signature (a certificate table): a signature must come last, so build "
                         "from the unsigned generic launcher and sign the built exe"},
        {built, "it already carries a configuration block: it is a built launcher, not the generic one"},
        {trailing, "1 bytes follow its last section: the generic launcher ends with its resources"},
        {sixtyFour, "its machine type is 0x8664, not the x86 launcher's 0x14C"},
        {{'M', 'Z', 0}, "not a Windows executable: "},
    };
    for (const Case& c : cases) {
        host.files["/t/launcher.exe"] = c.bytes;
        host.standardError.clear();
        BuildRequest request;
        request.launcher = "/t/launcher.exe";
        EXPECT_EQ(run(minimal, request), exitConfigurationError);
        EXPECT_EQ(host.standardError.rfind("qarvo: refusing /t/launcher.exe as the generic launcher: " + c.message, 0), 0u)
            << host.standardError;
        EXPECT_FALSE(host.files.count("/p/app.exe"));
    }
}

// A failure while writing leaves neither the exe nor a part of it.
TEST_F(BuildTest, NothingHalfWrittenIsLeftOnFailure) {
    for (const std::uint64_t limit : {std::uint64_t{0}, std::uint64_t{100}, std::uint64_t{launcher_.size() + 2000}}) {
        host.files.erase("/p/app.exe");
        host.files.erase("/p/qarvo-runtime.jar");
        host.failWritesAfter = limit;
        host.bytesWritten = 0;
        host.standardError.clear();
        EXPECT_EQ(run(std::string(minimal) + "[files]\ninclude = [\"data.bin\"]\n"), exitInputOutput) << limit;
        EXPECT_FALSE(host.files.count("/p/app.exe")) << limit;
        EXPECT_FALSE(host.files.count("/p/qarvo-runtime.jar")) << limit;
        EXPECT_NE(host.standardError.find("no space left on device"), std::string::npos) << host.standardError;
        EXPECT_EQ(host.openOutputs, 0);
    }
}

// The exe never replaces a file the build reads: each is refused as the
// output, and stays as it was.
TEST_F(BuildTest, RefusesToWriteOverItsOwnInputs) {
    const std::vector<std::uint8_t> ico = qarvo::testing::makeIcoFile({{16, 16, 1, 32, qarvo::testing::bitmapIconImage(16, 0xFF00FF00)}});
    host.files["/p/app.ico"] = ico;
    const std::string toml = std::string(minimal) + "icon = \"app.ico\"\n[files]\ninclude = [\"data.bin\"]\n";
    for (const std::string input : {"/p/app.toml", installedLauncher, jar, "/p/data.bin", "/p/app.ico"}) {
        SCOPED_TRACE(input);
        BuildRequest request;
        request.output = input;
        const std::vector<std::uint8_t> before = input == "/p/app.toml" ? std::vector<std::uint8_t>(toml.begin(), toml.end())
                                                                        : host.files.at(input);
        host.standardError.clear();
        EXPECT_EQ(run(toml, request), exitConfigurationError);
        EXPECT_EQ(host.standardError, "qarvo: refusing to write " + input + ": the build reads that file (" + input + ")\n");
        EXPECT_EQ(host.files.at(input), before);
    }
    // Built beside the runtime jar, the jar is left as it is.
    BuildRequest request;
    request.output = "/opt/qarvo/share/qarvo/app.exe";
    EXPECT_EQ(run(toml, request), exitBuilt) << host.standardError;
    EXPECT_EQ(host.text(jar), "PK runtime jar");
}

// Names read from an exe reach a terminal without their control characters.
TEST_F(BuildTest, TheTextReportShowsNoControlCharacterOfTheExe) {
    ASSERT_EQ(run(std::string(minimal) + "[files]\ninclude = [\"data.bin\"]\n"), exitBuilt) << host.standardError;
    InspectReport report = inspected("/p/app.exe");
    ASSERT_EQ(report.includedFiles.size(), 1u);
    report.includedFiles[0].name = "x\x1B[2Jy";
    report.content.localeSections.push_back({"de\x1B", {}});
    const std::string text = reportText(report);
    EXPECT_EQ(text.find('\x1B'), std::string::npos);
    EXPECT_NE(text.find("  x\\u001B[2Jy  3000 bytes\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  [de\\u001B] 0 entries\n"), std::string::npos) << text;
}

TEST_F(BuildTest, ExitCodesTellWhatWentWrong) {
    EXPECT_EQ(run("[application]\n"), exitConfigurationError);
    EXPECT_EQ(host.standardError, "/p/app.toml: application.main-class is required\n");
    BuildRequest request;
    request.configurationFile = "/p/missing.toml";
    EXPECT_EQ(build(request, host), exitInputOutput);
    host.files.erase(installedLauncher);
    host.standardError.clear();
    EXPECT_EQ(run(minimal), exitInputOutput);
    EXPECT_EQ(host.standardError, "qarvo: no generic launcher for x86 is installed; name one with --launcher\n");
}

// build.target (or --target) picks the installed launcher of that target;
// the manifest names the target's architecture.
TEST(ContentHash, TheSameBytesGiveTheSameValueHoweverCut) {
    std::vector<std::uint8_t> bytes(777);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31);
    ContentHash whole;
    whole.add(bytes.data(), bytes.size());
    for (const std::size_t cut : {0u, 1u, 31u, 32u, 400u, 776u}) {
        ContentHash pieces;
        pieces.add(bytes.data(), cut);
        pieces.add(bytes.data() + cut, bytes.size() - cut);
        EXPECT_EQ(pieces.value32(), whole.value32()) << cut;
    }
    // Swapped words and an added zero byte differ.
    std::swap(bytes[0], bytes[4]);
    ContentHash swapped, longer;
    swapped.add(bytes.data(), bytes.size());
    EXPECT_NE(swapped.value32(), whole.value32());
    bytes.push_back(0);
    std::swap(bytes[0], bytes[4]);
    longer.add(bytes.data(), bytes.size());
    EXPECT_NE(longer.value32(), whole.value32());
}

TEST_F(BuildTest, TheTargetPicksItsLauncher) {
    const std::string toml = std::string(minimal) + "[build]\ntarget = \"x64\"\n";
    EXPECT_EQ(run(toml), exitInputOutput);
    EXPECT_EQ(host.standardError, "qarvo: no generic launcher for x64 is installed; name one with --launcher\n");
    std::ifstream in(QARVO_TEST_LAUNCHER_X64, std::ios::binary);
    host.files["/opt/qarvo/bin/../share/qarvo/launcher-x64.exe"] = {std::istreambuf_iterator<char>(in), {}};
    for (const std::string way : {"file", "option"}) {
        host.standardError.clear();
        BuildRequest request;
        if (way == "option") request.target = "x64";
        ASSERT_EQ(run(way == "option" ? std::string(minimal) : toml, request), exitBuilt) << host.standardError;
        const InspectReport report = inspected("/p/app.exe");
        EXPECT_EQ(report.machine, pe::machineAmd64) << way;
        ASSERT_TRUE(report.resources.manifest) << way;
        EXPECT_EQ(report.resources.manifest->architecture, ManifestArchitecture::amd64) << way;
    }
}

TEST_F(BuildTest, ProgressIsShownOnATerminalOnly) {
    host.addFile("/p/big.bin", std::string(5u << 20, 'b'));
    const std::string toml = std::string(minimal) + "[files]\ninclude = [\"big.bin\"]\n";
    ASSERT_EQ(run(toml), exitBuilt);
    EXPECT_EQ(host.standardError, "");
    host.terminal = true;
    ASSERT_EQ(run(toml), exitBuilt);
    EXPECT_NE(host.standardError.find("] 100%"), std::string::npos) << host.standardError;
    EXPECT_EQ(host.standardError.back(), '\n');
}

}  // namespace
}  // namespace qarvo::builder
