#include "builder/ConfigValues.h"

#include <cstdlib>
#include <vector>

#include "builder/TextCodes.h"
#include "builder/Words.h"

namespace qarvo::builder {

std::string typeName(const toml::node& node) {
    switch (node.type()) {
        case toml::node_type::string: return "a string";
        case toml::node_type::integer: return "an integer";
        case toml::node_type::floating_point: return "a number";
        case toml::node_type::boolean: return "a boolean";
        case toml::node_type::array: return "an array";
        case toml::node_type::table: return "a table";
        default: return "a date or time";
    }
}

namespace {

bool expectString(const toml::node& node, std::string& text, std::string& error) {
    if (const toml::value<std::string>* value = node.as_string()) {
        text = value->get();
        return true;
    }
    error = "expected a string, found " + typeName(node);
    return false;
}

// Every element of an array of strings, or the string itself when `allowText`.
bool expectStrings(const toml::node& node, bool allowText, std::vector<std::string>& items, bool& wasText,
                   std::string& error) {
    wasText = false;
    if (allowText && node.is_string()) {
        items = {node.as_string()->get()};
        wasText = true;
        return true;
    }
    const toml::array* array = node.as_array();
    if (!array) {
        error = std::string("expected an array of strings") + (allowText ? " or a string" : "") + ", found " +
                typeName(node);
        return false;
    }
    for (const toml::node& element : *array) {
        std::string text;
        if (!expectString(element, text, error)) {
            error = "element " + std::to_string(items.size() + 1) + ": " + error;
            return false;
        }
        items.push_back(std::move(text));
    }
    return true;
}

bool isSeparatorFree(const std::string& text, const std::string& what, std::string& error) {
    if (text.find(';') == std::string::npos) return true;
    error = what + " " + text + " holds a \";\", which separates the entries";
    return false;
}

bool toNarrow(const std::string& utf8, std::string& text, std::string& error) {
    std::string bad;
    if (!utf8ToWindows1252(utf8, text, bad)) {
        error = "the character " + bad + " cannot be written in Windows-1252, the code page of the launcher's texts";
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        error = "a text cannot hold a NUL character";
        return false;
    }
    return true;
}

bool validVersion(const std::string& text) {
    if (text.empty()) return true;
    if (text[0] < '0' || text[0] > '9') return false;
    char previous = 0;
    for (const char c : text) {
        const bool separator = c == '.' || c == '_' || c == '-';
        const bool alphanumeric = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!separator && !alphanumeric) return false;
        if (separator && (previous == '.' || previous == '_' || previous == '-')) return false;
        previous = c;
    }
    return previous != '.' && previous != '_' && previous != '-';
}

bool validJavaName(const std::string& text) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(text.find('.', start), text.size());
        if (end == start) return false;
        for (std::size_t i = start; i < end; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
            if (!letter && !(i > start && c >= '0' && c <= '9')) return false;
        }
        if (end == text.size()) return true;
        start = end + 1;
    }
}

bool encodeClassPathEntry(const toml::node& node, std::string& entry, std::string& error) {
    if (node.is_string()) {
        const std::string& path = node.as_string()->get();
        if (path.empty()) {
            error = "an empty class path entry";
            return false;
        }
        entry = "A1" + path;
        return isSeparatorFree(path, "the entry", error);
    }
    const toml::table* table = node.as_table();
    if (!table) {
        error = "a class path entry is a path or a table, not " + typeName(node);
        return false;
    }
    char letter = 0;
    std::string value;
    bool required = true;
    for (auto&& [key, field] : *table) {
        const std::string name(key.str());
        if (name == "required") {
            if (!field.is_boolean()) {
                error = "required must be a boolean";
                return false;
            }
            required = field.as_boolean()->get();
            continue;
        }
        const ClassPathKind* kind = nullptr;
        for (const ClassPathKind& k : classPathKinds()) {
            if (name == k.name) kind = &k;
        }
        if (!kind) {
            error = "unknown class path entry type \"" + name + "\" (archive, directory, scan, variable)";
            return false;
        }
        if (letter != 0) {
            error = "a class path entry has one type";
            return false;
        }
        if (!expectString(field, value, error)) return false;
        letter = kind->letter;
    }
    if (letter == 0 || value.empty()) {
        error = "a class path entry needs one of archive, directory, scan, variable with a value";
        return false;
    }
    entry = std::string(1, letter) + (required ? "1" : "0") + value;
    return isSeparatorFree(value, "the entry", error);
}

const SearchKind* searchKindByLetter(char letter) {
    for (const SearchKind& kind : searchKinds()) {
        if (kind.letter == letter) return &kind;
    }
    return nullptr;
}

