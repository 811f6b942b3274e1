#include "os/testing/FakeSystem.h"

#include <algorithm>
#include <cstring>

namespace qarvo::os::testing {

namespace {

constexpr std::uint32_t errorModuleNotFound = 126;
constexpr std::uint32_t errorDiskFull = 112;
constexpr std::uint32_t errorReadFault = 30;

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return text;
}

// "*" and "?" as a directory search reads them. Greedy, going back only to
// the last "*": a pattern of many stars takes time in proportion to the
// lengths, not exponential time (a fuzzer found such a pattern).
bool wildcardMatch(const char* pattern, const char* text) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*text != '\0') {
        if (*pattern == '*') {
            star = pattern++;
            resume = text;
        } else if (*pattern != '\0' && (*pattern == '?' || *pattern == *text)) {
            ++pattern, ++text;
        } else if (star) {
            pattern = star + 1;
            text = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

// A search pattern against a name as Windows compares them: beyond the
// wildcards, a pattern ending in ".*" also matches the name without the dot
// ("*.*" matches "lib", "a.*" matches "a").
bool patternMatches(const std::string& pattern, const char* name) {
    if (wildcardMatch(pattern.c_str(), name)) return true;
    return pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
           wildcardMatch(pattern.substr(0, pattern.size() - 2).c_str(), name);
}

// Length of the root of a drive-absolute ("C:\...") or UNC ("\\...") path; 0
// for every other path.
std::size_t rootLength(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return 3;
    return path.rfind("\\\\", 0) == 0 ? 2 : 0;
}

// Text mode turns CR LF into LF before the program sees the characters.
std::string textMode(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text += bytes[i];
    }
    return text;
}

// The code page 932 characters the fake knows beyond ASCII.
struct DoubleByteCharacter {
    unsigned char lead, trail;
    char16_t unit;
};
constexpr DoubleByteCharacter doubleByteCharacters[] = {
    {0x83, 0x5C, u'\u30BD'},  // ソ: its second byte is that of "\"
    {0x83, 0x74, u'\u30D5'},  // フ: its second byte is that of "t"
    {0x83, 0x67, u'\u30C8'},  // ト
    {0x95, 0x5C, u'\u8868'},  // 表
    {0x83, 0x41, u'\u30A2'},  // ア: its second byte is that of "A"
};

// Reads at or behind `failFrom` fail with ERROR_READ_FAULT; reads before it
// end there.
class MemoryReadable final : public ReadableFile {
public:
    MemoryReadable(std::string bytes, std::uint64_t failFrom) : bytes_(std::move(bytes)), failFrom_(failFrom) {}
    IoResult readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        IoResult result;
        if (offset >= failFrom_) {
            result.ok = false;
            result.error = errorReadFault;
            return result;
        }
        const std::uint64_t end = std::min<std::uint64_t>(bytes_.size(), failFrom_);
        if (offset >= end) return result;
        result.bytes = static_cast<std::size_t>(std::min<std::uint64_t>(size, end - offset));
        std::memcpy(buffer, bytes_.data() + offset, result.bytes);
        return result;
    }
    std::uint64_t size() override { return bytes_.size(); }

private:
    std::string bytes_;
    std::uint64_t failFrom_;
};

class MemoryWritable final : public WritableFile {
public:
    MemoryWritable(FakeFiles& files, std::string key) : files_(files), key_(std::move(key)) {}
    IoResult write(const void* data, std::size_t size) override {
        IoResult result;
        if (files_.failWrites > 0) {
            --files_.failWrites;
            result.ok = false;
            result.error = errorDiskFull;
            return result;
        }
        auto entry = files_.entries.find(key_);
        if (entry != files_.entries.end()) entry->second.content.append(static_cast<const char*>(data), size);
        result.bytes = size;
        return result;
    }

private:
    FakeFiles& files_;
    std::string key_;
};

