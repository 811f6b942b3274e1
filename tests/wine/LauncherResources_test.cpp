// The resources of the generic launcher and of a launcher whose resources were
// replaced, read back by the image library and by the binutils and icoutils
// readers where they are installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>

#include "LauncherFiles.h"
#include "PeFile.h"
#include "WineHarness.h"

namespace qarvo::wine {
namespace {

using Bytes = std::vector<std::uint8_t>;

ResourceId id(std::uint16_t number) { return ResourceId{number, {}}; }

// Standard output of a shell command; nothing when it fails or is not installed.
std::optional<std::string> commandOutput(const std::string& tool, const std::string& arguments) {
    if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0) return std::nullopt;
    FILE* pipe = popen((tool + " " + arguments + " 2>&1").c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    if (pclose(pipe) != 0) return std::nullopt;
    return output;
}

class LauncherResources : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(readFileBytes(genericLauncher(), generic_)) << genericLauncher() << ": build the win32 preset";
        // One directory per launcher: both runs of this test may go at once.
        directory_ = wineRoot() / (testingSixtyFourBit() ? "launcher-resources-x64" : "launcher-resources-x86");
        fs::create_directories(directory_);
    }
    // The generic launcher with the sample resources; its path.
    fs::path rewritten() {
        const fs::path path = makeLauncherWithResources(directory_, "sample", sampleApplicationResources(), {{1, "x"}});
        EXPECT_FALSE(path.empty());
        return path;
    }
    Bytes generic_;
    fs::path directory_;
};

TEST_F(LauncherResources, TheGenericLauncherCarriesOnlyItsManifest) {
    std::vector<Resource> resources;
    std::string error;
    ASSERT_TRUE(readResources(generic_, resources, error)) << error;
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_EQ(resources[0].type, id(rt::manifest));
    EXPECT_EQ(resources[0].name, id(1));
    // The source's manifest names x86; the 64-bit build writes amd64 into it.
    std::ifstream in(QARVO_LAUNCHER_MANIFEST, std::ios::binary);
    std::string manifest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(manifest.empty());
    ManifestOptions expected;
    if (testingSixtyFourBit()) {
        const std::string x86 = "processorArchitecture=\"x86\"";
        manifest.replace(manifest.find(x86), x86.size(), "processorArchitecture=\"amd64\"");
        expected.architecture = ManifestArchitecture::amd64;
    }
    EXPECT_EQ(std::string(resources[0].data.begin(), resources[0].data.end()), manifest);
    ManifestOptions options;
    ASSERT_TRUE(readManifest(manifest, options, error)) << error;
    EXPECT_EQ(options, expected);
}

// Replaced, the resources read back sorted; the image stays a launcher image
// (a block goes behind it) and the same resources in any order give the same file.
TEST_F(LauncherResources, ReplacedResourcesReadBackAndTheFileIsTheSameEveryTime) {
    std::vector<Resource> sample = sampleApplicationResources();
    ASSERT_EQ(sample.size(), 6u);
    Bytes image = generic_;
    std::string error;
    ASSERT_TRUE(replaceResources(image, sample, error)) << error;
    std::vector<Resource> read;
    ASSERT_TRUE(readResources(image, read, error)) << error;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> order;
    for (const Resource& r : read) order.emplace_back(r.type.id, r.name.id);
    EXPECT_EQ(order, (std::vector<std::pair<std::uint16_t, std::uint16_t>>{
                         {rt::icon, 1}, {rt::icon, 2}, {rt::rcdata, 10000}, {rt::groupIcon, 1}, {rt::version, 1},
                         {rt::manifest, 1}}));
    for (const Resource& r : sample) {
        const Resource* found = findResource(read, r.type, r.name);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(*found, r);
    }

    std::optional<PeFile> pe = parsePeFile(image, error);
    ASSERT_TRUE(pe) << error;
    EXPECT_EQ(pe->importedDlls.size(), parsePeFile(generic_, error)->importedDlls.size());
    EXPECT_EQ(pe->checkSum, peChecksum(image, pe->checkSumOffset));
    std::size_t length = 0;
    ASSERT_TRUE(launcherTemplateLength(image, length, error)) << error;
    EXPECT_EQ(length, image.size());

    std::reverse(sample.begin(), sample.end());
    Bytes again = generic_;
    ASSERT_TRUE(replaceResources(again, sample, error)) << error;
    EXPECT_EQ(again, image);
}