bool encodeSearchSequence(const toml::node& node, std::string& text, std::string& error) {
    std::vector<std::string> items;
    bool wasText = false;
    if (!expectStrings(node, true, items, wasText, error)) return false;
    if (wasText) {
        // The launcher's own notation: letters are checked, entries kept as written.
        text = items[0];
        std::size_t start = 0, index = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find(';', start), text.size());
            if (end > start) {
                ++index;
                if (!searchKindByLetter(text[start])) {
                    error = "entry " + std::to_string(index) + " (" + text.substr(start, end - start) +
                            ") begins with no known search letter (" + knownSearchLetters() + ")";
                    return false;
                }
            }
            start = end + 1;
        }
        return true;
    }
    text.clear();
    for (const std::string& item : items) {
        const std::size_t colon = item.find(':');
        const std::string name = item.substr(0, colon);
        const SearchKind* kind = nullptr;
        for (const SearchKind& k : searchKinds()) {
            if (name == k.name) kind = &k;
        }
        if (!kind) {
            error = "unknown search entry \"" + item + "\" (" + knownSearchNames() + ")";
            return false;
        }
        const std::string argument = colon == std::string::npos ? "" : item.substr(colon + 1);
        if (kind->takesArgument && argument.empty()) {
            error = "the entry " + item + " needs an argument: " + name + ":<" +
                    (kind->letter == 'E' ? "variable" : "directory") + ">";
            return false;
        }
        if (!kind->takesArgument && colon != std::string::npos) {
            error = "the entry " + item + " takes no argument";
            return false;
        }
        if (!isSeparatorFree(argument, "the entry", error)) return false;
        text += kind->letter + argument + ";";
    }
    return true;
}

}  // namespace

std::string knownSearchLetters() {
    std::string letters;
    for (const SearchKind& kind : searchKinds()) letters += (letters.empty() ? "" : ", ") + std::string(1, kind.letter);
    return letters;
}

std::string knownSearchNames() {
    std::string names;
    for (const SearchKind& kind : searchKinds()) names += (names.empty() ? "" : ", ") + std::string(kind.name);
    return names;
}

bool encodeSetting(const Setting& setting, const toml::node& node, std::string& text, std::string& error) {
    std::string utf8;
    std::vector<std::string> items;
    bool wasText = false;
    switch (setting.kind) {
        case ValueKind::flag:
            if (!node.is_boolean()) {
                error = "expected true or false, found " + typeName(node);
                return false;
            }
            text = node.as_boolean()->get() ? "1" : "0";
            return true;
        case ValueKind::choice: {
            if (node.is_integer() && setting.key == 107) {
                text = std::to_string(node.as_integer()->get());
                return true;
            }
            if (!expectString(node, utf8, error)) return false;
            std::string names;
            for (const Choice& choice : setting.choices) {
                if (utf8 == choice.name) {
                    text = choice.value;
                    return true;
                }
                names += (names.empty() ? "\"" : ", \"") + std::string(choice.name) + "\"";
            }
            error = "\"" + utf8 + "\" is none of " + names;
            return false;
        }
        case ValueKind::words:
            if (!expectStrings(node, true, items, wasText, error)) return false;
            if (wasText) {
                std::vector<std::string> words;
                if (!splitLauncherWords(items[0], words)) {
                    error = "a quote has no closing partner (the launcher would stop with message 1007)";
                    return false;
                }
                utf8 = items[0];
            } else if (!joinWords(items, utf8, error)) {
                return false;
            }
            return toNarrow(utf8, text, error);
        case ValueKind::pathList:
            if (!expectStrings(node, true, items, wasText, error)) return false;
            if (wasText) {
                utf8 = items[0];
            } else {
                for (const std::string& item : items) {
                    if (!isSeparatorFree(item, "the directory", error)) return false;
                    utf8 += (utf8.empty() ? "" : ";") + item;
                }
            }
            return toNarrow(utf8, text, error);
        case ValueKind::classPath: {
            const toml::array* array = node.as_array();
            if (!array) {
                error = "expected an array of entries, found " + typeName(node);
                return false;
            }
            std::size_t index = 0;
            for (const toml::node& element : *array) {
                ++index;
                std::string entry;
                if (!encodeClassPathEntry(element, entry, error)) {
                    error = "entry " + std::to_string(index) + ": " + error;
                    return false;
                }
                utf8 += (utf8.empty() ? "" : ";") + entry;
            }
            return toNarrow(utf8, text, error);
        }
        case ValueKind::searchSequence:
            return encodeSearchSequence(node, utf8, error) && toNarrow(utf8, text, error);
        case ValueKind::version:
            if (!expectString(node, utf8, error)) return false;
            if (!validVersion(utf8)) {
                error = "\"" + utf8 + "\" is no version: digits first, then letters and digits separated by "
                                      "\".\", \"_\" or \"-\" (\"1.8\", \"11.0.2\", \"1.6.0_20\")";
                return false;
            }
            return toNarrow(utf8, text, error);
        case ValueKind::javaClass:
            if (!expectString(node, utf8, error)) return false;
            if (!validJavaName(utf8)) {
                error = "\"" + utf8 + "\" is no dotted Java class name (\"com.example.Main\")";
                return false;
            }
            return toNarrow(utf8, text, error);
        case ValueKind::redirectFile:
            if (!expectString(node, utf8, error)) return false;
            if (utf8.empty()) {
                error = "an empty file name";
                return false;
            }
            return toNarrow(utf8, text, error);
        case ValueKind::text:
        case ValueKind::message:
            return expectString(node, utf8, error) && toNarrow(utf8, text, error);
    }
    return false;
}

