// The resources of a built exe, read back by the image library and, where
// they are installed, by wrestool and the mingw objdump: tools that know the
// format without our code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "builder/Build.h"
#include "builder/ImageReport.h"
#include "builder/testing/MemoryHost.h"
#include "image/ApplicationResources.h"
#include "image/PeLayout.h"
#include "image/testing/FakeIcon.h"

namespace qarvo::builder {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool installed(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command; its standard output.
// `name` keeps the output of each run apart: CTest runs both targets at once.
std::string output(const std::string& command, const std::string& name) {
    const fs::path out = fs::path(::testing::TempDir()) / ("qarvo-resources-" + name + ".out");
    EXPECT_EQ(std::system((command + " > " + out.string() + " 2>/dev/null").c_str()), 0) << command;
    const Bytes bytes = fileBytes(out);
    return std::string(bytes.begin(), bytes.end());
}

constexpr const char* configuration = R"toml(
[application]
main-class = "com.example.Main"
icon = "app.ico"
[version]
file-version = "3.1.4"
company = "Tarnwell"
description = "Resource test"
copyright = "(c) Tarnwell"
product-name = "Resources"
[manifest]
execution-level = "highestAvailable"
dpi-awareness = "system"
supported-os = ["windows-10"]
[splash]
image = "splash.png"
[build]
runtime-jar = "none"
)toml";

class BuildResources : public ::testing::TestWithParam<const char*> {
protected:
    std::string target() const { return GetParam(); }
    // Builds the configuration for the target; the exe's bytes.
    Bytes built() {
        const Bytes launcher = fileBytes(target() == "x64" ? QARVO_TEST_LAUNCHER_X64 : QARVO_TEST_LAUNCHER);
        EXPECT_FALSE(launcher.empty()) << "no generic launcher for " << target();
        host.files["/t/launcher.exe"] = launcher;
        host.files["/p/app.ico"] = ico;
        host.files["/p/splash.png"] = splash;
        host.addFile("/p/app.toml", configuration);
        BuildRequest request;
        request.configurationFile = "/p/app.toml";
        request.launcher = "/t/launcher.exe";
        request.target = target();
        EXPECT_EQ(build(request, host), exitBuilt) << host.standardError;
        return host.files["/p/app.exe"];
    }

