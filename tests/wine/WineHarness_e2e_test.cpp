// The harness facts that later tests build on: the registry views of a 32-bit
// program in the 64-bit prefix, seeding in one import, and the path mapping.
#include "E2eSupport.h"

namespace qarvo::wine {
namespace {

TEST(WineHarness, RegistrySeedsAndReadsBothViews) {
    std::string error;
    std::unique_ptr<Prefix> prefix = Prefix::clone("registry", error);
    ASSERT_TRUE(prefix) << error;
    ASSERT_TRUE(fs::exists(winTool())) << winTool() << " missing: build the win32 preset";
    const std::string key = "SOFTWARE\\tarnwell\\qarvo\\harness";

    ASSERT_TRUE(prefix->importRegistry("Windows Registry Editor Version 5.00\n\n"
                                       "[HKEY_CURRENT_USER\\" + key + "]\n"
                                       "\"Text\"=\"J\xC3\xBCrg\"\n"
                                       "\"Number\"=dword:0000002a\n"));
    EXPECT_EQ(prefix->readRegistry("HKCU", key, "Text"), "REG_SZ J\xC3\xBCrg");
    EXPECT_EQ(prefix->readRegistry("HKCU", key, "Number"), "REG_DWORD 42");
    EXPECT_EQ(prefix->readRegistry("HKCU", key, "Missing"), std::nullopt);

    // A 32-bit program's HKLM\SOFTWARE is the 64-bit view's Wow6432Node.
    ASSERT_TRUE(prefix->writeRegistry("HKLM", key, "Home", "REG_SZ", "C:\\jre", 32));
    EXPECT_EQ(prefix->readRegistry("HKLM", "SOFTWARE\\Wow6432Node\\tarnwell\\qarvo\\harness", "Home", 64),
              "REG_SZ C:\\jre");
    EXPECT_EQ(prefix->readRegistry("HKLM", key, "Home", 64), std::nullopt);

    ASSERT_TRUE(prefix->deleteRegistryTree("HKCU", key));
    EXPECT_EQ(prefix->readRegistry("HKCU", key, "Number"), std::nullopt);
}

TEST(WineHarness, MapsWindowsPathsOfThePrefix) {
    std::string error;
    Prefix* prefix = Prefix::shared(error);
    ASSERT_NE(prefix, nullptr) << error;
    const fs::path temp = prefix->temporaryDirectory();
    EXPECT_TRUE(fs::is_directory(temp)) << temp;
    EXPECT_EQ(temp.lexically_relative(prefix->path() / "drive_c").begin()->string(), "users") << temp;
    const fs::path here = freshTestDirectory();
    EXPECT_EQ(prefix->linuxPath(windowsPath(here)), here);
    EXPECT_EQ(windowsPath("/a/b c/d.exe"), "Z:\\a\\b c\\d.exe");
}

}  // namespace
}  // namespace qarvo::wine
