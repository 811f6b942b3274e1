// The configuration file's vocabulary: every readable name of app.toml with
// the launcher key it writes, its kind of value, its default and its meaning.
// One table serves reading the file, inspect's readable names and the
// reference in the README.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qarvo::builder {

// The longest narrow value the launcher reads (8192-byte buffers with the terminator).
constexpr std::size_t maxValueBytes = 8191;
// Key 152 is read into 200 bytes.
constexpr std::size_t maxVmTypeBytes = 199;

enum class ValueKind {
    text,            // a string
    flag,            // a boolean, written "1" or "0"
    choice,          // one of a few names, each standing for a value
    words,           // a list of words (or one text) split by the launcher's word rules
    pathList,        // a list of paths, written ";"-separated
    classPath,       // class path entries
    searchSequence,  // runtime search sequence entries
    version,         // a version bound
    javaClass,       // a dotted Java class name
    redirectFile,    // a file name; also sets the companion flag key
    message,         // a message text
};

struct Choice {
    const char* name;   // as written in app.toml
    const char* value;  // as written into the block
};

struct Setting {
    const char* table;  // "application"
    const char* name;   // "main-class"
    std::int32_t key;
    ValueKind kind;
    // Written when the file does not set the key (nor [keys] does); null: nothing is written.
    const char* defaultValue;
    const char* meaning;
    std::span<const Choice> choices = {};
    std::int32_t flagKey = 0;                // redirectFile: the flag key set to "1"
    std::size_t maxBytes = maxValueBytes;    // of the value as written

    std::string fullName() const { return std::string(table) + "." + name; }
};

// Every setting, in the order of the reference and of the block.
std::span<const Setting> settings();

// A name whose value goes into the exe's resources instead of the block.
struct ResourceSetting {
    const char* table;     // "version"
    const char* name;      // "company"
    const char* resource;  // where it goes, for the reference: "RT_VERSION 1"
    const char* type;      // of the value, for the reference
    const char* defaultValue;  // as the reference shows it; null: none
    const char* meaning;

    std::string fullName() const { return std::string(table) + "." + name; }
};
std::span<const ResourceSetting> resourceSettings();
const ResourceSetting* findResourceSetting(std::string_view table, std::string_view name);
const Setting* findSetting(std::string_view table, std::string_view name);
// The setting that writes `key`, or the one whose companion flag it is; null for none.
const Setting* settingForKey(std::int32_t key);

// The tables of app.toml that hold settings, and the others it knows.
bool isSettingsTable(std::string_view table);

// Search-sequence entries: the readable kind and the launcher's letter.
struct SearchKind {
    const char* name;  // "bundled"
    char letter;       // 'B'
    bool takesArgument;
    const char* meaning;
};
std::span<const SearchKind> searchKinds();
// The letter of modern runtime discovery: the registry keys and install
// directories of today's runtime vendors.
constexpr char installedRuntimesLetter = 'M';

// Class-path entry types: the readable key of an entry table and the letter.
struct ClassPathKind {
    const char* name;  // "archive"
    char letter;       // 'A'
    const char* meaning;
};
std::span<const ClassPathKind> classPathKinds();

// The default search sequence, in the launcher's notation.
constexpr const char* defaultSearchSequence = "B.\\jre;EJAVA_HOME;EJDK_HOME;M;Y;";

// The reference of every name as a Markdown table (in the README).
std::string markdownReference();

}  // namespace qarvo::builder