    testing::MemoryHost host;
    const Bytes ico = qarvo::testing::makeIcoFile({{16, 16, 1, 32, qarvo::testing::bitmapIconImage(16, 0xFF00FF00)},
                                                   {32, 32, 1, 32, qarvo::testing::bitmapIconImage(32, 0xFF0000FF)}});
    const Bytes splash = qarvo::testing::pngIconImage(Bytes(700, 0x5A));
};

TEST_P(BuildResources, TheImageLibraryReadsBackWhatAppTomlSays) {
    const Bytes exe = built();
    ResourceSummary summary;
    std::string error;
    ASSERT_TRUE(summariseResources(exe, summary, error)) << error;
    ASSERT_EQ(summary.icons.size(), 2u);
    EXPECT_EQ(summary.icons[1].width, 32);
    ASSERT_TRUE(summary.version);
    EXPECT_EQ(summary.version->fileVersion, (VersionNumber{3, 1, 4, 0}));
    EXPECT_EQ(summary.version->productVersionText, u"3.1.4");
    EXPECT_EQ(summary.version->originalFilename, u"app.exe");
    EXPECT_EQ(summary.version->productName, u"Resources");
    ASSERT_TRUE(summary.manifest);
    EXPECT_EQ(*summary.manifest,
              (ManifestOptions{.executionLevel = ExecutionLevel::highestAvailable,
                               .dpiAwareness = DpiAwareness::system,
                               .supportedOs = {SupportedOs::windows10},
                               .architecture = target() == "x64" ? ManifestArchitecture::amd64
                                                                 : ManifestArchitecture::x86}));
    EXPECT_EQ(summary.splashImageSize, splash.size());

    // The resources stay last, the block right behind them, the headers agree.
    PeImage pe;
    ASSERT_TRUE(parsePeImage(exe, pe, error)) << error;
    EXPECT_EQ(pe.sections.back().virtualAddress, pe.dataDirectories[pe::resourceDirectory].address);
    EXPECT_EQ(pe.checkSum, peChecksum(exe, pe.checkSumOffset));
    MemorySource source(exe);
    InspectReport report;
    ASSERT_TRUE(inspectImage(source, exe, "app.exe", report, error)) << error;
    EXPECT_EQ(report.blockOffset, pe.lastSectionEnd());
    std::map<std::int32_t, std::string> strings(report.content.strings.begin(), report.content.strings.end());
    EXPECT_EQ(strings[108], "1");
    EXPECT_EQ(strings[10123], "1");
    // The same inputs, the same bytes.
    host.files.erase("/p/app.exe");
    EXPECT_EQ(built(), exe);
}

// wrestool extracts each resource as Windows tools see it; objdump agrees on
// the headers the rewrite fixed.
TEST_P(BuildResources, ToolsOutsideOurCodeReadThem) {
    if (!installed("wrestool")) GTEST_SKIP() << "wrestool (icoutils) is not installed";
    const Bytes exe = built();
    const fs::path file = fs::path(::testing::TempDir()) / ("qarvo-resources-" + target() + ".exe");
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(exe.data()),
                                                static_cast<std::streamsize>(exe.size()));
    const std::string manifestArchitecture = target() == "x64" ? "amd64" : "x86";
    const struct Case {
        const char* what;
        std::string arguments;
        std::string expected;  // the start of what wrestool writes
    } cases[] = {
        // wrestool rebuilds the .ico file from the group and its icons.
        {"icon", "-x --type=14 --name=1", std::string(ico.begin(), ico.end())},
        {"splash", "-x --raw --type=10 --name=10000", std::string(splash.begin(), splash.end())},
        {"manifest", "-x --raw --type=24 --name=1", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"},
        {"version", "-x --raw --type=16 --name=1", ""},
    };
    for (const Case& c : cases) {
        const std::string extracted = output("wrestool " + c.arguments + " " + file.string(), target());
        EXPECT_EQ(extracted.substr(0, c.expected.size()), c.expected) << c.what;
        if (std::string(c.what) == "manifest") {
            EXPECT_NE(extracted.find("processorArchitecture=\"" + manifestArchitecture + "\""), std::string::npos);
            EXPECT_NE(extracted.find("level=\"highestAvailable\""), std::string::npos);
        }
        if (std::string(c.what) == "version") {
            for (const std::u16string text : {u"VS_VERSION_INFO", u"Tarnwell", u"3.1.4"}) {
                EXPECT_NE(extracted.find(std::string(reinterpret_cast<const char*>(text.data()), 2 * text.size())),
                          std::string::npos);
            }
        }
    }
    const std::string objdump = target() == "x64" ? "x86_64-w64-mingw32-objdump" : "i686-w64-mingw32-objdump";
    if (!installed(objdump.c_str())) return;
    PeImage pe;
    std::string error;
    ASSERT_TRUE(parsePeImage(exe, pe, error)) << error;
    const std::string headers = output(objdump + " -p " + file.string(), target());
    char expected[96];
    // The 64-bit objdump shows addresses with 16 digits.
    std::snprintf(expected, sizeof expected, "Entry 2 %0*x %08x Resource Directory [.rsrc]", target() == "x64" ? 16 : 8,
                  pe.dataDirectories[pe::resourceDirectory].address, pe.dataDirectories[pe::resourceDirectory].size);
    EXPECT_NE(headers.find(expected), std::string::npos) << headers;
    const std::uint32_t imageEnd = pe.sections.back().virtualAddress + pe.sections.back().virtualSize;
    std::snprintf(expected, sizeof expected, "SizeOfImage\t\t%08x", (imageEnd + 0xFFFu) & ~0xFFFu);
    EXPECT_NE(headers.find(expected), std::string::npos) << headers;
    std::snprintf(expected, sizeof expected, "CheckSum\t\t%08x", pe.checkSum);
    EXPECT_NE(headers.find(expected), std::string::npos) << headers;
}

INSTANTIATE_TEST_SUITE_P(Targets, BuildResources, ::testing::Values("x86", "x64"));

}  // namespace
}  // namespace qarvo::builder
