// Writing a resource section and putting it into an image.
#include <algorithm>
#include <cstdio>

#include "image/LittleEndian.h"
#include "image/PeLayout.h"
#include "image/Resources.h"

namespace qarvo {

namespace {

constexpr std::uint64_t directoryHeaderSize = 16;
constexpr std::uint64_t entrySize = 8;
constexpr std::uint64_t dataEntrySize = 16;
constexpr std::uint64_t dataAlignment = 8;
constexpr std::uint32_t highBit = 0x80000000u;

bool fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

std::uint64_t alignUp(std::uint64_t value, std::uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// Named before numbered, names unit by unit, numbers ascending: the order in
// which the loader's binary search expects a directory's entries.
bool idLess(const ResourceId& a, const ResourceId& b) {
    if (a.named() != b.named()) return a.named();
    return a.named() ? a.name < b.name : a.id < b.id;
}

bool resourceLess(const Resource* a, const Resource* b) {
    if (!(a->type == b->type)) return idLess(a->type, b->type);
    if (!(a->name == b->name)) return idLess(a->name, b->name);
    return a->language < b->language;
}

// A name or number for a message; characters outside printable ASCII as \uXXXX.
std::string describe(const ResourceId& id) {
    if (!id.named()) return std::to_string(id.id);
    std::string text = "\"";
    for (char16_t unit : id.name) {
        if (unit >= 0x20 && unit < 0x7F) {
            text += static_cast<char>(unit);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
            text += escaped;
        }
    }
    return text + "\"";
}

// One directory of the tree being written, with its entries' ids and what
// each points to: a directory (index into the list) at the type and name
// levels, a resource (index into the sorted list) at the language level.
struct Directory {
    bool languageLevel = false;
    std::vector<ResourceId> ids;
    std::vector<std::size_t> children;
    std::uint64_t offset = 0;

    std::uint64_t namedCount() const {
        return static_cast<std::uint64_t>(
            std::count_if(ids.begin(), ids.end(), [](const ResourceId& id) { return id.named(); }));
    }
};

// The directories breadth first: the root, a directory per type, a directory
// per type and name. The sorted order of the resources is that order already.
bool buildDirectories(const std::vector<const Resource*>& sorted, std::vector<Directory>& dirs, std::string& error) {
    std::size_t types = 0, names = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const Resource& r = *sorted[i];
        const bool newType = i == 0 || !(sorted[i - 1]->type == r.type);
        const bool newName = newType || !(sorted[i - 1]->name == r.name);
        if (!newName && sorted[i - 1]->language == r.language) {
            return fail(error, "two resources of type " + describe(r.type) + ", name " + describe(r.name) +
                                   ", language " + std::to_string(r.language));
        }
        if (r.type.name.size() > 0xFFFF || r.name.name.size() > 0xFFFF) {
            return fail(error, "resource name longer than 65535 characters");
        }
        types += newType;
        names += newName;
    }
    dirs.assign(1 + types + names, Directory{});
    std::size_t type = 0, name = 0;  // directory indices of the current type and name
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const Resource& r = *sorted[i];
        const bool newType = i == 0 || !(sorted[i - 1]->type == r.type);
        const bool newName = newType || !(sorted[i - 1]->name == r.name);
        if (newType) {
            type = i == 0 ? 1 : type + 1;
            dirs[0].ids.push_back(r.type);
            dirs[0].children.push_back(type);
        }
        if (newName) {
            name = i == 0 ? 1 + types : name + 1;
            dirs[type].ids.push_back(r.name);
            dirs[type].children.push_back(name);
        }
        dirs[name].languageLevel = true;
        dirs[name].ids.push_back(ResourceId{r.language, {}});
        dirs[name].children.push_back(i);
    }
    for (const Directory& d : dirs) {
        if (d.namedCount() > 0xFFFF || d.ids.size() - d.namedCount() > 0xFFFF) {
            return fail(error, "more than 65535 entries of one kind in a resource directory");
        }
    }
    return true;
}

void put(std::vector<std::uint8_t>& out, std::uint64_t offset, std::uint64_t value, std::size_t size) {
    writeLittleEndian(out.data() + offset, value, size);
}

// Where each part of the section goes.
struct SectionLayout {
    std::uint64_t dataEntries = 0;           // the first data entry; one per sorted resource
    std::vector<std::uint64_t> nameOffsets;  // of the named entries, in directory and entry order
    std::uint64_t tablesEnd = 0;             // behind the names
    std::vector<std::uint64_t> dataOffsets;  // per sorted resource
    std::uint64_t size = 0;
};

SectionLayout layOut(std::vector<Directory>& dirs, const std::vector<const Resource*>& sorted) {
    SectionLayout layout;
    std::uint64_t end = 0;
    for (Directory& d : dirs) {
        d.offset = end;
        end += directoryHeaderSize + entrySize * d.ids.size();
    }
    layout.dataEntries = end;
    end += dataEntrySize * sorted.size();
    for (const Directory& d : dirs) {
        for (const ResourceId& id : d.ids) {
            if (!id.named()) continue;
            layout.nameOffsets.push_back(end);
            end += 2 + 2 * std::uint64_t{id.name.size()};
        }
    }
    layout.tablesEnd = end;
    for (const Resource* r : sorted) {
        end = alignUp(end, dataAlignment);
        layout.dataOffsets.push_back(end);
        end += r->data.size();
    }
    layout.size = end;
    return layout;
}

}  // namespace

