#include "image/ApplicationResources.h"

#include <gtest/gtest.h>

#include "image/PeLayout.h"
#include "image/testing/FakeIcon.h"
#include "image/testing/FakePe.h"

namespace qarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Resource resource(std::uint16_t type, std::uint16_t name, Bytes data) {
    return Resource{{type, {}}, {name, {}}, englishUnitedStates, 0, std::move(data)};
}

// A generic launcher's resources: its manifest alone, and the image around them.
Bytes genericManifest() {
    const std::string text = manifestText({});
    return Bytes(text.begin(), text.end());
}

Bytes imageWith(const std::vector<Resource>& resources) {
    Bytes section;
    std::string error;
    EXPECT_TRUE(encodeResourceSection(resources, testing::fakeResourceRva, section, error)) << error;
    return testing::makeFakePeWithResources(section);
}

Bytes twoImageIcon() {
    return testing::makeIcoFile({{16, 16, 1, 32, testing::bitmapIconImage(16, 0xFF0000FF)},
                                 {0, 0, 1, 32, testing::pngIconImage(Bytes(300, 7))}});
}

ApplicationResources everything() {
    ApplicationResources app;
    app.icoFile = twoImageIcon();
    VersionInfo version;
    version.fileVersion = {1, 2, 3, 4};
    version.productVersion = {1, 2, 0, 0};
    version.companyName = u"Tarnwell";
    version.productVersionText = u"1.2";
    app.version = version;
    app.manifest.executionLevel = ExecutionLevel::requireAdministrator;
    app.manifest.dpiAwareness = DpiAwareness::perMonitorV2;
    app.manifest.longPathAware = true;
    app.manifest.supportedOs = {SupportedOs::windows10};
    app.manifest.architecture = ManifestArchitecture::amd64;
    app.splashImage = Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 2, 3};
    return app;
}

TEST(ApplicationResources, TheGenericLauncherStaysByteForByteWithTheDefaults) {
    const Bytes generic = imageWith({resource(rt::manifest, manifestId, genericManifest())});
    Bytes image = generic;
    std::string error;
    ASSERT_TRUE(putApplicationResources(image, {}, error)) << error;
    EXPECT_EQ(image, generic);
}

// Every resource read back, and each one replacing the template's own of its
// kind while the template's other resources stay.
TEST(ApplicationResources, ReadBackWhatWasPut) {
    const Resource other = resource(rt::rcdata, 77, {9, 9});
    Bytes image = imageWith({resource(rt::manifest, manifestId, genericManifest()), other,
                             resource(rt::groupIcon, 5, {0, 0, 1, 0, 0, 0}), resource(rt::icon, 9, {1}),
                             resource(rt::version, 3, {0}), resource(rt::rcdata, splashImageId, {1})});
    const ApplicationResources app = everything();
    std::string error;
    ASSERT_TRUE(putApplicationResources(image, app, error)) << error;

    ResourceSummary summary;
    ASSERT_TRUE(summariseResources(image, summary, error)) << error;
    ASSERT_EQ(summary.icons.size(), 2u);
    EXPECT_EQ(summary.icons[0], (IconImageInfo{16, 16, 32, 0, 40 + 16 * 16 * 4 + 64, 1}));
    EXPECT_EQ(summary.icons[1].width, 256);
    EXPECT_EQ(summary.icons[1].iconId, 2);
    ASSERT_TRUE(summary.version);
    EXPECT_EQ(summary.version->fileVersion, (VersionNumber{1, 2, 3, 4}));
    EXPECT_EQ(summary.version->companyName, u"Tarnwell");
    EXPECT_EQ(summary.version->productVersionText, u"1.2");
    EXPECT_EQ(summary.manifest, app.manifest);
    EXPECT_EQ(summary.splashImageSize, 9u);

    std::vector<Resource> resources;
    ASSERT_TRUE(readResources(image, resources, error)) << error;
    std::size_t groups = 0, versions = 0, icons = 0;
    for (const Resource& r : resources) {
        groups += r.type.id == rt::groupIcon;
        versions += r.type.id == rt::version;
        icons += r.type.id == rt::icon;
    }
    EXPECT_EQ(std::tie(groups, versions, icons), std::make_tuple(1u, 1u, 2u));
    EXPECT_NE(std::find(resources.begin(), resources.end(), other), resources.end());
    const Resource* splash = findResource(resources, {rt::rcdata, {}}, {splashImageId, {}});
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->data, *app.splashImage);
    PeImage pe;
    ASSERT_TRUE(parsePeImage(image, pe, error)) << error;
    EXPECT_EQ(pe.checkSum, peChecksum(image, pe.checkSumOffset));
}

TEST(ApplicationResources, ABadIconLeavesTheImageAsItWas) {
    const Bytes generic = imageWith({resource(rt::manifest, manifestId, genericManifest())});
    Bytes image = generic;
    ApplicationResources app;
    app.icoFile = testing::pngIconImage(Bytes(10, 1));
    std::string error;
    EXPECT_FALSE(putApplicationResources(image, app, error));
    EXPECT_EQ(error, "not an icon file but a PNG image");
    EXPECT_EQ(image, generic);
    // A damaged group in a built exe is named as such.
    image = imageWith({resource(rt::groupIcon, 1, {0, 0, 1, 0, 9, 0})});
    ResourceSummary summary;
    EXPECT_FALSE(summariseResources(image, summary, error));
    EXPECT_EQ(error.rfind("the icon group: ", 0), 0u) << error;
}

}  // namespace
}  // namespace qarvo
