#include "builder/ConfigFile.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <map>

#include "builder/ConfigValues.h"
#include "builder/ResourceConfig.h"
#include "image/IncludedFileNames.h"
#include "builder/Schema.h"
#include "builder/TextCodes.h"
#include "builder/Toml.h"
#include "builder/TomlSafety.h"

namespace qarvo::builder {

std::string Diagnostic::text() const {
    if (position.line <= 0) return file + ": " + message;
    return file + ":" + std::to_string(position.line) + ":" + std::to_string(position.column) + ": " + message;
}

namespace {

Position positionOf(const toml::source_region& region) {
    return {static_cast<int>(region.begin.line), static_cast<int>(region.begin.column)};
}

bool isAbsolutePath(const std::string& path) {
    if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
    return path.size() >= 2 && path[1] == ':';
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The last component of a host path.
std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool parseKey(std::string_view text, std::int32_t& key) {
    const char* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(text.data(), end, key);
    return error == std::errc() && next == end && !text.empty();
}

// Reads one file. Each check adds its diagnostic and goes on, so that one run
// reports every problem.
class Reader {
public:
    Reader(const ReadOptions& options, Host& host, BuildPlan& plan, std::vector<Diagnostic>& diagnostics)
        : options_(options), host_(host), plan_(plan), diagnostics_(diagnostics),
          baseDirectory_(directoryOf(options.configurationFile)) {}

    bool read(const std::string& text) {
        Position at;
        std::string what;
        if (unsafeForToml(text, at, what)) {
            fail(at, what);
            return false;
        }
        toml::parse_result parsed = toml::parse(text, options_.configurationFile);
        if (!parsed) {
            const toml::parse_error& error = parsed.error();
            fail(positionOf(error.source()), std::string(error.description()));
            return false;
        }
        const toml::table& root = parsed.table();
        for (auto&& [key, node] : root) readTopLevel(key, node);
        finish();
        // toml++ hands a table's names in key order; people read a file from the top.
        std::stable_sort(diagnostics_.begin(), diagnostics_.end(), [](const Diagnostic& a, const Diagnostic& b) {
            const auto place = [](const Position& p) { return std::pair(p.line <= 0 ? INT_MAX : p.line, p.column); };
            return place(a.position) < place(b.position);
        });
        return diagnostics_.empty();
    }

private:
    void fail(Position at, const std::string& message) {
        diagnostics_.push_back({options_.configurationFile, at, message});
    }
    void fail(const toml::node& node, const std::string& message) { fail(positionOf(node.source()), message); }

    void readTopLevel(const toml::key& key, const toml::node& node) {
        const std::string name(key.str());
        const toml::table* table = node.as_table();
        const bool known = isSettingsTable(name) || name == "build" || name == "files" || name == "keys" ||
                           name == "wide" || name == "locale";
        if (!known) {
            fail(positionOf(key.source()), "unknown name \"" + name + "\"");
            return;
        }
        if (!table) {
            fail(node, "\"" + name + "\" must be a table ([" + name + "]), not " + typeName(node));
            return;
        }
        if (isSettingsTable(name)) {
            for (auto&& [k, v] : *table) readSetting(name, k, v);
        } else if (name == "build") {
            readBuild(*table);
        } else if (name == "files") {
            readFiles(*table);
        } else if (name == "keys") {
            readKeys(*table);
        } else if (name == "wide") {
            readWide(*table, wides_);
        } else {
            readLocales(*table);
        }
    }

    void readSetting(const std::string& tableName, const toml::key& key, const toml::node& node) {
        const std::string name(key.str());
        if (const ResourceSetting* resource = findResourceSetting(tableName, name)) {
            std::string error;
            if (!resources_.read(*resource, node, baseDirectory_, host_, error)) {
                fail(node, resource->fullName() + ": " + error);
            }
            return;
        }
        const Setting* setting = findSetting(tableName, name);
        if (!setting) {
            fail(positionOf(key.source()), "unknown name \"" + tableName + "." + name + "\"");
            return;
        }
        if (setting->kind == ValueKind::javaClass) mainClassSet_ = true;
        std::string value, error;
        if (!encodeSetting(*setting, node, value, error)) {
            fail(node, setting->fullName() + ": " + error);
            return;
        }
        if (value.size() > setting->maxBytes) {
            fail(node, setting->fullName() + ": the value is " + std::to_string(value.size()) +
                           " bytes long; the launcher reads at most " + std::to_string(setting->maxBytes));
            return;
        }
        store(setting->key, value, positionOf(node.source()), setting->fullName());
        if (setting->flagKey != 0) store(setting->flagKey, "1", positionOf(node.source()), setting->fullName());
    }

    void store(std::int32_t key, const std::string& value, Position at, const std::string& origin) {
        const auto [it, inserted] = strings_.emplace(key, Stored{value, at, origin});
        if (!inserted) {
            fail(at, origin + " sets key " + std::to_string(key) + ", which " + it->second.origin + " (line " +
                         std::to_string(it->second.position.line) + ") sets already");
        }
    }

    void readBuild(const toml::table& table) {
        for (auto&& [key, node] : table) {
            const std::string name(key.str());
            const std::string* text = node.is_string() ? &node.as_string()->get() : nullptr;
            if (name != "output" && name != "target" && name != "runtime-jar") {
                fail(positionOf(key.source()), "unknown name \"build." + name + "\"");
            } else if (!text) {
                fail(node, "build." + name + ": expected a string, found " + typeName(node));
            } else if (name == "output" && (text->empty() || text->back() == '/' || text->back() == '\\')) {
                fail(node, "build.output: \"" + *text + "\" names no file");
            } else if (name == "output") {
                if (options_.output.empty()) plan_.output = hostPath(baseDirectory_, *text);
            } else if (name == "target") {
                target_ = *text;
                targetPosition_ = positionOf(node.source());
            } else if (*text == "beside") {
                plan_.runtimeJar = RuntimeJarPlacement::beside;
            } else if (*text == "included") {
                plan_.runtimeJar = RuntimeJarPlacement::included;
            } else if (*text == "none") {
                plan_.runtimeJar = RuntimeJarPlacement::none;
            } else {
                fail(node, "build.runtime-jar: \"" + *text + "\" is none of \"beside\", \"included\", \"none\"");
            }
        }
    }

    void readFiles(const toml::table& table) {
        for (auto&& [key, node] : table) {
            if (key.str() != "include") {
                fail(positionOf(key.source()), "unknown name \"files." + std::string(key.str()) + "\"");
                continue;
            }
            const toml::array* array = node.as_array();
            if (!array) {
                fail(node, "files.include: expected an array, found " + typeName(node));
                continue;
            }
            for (const toml::node& entry : *array) readIncludedFile(entry);
        }
    }

    void readIncludedFile(const toml::node& entry) {
        std::string source, name;
        if (const toml::value<std::string>* text = entry.as_string()) {
            source = text->get();
            name = fileNameOf(source);
        } else if (const toml::table* table = entry.as_table()) {
            for (auto&& [key, node] : *table) {
                const std::string field(key.str());
                if (field != "source" && field != "name") {
                    fail(positionOf(key.source()), "unknown name \"" + field + "\" in an included file (source, name)");
                } else if (!node.is_string()) {
                    fail(node, "files.include: " + field + " must be a string, not " + typeName(node));
                } else {
                    (field == "source" ? source : name) = node.as_string()->get();
                }
            }
            if (source.empty()) {
                fail(entry, "files.include: an included file needs a source");
                return;
            }
            if (name.empty()) name = fileNameOf(source);
        } else {
            fail(entry, "files.include: expected a file name or a table, found " + typeName(entry));
            return;
        }
        std::replace(name.begin(), name.end(), '/', '\\');
        const Position at = positionOf(entry.source());
        std::string stored, bad;
        if (!utf8ToWindows1252(name, stored, bad)) {
            fail(at, "files.include: the name " + name + " holds " + bad + ", which Windows-1252 cannot represent");
            return;
        }
        if (!checkIncludedName(stored, at)) return;
        const std::string path = hostPath(baseDirectory_, source);
        const std::optional<std::uint64_t> size = host_.fileSize(path);
        if (!size) {
            fail(at, "files.include: " + path + " does not exist or is not a file");
            return;
        }
        addIncludedFile({path, stored, *size}, at);
    }

    bool checkIncludedName(const std::string& name, Position at) {
        const IncludedNameProblem problem = includedNameProblem(name);
        std::string why;
        if (problem != IncludedNameProblem::none) {
            why = describe(problem);
        } else if (name.empty() || name.back() == '\\') {
            why = "no file name";
        } else if (std::count(name.begin(), name.end(), '\\') > 1) {
            why = "more than one directory level (the launcher creates only one)";
        } else if (name.find(';') != std::string::npos) {
            why = "a \";\", which separates the names";
        } else if (name.find_first_of("<>\"|?*") != std::string::npos) {
            why = "a character Windows allows in no file name (< > \" | ? *)";
        } else if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
            why = "a control character";
        }
        if (why.empty()) return true;
        fail(at, "files.include: the launcher would refuse or fail on the name " + windows1252ToUtf8(name) + ": " + why);
        return false;
    }

    void addIncludedFile(IncludedFile file, Position at) {
        const std::string directory = directoryPart(file.name);
        for (const IncludedFile& other : plan_.includedFiles) {
            if (sameName(other.name, file.name)) {
                fail(at, "files.include: the name " + windows1252ToUtf8(file.name) + " is included twice");
                return;
            }
            // The launcher could create neither the file nor the directory
            // after the other.
            const std::string otherDirectory = directoryPart(other.name);
            if ((!directory.empty() && sameName(directory, other.name)) ||
                (!otherDirectory.empty() && sameName(otherDirectory, file.name))) {
                fail(at, "files.include: the names " + windows1252ToUtf8(other.name) + " and " +
                             windows1252ToUtf8(file.name) + " make one name the other's directory");
                return;
            }
        }
        plan_.includedFiles.push_back(std::move(file));
    }

    // "lib" of "lib\\a.jar"; empty for a name without a directory.
    static std::string directoryPart(const std::string& name) {
        const std::size_t separator = name.find('\\');
        return separator == std::string::npos ? std::string() : name.substr(0, separator);
    }

    static bool sameName(const std::string& a, const std::string& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
        });
    }