class MemoryTextReader final : public TextReader {
public:
    MemoryTextReader(std::string text, int& open) : text_(std::move(text)), open_(open) {}
    ~MemoryTextReader() override { --open_; }
    MemoryTextReader(const MemoryTextReader&) = delete;
    MemoryTextReader& operator=(const MemoryTextReader&) = delete;

    bool readPiece(std::string& piece, std::size_t capacity) override {
        if (at_ >= text_.size() || capacity < 2) return false;
        std::size_t end = text_.find('\n', at_);
        end = end == std::string::npos ? text_.size() : end + 1;
        end = std::min(end, at_ + capacity - 1);
        piece = text_.substr(at_, end - at_);
        at_ = end;
        piece.resize(std::strlen(piece.c_str()));  // fgets' C string ends at a NUL byte
        return true;
    }
    const void* handle() const override { return this; }

private:
    std::string text_;
    std::size_t at_ = 0;
    int& open_;
};

class MemoryTextWriter final : public TextWriter {
public:
    MemoryTextWriter(FakeFiles& files, std::string key) : files_(files), key_(std::move(key)) {}
    void write(std::string_view text) override {
        auto entry = files_.entries.find(key_);
        if (entry != files_.entries.end()) entry->second.content.append(text);
    }
    void flush() override {}

private:
    FakeFiles& files_;
    std::string key_;
};

class FakeSemaphore final : public Semaphore {
public:
    FakeSemaphore(FakeSemaphores& semaphores, std::string name, std::vector<std::string>& calls)
        : semaphores_(semaphores), name_(std::move(name)), calls_(calls) {}
    ~FakeSemaphore() override {
        calls_.push_back("CloseHandle semaphore " + name_);
        if (--semaphores_.open[name_] <= 0) semaphores_.open.erase(name_);
    }
    std::uint32_t waitForever() override {
        calls_.push_back("WaitForSingleObject " + name_);
        if (semaphores_.duringWait) semaphores_.duringWait(name_);
        return 0;
    }
    bool release(std::uint32_t& error) override {
        calls_.push_back("ReleaseSemaphore " + name_);
        error = 0;
        return true;
    }
    const void* handleValue() const override { return this; }

private:
    FakeSemaphores& semaphores_;
    std::string name_;
    std::vector<std::string>& calls_;
};

}  // namespace

// --- code page ---

bool FakeCodePage::narrowToWide(std::string_view text, std::u16string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!doubleByte) {
            out.push_back(byte);
            continue;
        }
        if (byte < 0x80) {
            out.push_back(byte);
            continue;
        }
        if (!isLeadByte(byte) || i + 1 >= text.size()) return false;
        const auto trail = static_cast<unsigned char>(text[++i]);
        auto known = std::find_if(std::begin(doubleByteCharacters), std::end(doubleByteCharacters),
                                  [&](const DoubleByteCharacter& c) { return c.lead == byte && c.trail == trail; });
        if (known == std::end(doubleByteCharacters)) return false;
        out.push_back(known->unit);
    }
    return true;
}

