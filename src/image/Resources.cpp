// Reading the resource tree of a PE image.
#include "image/Resources.h"

#include <algorithm>
#include <set>

#include "image/LittleEndian.h"
#include "image/PeLayout.h"

namespace qarvo {

namespace {

constexpr std::uint32_t directoryHeaderSize = 16;
constexpr std::uint32_t namedCountField = 12;
constexpr std::uint32_t entrySize = 8;
constexpr std::uint32_t dataEntrySize = 16;
constexpr std::uint32_t highBit = 0x80000000u;

bool fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

std::string at(std::uint64_t offset) { return " at offset " + std::to_string(offset); }

// The tree of one image: its bytes from the resource directory to the end of
// the section that holds it, and what the walk has seen so far.
class TreeReader {
public:
    TreeReader(std::span<const std::uint8_t> tree, std::uint32_t treeRva) : tree_(tree), treeRva_(treeRva) {}

    bool read(std::vector<Resource>& out, std::string& error) {
        Resource path;
        return readDirectory(0, 0, path, out, error);
    }

private:
    enum Level { typeLevel, nameLevel, languageLevel };

    bool has(std::uint64_t offset, std::uint64_t size) const {
        return offset <= tree_.size() && size <= tree_.size() - offset;
    }
    std::uint32_t u16(std::uint64_t offset) const {
        return static_cast<std::uint32_t>(readLittleEndian(tree_.data() + offset, 2));
    }
    std::uint32_t u32(std::uint64_t offset) const {
        return static_cast<std::uint32_t>(readLittleEndian(tree_.data() + offset, 4));
    }

    bool readDirectory(std::uint32_t offset, int level, Resource& path, std::vector<Resource>& out,
                       std::string& error) {
        if (std::find(path_, path_ + level, offset) != path_ + level) {
            return fail(error, "resource directory" + at(offset) + " loops back to a directory above it");
        }
        if (!seen_.insert(offset).second) {
            return fail(error, "resource directory" + at(offset) + " is shared by two entries");
        }
        path_[level] = offset;
        if (!has(offset, directoryHeaderSize)) {
            return fail(error, "resource directory" + at(offset) + " runs past the end of the section");
        }
        const std::uint32_t count = u16(offset + namedCountField) + u16(offset + namedCountField + 2);
        if (!has(offset + directoryHeaderSize, std::uint64_t{count} * entrySize)) {
            return fail(error, "resource directory" + at(offset) + ": " + std::to_string(count) +
                                   " entries run past the end of the section");
        }
        // Well-formed entries never overlap, so more than the section can hold
        // is damage; the bound keeps directories laid over one another from
        // multiplying the work.
        entries_ += count;
        if (entries_ > tree_.size() / entrySize) {
            return fail(error, "resource tree has more entries than its section can hold");
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t entry = offset + directoryHeaderSize + std::uint64_t{i} * entrySize;
            if (!readEntry(entry, level, path, out, error)) return false;
        }
        return true;
    }

    bool readEntry(std::uint64_t entry, int level, Resource& path, std::vector<Resource>& out,
                   std::string& error) {
        const std::uint32_t nameField = u32(entry);
        const std::uint32_t target = u32(entry + 4);
        ResourceId id;
        if ((nameField & highBit) != 0) {
            if (level == languageLevel) return fail(error, "resource language" + at(entry) + " is a name");
            if (!readName(nameField & ~highBit, id.name, error)) return false;
        } else if (nameField > 0xFFFF) {
            return fail(error, "resource id " + std::to_string(nameField) + at(entry) + " exceeds 16 bits");
        } else {
            id.id = static_cast<std::uint16_t>(nameField);
        }
        if (level == typeLevel) path.type = id;
        if (level == nameLevel) path.name = id;
        if (level == languageLevel) path.language = id.id;

        const bool directory = (target & highBit) != 0;
        if (directory && level == languageLevel) {
            return fail(error, "resource tree" + at(entry) + " goes deeper than type, name and language");
        }
        if (!directory && level != languageLevel) {
            return fail(error, "resource entry" + at(entry) + " points to data above the language level");
        }
        if (directory) return readDirectory(target & ~highBit, level + 1, path, out, error);
        return readData(target, path, out, error);
    }