    void readKeys(const toml::table& table) {
        for (auto&& [key, node] : table) {
            std::int32_t number = 0;
            const Position at = positionOf(key.source());
            if (!parseKey(key.str(), number)) {
                fail(at, "keys: \"" + std::string(key.str()) + "\" is not a key number");
                continue;
            }
            if (number == 2002 || number == 2003) {
                fail(at, "keys." + std::to_string(number) + ": the included files are set by [files] include");
                continue;
            }
            std::string value, error;
            if (!encodeRawValue(node, value, error)) {
                fail(node, "keys." + std::to_string(number) + ": " + error);
                continue;
            }
            if (value.size() > maxValueBytes) {
                fail(node, "keys." + std::to_string(number) + ": the value is " + std::to_string(value.size()) +
                               " bytes long; the launcher reads at most " + std::to_string(maxValueBytes));
                continue;
            }
            store(number, value, positionOf(node.source()), "keys." + std::to_string(number));
        }
    }

    using WideEntries = std::vector<std::pair<std::int32_t, std::u16string>>;

    void readWide(const toml::table& table, WideEntries& out, const std::string& where = "wide") {
        std::vector<std::pair<Position, std::pair<std::int32_t, std::u16string>>> entries;
        for (auto&& [key, node] : table) {
            std::int32_t number = 0;
            if (!parseKey(key.str(), number)) {
                fail(positionOf(key.source()), where + ": \"" + std::string(key.str()) + "\" is not a key number");
                continue;
            }
            std::u16string value;
            if (!node.is_string()) {
                fail(node, where + "." + std::to_string(number) + ": expected a string, found " + typeName(node));
            } else if (!utf8ToUtf16(node.as_string()->get(), value)) {
                fail(node, where + "." + std::to_string(number) + ": not valid UTF-8");
            } else if (value.find(u'\0') != std::u16string::npos) {
                // The launcher reads a wide value up to its first NUL.
                fail(node, where + "." + std::to_string(number) + ": a text cannot hold a NUL character");
            } else if (value.size() > maxValueBytes) {
                fail(node, where + "." + std::to_string(number) + ": the value is " + std::to_string(value.size()) +
                               " UTF-16 units long; at most " + std::to_string(maxValueBytes) + " are allowed");
            } else {
                entries.push_back({positionOf(node.source()), {number, std::move(value)}});
            }
        }
        // In key order; the same number written twice ("1", "01") is refused
        // at its later place, as in [keys].
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            return std::pair(a.second.first, std::pair(a.first.line, a.first.column)) <
                   std::pair(b.second.first, std::pair(b.first.line, b.first.column));
        });
        for (std::size_t i = 1; i < entries.size(); ++i) {
            if (entries[i].second.first == entries[i - 1].second.first) {
                fail(entries[i].first, where + " sets key " + std::to_string(entries[i].second.first) + " twice (line " +
                                           std::to_string(entries[i - 1].first.line) + " sets it already)");
            }
        }
        for (auto& entry : entries) out.push_back(std::move(entry.second));
    }

    void readLocales(const toml::table& table) {
        // Sections apply in block order, a later one winning: keep the file's order.
        std::vector<std::pair<Position, ConfigBlockContent::LocaleSection>> sections;
        for (auto&& [key, node] : table) {
            const std::string name(key.str());
            const Position at = positionOf(key.source());
            const bool wellFormed = std::all_of(name.begin(), name.end(), [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
            });
            if (!wellFormed) {
                fail(at, "locale." + name + ": a locale name is a code such as \"de\" or \"de_CH\"");
                continue;
            }
            const toml::table* entries = node.as_table();
            if (!entries) {
                fail(node, "locale." + name + ": expected a table, found " + typeName(node));
                continue;
            }
            ConfigBlockContent::LocaleSection section{name, {}};
            readWide(*entries, section.entries, "locale." + name);
            sections.push_back({at, std::move(section)});
        }
        std::sort(sections.begin(), sections.end(), [](const auto& a, const auto& b) {
            return std::pair(a.first.line, a.first.column) < std::pair(b.first.line, b.first.column);
        });
        for (auto& section : sections) plan_.block.localeSections.push_back(std::move(section.second));
    }

    void finish() {
        if (!mainClassSet_ && !strings_.count(122)) fail(Position{}, "application.main-class is required");
        if (!options_.target.empty()) target_ = options_.target;
        if (target_ != "x86" && target_ != "x64") {
            fail(targetPosition_, "build.target: \"" + target_ + "\" is none of \"x86\", \"x64\"");
        }
        plan_.target = target_;
        checkVersionBounds();
        if (!options_.output.empty()) plan_.output = options_.output;
        if (plan_.output.empty()) {
            std::string stem = fileNameOf(options_.configurationFile);
            stem = stem.substr(0, stem.rfind('.'));
            plan_.output = baseDirectory_ + stem + ".exe";
        }
        placeRuntimeJar();
        finishResources();
        for (const Setting& setting : settings()) {
            if (setting.defaultValue && !strings_.count(setting.key)) {
                strings_.emplace(setting.key, Stored{setting.defaultValue, {}, "default"});
            }
        }
        if (!strings_.count(101)) {
            std::string name = fileNameOf(plan_.output), stored, bad;
            if (name.size() > 4 && sameName(name.substr(name.size() - 4), ".exe")) name.resize(name.size() - 4);
            if (utf8ToWindows1252(name, stored, bad)) strings_.emplace(101, Stored{stored, {}, "default"});
        }
        assembleBlock();
    }

    // The splash keys follow splash.image unless the file sets them; keys
    // that would show a splash screen without an image are refused, as the
    // launcher would hand the splash library no image at all.
    void finishResources() {
        std::string error;
        if (!resources_.finish(plan_.target, fileNameOf(plan_.output), plan_.resources, error)) {
            fail(resources_.versionPosition(), "version: " + error);
        }
        plan_.resourceSources = resources_.sources();
        if (resources_.hasSplashImage()) {
            for (const std::int32_t key : {108, 10123}) strings_.emplace(key, Stored{"1", {}, "splash.image"});
            return;
        }
        const auto shown = strings_.find(108), library = strings_.find(10123);
        if (shown != strings_.end() && library != strings_.end() && std::atoi(shown->second.value.c_str()) != 0 &&
            std::atoi(library->second.value.c_str()) != 0) {
            fail(shown->second.position, shown->second.origin + " shows a splash screen, but splash.image is not set");
        }
    }

    void checkVersionBounds() {
        const auto low = strings_.find(126), high = strings_.find(127);
        if (low == strings_.end() || high == strings_.end() || high->second.value.empty()) return;
        // A runtime passes when its version compares at or above the lowest
        // bound over the bound's length and at or below the highest over its
        // length: none can when the lowest compares above the highest.
        const std::string& l = low->second.value;
        const std::string& h = high->second.value;
        if (l.compare(0, h.size(), h) > 0) {
            fail(low->second.position, "runtime.min-version " + l + " lies above runtime.max-version " + h +
                                           ": no runtime can pass");
        }
    }

    void placeRuntimeJar() {
        if (plan_.runtimeJar == RuntimeJarPlacement::none) return;
        if (options_.runtimeJar.empty()) {
            fail(Position{}, std::string(runtimeJarName) +
                                 " was not found: install qarvo, pass --runtime-jar, or set build.runtime-jar = \"none\"");
            return;
        }
        plan_.runtimeJarSource = options_.runtimeJar;
        if (plan_.runtimeJar == RuntimeJarPlacement::beside) {
            plan_.runtimeJarCopy = directoryOf(plan_.output) + runtimeJarName;
            std::string& classPath = strings_[121].value;
            const std::string entry = std::string("A1") + runtimeJarName;
            classPath = classPath.empty() ? entry : entry + ";" + classPath;
            if (classPath.size() > maxValueBytes) {
                fail(strings_[121].position, "application.class-path: with the runtime jar's entry the class path is "
                                                 "longer than the launcher reads");
            }
            return;
        }
        const std::optional<std::uint64_t> size = host_.fileSize(options_.runtimeJar);
        if (!size) {
            fail(Position{}, options_.runtimeJar + " does not exist or is not a file");
            return;
        }
        for (const IncludedFile& file : plan_.includedFiles) {
            if (sameName(file.name, runtimeJarName)) {
                fail(Position{}, std::string("files.include: the name ") + runtimeJarName +
                                     " is the runtime jar's (build.runtime-jar = \"included\")");
                return;
            }
        }
        plan_.includedFiles.insert(plan_.includedFiles.begin(), {options_.runtimeJar, runtimeJarName, *size});
    }

    void assembleBlock() {
        if (!plan_.includedFiles.empty()) {
            std::string names;
            for (const IncludedFile& file : plan_.includedFiles) names += (names.empty() ? "" : ";") + file.name;
            if (names.size() > maxValueBytes) {
                fail(Position{}, "files.include: the names together are " + std::to_string(names.size()) +
                                     " bytes long; the launcher reads at most " + std::to_string(maxValueBytes));
            }
            strings_.emplace(2002, Stored{std::to_string(plan_.includedFiles.size()), {}, "files"});
            strings_.emplace(2003, Stored{names, {}, "files"});
        }
        for (const auto& [key, stored] : strings_) plan_.block.strings.emplace_back(key, stored.value);
        plan_.block.wides = std::move(wides_);
    }

    struct Stored {
        std::string value;
        Position position;
        std::string origin;  // the name that set it
    };

    const ReadOptions& options_;
    Host& host_;
    BuildPlan& plan_;
    std::vector<Diagnostic>& diagnostics_;
    std::string baseDirectory_;
    std::map<std::int32_t, Stored> strings_;
    WideEntries wides_;
    ResourceConfig resources_;
    std::string target_ = "x86";
    Position targetPosition_;
    bool mainClassSet_ = false;
};

}  // namespace

bool readConfiguration(const std::string& text, const ReadOptions& options, Host& host, BuildPlan& plan,
                       std::vector<Diagnostic>& diagnostics) {
    plan = BuildPlan{};
    plan.configurationFile = options.configurationFile;
    return Reader(options, host, plan, diagnostics).read(text);
}

std::string hostPath(const std::string& directory, const std::string& path) {
    if (directory.empty() || isAbsolutePath(path)) return path;
    return directory + path;
}

std::uint64_t imageEnd(const BuildPlan& plan, std::uint64_t templateLength) {
    std::uint64_t end = templateLength + encodeConfigurationBlock(plan.block).size();
    for (const IncludedFile& file : plan.includedFiles) end += 8 + file.size;
    return end;
}

}  // namespace qarvo::builder
