#include "image/Manifest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace qarvo {
namespace {

TEST(Manifest, DefaultsAreTheGenericLaunchersManifestByteForByte) {
    std::ifstream in(QARVO_LAUNCHER_MANIFEST, std::ios::binary);
    ASSERT_TRUE(in) << QARVO_LAUNCHER_MANIFEST;
    const std::string launcherManifest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(manifestText({}), launcherManifest);
    ManifestOptions read;
    read.longPathAware = true;
    std::string error;
    ASSERT_TRUE(readManifest(launcherManifest, read, error)) << error;
    EXPECT_EQ(read, ManifestOptions{});
}

// Each option shows in the text as Windows reads it, and reads back.
TEST(Manifest, OptionsAppearInTheTextAndReadBack) {
    using L = ExecutionLevel;
    using D = DpiAwareness;
    using Os = SupportedOs;
    struct Case {
        ManifestOptions options;
        std::vector<std::string> lines;  // each in the text
        std::vector<std::string> absent;
    } cases[] = {
        {{.executionLevel = L::requireAdministrator},
         {"        <requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>\n"},
         {"<compatibility", "<application", "windowsSettings"}},
        {{.executionLevel = L::highestAvailable, .uiAccess = true},
         {"level=\"highestAvailable\" uiAccess=\"true\"/>\n"}, {}},
        {{.dpiAwareness = D::system},
         {"      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>\n"},
         {"dpiAwareness", "longPathAware"}},
        {{.dpiAwareness = D::perMonitorV2, .longPathAware = true},
         {"  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n    <windowsSettings>\n",
          ">true/pm</dpiAware>\n",
          "      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
          "PerMonitor</dpiAwareness>\n",
          "      <longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>\n"},
         {}},
        {{.supportedOs = {Os::windows7, Os::windows10, Os::windowsVista, Os::windows8, Os::windows81}},
         {"  <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">\n    <application>\n"
          "      <supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>\n"
          "      <supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>\n"
          "      <supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>\n"
          "      <supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>\n"
          "      <supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>\n"
          "    </application>\n  </compatibility>\n"},
         {"windowsSettings"}},
        {{.architecture = ManifestArchitecture::amd64}, {"processorArchitecture=\"amd64\""}, {"\"x86\""}},
        {{.commonControls = false}, {"  </trustInfo>\n</assembly>\n"}, {"<dependency"}},
    };
    for (const Case& c : cases) {
        const std::string text = manifestText(c.options);
        SCOPED_TRACE(text);
        for (const std::string& line : c.lines) EXPECT_NE(text.find(line), std::string::npos) << line;
        for (const std::string& part : c.absent) EXPECT_EQ(text.find(part), std::string::npos) << part;
        ManifestOptions read;
        std::string error;
        ASSERT_TRUE(readManifest(text, read, error)) << error;
        EXPECT_EQ(read, c.options);
    }
}

// Manifests written by other tools: prefixes, single quotes, comments, other
// letter cases, the newer DPI element winning over the older one.
TEST(Manifest, ReaderToleratesOtherWritersAndRefusesUnknownValues) {
    const std::string foreign =
        "<?xml version='1.0'?><!-- <assembly> in a comment -->"
        "<asmv1:assembly xmlns:asmv1='urn:schemas-microsoft-com:asm.v1' manifestVersion='1.0'>"
        "<assemblyIdentity name='My.App' processorArchitecture='*' version='1.0.0.0' type='win32'/>"
        "<asmv3:trustInfo><asmv3:security><asmv3:requestedPrivileges>"
        "<asmv3:requestedExecutionLevel level = 'highestAvailable' uiAccess='TRUE' />"
        "</asmv3:requestedPrivileges></asmv3:security></asmv3:trustInfo>"
        "<asmv3:application><asmv3:windowsSettings>"
        "<dpiAwareness>Future, System</dpiAwareness><dpiAware> True/PM </dpiAware>"
        "<longPathAware>TRUE</longPathAware></asmv3:windowsSettings></asmv3:application>"
        "<compatibility><application><supportedOS Id='{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}'/></application>"
        "</compatibility>"
        "<dependency><dependentAssembly><assemblyIdentity type='win32' name='Microsoft.Windows.Common-Controls' "
        "version='6.0.0.0' processorArchitecture='AMD64'/></dependentAssembly></dependency></asmv1:assembly>";
    ManifestOptions read;
    std::string error;
    ASSERT_TRUE(readManifest(foreign, read, error)) << error;
    EXPECT_EQ(read, (ManifestOptions{.executionLevel = ExecutionLevel::highestAvailable,
                                     .uiAccess = true,
                                     .dpiAwareness = DpiAwareness::system,
                                     .longPathAware = true,
                                     .supportedOs = {SupportedOs::windows10},
                                     .architecture = ManifestArchitecture::amd64}));

    struct Case {
        std::string text;
        const char* message;
    } cases[] = {
        {"<?xml version='1.0'?>", "not a manifest: no assembly element"},
        {"<assembly><requestedExecutionLevel level='asAdmin'/></assembly>",
         "unknown execution level \"asAdmin\" in the manifest"},
        {"<assembly><requestedExecutionLevel uiAccess='yes'/></assembly>", "unknown uiAccess \"yes\" in the manifest"},
        {"<assembly><supportedOS Id='{0}'/></assembly>", "unknown supported OS \"{0}\" in the manifest"},
        {"<assembly><dpiAware>maybe</dpiAware></assembly>", "unknown dpiAware value \"maybe\" in the manifest"},
        {"<assembly><dpiAwareness>later</dpiAwareness></assembly>",
         "unknown dpiAwareness value \"later\" in the manifest"},
        {"<assembly><assemblyIdentity name='Microsoft.Windows.Common-Controls' processorArchitecture='arm64'/>",
         "unknown processor architecture \"arm64\" in the manifest"},
        {"<assembly><!-- open", "manifest comment not closed"},
        {"<assembly", "manifest tag not closed"},
        {"<assembly a='1>", "manifest attribute not closed"},
    };
    for (const Case& c : cases) {
        ManifestOptions kept;
        kept.longPathAware = true;
        EXPECT_FALSE(readManifest(c.text, kept, error)) << c.text;
        EXPECT_EQ(error, c.message);
        EXPECT_TRUE(kept.longPathAware);
    }
}

}  // namespace
}  // namespace qarvo
