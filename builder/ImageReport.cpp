#include "builder/ImageReport.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

#include "builder/BuildPlan.h"
#include "builder/ConfigValues.h"
#include "builder/ResourceConfig.h"
#include "builder/Schema.h"
#include "builder/TextCodes.h"
#include "image/IncludedFilesSection.h"
#include "image/PeLayout.h"

namespace qarvo::builder {

namespace {

// A launcher's headers and resources are far smaller; a larger head is no launcher.
constexpr std::uint64_t maxHeadBytes = 64u << 20;

std::string machineName(std::uint16_t machine) {
    if (machine == pe::machineI386) return "x86";
    if (machine == pe::machineAmd64) return "x64";
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", machine);
    return text;
}

// The names key 2003 hands the launcher: the first `count` non-empty ones.
std::vector<std::string> includedNames(const std::string& names, int count) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= names.size() && static_cast<int>(out.size()) < count) {
        const std::size_t end = std::min(names.find(';', start), names.size());
        if (end > start) out.push_back(names.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// The last value of `key` among the string entries, as the launcher keeps it.
const std::string* lastString(const ConfigBlockContent& content, std::int32_t key) {
    const std::string* found = nullptr;
    for (const auto& [k, value] : content.strings) {
        if (k == key) found = &value;
    }
    return found;
}

toml::table& subtable(toml::table& parent, const std::string& name) {
    if (!parent.contains(name)) parent.insert(name, toml::table{});
    return *parent[name].as_table();
}

// A name read from the exe, made safe for a terminal: control characters
// (an escape sequence could drive the terminal) shown as \uXXXX.
std::string printable(const std::string& utf8) {
    std::string out;
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

// A value on one line, in TOML syntax: strings in double quotes with escapes.
std::string tomlText(const toml::node& node) {
    if (const toml::value<std::string>* text = node.as_string()) {
        std::string out = "\"";
        for (const char c : text->get()) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += c;
            } else if (c == '\n') {
                out += "\\n";
            } else if (c == '\t') {
                out += "\\t";
            } else {
                out += printable(std::string(1, c));
            }
        }
        return out + "\"";
    }
    if (const toml::array* array = node.as_array()) {
        std::string out = "[";
        for (const toml::node& element : *array) out += (out.size() > 1 ? ", " : "") + tomlText(element);
        return out + "]";
    }
    if (const toml::table* table = node.as_table()) {
        std::string out = "{";
        for (auto&& [key, value] : *table) {
            out += (out.size() > 1 ? ", " : " ") + std::string(key.str()) + " = " + tomlText(value);
        }
        return out + " }";
    }
    std::ostringstream out;
    node.visit([&out](const auto& value) { out << value; });
    return out.str();
}

}  // namespace

bool inspectImage(ByteSource& source, const std::vector<std::uint8_t>& head, const std::string& file,
                  InspectReport& report, std::string& error) {
    report = InspectReport{};
    report.file = file;
    report.size = source.size();
    PeImage pe;
    if (!parsePeImage(head, pe, error)) {
        error = file + " is not a Windows executable: " + error;
        return false;
    }
    report.machine = pe.machine;
    // Damaged resources do not hide the block: they are reported beside it.
    if (!summariseResources(head, report.resources, report.resourceProblem) && report.resourceProblem.empty()) {
        report.resourceProblem = "unreadable";
    }
    report.blockOffset = pe.lastSectionEnd();
    if (pe.dataDirectories.size() > pe::certificateDirectory) {
        report.signatureOffset = pe.dataDirectories[pe::certificateDirectory].address;
        report.signatureSize = pe.dataDirectories[pe::certificateDirectory].size;
    }
    if (report.blockOffset >= report.size ||
        (report.signatureSize != 0 && report.blockOffset >= report.signatureOffset)) {
        error = file + " is no qarvo launcher: nothing follows its last section (a generic launcher has no block)";
        return false;
    }
    ConfigBlockRead read = parseConfigurationBlock(source);
    if (read.failure == ConfigReadFailure::magic) {
        error = file + " is no qarvo launcher: no configuration block follows its last section";
        return false;
    }
    if (read.failure != ConfigReadFailure::none) {
        error = file + ": the configuration block is damaged (" + configReadFailureMessage(read.failure) + ")";
        return false;
    }
    report.content = std::move(read.content);
    report.blockEnd = read.endOffset;
    const std::string* count = lastString(report.content, 2002);
    const std::string* names = lastString(report.content, 2003);
    const int files = count ? std::atoi(count->c_str()) : 0;
    if (files <= 0) return true;
    IncludedFilesReader reader(source, report.blockEnd);
    for (const std::string& name : includedNames(names ? *names : std::string(), files)) {
        std::int64_t length = 0;
        if (!reader.nextEntry(length) || (length > 0 && !reader.skipContent())) {
            error = file + ": the included files are cut short at " + windows1252ToUtf8(name);
            return false;
        }
        report.includedFiles.push_back({name, length, reader.position() - static_cast<std::uint64_t>(std::max<std::int64_t>(length, 0))});
    }
    report.includedFilesEnd = reader.position();
    return true;
}

toml::table decodedConfiguration(const InspectReport& report) {
    const ConfigBlockContent& content = report.content;
    std::map<std::int32_t, std::string> strings;  // the last value of each key
    for (const auto& [key, value] : content.strings) strings[key] = value;
    toml::table config;
    for (const auto& [key, value] : strings) {
        const Setting* setting = settingForKey(key);
        if (key == 2002 || key == 2003) continue;
        if (!setting) {
            subtable(config, "keys").insert(std::to_string(key), windows1252ToUtf8(value));
            continue;
        }
        if (setting->flagKey == key) continue;  // read with its file
        if (setting->flagKey != 0) {
            const auto flag = strings.find(setting->flagKey);
            if (flag == strings.end() || std::atoi(flag->second.c_str()) == 0) continue;
        }
        std::unique_ptr<toml::node> node = decodeSetting(*setting, value);
        node->visit([&](auto&& v) { subtable(config, setting->table).insert(setting->name, std::move(v)); });
    }
    // The runtime jar: the build tool's first class path entry, or its first included file.
    toml::table& build = subtable(config, "build");
    build.insert("target", machineName(report.machine));
    std::string placement = "none";
    toml::table& application = subtable(config, "application");
    if (toml::array* classPath = application["class-path"].as_array()) {
        const toml::value<std::string>* first = classPath->empty() ? nullptr : classPath->front().as_string();
        if (first && first->get() == runtimeJarName) {
            placement = "beside";
            classPath->erase(classPath->begin());
            if (classPath->empty()) application.erase("class-path");
        }
    }
    std::vector<InspectReport::File> files = report.includedFiles;
    if (placement == "none" && !files.empty() && files.front().name == runtimeJarName) {
        placement = "included";
        files.erase(files.begin());
    }
    build.insert("runtime-jar", placement);
    if (!files.empty()) {
        toml::array include;
        for (const InspectReport::File& file : files) {
            include.push_back(toml::table{{"name", windows1252ToUtf8(file.name)}, {"size", file.size}});
        }
        subtable(config, "files").insert("include", std::move(include));
    }
    for (const auto& [key, value] : content.wides) {
        subtable(config, "wide").insert_or_assign(std::to_string(key), utf16ToUtf8(value));
    }
    for (const ConfigBlockContent::LocaleSection& section : content.localeSections) {
        toml::table& locale = subtable(subtable(config, "locale"), section.name);
        for (const auto& [key, value] : section.entries) locale.insert_or_assign(std::to_string(key), utf16ToUtf8(value));
    }
    decodeResources(report.resources, config);
    return config;
}

namespace {

std::string architectureName(ManifestArchitecture architecture) {
    return architecture == ManifestArchitecture::amd64 ? "amd64" : "x86";
}

// The "resources" object of the JSON: every part always present, with
// "present" false (or no icons) when the exe carries none.
toml::table resourcesTable(const InspectReport& report) {
    const ResourceSummary& r = report.resources;
    toml::array icons;
    for (const IconImageInfo& image : r.icons) {
        icons.push_back(toml::table{{"width", image.width}, {"height", image.height}, {"bitCount", image.bitCount},
                                    {"bytes", static_cast<std::int64_t>(image.byteSize)}, {"id", image.iconId}});
    }
    toml::table version{{"present", r.version.has_value()}};
    if (r.version) {
        version.insert("fileVersion", utf16ToUtf8(versionText(r.version->fileVersion)));
        version.insert("productVersion", utf16ToUtf8(versionText(r.version->productVersion)));
        toml::table strings;
        const std::pair<const char*, const std::u16string*> named[] = {
            {"CompanyName", &r.version->companyName},         {"FileDescription", &r.version->fileDescription},
            {"FileVersion", &r.version->fileVersionText},     {"InternalName", &r.version->internalName},
            {"LegalCopyright", &r.version->legalCopyright},   {"OriginalFilename", &r.version->originalFilename},
            {"ProductName", &r.version->productName},         {"ProductVersion", &r.version->productVersionText}};
        for (const auto& [name, value] : named) {
            if (!value->empty()) strings.insert(name, utf16ToUtf8(*value));
        }
        for (const auto& [name, value] : r.version->otherStrings) strings.insert(utf16ToUtf8(name), utf16ToUtf8(value));
        version.insert("strings", std::move(strings));
    }
    toml::table manifest{{"present", r.manifest.has_value()}};
    if (r.manifest) {
        toml::array systems;
        for (const SupportedOs os : r.manifest->supportedOs) systems.push_back(nameOf(os));
        manifest.insert("executionLevel", nameOf(r.manifest->executionLevel));
        manifest.insert("uiAccess", r.manifest->uiAccess);
        manifest.insert("dpiAwareness", nameOf(r.manifest->dpiAwareness));
        manifest.insert("longPathAware", r.manifest->longPathAware);
        manifest.insert("supportedOs", std::move(systems));
        manifest.insert("commonControls", r.manifest->commonControls);
        manifest.insert("architecture", architectureName(r.manifest->architecture));
    }
    toml::table table{{"icons", std::move(icons)},
                      {"version", std::move(version)},
                      {"manifest", std::move(manifest)},
                      {"splash", toml::table{{"present", r.splashImageSize.has_value()},
                                             {"size", static_cast<std::int64_t>(r.splashImageSize.value_or(0))}}}};
    if (!report.resourceProblem.empty()) table.insert("error", report.resourceProblem);
    return table;
}

void resourcesText(const InspectReport& report, std::ostringstream& out) {
    const ResourceSummary& r = report.resources;
    out << "resources:";
    if (!report.resourceProblem.empty()) out << " damaged (" << report.resourceProblem << ")";
    out << "\n  icon: ";
    if (r.icons.empty()) out << "none";
    for (std::size_t i = 0; i < r.icons.size(); ++i) {
        out << (i ? ", " : "") << r.icons[i].width << "x" << r.icons[i].height << " " << r.icons[i].bitCount << "-bit";
    }
    out << "\n  version: ";
    if (!r.version) {
        out << "none\n";
    } else {
        out << "file " << utf16ToUtf8(versionText(r.version->fileVersion)) << ", product "
            << utf16ToUtf8(versionText(r.version->productVersion)) << "\n";
        const toml::table version = *resourcesTable(report)["version"]["strings"].as_table();
        for (auto&& [name, value] : version) {
            out << "    " << printable(std::string(name.str())) << " = " << tomlText(value) << "\n";
        }
    }
    out << "  manifest: ";
    if (!r.manifest) {
        out << "none\n";
    } else {
        const ManifestOptions& m = *r.manifest;
        out << "execution level " << nameOf(m.executionLevel) << (m.uiAccess ? " (uiAccess)" : "") << ", DPI awareness "
            << nameOf(m.dpiAwareness) << ", long paths " << (m.longPathAware ? "yes" : "no") << ", supported OS";
        if (m.supportedOs.empty()) out << " not declared";
        for (const SupportedOs os : m.supportedOs) out << " " << nameOf(os);
        out << ", common controls " << (m.commonControls ? "6.0.0.0 " + architectureName(m.architecture) : "none")
            << "\n";
    }
    out << "  splash image: ";
    if (r.splashImageSize) {
        out << *r.splashImageSize << " bytes (RT_RCDATA 10000)\n";
    } else {
        out << "none\n";
    }
}

}  // namespace

toml::table reportTable(const InspectReport& report) {
    toml::array entries;
    for (const auto& [key, value] : report.content.strings) {
        toml::table entry{{"key", key}, {"value", windows1252ToUtf8(value)}};
        if (const Setting* setting = settingForKey(key)) {
            entry.insert("name", setting->flagKey == key ? std::string(setting->table) + "." + setting->name + " (flag)"
                                                         : setting->fullName());
        }
        entries.push_back(std::move(entry));
    }
    toml::array wides;
    for (const auto& [key, value] : report.content.wides) wides.push_back(toml::table{{"key", key}, {"value", utf16ToUtf8(value)}});
    toml::array locales;
    for (const ConfigBlockContent::LocaleSection& section : report.content.localeSections) {
        toml::array sectionEntries;
        for (const auto& [key, value] : section.entries) {
            sectionEntries.push_back(toml::table{{"key", key}, {"value", utf16ToUtf8(value)}});
        }
        locales.push_back(toml::table{{"name", section.name}, {"entries", std::move(sectionEntries)}});
    }
    toml::array files;
    for (const InspectReport::File& file : report.includedFiles) {
        files.push_back(toml::table{{"name", windows1252ToUtf8(file.name)},
                                    {"size", file.size},
                                    {"offset", static_cast<std::int64_t>(file.offset)}});
    }
    toml::table config = decodedConfiguration(report);
    const std::string placement = config["build"]["runtime-jar"].value_or(std::string("none"));
    return toml::table{
        {"format", 1},
        {"file", report.file},
        {"size", static_cast<std::int64_t>(report.size)},
        {"machine", machineName(report.machine)},
        {"block", toml::table{{"offset", static_cast<std::int64_t>(report.blockOffset)},
                              {"end", static_cast<std::int64_t>(report.blockEnd)},
                              {"opaqueWord", static_cast<std::int64_t>(report.content.opaqueHeaderWord)}}},
        {"entries", std::move(entries)},
        {"wideEntries", std::move(wides)},
        {"localeSections", std::move(locales)},
        {"includedFiles", std::move(files)},
        {"includedFilesEnd", static_cast<std::int64_t>(report.includedFilesEnd)},
        {"runtimeJar", placement},
        {"resources", resourcesTable(report)},
        {"signature", toml::table{{"present", report.signatureSize != 0},
                                  {"offset", static_cast<std::int64_t>(report.signatureOffset)},
                                  {"size", static_cast<std::int64_t>(report.signatureSize)}}},
        {"configuration", std::move(config)},
    };
}

std::string reportJson(const InspectReport& report) {
    std::ostringstream out;
    out << toml::json_formatter(reportTable(report)) << "\n";
    return out.str();
}

std::string reportText(const InspectReport& report) {
    std::ostringstream out;
    out << report.file << ": a qarvo launcher for " << machineName(report.machine) << ", " << report.size
        << " bytes\n";
    char word[16];
    std::snprintf(word, sizeof word, "0x%08X", static_cast<unsigned>(report.content.opaqueHeaderWord));
    out << "configuration block: offset " << report.blockOffset << ", " << (report.blockEnd - report.blockOffset)
        << " bytes, opaque word " << word << "\n";
    for (const auto& [key, value] : report.content.strings) {
        const Setting* setting = settingForKey(key);
        std::string name = "keys." + std::to_string(key);
        std::string shown = tomlText(toml::value<std::string>(windows1252ToUtf8(value)));
        if (setting && setting->flagKey == key) {
            name = setting->fullName() + " (its flag)";
        } else if (setting) {
            name = setting->fullName();
            shown = tomlText(*decodeSetting(*setting, value));
        }
        char keyText[16];
        std::snprintf(keyText, sizeof keyText, "%6d", static_cast<int>(key));
        out << keyText << "  " << name << " = " << shown << "\n";
        const std::string raw = tomlText(toml::value<std::string>(windows1252ToUtf8(value)));
        if (shown != raw) out << "        raw " << raw << "\n";
    }
    out << "wide entries: " << report.content.wides.size() << "\n";
    for (const auto& [key, value] : report.content.wides) {
        out << "  " << key << " = " << tomlText(toml::value<std::string>(utf16ToUtf8(value))) << "\n";
    }
    out << "locale sections: " << report.content.localeSections.size() << "\n";
    for (const ConfigBlockContent::LocaleSection& section : report.content.localeSections) {
        out << "  [" << printable(windows1252ToUtf8(section.name)) << "] " << section.entries.size() << " entries\n";
        for (const auto& [key, value] : section.entries) {
            out << "    " << key << " = " << tomlText(toml::value<std::string>(utf16ToUtf8(value))) << "\n";
        }
    }
    out << "included files: " << report.includedFiles.size();
    if (!report.includedFiles.empty()) out << ", ending at offset " << report.includedFilesEnd;
    out << "\n";
    for (const InspectReport::File& file : report.includedFiles) {
        out << "  " << printable(windows1252ToUtf8(file.name)) << "  " << file.size << " bytes\n";
    }
    const toml::table config = decodedConfiguration(report);
    const std::string placement = config["build"]["runtime-jar"].value_or(std::string("none"));
    out << "runtime jar: "
        << (placement == "beside"     ? "beside the exe (the first class path entry is qarvo-runtime.jar)"
            : placement == "included" ? "included (the first included file is qarvo-runtime.jar)"
                                      : "not placed by the build tool")
        << "\n";
    resourcesText(report, out);
    out << "signature: ";
    if (report.signatureSize == 0) {
        out << "none\n";
    } else {
        out << report.signatureSize << " bytes at offset " << report.signatureOffset << "\n";
    }
    return out.str();
}

int inspect(const std::string& file, bool json, Host& host, std::string& output) {
    std::string error;
    std::unique_ptr<InputFile> input = host.openInput(file, error);
    if (!input) {
        host.writeStandardError("qarvo: " + error + "\n");
        return 3;
    }
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min(input->size(), maxHeadBytes)));
    if (input->readAt(0, head.data(), head.size()).bytes != head.size()) {
        host.writeStandardError("qarvo: cannot read " + file + "\n");
        return 3;
    }
    InspectReport report;
    if (!inspectImage(*input, head, file, report, error)) {
        host.writeStandardError("qarvo: " + error + "\n");
        return 1;
    }
    output = json ? reportJson(report) : reportText(report);
    return 0;
}

}  // namespace qarvo::builder