bool FakeCodePage::wideToNarrow(std::u16string_view text, std::string& out) {
    out.clear();
    bool exact = true;
    for (char16_t c : text) {
        if (c < 0x80 || (!doubleByte && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        auto known = std::find_if(std::begin(doubleByteCharacters), std::end(doubleByteCharacters),
                                  [&](const DoubleByteCharacter& d) { return d.unit == c; });
        if (doubleByte && known != std::end(doubleByteCharacters)) {
            out.push_back(static_cast<char>(known->lead));
            out.push_back(static_cast<char>(known->trail));
        } else {
            out.push_back('?');
            exact = false;
        }
    }
    return exact;
}

void FakeCodePage::lowerCaseWide(std::u16string& text) {
    for (char16_t& c : text) {
        if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c += 0x20;
    }
}

bool FakeCodePage::isLeadByte(unsigned char byte) {
    return doubleByte && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
}

// --- files ---

std::string FakeFiles::withoutDotSegments(const std::string& path) const {
    const std::size_t rootEnd = rootLength(path);
    if (rootEnd == 0) return path;
    std::vector<std::string> segments;
    std::string segment;
    auto endSegment = [&] {
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        segment.clear();
    };
    for (std::size_t i = rootEnd; i < path.size(); ++i) {
        if (path[i] == '\\') {
            endSegment();
            continue;
        }
        segment += path[i];
        if (codePage_.isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) segment += path[++i];
    }
    const bool trailing = segment.empty() && path.size() > rootEnd && path.back() == '\\';
    endSegment();
    std::string out = path.substr(0, rootEnd);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (i) out += '\\';
        out += segments[i];
    }
    if (trailing && !segments.empty()) out += '\\';
    return out;
}

std::string FakeFiles::key(const std::string& path) const {
    std::string collapsed;
    bool afterSeparator = false;  // the last character is a "\" of its own
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (codePage_.isLeadByte(static_cast<unsigned char>(c)) && i + 1 < path.size()) {
            collapsed += c;
            collapsed += path[++i];
            afterSeparator = false;
            continue;
        }
        // "c:\x" and "c:\\x" name the same file; a leading "\\" stays.
        if (c == '\\' && collapsed.size() > 1 && afterSeparator) continue;
        afterSeparator = c == '\\';
        collapsed += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    while (collapsed.size() > 3 && collapsed.back() == '\\' &&
           !(collapsed.size() >= 2 && codePage_.isLeadByte(static_cast<unsigned char>(collapsed[collapsed.size() - 2])))) {
        collapsed.pop_back();
    }
    return withoutDotSegments(collapsed);
}

std::string FakeFiles::lastComponent(const std::string& path) const {
    std::size_t separator = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\') separator = i;
        if (codePage_.isLeadByte(static_cast<unsigned char>(path[i]))) ++i;
    }
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string FakeFiles::parentKey(const std::string& k) const {
    const std::string last = lastComponent(k);
    if (last.size() == k.size()) return std::string();
    return key(k.substr(0, k.size() - last.size()));
}

bool FakeFiles::isDirectory(const std::string& path) const {
    auto entry = entries.find(key(path));
    return entry != entries.end() && entry->second.directory;
}

std::string FakeFiles::content(const std::string& path) const {
    auto entry = entries.find(key(path));
    return entry == entries.end() ? std::string() : entry->second.content;
}

void FakeFiles::addFile(const std::string& path, const std::string& content, FileTime time) {
    entries[key(path)] = Entry{path, false, time, content};
}

void FakeFiles::addDirectory(const std::string& path) { entries[key(path)] = Entry{path, true, {}, {}}; }

std::vector<DirectoryEntry> FakeFiles::find(const std::string& pattern, std::size_t limit) {
    searches.push_back(pattern);
    calls_.push_back("FindFirstFile " + pattern);
    std::vector<DirectoryEntry> found;
    const std::string k = key(pattern);
    const std::string parent = parentKey(k);
    const std::string namePattern = lastComponent(k);
    // A root is no entry of any directory: a search for "C:\" finds nothing.
    if (namePattern.empty()) return found;
    const bool wildcard = namePattern.find_first_of("*?") != std::string::npos;
    // A search with wildcards in a directory below a root also finds "." and "..".
    if (wildcard && parent.size() > 3 && isDirectory(parent)) {
        for (const char* dot : {".", ".."}) {
            if (found.size() < limit && patternMatches(namePattern, dot)) found.push_back({dot, true, {}});
        }
    }
    for (const auto& [path, entry] : entries) {
        if (found.size() >= limit) break;
        if (hiddenDirectories.count(path) || parentKey(path) != parent) continue;
        if (!patternMatches(namePattern, lastComponent(path).c_str())) continue;
        found.push_back({lastComponent(entry.name), entry.directory, entry.lastWrite});
    }
    return found;
}

bool FakeFiles::attributes(const std::string& path, std::uint32_t& attributes, std::uint32_t& error) {
    auto entry = entries.find(key(path));
    if (entry == entries.end()) {
        error = errorFileNotFound;
        return false;
    }
    attributes = entry->second.directory ? attributeDirectory : 0x80;
    error = 0;
    return true;
}

std::unique_ptr<ReadableFile> FakeFiles::openForReading(const std::string& path, std::uint32_t& error) {
    calls_.push_back("CreateFile read " + path);
    auto entry = entries.find(key(path));
    if (entry == entries.end() || entry->second.directory) {
        error = entry == entries.end() ? errorFileNotFound : errorAccessDenied;
        return nullptr;
    }
    error = 0;
    auto failure = failReadsFrom.find(entry->first);
    return std::make_unique<MemoryReadable>(entry->second.content,
                                            failure == failReadsFrom.end() ? UINT64_MAX : failure->second);
}

std::unique_ptr<WritableFile> FakeFiles::create(const std::string& path, Creation creation, std::uint32_t& error) {
    calls_.push_back(std::string(creation == Creation::createNew ? "CreateFile new " : "CreateFile write ") + path);
    const std::string k = key(path);
    const std::string parent = parentKey(k);
    if (!isDirectory(parent)) {
        error = errorPathNotFound;
        return nullptr;
    }
    if (readOnlyDirectories.count(parent) || isDirectory(k)) {
        error = errorAccessDenied;
        return nullptr;
    }
    if (creation == Creation::createNew && exists(k)) {
        error = errorFileExists;
        return nullptr;
    }
    addFile(path);
    error = 0;
    return std::make_unique<MemoryWritable>(*this, k);
}

bool FakeFiles::deleteFile(const std::string& path, std::uint32_t& error) {
    calls_.push_back("DeleteFile " + path);
    const std::string k = key(path);
    auto failure = deleteFailures.find(k);
    if (failure != deleteFailures.end() && failure->second.times > 0) {
        --failure->second.times;
        error = failure->second.error;
        return false;
    }
    auto entry = entries.find(k);
    if (entry == entries.end() || entry->second.directory) {
        error = entry == entries.end() ? errorFileNotFound : errorAccessDenied;
        return false;
    }
    entries.erase(entry);
    deleted.push_back(path);
    error = 0;
    return true;
}

bool FakeFiles::createDirectory(const std::string& path, std::uint32_t& error) {
    calls_.push_back("CreateDirectory " + path);
    const std::string k = key(path);
    const bool failable = path.size() >= failCreateDirectoryEnding.size() &&
                          path.compare(path.size() - failCreateDirectoryEnding.size(), std::string::npos,
                                       failCreateDirectoryEnding) == 0;
    if (failCreateDirectory > 0 && failable) {
        --failCreateDirectory;
        error = errorAccessDenied;
        return false;
    }
    if (exists(k)) {
        error = errorAlreadyExists;
        return false;
    }
    const std::string parent = parentKey(k);
    if (!isDirectory(parent)) {
        error = errorPathNotFound;
        return false;
    }
    if (readOnlyDirectories.count(parent)) {
        error = errorAccessDenied;
        return false;
    }
    addDirectory(path);
    error = 0;
    return true;
}

bool FakeFiles::removeDirectory(const std::string& path) {
    calls_.push_back("RemoveDirectory " + path);
    const std::string k = key(path);
    if (!isDirectory(k)) return false;
    for (const auto& [other, entry] : entries) {
        if (parentKey(other) == k) return false;  // not empty
    }
    entries.erase(k);
    return true;
}

bool FakeFiles::setCurrentDirectory(const std::string& path) {
    calls_.push_back("SetCurrentDirectory " + path);
    if (!isDirectory(path)) return false;
    currentDirectory = path;
    return true;
}

std::unique_ptr<TextReader> FakeFiles::openText(const std::string& path) {
    textOpened.push_back(path);
    calls_.push_back("fopen rt " + path);
    auto entry = entries.find(key(fullPathName(path)));
    if (entry == entries.end() || entry->second.directory) return nullptr;
    mostTextFilesOpen = std::max(mostTextFilesOpen, ++textFilesOpen);
    return std::make_unique<MemoryTextReader>(textMode(entry->second.content), textFilesOpen);
}

std::unique_ptr<TextWriter> FakeFiles::writeText(const std::string& path, bool append) {
    const std::string k = key(path);
    if (failTextWrites.count(k) || isDirectory(k) || !isDirectory(parentKey(k))) return nullptr;
    if (!append || !exists(k)) addFile(path);
    return std::make_unique<MemoryTextWriter>(*this, k);
}

std::string FakeFiles::fullPathName(const std::string& path) {
    return withoutDotSegments(rootLength(path) != 0 ? path : currentDirectory + "\\" + path);
}

bool FakeFiles::shortPathName(const std::string& path, std::size_t capacity, std::string& shortPath) {
    auto found = shortNames.find(key(path));
    if (found == shortNames.end() || found->second.size() >= capacity) return false;
    shortPath = found->second;
    return true;
}

std::uint32_t FakeFiles::systemLongPathName(const char* path, char* buffer, std::uint32_t size, bool& available,
                                            std::uint32_t& error) {
    available = hasSystemLongPathName;
    if (!available) {
        error = errorCallNotImplemented;
        return 0;
    }
    error = 0;
    return emulatedLongPathName(path, buffer, size);
}

std::uint32_t FakeFiles::emulatedLongPathName(const char* path, char* buffer, std::uint32_t size) {
    const std::string k = key(path);
    if (!exists(k)) return 0;
    auto named = longNames.find(k);
    const std::string longForm = named == longNames.end() ? std::string(path) : named->second;
    if (longForm.size() + 1 > size) return static_cast<std::uint32_t>(longForm.size() + 1);
    std::memcpy(buffer, longForm.c_str(), longForm.size() + 1);
    return static_cast<std::uint32_t>(longForm.size());
}

bool FakeFiles::longPathNameWide(const std::u16string& path, std::u16string& longPath) {
    auto named = wideLongNames.find(path);
    longPath = named == wideLongNames.end() ? path : named->second;
    return !path.empty();
}

bool FakeFiles::shortPathNameWide(const std::u16string& path, std::u16string& shortPath) {
    auto named = wideShortNames.find(path);
    if (named == wideShortNames.end()) return false;
    shortPath = named->second;
    return true;
}

bool FakeFiles::searchPath(const std::string&, std::string& found) {
    found = searchPathResult;
    return !found.empty();
}

std::uint32_t FakeFiles::tempPath(std::string& path, std::uint32_t& error) {
    path = tempPathText;
    error = 0;
    return static_cast<std::uint32_t>(path.size());
}

std::uint32_t FakeFiles::tempFileName(const std::string& directory, const char* prefix, std::string& name,
                                      std::uint32_t& error) {
    if (failTempFileName || !isDirectory(directory)) {
        error = errorPathNotFound;
        return 0;
    }
    char number[16];
    std::snprintf(number, sizeof number, "%X", nextTempNumber++);
    name = (directory.back() == '\\' ? directory : directory + "\\") + prefix + number + ".tmp";
    addFile(name);
    error = 0;
    return nextTempNumber;
}

// --- environment ---

bool FakeEnvironment::get(const char* name, std::string& value) {
    auto it = variables.find(name);
    if (it == variables.end()) return false;
    value = it->second;
    return true;
}

bool FakeEnvironment::set(const char* name, const char* value, std::uint32_t& error) {
    calls_.push_back(std::string("SetEnvironmentVariable ") + name + "=" + (value ? value : "<removed>"));
    if (failSet) {
        error = 8;  // ERROR_NOT_ENOUGH_MEMORY
        return false;
    }
    if (value) {
        variables[name] = value;
    } else {
        variables.erase(name);
    }
    error = 0;
    return true;
}

void FakeEnvironment::putRuntime(const std::string& assignment) {
    calls_.push_back("_putenv " + assignment);
    runtimeAssignments.push_back(assignment);
}

std::vector<std::string> FakeEnvironment::block() {
    std::vector<std::string> entries;
    for (const auto& [name, value] : variables) entries.push_back(name + "=" + value);
    return entries;
}

// --- registry ---

std::string FakeRegistry::canonical(Hive hive, RegistryView view, const std::string& subkey) {
    std::string key = std::string(hive == Hive::currentUser ? "HKCU" : "HKLM") +
                      (view == RegistryView::bits64 ? "64\\" : "32\\") + lowerAscii(subkey);
    while (key.back() == '\\') key.pop_back();
    return key;
}

void FakeRegistry::addKey(Hive hive, const std::string& subkey, RegistryView view) {
    Key& key = keys_[canonical(hive, view, subkey)];
    std::string trimmed = subkey;
    while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
    key.name = trimmed.substr(trimmed.find_last_of('\\') + 1);
}

void FakeRegistry::setString(Hive hive, const std::string& subkey, const std::string& name,
                             const std::string& value, RegistryView view) {
    addKey(hive, subkey, view);
    keys_[canonical(hive, view, subkey)].values[lowerAscii(name)] = value;
}

const std::string* FakeRegistry::value(Hive hive, const std::string& subkey, const std::string& name,
                                       RegistryView view) const {
    auto key = keys_.find(canonical(hive, view, subkey));
    if (key == keys_.end()) return nullptr;
    auto found = key->second.values.find(lowerAscii(name));
    return found == key->second.values.end() ? nullptr : &found->second;
}

bool FakeRegistry::readValue(Hive hive, RegistryView view, const std::string& subkey, const std::string& name,
                             std::size_t capacity, std::string& data) {
    ++reads;
    calls_.push_back("RegQueryValueEx " + subkey + " " + name);
    const std::string* stored = value(hive, subkey, name, view);
    if (!stored || stored->size() > capacity) return false;
    data = *stored;
    return true;
}

bool FakeRegistry::subkeyNames(Hive hive, RegistryView view, const std::string& subkey, std::size_t limit,
                               std::vector<std::string>& names) {
    calls_.push_back("RegEnumKeyEx " + subkey);
    const std::string parent = canonical(hive, view, subkey) + "\\";
    bool exists = keys_.count(canonical(hive, view, subkey)) != 0;
    std::string previous;
    for (const auto& [path, key] : keys_) {
        if (path.compare(0, parent.size(), parent) != 0) continue;
        exists = true;
        const std::string rest = path.substr(parent.size());
        const std::string child = rest.substr(0, rest.find('\\'));
        if (child == previous || names.size() >= limit) continue;
        previous = child;
        names.push_back(rest.find('\\') == std::string::npos ? key.name : child);
    }
    return exists;
}

bool FakeRegistry::writeValue(Hive hive, RegistryView view, const std::string& subkey, const std::string& name,
                              ValueType, const std::string& data) {
    ++writes;
    calls_.push_back("RegSetValueEx " + subkey + " " + name);
    setString(hive, subkey, name, data, view);
    return true;
}

// --- processes ---

ProbeRun FakeProcesses::runProbe(const std::string& commandLine, const std::string& standardErrorFile,
                                 std::uint32_t timeoutMs) {
    calls_.push_back("CreateProcess probe " + commandLine);
    probeCommandLines.push_back(commandLine);
    lastTimeout = timeoutMs;
    std::string program = commandLine.substr(0, commandLine.rfind(" -version"));
    if (program.size() >= 2 && program.front() == '"') program = program.substr(1, program.size() - 2);
    ProbeRun run;
    auto script = scripts.find(files_.key(program));
    if (script == scripts.end()) {
        run.error = errorFileNotFound;
        return run;
    }
    run.started = true;
    files_.addFile(standardErrorFile, script->second.standardError);
    run.timedOut = script->second.timesOut;
    run.exitCode = run.timedOut ? 259 : script->second.exitCode;
    return run;
}

bool FakeProcesses::runUnpacker(const std::string& program, const std::string& commandLine, void (*started)(),
                                std::uint32_t& error) {
    calls_.push_back("CreateProcess unpacker " + program + " " + commandLine);
    unpackerRuns.push_back(program + "|" + commandLine);
    error = failStarts ? errorFileNotFound : 0;
    if (failStarts) return false;
    started();
    return true;
}

bool FakeProcesses::startExplorer(const std::string& commandLine, std::uint32_t& error) {
    calls_.push_back("CreateProcess explorer " + commandLine);
    explorerStarts.push_back(commandLine);
    error = failStarts ? errorFileNotFound : 0;
    return !failStarts;
}

void FakeProcesses::exitProcess(int code) {
    calls_.push_back("ExitProcess " + std::to_string(code));
    throw ProcessExit{code, false};
}

void FakeProcesses::exitThroughRuntime(int code) {
    calls_.push_back("exit " + std::to_string(code));
    throw ProcessExit{code, true};
}

// --- libraries ---

std::string FakeLibraries::moduleKey(const std::string& pathOrName) const {
    return pathOrName.find('\\') == std::string::npos ? lowerAscii(pathOrName) : files_.key(pathOrName);
}

void* FakeLibraries::load(const std::string& pathOrName, std::uint32_t& error) {
    calls_.push_back("LoadLibrary " + pathOrName);
    std::string current;
    loads.push_back({pathOrName, environment_.get("PATH", current) ? current : "<unset>"});
    std::string k = moduleKey(pathOrName);
    // The system's own libraries are always there.
    if (k == "kernel32.dll" && !modules.count(k)) modules[k] = Module{0, {"GetLongPathNameW", "AttachConsole"}, {}};
    auto module = modules.find(k);
    error = module == modules.end() ? errorModuleNotFound : module->second.loadError;
    if (error != 0) return nullptr;
    handles_.push_back(std::make_unique<std::string>(module->first));
    return handles_.back().get();
}

void* FakeLibraries::moduleHandle(const char* name) {
    std::uint32_t error = 0;
    return load(name, error);
}

void* FakeLibraries::resolve(void* module, const char* name) {
    if (!module) return nullptr;
    calls_.push_back(std::string("GetProcAddress ") + name);
    auto found = modules.find(*static_cast<std::string*>(module));
    if (found == modules.end() || !found->second.exports.count(name)) return nullptr;
    auto function = found->second.functions.find(name);
    return function != found->second.functions.end() ? function->second : module;
}

// --- semaphores ---

std::unique_ptr<Semaphore> FakeSemaphores::create(const std::string& name, std::uint32_t& lastError) {
    calls_.push_back("CreateSemaphore " + name);
    if (failCreate || failNames.count(name)) {
        lastError = errorAccessDenied;
        return nullptr;
    }
    lastError = open.count(name) ? errorAlreadyExists : 0;
    ++open[name];
    return std::make_unique<FakeSemaphore>(*this, name, calls_);
}

// --- windows ---

WindowHandle FakeWindows::add(const Window& window) {
    WindowHandle handle = reinterpret_cast<WindowHandle>(static_cast<std::uintptr_t>(0x1000 + all.size() * 0x10));
    all.push_back({handle, window});
    return handle;
}

FakeWindows::Window* FakeWindows::find(WindowHandle window) {
    for (auto& [handle, w] : all) {
        if (handle == window) return &w;
    }
    return nullptr;
}

std::vector<WindowHandle> FakeWindows::enumerate() {
    std::vector<WindowHandle> handles;
    for (const auto& [handle, window] : all) handles.push_back(handle);
    return handles;
}

bool FakeWindows::isVisible(WindowHandle window) {
    Window* w = find(window);
    return w && w->visible;
}

std::uint32_t FakeWindows::processOf(WindowHandle window) {
    Window* w = find(window);
    return w ? w->processId : 0;
}

bool FakeWindows::isMinimised(WindowHandle window) {
    Window* w = find(window);
    return w && w->minimised;
}

void FakeWindows::restore(WindowHandle window) {
    char text[40];
    std::snprintf(text, sizeof text, "ShowWindow %p SW_RESTORE", window);
    calls_.push_back(text);
    if (Window* w = find(window)) w->minimised = false;
}

void FakeWindows::setForeground(WindowHandle window) {
    char text[40];
    std::snprintf(text, sizeof text, "SetForegroundWindow %p", window);
    calls_.push_back(text);
}

WindowHandle FakeWindows::lastActivePopup(WindowHandle window) {
    Window* w = find(window);
    return w && w->popup ? w->popup : window;
}

// --- dialogs, resources, console, machine ---

void FakeDialogs::showError(const std::string& text, const std::string& caption) {
    calls_.push_back("MessageBox " + caption);
    messages_.push_back({true, text, caption});
}

void FakeDialogs::showPlain(const std::string& text, const std::string& caption) {
    calls_.push_back("MessageBox MB_OK " + caption);
    plain.push_back({true, text, caption});
}

bool FakeDialogs::askYesNo(const std::string& text, const std::string& caption) {
    calls_.push_back("MessageBox MB_YESNO " + caption);
    questions.push_back({true, text, caption});
    return answerYes;
}

bool FakeResources::find(std::uint16_t type, std::uint16_t id, Found& found) {
    auto resource = data.find({type, id});
    if (resource == data.end()) return false;
    found.handle = &resource->second;
    found.data = resource->second.data();
    found.size = resource->second.size();
    return true;
}

bool FakeConsole::attachToParent(std::uint32_t& error) {
    calls_.push_back("AttachConsole");
    error = attachError;
    return attachError == 0;
}

bool FakeConsole::allocate() {
    calls_.push_back("AllocConsole");
    return allocateSucceeds;
}

void FakeConsole::writeStandardError(const std::string& text) { messages_.push_back({false, text, ""}); }

void FakeConsole::writeStandardOutput(const std::string& text) { standardOutput += text; }

void FakeMachine::initCommonControls() { calls_.push_back("InitCommonControls"); }

bool FakeMachine::enableShutdownPrivilege() {
    calls_.push_back("AdjustTokenPrivileges SeShutdownPrivilege");
    return shutdownPrivilege;
}

void FakeMachine::requestRestart() { calls_.push_back("ExitWindowsEx EWX_REBOOT"); }

void FakeMachine::sleep(std::uint32_t milliseconds) {
    calls_.push_back("Sleep " + std::to_string(milliseconds));
    sleptMs += milliseconds;
    if (duringSleep) duringSleep();
}

// --- the whole ---

FakeSystem::FakeSystem() {
    files.addDirectory("C:\\");
    files.addDirectory("C:\\Temp");
    installSystem({&files, &environment, &registry, &processes, &libraries, &semaphores, &windows, &dialogs,
                   &resources, &console, &machine, &codePage});
}

FakeSystem::~FakeSystem() { uninstallSystem(); }

std::vector<std::string> FakeSystem::callsStartingWith(std::initializer_list<const char*> prefixes) const {
    std::vector<std::string> found;
    for (const std::string& call : calls) {
        for (const char* prefix : prefixes) {
            if (call.rfind(prefix, 0) == 0) {
                found.push_back(call);
                break;
            }
        }
    }
    return found;
}

}  // namespace qarvo::os::testing