bool encodeResourceSection(const std::vector<Resource>& resources, std::uint32_t sectionRva,
                           std::vector<std::uint8_t>& out, std::string& error) {
    std::vector<const Resource*> sorted;
    sorted.reserve(resources.size());
    for (const Resource& r : resources) sorted.push_back(&r);
    std::sort(sorted.begin(), sorted.end(), resourceLess);
    std::vector<Directory> dirs;
    if (!buildDirectories(sorted, dirs, error)) return false;
    const SectionLayout layout = layOut(dirs, sorted);
    // Directory and name offsets carry a flag in their high bit.
    if (layout.tablesEnd >= highBit) return fail(error, "resource directories larger than 2 GiB");
    if (layout.size > std::uint64_t{UINT32_MAX} - sectionRva) {
        return fail(error, "resource section of " + std::to_string(layout.size) + " bytes at RVA " +
                               std::to_string(sectionRva) + " ends beyond 4 GiB");
    }

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(layout.size), 0);
    std::size_t name = 0;
    for (const Directory& d : dirs) {
        put(bytes, d.offset + 12, d.namedCount(), 2);
        put(bytes, d.offset + 14, d.ids.size() - d.namedCount(), 2);
        for (std::size_t e = 0; e < d.ids.size(); ++e) {
            const std::uint64_t entry = d.offset + directoryHeaderSize + entrySize * e;
            const ResourceId& id = d.ids[e];
            if (id.named()) {
                const std::uint64_t at = layout.nameOffsets[name++];
                put(bytes, entry, at | highBit, 4);
                put(bytes, at, id.name.size(), 2);
                for (std::size_t u = 0; u < id.name.size(); ++u) put(bytes, at + 2 + 2 * u, id.name[u], 2);
            } else {
                put(bytes, entry, id.id, 4);
            }
            const std::size_t child = d.children[e];
            if (!d.languageLevel) {
                put(bytes, entry + 4, dirs[child].offset | highBit, 4);
                continue;
            }
            const std::uint64_t dataEntry = layout.dataEntries + dataEntrySize * child;
            put(bytes, entry + 4, dataEntry, 4);
            put(bytes, dataEntry, sectionRva + layout.dataOffsets[child], 4);
            put(bytes, dataEntry + 4, sorted[child]->data.size(), 4);
            put(bytes, dataEntry + 8, sorted[child]->codePage, 4);
            std::copy(sorted[child]->data.begin(), sorted[child]->data.end(),
                      bytes.begin() + static_cast<std::ptrdiff_t>(layout.dataOffsets[child]));
        }
    }
    out = std::move(bytes);
    return true;
}

