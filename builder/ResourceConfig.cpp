#include "builder/ResourceConfig.h"

#include <algorithm>
#include <charconv>

#include "builder/ConfigFile.h"
#include "builder/ConfigValues.h"
#include "builder/TextCodes.h"

namespace qarvo::builder {

namespace {

template <typename Enum>
struct Named {
    const char* name;
    Enum value;
};

constexpr Named<ExecutionLevel> executionLevels[] = {{"asInvoker", ExecutionLevel::asInvoker},
                                                     {"highestAvailable", ExecutionLevel::highestAvailable},
                                                     {"requireAdministrator", ExecutionLevel::requireAdministrator}};
constexpr Named<DpiAwareness> dpiAwarenesses[] = {
    {"none", DpiAwareness::none}, {"system", DpiAwareness::system}, {"per-monitor-v2", DpiAwareness::perMonitorV2}};
constexpr Named<SupportedOs> operatingSystems[] = {{"windows-vista", SupportedOs::windowsVista},
                                                   {"windows-7", SupportedOs::windows7},
                                                   {"windows-8", SupportedOs::windows8},
                                                   {"windows-8.1", SupportedOs::windows81},
                                                   {"windows-10", SupportedOs::windows10}};

template <typename Enum, std::size_t N>
bool lookUp(const Named<Enum> (&names)[N], const toml::node& node, Enum& out, std::string& error) {
    const toml::value<std::string>* text = node.as_string();
    if (!text) {
        error = "expected a string, found " + typeName(node);
        return false;
    }
    std::string known;
    for (const Named<Enum>& named : names) {
        if (text->get() == named.name) {
            out = named.value;
            return true;
        }
        known += (known.empty() ? "\"" : ", \"") + std::string(named.name) + "\"";
    }
    error = "\"" + text->get() + "\" is none of " + known;
    return false;
}

bool expectBoolean(const toml::node& node, bool& out, std::string& error) {
    if (!node.is_boolean()) {
        error = "expected true or false, found " + typeName(node);
        return false;
    }
    out = node.as_boolean()->get();
    return true;
}

// "1", "1.2", "1.2.3" or "1.2.3.4", each part a decimal from 0 to 65535; the
// parts left out are 0.
bool parseVersionNumber(const std::string& text, VersionNumber& out) {
    out = {};
    std::size_t part = 0, start = 0;
    while (true) {
        const std::size_t end = std::min(text.find('.', start), text.size());
        unsigned value = 0;
        const char* first = text.data() + start;
        const auto [next, problem] = std::from_chars(first, text.data() + end, value);
        if (part == out.size() || end == start || problem != std::errc() || next != text.data() + end ||
            value > 0xFFFF) {
            return false;
        }
        out[part++] = static_cast<std::uint16_t>(value);
        if (end == text.size()) return true;
        start = end + 1;
    }
}

// Windows shows these as they are: any Unicode text without NUL.
bool versionString(const toml::node& node, std::u16string& out, std::string& error) {
    const toml::value<std::string>* text = node.as_string();
    if (!text) {
        error = "expected a string, found " + typeName(node);
        return false;
    }
    if (!utf8ToUtf16(text->get(), out)) {
        error = "not valid UTF-8";
        return false;
    }
    if (out.find(u'\0') != std::u16string::npos) {
        error = "a version string cannot hold a NUL character";
        return false;
    }
    return true;
}

bool startsWith(const std::vector<std::uint8_t>& bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                                                       [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// The formats the runtime's splash library decodes.
bool isSplashImage(const std::vector<std::uint8_t>& bytes) {
    return startsWith(bytes, "GIF87a") || startsWith(bytes, "GIF89a") || startsWith(bytes, "\x89PNG\r\n\x1A\n") ||
           startsWith(bytes, "\xFF\xD8\xFF");
}

}  // namespace

bool ResourceConfig::readFile(const toml::node& node, const std::string& baseDirectory, Host& host,
                              std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    const toml::value<std::string>* text = node.as_string();
    if (!text) {
        error = "expected the path of a file, found " + typeName(node);
        return false;
    }
    path = hostPath(baseDirectory, text->get());
    const std::optional<std::uint64_t> size = host.fileSize(path);
    if (!size) {
        error = path + " does not exist or is not a file";
        return false;
    }
    if (*size > maxResourceFileBytes) {
        error = path + " is " + std::to_string(*size) + " bytes long; at most " + std::to_string(maxResourceFileBytes) +
                " are taken";
        return false;
    }
    return host.readFile(path, bytes, error);
}

bool ResourceConfig::read(const ResourceSetting& setting, const toml::node& node, const std::string& baseDirectory,
                          Host& host, std::string& error) {
    const std::string table = setting.table, name = setting.name;
    if (table == "version") {
        // The table's names come in key order: keep the first in the file.
        const Position at{static_cast<int>(node.source().begin.line), static_cast<int>(node.source().begin.column)};
        if (versionAt_.line == 0 || std::pair(at.line, at.column) < std::pair(versionAt_.line, versionAt_.column)) {
            versionAt_ = at;
        }
        return readVersion(name, node, error);
    }
    if (table == "manifest") return readManifest(name, node, error);
    std::string path;
    std::vector<std::uint8_t> bytes;
    if (!readFile(node, baseDirectory, host, path, bytes, error)) return false;
    sources_.push_back(path);
    if (table == "application") {  // application.icon
        std::vector<Resource> checked;
        if (!iconResources(bytes, applicationIconGroupId, firstApplicationIconId, englishUnitedStates, checked, error)) {
            error = path + " is no icon: " + error;
            return false;
        }
        resources_.icoFile = std::move(bytes);
        return true;
    }
    if (!isSplashImage(bytes)) {  // splash.image
        error = path + " is no GIF, PNG or JPEG image, the formats the runtime's splash library shows";
        return false;
    }
    resources_.splashImage = std::move(bytes);
    return true;
}

bool ResourceConfig::readVersion(const std::string& name, const toml::node& node, std::string& error) {
    VersionInfo& info = resources_.version ? *resources_.version : resources_.version.emplace();
    if (name == "file-version" || name == "product-version") {
        const toml::value<std::string>* text = node.as_string();
        VersionNumber number;
        if (!text || !parseVersionNumber(text->get(), number)) {
            error = (text ? "\"" + text->get() + "\"" : typeName(node)) +
                    " is no version number: one to four numbers from 0 to 65535 separated by \".\" (\"1.2.3.4\")";
            return false;
        }
        const bool file = name == "file-version";
        (file ? info.fileVersion : info.productVersion) = number;
        productVersionSet_ = productVersionSet_ || !file;
        return versionString(node, file ? info.fileVersionText : info.productVersionText, error);
    }
    std::u16string* field = name == "company"       ? &info.companyName
                            : name == "description" ? &info.fileDescription
                            : name == "copyright"   ? &info.legalCopyright
                            : name == "product-name" ? &info.productName
                                                     : &info.originalFilename;
    originalNameSet_ = originalNameSet_ || field == &info.originalFilename;
    return versionString(node, *field, error);
}

bool ResourceConfig::readManifest(const std::string& name, const toml::node& node, std::string& error) {
    ManifestOptions& manifest = resources_.manifest;
    if (name == "execution-level") return lookUp(executionLevels, node, manifest.executionLevel, error);
    if (name == "dpi-awareness") return lookUp(dpiAwarenesses, node, manifest.dpiAwareness, error);
    if (name == "long-path-aware") return expectBoolean(node, manifest.longPathAware, error);
    if (name == "common-controls") return expectBoolean(node, manifest.commonControls, error);
    const toml::array* array = node.as_array();  // supported-os
    if (!array) {
        error = "expected an array of strings, found " + typeName(node);
        return false;
    }
    manifest.supportedOs.clear();
    for (const toml::node& element : *array) {
        SupportedOs os{};
        if (!lookUp(operatingSystems, element, os, error)) return false;
        if (std::find(manifest.supportedOs.begin(), manifest.supportedOs.end(), os) != manifest.supportedOs.end()) {
            error = "\"" + element.as_string()->get() + "\" is listed twice";
            return false;
        }
        manifest.supportedOs.push_back(os);
    }
    return true;
}

namespace {

template <typename Enum, std::size_t N>
const char* nameIn(const Named<Enum> (&names)[N], Enum value) {
    for (const Named<Enum>& named : names) {
        if (named.value == value) return named.name;
    }
    return "";
}

}  // namespace

const char* nameOf(ExecutionLevel level) { return nameIn(executionLevels, level); }
const char* nameOf(DpiAwareness awareness) { return nameIn(dpiAwarenesses, awareness); }
const char* nameOf(SupportedOs os) { return nameIn(operatingSystems, os); }

namespace {

toml::table decodedVersion(const VersionInfo& info) {
    toml::table version;
    const auto text = [](const std::u16string& written, const VersionNumber& number) {
        return utf16ToUtf8(written.empty() ? versionText(number) : written);
    };
    version.insert("file-version", text(info.fileVersionText, info.fileVersion));
    version.insert("product-version", text(info.productVersionText, info.productVersion));
    const std::pair<const char*, const std::u16string*> strings[] = {
        {"company", &info.companyName},        {"description", &info.fileDescription},
        {"copyright", &info.legalCopyright},   {"product-name", &info.productName},
        {"original-file-name", &info.originalFilename}};
    for (const auto& [name, value] : strings) {
        if (!value->empty()) version.insert(name, utf16ToUtf8(*value));
    }
    return version;
}

}  // namespace

void decodeResources(const ResourceSummary& summary, toml::table& config) {
    const auto table = [&config](const char* name) -> toml::table& {
        if (!config.contains(name)) config.insert(name, toml::table{});
        return *config[name].as_table();
    };
    if (!summary.icons.empty()) {
        toml::array images;
        for (const IconImageInfo& image : summary.icons) {
            images.push_back(toml::table{{"width", image.width}, {"height", image.height}, {"bits", image.bitCount}});
        }
        table("application").insert_or_assign("icon", std::move(images));
    }
    if (summary.version) config.insert_or_assign("version", decodedVersion(*summary.version));
    if (const std::optional<ManifestOptions>& m = summary.manifest) {
        toml::array systems;
        for (const SupportedOs os : m->supportedOs) systems.push_back(nameOf(os));
        config.insert_or_assign("manifest", toml::table{{"execution-level", nameOf(m->executionLevel)},
                                                        {"dpi-awareness", nameOf(m->dpiAwareness)},
                                                        {"long-path-aware", m->longPathAware},
                                                        {"supported-os", std::move(systems)},
                                                        {"common-controls", m->commonControls}});
    }
    if (summary.splashImageSize) {
        table("splash").insert_or_assign("image",
                                         toml::table{{"size", static_cast<std::int64_t>(*summary.splashImageSize)}});
    }
}

bool ResourceConfig::finish(const std::string& target, const std::string& outputName, ApplicationResources& out,
                            std::string& error) {
    resources_.manifest.architecture = target == "x64" ? ManifestArchitecture::amd64 : ManifestArchitecture::x86;
    if (VersionInfo* info = resources_.version ? &*resources_.version : nullptr) {
        if (!productVersionSet_) {
            info->productVersion = info->fileVersion;
            info->productVersionText = info->fileVersionText;
        }
        if (!originalNameSet_ && !utf8ToUtf16(outputName, info->originalFilename)) info->originalFilename.clear();
        std::vector<std::uint8_t> encoded;
        if (!encodeVersionInfo(*info, encoded, error)) return false;
    }
    out = resources_;
    return true;
}

}  // namespace qarvo::builder