bool encodeRawValue(const toml::node& node, std::string& text, std::string& error) {
    if (node.is_boolean()) {
        text = node.as_boolean()->get() ? "1" : "0";
        return true;
    }
    if (node.is_integer()) {
        text = std::to_string(node.as_integer()->get());
        return true;
    }
    std::string utf8;
    if (!expectString(node, utf8, error)) {
        error = "expected a string, an integer or a boolean, found " + typeName(node);
        return false;
    }
    return toNarrow(utf8, text, error);
}

namespace {

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::unique_ptr<toml::node> stringNode(const std::string& narrow) {
    return std::make_unique<toml::value<std::string>>(windows1252ToUtf8(narrow));
}

std::unique_ptr<toml::node> decodeClassPathEntry(const std::string& entry) {
    if (entry.size() >= 2 && entry[0] == 'A' && entry[1] == '1') return stringNode(entry.substr(2));
    auto table = std::make_unique<toml::table>();
    for (const ClassPathKind& kind : classPathKinds()) {
        if (entry[0] == kind.letter) {
            table->insert(kind.name, windows1252ToUtf8(entry.size() > 2 ? entry.substr(2) : ""));
            table->insert("required", entry.size() > 1 && entry[1] == '1');
            return table;
        }
    }
    table->insert("unknown", windows1252ToUtf8(entry));
    return table;
}

std::string decodeSearchEntry(const std::string& entry) {
    const SearchKind* kind = searchKindByLetter(entry[0]);
    if (!kind) return "unknown:" + windows1252ToUtf8(entry);
    if (!kind->takesArgument) return kind->name;
    return std::string(kind->name) + ":" + windows1252ToUtf8(entry.substr(1));
}

}  // namespace

std::unique_ptr<toml::node> decodeSetting(const Setting& setting, const std::string& text) {
    switch (setting.kind) {
        case ValueKind::flag: return std::make_unique<toml::value<bool>>(std::atoi(text.c_str()) != 0);
        case ValueKind::choice:
            for (const Choice& choice : setting.choices) {
                if (text == choice.value) return std::make_unique<toml::value<std::string>>(choice.name);
            }
            if (setting.key == 107) return std::make_unique<toml::value<std::int64_t>>(std::atoi(text.c_str()));
            return stringNode(text);
        case ValueKind::words: {
            std::vector<std::string> words;
            if (!splitLauncherWords(text, words)) return stringNode(text);
            auto array = std::make_unique<toml::array>();
            for (const std::string& word : words) array->push_back(windows1252ToUtf8(word));
            return array;
        }
        case ValueKind::pathList: {
            auto array = std::make_unique<toml::array>();
            for (const std::string& part : splitAt(text, ';')) array->push_back(windows1252ToUtf8(part));
            return array;
        }
        case ValueKind::classPath: {
            auto array = std::make_unique<toml::array>();
            for (const std::string& entry : splitAt(text, ';')) {
                std::unique_ptr<toml::node> node = decodeClassPathEntry(entry);
                if (node->is_table()) {
                    array->push_back(std::move(*node->as_table()));
                } else {
                    array->push_back(std::move(*node->as_string()));
                }
            }
            return array;
        }
        case ValueKind::searchSequence: {
            auto array = std::make_unique<toml::array>();
            for (const std::string& entry : splitAt(text, ';')) array->push_back(decodeSearchEntry(entry));
            return array;
        }
        default: return stringNode(text);
    }
}

}  // namespace qarvo::builder