    bool readName(std::uint32_t offset, std::u16string& name, std::string& error) const {
        if (!has(offset, 2)) return fail(error, "resource name" + at(offset) + " runs past the end of the section");
        const std::uint32_t length = u16(offset);
        if (length == 0) return fail(error, "resource name" + at(offset) + " is empty");
        if (!has(offset + 2, std::uint64_t{length} * 2)) {
            return fail(error, "resource name" + at(offset) + " runs past the end of the section");
        }
        name.resize(length);
        for (std::uint32_t i = 0; i < length; ++i) name[i] = static_cast<char16_t>(u16(offset + 2 + 2 * i));
        return true;
    }

    bool readData(std::uint32_t offset, const Resource& path, std::vector<Resource>& out, std::string& error) {
        if (!has(offset, dataEntrySize)) {
            return fail(error, "resource data entry" + at(offset) + " runs past the end of the section");
        }
        const std::uint32_t rva = u32(offset);
        const std::uint32_t size = u32(offset + 4);
        const std::uint64_t start = std::uint64_t{rva} - treeRva_;  // wraps far out of range when below
        if (rva < treeRva_ || !has(start, size)) {
            return fail(error, "resource data at RVA " + std::to_string(rva) + " (" + std::to_string(size) +
                                   " bytes) lie outside the resource section");
        }
        dataBytes_ += size;
        if (dataBytes_ > tree_.size()) return fail(error, "resource data add up to more than their section holds");
        // Every resource carries its own copy of its type's and its name's
        // names: a tree that puts long names above many languages would
        // otherwise ask for gigabytes.
        nameBytes_ += 2 * (path.type.name.size() + path.name.name.size());
        if (nameBytes_ > maxNameBytes) {
            return fail(error, "resource names add up to more than " + std::to_string(maxNameBytes >> 20) +
                                   " MiB over the resources they name");
        }
        Resource resource = path;
        resource.codePage = u32(offset + 8);
        resource.data.assign(tree_.begin() + static_cast<std::ptrdiff_t>(start),
                             tree_.begin() + static_cast<std::ptrdiff_t>(start + size));
        out.push_back(std::move(resource));
        return true;
    }

    std::span<const std::uint8_t> tree_;
    std::uint32_t treeRva_;
    std::uint32_t path_[3] = {};     // offsets of the directories above the one read, by level
    std::set<std::uint32_t> seen_;   // offsets of the directories read
    std::uint64_t entries_ = 0;
    std::uint64_t dataBytes_ = 0;
    std::uint64_t nameBytes_ = 0;
    static constexpr std::uint64_t maxNameBytes = std::uint64_t{16} << 20;
};

}  // namespace

bool readResources(std::span<const std::uint8_t> image, std::vector<Resource>& out, std::string& error) {
    out.clear();
    PeImage pe;
    if (!parsePeImage(image, pe, error)) return false;
    if (pe.dataDirectories.size() <= pe::resourceDirectory) return true;
    const PeDataDirectory directory = pe.dataDirectories[pe::resourceDirectory];
    if (directory.address == 0 && directory.size == 0) return true;
    for (const PeSection& s : pe.sections) {
        // What the loader maps from the file: the raw data, up to the virtual size.
        const std::uint32_t mapped = s.virtualSize != 0 ? std::min(s.virtualSize, s.rawDataSize) : s.rawDataSize;
        if (directory.address < s.virtualAddress || directory.address - s.virtualAddress >= mapped) continue;
        const std::uint32_t into = directory.address - s.virtualAddress;
        // Within the file: the parser checked every section's raw data.
        const std::span<const std::uint8_t> tree = image.subspan(std::size_t{s.rawDataOffset} + into, mapped - into);
        std::vector<Resource> resources;
        if (!TreeReader(tree, directory.address).read(resources, error)) return false;
        out = std::move(resources);
        return true;
    }
    return fail(error, "resource directory at RVA " + std::to_string(directory.address) +
                           " lies outside every section's data");
}

const Resource* findResource(const std::vector<Resource>& resources, const ResourceId& type,
                             const ResourceId& name) {
    for (const Resource& r : resources) {
        if (r.type == type && r.name == name) return &r;
    }
    return nullptr;
}

}  // namespace qarvo
