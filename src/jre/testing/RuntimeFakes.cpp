#include "jre/testing/RuntimeFakes.h"

#include "config/Configuration.h"
#include "image/LittleEndian.h"
#include "image/PeLayout.h"
#include "vmargs/VariableExpansion.h"

namespace qarvo::testing {

namespace {

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return text;
}

constexpr std::uint32_t errorModuleNotFound = 126;

}  // namespace

std::string FakeRegistry::canonical(Hive hive, const std::string& subkey) {
    std::string key = (hive == Hive::currentUser ? "HKCU\\" : "HKLM\\") + lowerCase(subkey);
    while (key.back() == '\\') key.pop_back();
    return key;
}

void FakeRegistry::addKey(Hive hive, const std::string& subkey) {
    Key& key = keys_[canonical(hive, subkey)];
    std::string trimmed = subkey;
    while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
    key.name = trimmed.substr(trimmed.find_last_of('\\') + 1);
}

bool FakeRegistry::readValue(Hive hive, const std::string& subkey, const std::string& name, std::size_t capacity,
                             std::string& data) {
    ++reads;
    const std::string* stored = value(hive, subkey, name);
    if (!stored || stored->size() > capacity) return false;
    data = *stored;
    return true;
}

const std::string* FakeRegistry::value(Hive hive, const std::string& subkey, const std::string& name) const {
    auto key = keys_.find(canonical(hive, subkey));
    if (key == keys_.end()) return nullptr;
    auto found = key->second.values.find(lowerCase(name));
    return found == key->second.values.end() ? nullptr : &found->second;
}

bool FakeRegistry::subkeyNames(Hive hive, const std::string& subkey, std::size_t limit,
                               std::vector<std::string>& names) {
    const std::string parent = canonical(hive, subkey) + "\\";
    bool exists = keys_.count(canonical(hive, subkey)) != 0;
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

bool FakeRegistry::writeValue(Hive hive, const std::string& subkey, const std::string& name, ValueType,
                              const std::string& data) {
    ++writes;
    addKey(hive, subkey);
    keys_[canonical(hive, subkey)].values[lowerCase(name)] = data;
    return true;
}

bool FakeRuntimeFiles::readFile(const std::string& path, std::uint64_t offset, std::size_t maxBytes,
                                std::string& bytes) {
    const std::string key = FakeFileSystem::key(path);
    if (!fs_.exists(path) || fs_.directories.count(key)) return false;
    const std::string& content = contents[key];
    bytes = offset < content.size() ? content.substr(offset, maxBytes) : std::string();
    return true;
}

bool FakeRuntimeFiles::deleteFile(const std::string& path) {
    const std::string key = FakeFileSystem::key(path);
    if (!fs_.exists(path)) return false;
    fs_.entries.erase(key);
    contents.erase(key);
    deleted.push_back(path);
    return true;
}

bool FakeRuntimeFiles::shortPathName(const std::string& path, std::string& shortPath) {
    auto found = shortNames.find(FakeFileSystem::key(path));
    if (found == shortNames.end()) return false;
    shortPath = found->second;
    return true;
}

bool FakeRuntimeFiles::searchPath(const std::string&, std::string& found) {
    found = searchPathResult;
    return !found.empty();
}

void FakeRuntimeFiles::write(const std::string& path, const std::string& bytes, FileTime time) {
    fs_.addFile(path, time);
    contents[FakeFileSystem::key(path)] = bytes;
}

ProbeRun FakeProbeProcess::run(const std::string& commandLine, const std::string& standardErrorFile,
                               std::uint32_t timeoutMs) {
    commandLines.push_back(commandLine);
    lastTimeout = timeoutMs;
    std::string program = commandLine.substr(0, commandLine.rfind(" -version"));
    if (program.size() >= 2 && program.front() == '"') program = program.substr(1, program.size() - 2);
    ProbeRun run;
    auto script = scripts.find(FakeFileSystem::key(program));
    if (script == scripts.end()) {
        run.error = 2;
        return run;
    }
    run.started = true;
    files_.write(standardErrorFile, script->second.standardError);
    run.timedOut = script->second.timesOut;
    run.exitCode = run.timedOut ? 259 : script->second.exitCode;
    return run;
}

void* FakeLibraryLoader::load(const std::string& path, std::uint32_t& error) {
    std::string current;
    loads.push_back({path, env_.get("PATH", current) ? current : "<unset>"});
    auto module = modules.find(FakeFileSystem::key(path));
    error = module == modules.end() ? errorModuleNotFound : module->second.loadError;
    return error == 0 ? &module->second : nullptr;
}

void* FakeLibraryLoader::symbol(void* module, const char* name) {
    const auto* loaded = static_cast<Module*>(module);
    return loaded->exportsCreate && std::string(name) == "JNI_CreateJavaVM" ? module : nullptr;
}

bool FakeLibraryLoader::setPath(const char* value, std::uint32_t& error) {
    runtimePath.push_back(std::string("PATH=") + (value ? value : ""));
    if (failSetPath) {
        error = 8;
        return false;
    }
    env_.set("PATH", value);
    return true;
}

RuntimeFixture::RuntimeFixture() {
    system.files.addDirectory("C:\\");
    system.files.addDirectory("C:\\Temp");
    installRegistry(registry);
    installRuntimeFiles(files);
    installProbeProcess(process);
    installLibraryLoader(loader);
    resetJvmHomeForTesting();
    system.enableLog();
}

RuntimeFixture::~RuntimeFixture() {
    resetRegistryForTesting();
    resetRuntimeSystemForTesting();
    resetJvmHomeForTesting();
}

void RuntimeFixture::addJavaExe(const std::string& path, const std::string& output, std::uint16_t machine,
                                FileTime time) {
    files.write(path, peHeader(machine), time);
    process.scripts[FakeFileSystem::key(path)] = {output};
}

std::string RuntimeFixture::addRuntime(const std::string& home, const std::string& version,
                                       const std::string& type) {
    const std::string javaExe = home + "\\bin\\java.exe";
    addJavaExe(javaExe, "java version \"" + version + "\"\n");
    files.write(home + "\\bin\\javaw.exe", peHeader(0x014C));
    addJvmDll(home + "\\bin\\" + type + "\\jvm.dll");
    return javaExe;
}

void RuntimeFixture::addJvmDll(const std::string& path, std::uint32_t loadError) {
    files.write(path, "MZ");
    loader.modules[FakeFileSystem::key(path)] = {loadError};
}

void RuntimeFixture::setKey(std::int32_t key, const std::string& value) {
    configurationMaps().stringValues[key] = value;
}

std::vector<std::string> RuntimeFixture::logLinesStartingWith(std::initializer_list<const char*> prefixes) const {
    std::vector<std::string> lines;
    for (const std::string& line : system.logLines()) {
        for (const char* prefix : prefixes) {
            if (line.rfind(prefix, 0) == 0) {
                lines.push_back(line);
                break;
            }
        }
    }
    return lines;
}

std::string peHeader(std::uint16_t machine) {
    // The PE signature right behind the DOS header, the machine type behind it.
    std::vector<std::uint8_t> bytes(pe::dosHeaderSize + pe::machineField + 2, 0);
    writeLittleEndian(bytes.data(), pe::dosSignature, 2);
    writeLittleEndian(bytes.data() + pe::peOffsetField, pe::dosHeaderSize, 4);
    writeLittleEndian(bytes.data() + pe::dosHeaderSize, pe::signature, 4);
    writeLittleEndian(bytes.data() + pe::dosHeaderSize + pe::machineField, machine, 2);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace qarvo::testing
