// The resources of a PE image: reading the resource tree, encoding a resource
// section, and replacing the resource section of an image.
//
// A resource tree has three levels: type, name, language. A directory is a
// 16-byte header (characteristics, time stamp, version, the count of named
// entries, the count of id entries) followed by its 8-byte entries; an entry
// is a name (the offset of a length-prefixed UTF-16 string, high bit set) or
// an id, and the offset of a subdirectory (high bit set) or of a 16-byte data
// entry (RVA of the data, size, code page, reserved). Offsets are relative to
// the start of the tree; only the data entry holds an RVA.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qarvo {

// Resource types used by the launcher and the build tool (RT_*).
namespace rt {
constexpr std::uint16_t icon = 3;
constexpr std::uint16_t rcdata = 10;
constexpr std::uint16_t groupIcon = 14;
constexpr std::uint16_t version = 16;
constexpr std::uint16_t manifest = 24;
}  // namespace rt

// The language of US English, the usual language of version information.
constexpr std::uint16_t englishUnitedStates = 0x0409;

// A type or name: a string when `name` is non-empty (`id` then means
// nothing), else the number `id`. FindResource looks a string up in upper
// case, as resource compilers store it: give names in upper case to have them
// found.
struct ResourceId {
    std::uint16_t id = 0;
    std::u16string name;

    bool named() const { return !name.empty(); }
    bool operator==(const ResourceId& other) const {
        return named() ? name == other.name : !other.named() && id == other.id;
    }
};

struct Resource {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;  // of the data entry; 0 for almost every resource
    std::vector<std::uint8_t> data;
    bool operator==(const Resource&) const = default;
};

// Reads every resource of the PE image in `image` into `out` (replaced), in
// tree order. An image without a resource directory has none. Every offset,
// count and size of the tree is checked against the section that holds the
// directory, where the data must lie too; a subdirectory below the language
// level, data above it, a directory reached twice (a loop included), more
// entries than the section can hold or data adding up to more than it holds
// all fail. False with a message in `error` when the image is no PE image
// (parsePeImage's message) or its tree is malformed.
bool readResources(std::span<const std::uint8_t> image, std::vector<Resource>& out, std::string& error);

// The first resource of that type and name in any language; null when none.
const Resource* findResource(const std::vector<Resource>& resources, const ResourceId& type,
                             const ResourceId& name);

// The raw data of a resource section at virtual address `sectionRva` holding
// `resources` (`out`, replaced), laid out as Windows' own tools lay it out:
// the directories breadth first with their entries sorted (named entries
// first, by name unit by unit, then ids ascending; languages ascending), time
// stamps 0, then the data entries, the names, and the data, each at a
// multiple of 8 bytes. Not padded to the file alignment. The same resources in
// any order give the same bytes. False with a message in `error` when two
// resources share type, name and language, a name is longer than 65535 UTF-16
// units or the section would end beyond 4 GiB of address space.
bool encodeResourceSection(const std::vector<Resource>& resources, std::uint32_t sectionRva,
                           std::vector<std::uint8_t>& out, std::string& error);

// Replaces the resource section of the PE image in `image` with one holding
// `resources`: the section holding the resource directory must be the last
// section, start with the directory and end the file. Its raw data are
// rewritten (padded with zeros to the file alignment) and its virtual size,
// SizeOfImage, SizeOfInitializedData, the resource data directory and the
// checksum fixed. Refuses an image that carries a certificate table or data
// behind its last section (a signature or a configuration block: both belong
// behind the resources and are written after them). False with a message in
// `error`, and `image` untouched, when the image cannot take the section.
bool replaceResources(std::vector<std::uint8_t>& image, const std::vector<Resource>& resources,
                      std::string& error);

}  // namespace qarvo