namespace {

std::uint32_t fieldAt(const std::vector<std::uint8_t>& image, std::uint64_t offset) {
    return static_cast<std::uint32_t>(readLittleEndian(image.data() + offset, 4));
}

bool isPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

// Why the last section of `pe` cannot be replaced with a new resource
// section; empty when it can.
std::string unfitForNewResources(const std::vector<std::uint8_t>& image, const PeImage& pe) {
    if (pe.dataDirectories.size() <= pe::resourceDirectory ||
        pe.dataDirectories[pe::resourceDirectory].address == 0) {
        return "the image has no resource directory";
    }
    if (pe.dataDirectories.size() > pe::certificateDirectory && pe.dataDirectories[pe::certificateDirectory].size != 0) {
        return "the image carries a certificate table (a code signature); replace its resources before signing it";
    }
    if (image.size() > pe.lastSectionEnd()) {
        return "the image has " + std::to_string(image.size() - pe.lastSectionEnd()) +
               " bytes behind its last section (a signature or a configuration block); start from an image without them";
    }
    const PeSection& last = pe.sections.back();
    const std::uint32_t rva = pe.dataDirectories[pe::resourceDirectory].address;
    if (rva != last.virtualAddress) {
        return "the resource directory does not start the last section (" + last.name + ")";
    }
    const std::uint64_t headersEnd = std::uint64_t{pe.sectionTableOffset} + pe.sectionCount * pe::sectionHeaderSize;
    if (last.rawDataOffset < headersEnd) return "the last section's raw data lie inside the headers";
    for (std::size_t i = 0; i + 1 < pe.sections.size(); ++i) {
        const PeSection& s = pe.sections[i];
        if (s.virtualAddress >= last.virtualAddress) return "section " + s.name + " lies behind the last section in memory";
        if (s.rawDataSize != 0 && std::uint64_t{s.rawDataOffset} + s.rawDataSize > last.rawDataOffset) {
            return "section " + s.name + " has raw data behind the last section's";
        }
    }
    for (std::size_t d = 0; d < pe.dataDirectories.size(); ++d) {
        const PeDataDirectory& dir = pe.dataDirectories[d];
        if (d == pe::resourceDirectory || d == pe::certificateDirectory || dir.size == 0) continue;
        if (dir.address >= last.virtualAddress) {
            return "data directory " + std::to_string(d) + " lies in the resource section";
        }
    }
    const std::uint32_t fileAlignment = fieldAt(image, pe.checkSumOffset - pe::checkSumField + pe::fileAlignmentField);
    const std::uint32_t sectionAlignment =
        fieldAt(image, pe.checkSumOffset - pe::checkSumField + pe::sectionAlignmentField);
    if (!isPowerOfTwo(fileAlignment) || !isPowerOfTwo(sectionAlignment) || sectionAlignment < fileAlignment) {
        return "the image's alignments (file " + std::to_string(fileAlignment) + ", section " +
               std::to_string(sectionAlignment) + ") are not powers of two with the section's the larger";
    }
    return {};
}

}  // namespace

bool replaceResources(std::vector<std::uint8_t>& image, const std::vector<Resource>& resources, std::string& error) {
    PeImage pe;
    if (!parsePeImage(image, pe, error)) return false;
    error = unfitForNewResources(image, pe);
    if (!error.empty()) return false;
    const PeSection& last = pe.sections.back();
    std::vector<std::uint8_t> section;
    if (!encodeResourceSection(resources, last.virtualAddress, section, error)) return false;

    const std::uint64_t optional = pe.checkSumOffset - pe::checkSumField;
    const std::uint32_t fileAlignment = fieldAt(image, optional + pe::fileAlignmentField);
    const std::uint32_t sectionAlignment = fieldAt(image, optional + pe::sectionAlignmentField);
    const std::uint64_t rawSize = alignUp(section.size(), fileAlignment);
    const std::uint64_t imageSize = alignUp(std::uint64_t{last.virtualAddress} + section.size(), sectionAlignment);
    if (imageSize > UINT32_MAX || std::uint64_t{last.rawDataOffset} + rawSize > UINT32_MAX) {
        return fail(error, "the image with " + std::to_string(section.size()) + " bytes of resources exceeds 4 GiB");
    }

    std::vector<std::uint8_t> out(image.begin(), image.begin() + last.rawDataOffset);
    out.insert(out.end(), section.begin(), section.end());
    out.resize(static_cast<std::size_t>(last.rawDataOffset + rawSize), 0);
    const std::uint64_t header = pe::sectionHeaderOffset(pe.peOffset, pe.optionalHeaderSize, pe.sectionCount - 1);
    put(out, header + pe::virtualSizeField, section.size(), 4);
    put(out, header + pe::rawDataSizeField, rawSize, 4);
    put(out, optional + pe::sizeOfImageField, imageSize, 4);
    if ((last.characteristics & pe::initializedDataSection) != 0) {
        // The linker adds up the raw sizes of the data sections; a sum too
        // small to hold the old section is left to count the new one alone.
        const std::uint32_t old = fieldAt(image, optional + pe::sizeOfInitializedDataField);
        const std::uint64_t sum = old >= last.rawDataSize ? std::uint64_t{old} - last.rawDataSize + rawSize : rawSize;
        put(out, optional + pe::sizeOfInitializedDataField, std::min<std::uint64_t>(sum, UINT32_MAX), 4);
    }
    const std::uint64_t directory = pe.dataDirectoryOffset + pe::resourceDirectory * pe::dataDirectorySize;
    put(out, directory + 4, section.size(), 4);
    put(out, pe.checkSumOffset, peChecksum(out, pe.checkSumOffset), 4);
    image = std::move(out);
    return true;
}

}  // namespace qarvo
