// The generic launcher's file layout: what appending a block and signing
// afterwards rely on, and that it runs on a bare Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "LauncherFiles.h"
#include "PeFile.h"
#include "WineHarness.h"

namespace qarvo::wine {
namespace {

class LauncherLayout : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(readFileBytes(genericLauncher(), bytes_)) << genericLauncher() << ": build the Windows presets";
        std::string error;
        std::optional<PeFile> pe = parsePeFile(bytes_, error);
        ASSERT_TRUE(pe) << error;
        pe_ = *pe;
        ASSERT_FALSE(pe_.sections.empty());
    }
    const PeSection* section(const std::string& name) const {
        auto it = std::find_if(pe_.sections.begin(), pe_.sections.end(),
                               [&](const PeSection& s) { return s.name == name; });
        return it == pe_.sections.end() ? nullptr : &*it;
    }
    std::vector<std::uint8_t> bytes_;
    PeFile pe_;
};

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST_F(LauncherLayout, IsAWindowProgramOfItsArchitecture) {
    EXPECT_EQ(pe_.machine, testingSixtyFourBit() ? pe::machineAmd64 : pe::machineI386);
    EXPECT_EQ(pe_.optionalMagic, testingSixtyFourBit() ? pe::pe32PlusMagic : pe::pe32Magic);
    EXPECT_EQ(pe_.subsystem, pe::windowSubsystem);
}

TEST_F(LauncherLayout, ResourcesAreTheLastSectionAndEndTheFile) {
    const PeSection& last = pe_.sections.back();
    EXPECT_EQ(last.name, ".rsrc");
    EXPECT_GT(last.rawDataSize, 0u);
    // The block is appended at this offset: nothing may lie between.
    EXPECT_EQ(pe_.lastSectionEnd(), bytes_.size());
}

TEST_F(LauncherLayout, KeepsRelocationsForAddressRandomisation) {
    const PeSection* reloc = section(".reloc");
    ASSERT_NE(reloc, nullptr) << "no .reloc section";
    EXPECT_GT(reloc->rawDataSize, 0u);
    EXPECT_NE(pe_.dllCharacteristics & pe::dynamicBase, 0) << "DYNAMIC_BASE is off";
}

TEST_F(LauncherLayout, ImportsOnlyWindowsSystemLibraries) {
    const std::set<std::string> systemLibraries = {
        "kernel32.dll", "user32.dll", "advapi32.dll", "shell32.dll", "comctl32.dll", "msvcrt.dll",
        "gdi32.dll",    "ole32.dll",  "oleaut32.dll", "shlwapi.dll", "version.dll",  "comdlg32.dll"};
    ASSERT_FALSE(pe_.importedDlls.empty());
    bool kernel32 = false;
    for (const std::string& dll : pe_.importedDlls) {
        EXPECT_TRUE(systemLibraries.count(lowerCase(dll))) << "imports " << dll;
        kernel32 = kernel32 || lowerCase(dll) == "kernel32.dll";
    }
    EXPECT_TRUE(kernel32);
}

// Two builds of the same sources give the same file: the linker writes no
// build time into the COFF header (TimeDateStamp, 8 bytes after "PE\0\0").
TEST_F(LauncherLayout, CarriesNoBuildTime) {
    const std::size_t stamp = std::size_t{pe_.peOffset} + 8;
    ASSERT_LE(stamp + 4, bytes_.size());
    const std::uint32_t timeDateStamp = std::uint32_t{bytes_[stamp]} | std::uint32_t{bytes_[stamp + 1]} << 8 |
                                        std::uint32_t{bytes_[stamp + 2]} << 16 |
                                        std::uint32_t{bytes_[stamp + 3]} << 24;
    EXPECT_EQ(timeDateStamp, 0u);
}

// The linker stores the header checksum; the library computes the same.
TEST_F(LauncherLayout, CarriesTheChecksumOfItsBytes) {
    ASSERT_NE(pe_.checkSum, 0u);
    EXPECT_EQ(peChecksum(bytes_, pe_.checkSumOffset), pe_.checkSum);
}

// Every byte is downloaded with every application: the generic launcher stays
// below 160 KiB.
TEST_F(LauncherLayout, StaysSmall) { EXPECT_LT(bytes_.size(), 160u * 1024u); }

TEST_F(LauncherLayout, CarriesTheApplicationManifest) {
    const PeSection* resources = section(".rsrc");
    ASSERT_NE(resources, nullptr);
    const std::string data(bytes_.begin() + resources->rawDataOffset,
                           bytes_.begin() + resources->rawDataOffset + resources->rawDataSize);
    for (const char* text : {"level=\"asInvoker\" uiAccess=\"false\"", "name=\"Microsoft.Windows.Common-Controls\"",
                             "version=\"6.0.0.0\"",
                             testingSixtyFourBit() ? "processorArchitecture=\"amd64\"" : "processorArchitecture=\"x86\""}) {
        EXPECT_NE(data.find(text), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace qarvo::wine
