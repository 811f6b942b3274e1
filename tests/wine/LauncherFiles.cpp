#include "LauncherFiles.h"

#include <fstream>
#include <iostream>
#include <iterator>

#include "WineHarness.h"
#include "image/IconResources.h"
#include "image/testing/FakeIcon.h"

namespace qarvo::wine {

namespace fs = std::filesystem;

bool readFileBytes(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeFileBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

ConfigBlockContent blockContent(const StringEntries& strings, const WideEntries& wides,
                                const LocaleSections& locales) {
    ConfigBlockContent content;
    content.opaqueHeaderWord = 0x51A7C0DE;
    content.strings.assign(strings.begin(), strings.end());
    content.wides.assign(wides.begin(), wides.end());
    content.localeSections = locales;
    return content;
}

namespace {

fs::path writeLauncher(const fs::path& dir, const std::string& name, std::vector<std::uint8_t> bytes) {
    const fs::path path = dir / (name + ".exe");
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!writeFileBytes(path, bytes)) {
        std::cerr << "harness: cannot write " << path << "\n";
        return {};
    }
    return path;
}

bool readGenericLauncher(std::vector<std::uint8_t>& bytes) {
    if (readFileBytes(genericLauncher(), bytes) && !bytes.empty()) return true;
    std::cerr << "harness: cannot read " << genericLauncher() << " (build the win32 preset first)\n";
    return false;
}

}  // namespace

fs::path makeConfiguredLauncher(const fs::path& dir, const std::string& name, const StringEntries& strings,
                                const WideEntries& wides, const LocaleSections& locales) {
    return makeLauncherFromContent(dir, name, blockContent(strings, wides, locales));
}

fs::path makeLauncherFromContent(const fs::path& dir, const std::string& name, const ConfigBlockContent& content,
                                 const IncludedFileContents& includedFiles) {
    std::vector<std::uint8_t> bytes, image;
    std::string error;
    if (!readGenericLauncher(bytes)) return {};
    if (!writeLauncherImage(bytes, content, includedFiles, image, error)) {
        std::cerr << "harness: " << genericLauncher() << ": " << error << "\n";
        return {};
    }
    return writeLauncher(dir, name, std::move(image));
}

fs::path makeLauncherWithTail(const fs::path& dir, const std::string& name, const std::vector<std::uint8_t>& tail) {
    std::vector<std::uint8_t> bytes;
    std::size_t length = 0;
    std::string error;
    if (!readGenericLauncher(bytes)) return {};
    if (!launcherTemplateLength(bytes, length, error)) {
        std::cerr << "harness: " << genericLauncher() << ": " << error << "\n";
        return {};
    }
    bytes.resize(length);
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return writeLauncher(dir, name, std::move(bytes));
}

std::vector<std::uint8_t> sampleIcoFile() {
    using testing::bitmapIconImage;
    return testing::makeIcoFile({{16, 16, 1, 32, bitmapIconImage(16, 0xFF2050A0)},
                                 {32, 32, 1, 32, bitmapIconImage(32, 0xFFA05020)}});
}

VersionInfo sampleVersionInfo() {
    VersionInfo info;
    info.fileVersion = {1, 2, 3, 4};
    info.productVersion = {1, 2, 0, 0};
    info.companyName = u"Tarnwell Test";
    info.fileDescription = u"Sample application";
    info.legalCopyright = u"\u00A9 2025 Tarnwell";
    info.originalFilename = u"sample.exe";
    info.productName = u"Sample";
    info.productVersionText = u"1.2";
    return info;
}

ManifestOptions sampleManifestOptions() {
    ManifestOptions options;
    options.dpiAwareness = DpiAwareness::perMonitorV2;
    options.longPathAware = true;
    options.supportedOs = {SupportedOs::windows7, SupportedOs::windows10};
    // The common controls of the launcher's own architecture: Windows refuses
    // to start a process whose manifest asks for another one's.
    options.architecture = testingSixtyFourBit() ? ManifestArchitecture::amd64 : ManifestArchitecture::x86;
    return options;
}

std::vector<std::uint8_t> sampleSplashImage() {
    std::vector<std::uint8_t> image = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (int i = 0; i < 1021; ++i) image.push_back(static_cast<std::uint8_t>(i * 13));
    return image;
}

std::vector<Resource> sampleApplicationResources() {
    std::vector<Resource> resources;
    resources.push_back(Resource{{rt::rcdata, {}}, {10000, {}}, 0, 0, sampleSplashImage()});
    const std::string manifest = manifestText(sampleManifestOptions());
    resources.push_back(Resource{{rt::manifest, {}}, {1, {}}, englishUnitedStates, 0,
                                 std::vector<std::uint8_t>(manifest.begin(), manifest.end())});
    Resource version{{rt::version, {}}, {1, {}}, englishUnitedStates, 0, {}};
    std::string error;
    if (!encodeVersionInfo(sampleVersionInfo(), version.data, error) ||
        !iconResources(sampleIcoFile(), 1, 1, englishUnitedStates, resources, error)) {
        std::cerr << "harness: " << error << "\n";
        return {};
    }
    resources.push_back(std::move(version));
    return resources;
}

fs::path makeLauncherWithResources(const fs::path& dir, const std::string& name, const std::vector<Resource>& resources,
                                   const StringEntries& strings) {
    std::vector<std::uint8_t> bytes, image;
    std::string error;
    if (!readGenericLauncher(bytes)) return {};
    if (!replaceResources(bytes, resources, error) || !writeLauncherImage(bytes, blockContent(strings), {}, image, error)) {
        std::cerr << "harness: " << genericLauncher() << ": " << error << "\n";
        return {};
    }
    return writeLauncher(dir, name, std::move(image));
}

}  // namespace qarvo::wine