// objdump's reading of the directory: the five types in id order, six leaves
// with the sizes the library wrote.
TEST_F(LauncherResources, ObjdumpReadsTheReplacedDirectory) {
    const fs::path path = rewritten();
    // The i686 objdump does not read a PE32+ image.
    const std::string objdump = testingSixtyFourBit() ? "x86_64-w64-mingw32-objdump" : "i686-w64-mingw32-objdump";
    if (std::system(("command -v " + objdump + " >/dev/null 2>&1").c_str()) != 0) {
        GTEST_SKIP() << objdump << " is not installed";
    }
    std::optional<std::string> dump = commandOutput(objdump, "-p " + path.string());
    ASSERT_TRUE(dump) << objdump << " failed on " << path;
    const std::size_t start = dump->find("The .rsrc Resource Directory section:");
    ASSERT_NE(start, std::string::npos) << *dump;
    const std::string section = dump->substr(start);
    EXPECT_NE(section.find("Type Table: Char: 0, Time: 00000000, Ver: 0/0, Num Names: 0, IDs: 5"), std::string::npos);
    std::vector<std::string> types, sizes;
    const std::regex typeEntry(R"(\n[0-9a-f]{3}   Entry: ID: 0x([0-9a-f]+),)"), leaf(R"(Leaf: Addr: 0x[0-9a-f]+, Size: 0x([0-9a-f]+),)");
    for (std::sregex_iterator m(section.begin(), section.end(), typeEntry), end; m != end; ++m) types.push_back((*m)[1]);
    for (std::sregex_iterator m(section.begin(), section.end(), leaf), end; m != end; ++m) {
        sizes.push_back(std::to_string(std::stoul((*m)[1], nullptr, 16)));
    }
    EXPECT_EQ(types, (std::vector<std::string>{"000003", "00000a", "00000e", "000010", "000018"}));
    std::vector<std::string> expected;
    std::vector<Resource> read;
    Bytes bytes;
    std::string error;
    ASSERT_TRUE(readFileBytes(path, bytes) && readResources(bytes, read, error)) << error;
    for (const Resource& r : read) expected.push_back(std::to_string(r.data.size()));
    EXPECT_EQ(sizes, expected);
    EXPECT_EQ(dump->find("corrupt"), std::string::npos);
}

// wrestool lists every resource, and puts the icon file back together from
// the group and its images.
TEST_F(LauncherResources, WrestoolListsTheResourcesAndRebuildsTheIcon) {
    const fs::path path = rewritten();
    std::optional<std::string> list = commandOutput("wrestool", "-l " + path.string());
    if (!list) GTEST_SKIP() << "wrestool (icoutils) is not installed";
    std::vector<std::string> lines;
    const std::regex entry(R"(--type=(\d+) --name=(\d+) --language=(\d+) \[(?:type=\S+ )?offset=0x[0-9a-f]+ size=(\d+)\])");
    for (std::sregex_iterator m(list->begin(), list->end(), entry), end; m != end; ++m) {
        lines.push_back((*m)[1].str() + " " + (*m)[2].str() + " " + (*m)[3].str() + " " + (*m)[4].str());
    }
    std::vector<std::string> expected;
    Bytes bytes;
    std::vector<Resource> read;
    std::string error;
    ASSERT_TRUE(readFileBytes(path, bytes) && readResources(bytes, read, error)) << error;
    for (const Resource& r : read) {
        expected.push_back(std::to_string(r.type.id) + " " + std::to_string(r.name.id) + " " +
                           std::to_string(r.language) + " " + std::to_string(r.data.size()));
    }
    EXPECT_EQ(lines, expected) << *list;

    const fs::path extracted = directory_ / "extracted";
    fs::remove_all(extracted);
    fs::create_directories(extracted);
    ASSERT_TRUE(commandOutput("wrestool", "-x --type=14 --name=1 -o " + extracted.string() + " " + path.string()));
    Bytes ico;
    ASSERT_TRUE(readFileBytes(extracted / (path.filename().string() + "_14_1.ico"), ico));
    // wrestool 0.32 writes the group's size in stray bytes behind the file it
    // rebuilt (from a linker's image as well): compare the file alone.
    const Bytes original = sampleIcoFile();
    ASSERT_GE(ico.size(), original.size());
    EXPECT_EQ(Bytes(ico.begin(), ico.begin() + static_cast<std::ptrdiff_t>(original.size())), original);
}

}  // namespace
}  // namespace qarvo::wine
