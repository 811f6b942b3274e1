#include "image/Manifest.h"

#include <algorithm>
#include <utility>

namespace qarvo {

namespace {

constexpr const char* executionLevels[] = {"asInvoker", "highestAvailable", "requireAdministrator"};
constexpr const char* architectures[] = {"x86", "amd64"};
constexpr const char* operatingSystems[] = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
};
constexpr const char* settings2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings";
constexpr const char* settings2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";

template <typename Enum>
const char* nameOf(const char* const* names, Enum value) {
    return names[static_cast<int>(value)];
}

void settings(std::string& text, const ManifestOptions& o) {
    if (o.dpiAwareness == DpiAwareness::none && !o.longPathAware) return;
    text += "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
            "    <windowsSettings>\n";
    // dpiAware for the systems before Windows 10 1607, dpiAwareness for the later ones.
    if (o.dpiAwareness == DpiAwareness::system) {
        text += std::string("      <dpiAware xmlns=\"") + settings2005 + "\">true</dpiAware>\n";
    } else if (o.dpiAwareness == DpiAwareness::perMonitorV2) {
        text += std::string("      <dpiAware xmlns=\"") + settings2005 + "\">true/pm</dpiAware>\n";
        text += std::string("      <dpiAwareness xmlns=\"") + settings2016 +
                "\">PerMonitorV2, PerMonitor</dpiAwareness>\n";
    }
    if (o.longPathAware) {
        text += std::string("      <longPathAware xmlns=\"") + settings2016 + "\">true</longPathAware>\n";
    }
    text += "    </windowsSettings>\n"
            "  </application>\n";
}

}  // namespace

std::string manifestText(const ManifestOptions& o) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
        "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
        "    <security>\n"
        "      <requestedPrivileges>\n";
    text += std::string("        <requestedExecutionLevel level=\"") + nameOf(executionLevels, o.executionLevel) +
            "\" uiAccess=\"" + (o.uiAccess ? "true" : "false") + "\"/>\n";
    text += "      </requestedPrivileges>\n"
            "    </security>\n"
            "  </trustInfo>\n";
    if (!o.supportedOs.empty()) {
        text += "  <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">\n"
                "    <application>\n";
        for (SupportedOs os : o.supportedOs) {
            text += std::string("      <supportedOS Id=\"") + nameOf(operatingSystems, os) + "\"/>\n";
        }
        text += "    </application>\n"
                "  </compatibility>\n";
    }
    settings(text, o);
    if (o.commonControls) {
        text += "  <dependency>\n"
                "    <dependentAssembly>\n"
                "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
                "version=\"6.0.0.0\"\n";
        text += std::string("                        processorArchitecture=\"") + nameOf(architectures, o.architecture) +
                "\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n";
        text += "    </dependentAssembly>\n"
                "  </dependency>\n";
    }
    return text + "</assembly>\n";
}

namespace {

// One start tag of the text: its local name (namespace prefix removed), its
// attributes and the text up to the next tag.
struct Tag {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string content;

    const std::string* attribute(const char* wanted) const {
        for (const auto& [key, value] : attributes) {
            if (key == wanted) return &value;
        }
        return nullptr;
    }
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string localName(const std::string& name) {
    const std::size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

std::string trimmedLower(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    std::string out = text.substr(begin, end - begin);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// The start tags of `text` in order, without comments, declarations and end
// tags; false when a tag or comment is not closed.
bool startTags(const std::string& text, std::vector<Tag>& tags, std::string& error) {
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at)) {
        if (text.compare(at, 4, "<!--") == 0) {
            const std::size_t end = text.find("-->", at + 4);
            if (end == std::string::npos) return error = "manifest comment not closed", false;
            at = end + 3;
            continue;
        }
        const std::size_t end = text.find('>', at);
        if (end == std::string::npos) return error = "manifest tag not closed", false;
        const std::string inner = text.substr(at + 1, end - at - 1);
        at = end + 1;
        if (inner.empty() || inner[0] == '/' || inner[0] == '?' || inner[0] == '!') continue;
        Tag tag;
        std::size_t i = 0;
        while (i < inner.size() && !isSpace(inner[i]) && inner[i] != '/') ++i;
        tag.name = localName(inner.substr(0, i));
        while (i < inner.size()) {
            while (i < inner.size() && (isSpace(inner[i]) || inner[i] == '/')) ++i;
            const std::size_t eq = inner.find('=', i);
            if (eq == std::string::npos) break;
            std::string key = inner.substr(i, eq - i);
            while (!key.empty() && isSpace(key.back())) key.pop_back();
            std::size_t quote = eq + 1;
            while (quote < inner.size() && isSpace(inner[quote])) ++quote;
            if (quote >= inner.size() || (inner[quote] != '"' && inner[quote] != '\'')) break;
            const std::size_t close = inner.find(inner[quote], quote + 1);
            if (close == std::string::npos) return error = "manifest attribute not closed", false;
            tag.attributes.emplace_back(localName(key), inner.substr(quote + 1, close - quote - 1));
            i = close + 1;
        }
        const bool empty = !inner.empty() && inner.back() == '/';
        if (!empty) tag.content = text.substr(at, text.find('<', at) - at);
        tags.push_back(std::move(tag));
    }
    return true;
}

template <typename Enum, std::size_t N>
bool lookUp(const char* const (&names)[N], const std::string& value, Enum& out) {
    for (std::size_t i = 0; i < N; ++i) {
        if (value == names[i]) {
            out = static_cast<Enum>(i);
            return true;
        }
    }
    return false;
}

// `awareness`: a dpiAwareness element was read, which outranks dpiAware.
bool readTag(const Tag& tag, ManifestOptions& o, bool& awareness, std::string& error) {
    auto unknown = [&](const char* what, const std::string& value) {
        error = std::string("unknown ") + what + " \"" + value + "\" in the manifest";
        return false;
    };
    if (tag.name == "requestedExecutionLevel") {
        const std::string* level = tag.attribute("level");
        if (level && !lookUp(executionLevels, *level, o.executionLevel)) return unknown("execution level", *level);
        const std::string* ui = tag.attribute("uiAccess");
        if (ui && trimmedLower(*ui) != "true" && trimmedLower(*ui) != "false") return unknown("uiAccess", *ui);
        o.uiAccess = ui && trimmedLower(*ui) == "true";
    } else if (tag.name == "supportedOS") {
        const std::string* id = tag.attribute("Id");
        SupportedOs os{};
        if (!id || !lookUp(operatingSystems, trimmedLower(*id), os)) return unknown("supported OS", id ? *id : "");
        o.supportedOs.push_back(os);
    } else if (tag.name == "dpiAware" && !awareness) {
        const std::string value = trimmedLower(tag.content);
        if (value == "true") o.dpiAwareness = DpiAwareness::system;
        else if (value == "true/pm" || value == "per monitor") o.dpiAwareness = DpiAwareness::perMonitorV2;
        else if (value != "false") return unknown("dpiAware value", tag.content);
    } else if (tag.name == "dpiAwareness") {
        // A list: the first value this reader knows counts, as Windows takes the first it knows.
        const std::string value = trimmedLower(tag.content);
        bool known = false;
        for (std::size_t begin = 0; begin <= value.size() && !known;) {
            const std::size_t comma = std::min(value.find(',', begin), value.size());
            const std::string one = trimmedLower(value.substr(begin, comma - begin));
            known = true;
            if (one == "permonitorv2" || one == "permonitor") o.dpiAwareness = DpiAwareness::perMonitorV2;
            else if (one == "system") o.dpiAwareness = DpiAwareness::system;
            else if (one == "unaware") o.dpiAwareness = DpiAwareness::none;
            else known = false;
            begin = comma + 1;
        }
        if (!known) return unknown("dpiAwareness value", tag.content);
        awareness = true;
    } else if (tag.name == "longPathAware") {
        o.longPathAware = trimmedLower(tag.content) == "true";
    } else if (tag.name == "assemblyIdentity") {
        const std::string* name = tag.attribute("name");
        if (!name || *name != "Microsoft.Windows.Common-Controls") return true;
        o.commonControls = true;
        const std::string* arch = tag.attribute("processorArchitecture");
        if (arch && !lookUp(architectures, trimmedLower(*arch), o.architecture)) {
            return unknown("processor architecture", *arch);
        }
    }
    return true;
}

}  // namespace

bool readManifest(const std::string& text, ManifestOptions& out, std::string& error) {
    std::vector<Tag> tags;
    if (!startTags(text, tags, error)) return false;
    bool assembly = false, awareness = false;
    ManifestOptions options;
    options.commonControls = false;
    for (const Tag& tag : tags) {
        if (tag.name == "assembly") assembly = true;
        if (assembly && !readTag(tag, options, awareness, error)) return false;
    }
    if (!assembly) return error = "not a manifest: no assembly element", false;
    out = std::move(options);
    return true;
}

}  // namespace qarvo
