#include "image/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "image/LittleEndian.h"
#include "image/PeLayout.h"
#include "image/testing/ByteBuilder.h"
#include "image/testing/FakePe.h"

namespace qarvo {
namespace {

using testing::ByteBuilder;
using testing::fakeResourceRva;
using testing::makeFakePeWithResources;

using Bytes = std::vector<std::uint8_t>;

ResourceId id(std::uint16_t number) { return ResourceId{number, {}}; }
ResourceId named(std::u16string name) { return ResourceId{0, std::move(name)}; }

Resource resource(ResourceId type, ResourceId name, std::uint16_t language, Bytes data, std::uint32_t codePage = 0) {
    return Resource{std::move(type), std::move(name), language, codePage, std::move(data)};
}

Bytes encode(const std::vector<Resource>& resources) {
    Bytes section;
    std::string error;
    EXPECT_TRUE(encodeResourceSection(resources, fakeResourceRva, section, error)) << error;
    return section;
}

std::uint32_t field(const Bytes& bytes, std::size_t at, std::size_t size = 4) {
    return static_cast<std::uint32_t>(readLittleEndian(bytes.data() + at, size));
}

// Directories breadth first, then data entries, names and 8-aligned data:
// worked out by hand for a named type and a numbered one.
TEST(Resources, SectionIsLaidOutAsWindowsToolsLayItOut) {
    const Bytes section = encode({resource(id(24), id(1), 0x409, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 1252),
                                  resource(named(u"PNG"), id(5), 0x409, {'a', 'b', 'c'})});
    ByteBuilder expected;
    auto directory = [&](std::int16_t namedCount, std::int16_t idCount) {
        expected.u32(0).u32(0).i16(0).i16(0).i16(namedCount).i16(idCount);
    };
    directory(1, 1);  // root at 0: the named type first
    expected.u32(0x80000000u | 160).u32(0x80000000u | 32).u32(24).u32(0x80000000u | 56);
    directory(0, 1);  // type "PNG" at 32
    expected.u32(5).u32(0x80000000u | 80);
    directory(0, 1);  // type 24 at 56
    expected.u32(1).u32(0x80000000u | 104);
    directory(0, 1);  // "PNG" 5 at 80
    expected.u32(0x409).u32(128);
    directory(0, 1);  // 24 1 at 104
    expected.u32(0x409).u32(144);
    expected.u32(fakeResourceRva + 168).u32(3).u32(0).u32(0);     // data entry at 128
    expected.u32(fakeResourceRva + 176).u32(9).u32(1252).u32(0);  // data entry at 144
    expected.i16(3).i16('P').i16('N').i16('G');                   // name at 160
    expected.raw(Bytes{'a', 'b', 'c', 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(section, expected.bytes);
}

// Entries sorted named first (by name, unit by unit), then ids ascending, at
// every level; the order of the input does not matter.
TEST(Resources, RoundTripReadsBackEveryResourceInSortedOrder) {
    const std::vector<Resource> sorted = {
        resource(named(u"B"), named(u"Z"), 0, {7}),
        resource(named(u"BA"), id(1), 0, {}),
        resource(named(u"b"), id(1), 0, Bytes(1000, 0xAB), 65001),
        resource(id(3), named(u"\u00C4"), 7, {1, 2}),
        resource(id(3), id(2), 0, {3}),
        resource(id(3), id(2), 0x407, {4, 5, 6}),
        resource(id(3), id(2), 0x409, {4}),
        resource(id(3), id(10), 0, {8}),
        resource(id(24), id(1), 0x409, {'<', '?', 'x'}),
    };
    std::vector<Resource> shuffled = sorted;
    std::reverse(shuffled.begin(), shuffled.end());
    std::swap(shuffled[0], shuffled[4]);
    EXPECT_EQ(encode(shuffled), encode(sorted));

    Bytes image = makeFakePeWithResources({});
    std::string error;
    ASSERT_TRUE(replaceResources(image, shuffled, error)) << error;
    std::vector<Resource> read;
    ASSERT_TRUE(readResources(image, read, error)) << error;
    EXPECT_EQ(read, sorted);
    ASSERT_NE(findResource(read, id(3), id(2)), nullptr);
    EXPECT_EQ(findResource(read, id(3), id(2))->data, Bytes{3});
    EXPECT_EQ(findResource(read, id(3), id(11)), nullptr);
}

TEST(Resources, EncoderRefusesWhatATreeCannotHold) {
    struct Case {
        const char* name;
        std::vector<Resource> resources;
        std::uint32_t rva;
        const char* message;
    } cases[] = {
        {"same type, name and language",
         {resource(id(10), named(u"X\u00E9"), 9, {1}), resource(id(10), ResourceId{3, u"X\u00E9"}, 9, {2})},
         0x1000,
         "two resources of type 10, name \"X\\u00E9\", language 9"},
        {"name too long", {resource(named(std::u16string(65536, u'N')), id(1), 0, {})}, 0x1000,
         "resource name longer than 65535 characters"},
        {"beyond 4 GiB", {resource(id(10), id(1), 0, Bytes(64, 1))}, 0xFFFFFFF0u,
         "resource section of 152 bytes at RVA 4294967280 ends beyond 4 GiB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out = {0x55};
        std::string error;
        EXPECT_FALSE(encodeResourceSection(c.resources, c.rva, out, error));
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(out, Bytes{0x55});
    }
}

TEST(Resources, AnImageWithoutResourceDirectoryHasNoResources) {
    Bytes image = makeFakePeWithResources({});
    const std::size_t directory = 0x40 + pe::optionalHeaderStart + pe::pe32DirectoryCountField + 4 + 16;
    writeLittleEndian(image.data() + directory, 0, 8);
    std::vector<Resource> read = {resource(id(1), id(1), 0, {})};
    std::string error;
    EXPECT_TRUE(readResources(image, read, error)) << error;
    EXPECT_TRUE(read.empty());
}

// A small valid tree whose fields the hostile cases patch. Offsets: root at 0
// (entries at 16, 24: types "T" and 10), type "T" at 32 (entry at 48),
// type 10 at 56 (entries at 72, 80: names 1 and 2), name directories at 88
// ("T" 1, entry at 104), 112 (10 1, entry at 128) and 136 (10 2, entries at
// 152 and 160: languages 0 and 1), data entries at 168, 184, 200, 216, the
// name "T" at 232, data at 240, 248 (100 bytes), 352 and 360; 361 bytes.
std::vector<Resource> hostileBase() {
    return {resource(named(u"T"), id(1), 0, {1}), resource(id(10), id(1), 0, Bytes(100, 2)),
            resource(id(10), id(2), 0, {3}), resource(id(10), id(2), 1, {4})};
}

constexpr std::uint32_t dir = 0x80000000u;  // the flag of a subdirectory or name offset

TEST(Resources, HostileTreesFailWithTheirMessage) {
    const Bytes base = encode(hostileBase());
    ASSERT_EQ(base.size(), 361u);
    ASSERT_EQ(field(base, 16), dir | 232);
    ASSERT_EQ(field(base, 164), 216u);
    struct Patch {
        std::size_t at;
        std::uint32_t value;
        std::size_t size = 4;
    };
    struct Case {
        const char* name;
        std::vector<Patch> patches;
        const char* message;
    } cases[] = {
        {"type entry back to the root", {{84, dir}}, "resource directory at offset 0 loops back to a directory above it"},
        {"name entry back to its type", {{52, dir | 32}},
         "resource directory at offset 32 loops back to a directory above it"},
        {"two names share a directory", {{84, dir | 112}}, "resource directory at offset 112 is shared by two entries"},
        {"language entry to a directory", {{164, dir | 88}},
         "resource tree at offset 160 goes deeper than type, name and language"},
        {"type entry to data", {{28, 168}}, "resource entry at offset 24 points to data above the language level"},
        {"directory beyond the section", {{28, dir | 0x7FFFFFF0}},
         "resource directory at offset 2147483632 runs past the end of the section"},
        {"entry count beyond the section", {{56 + 14, 0xFFFF, 2}},
         "resource directory at offset 56: 65535 entries run past the end of the section"},
        {"named language", {{160, dir | 232}}, "resource language at offset 160 is a name"},
        {"id above 16 bits", {{80, 0x10002}}, "resource id 65538 at offset 80 exceeds 16 bits"},
        {"name beyond the section", {{16, dir | 0x10000}},
         "resource name at offset 65536 runs past the end of the section"},
        {"name length beyond the section", {{232, 0xFFFF, 2}},
         "resource name at offset 232 runs past the end of the section"},
        {"empty name", {{232, 0, 2}}, "resource name at offset 232 is empty"},
        {"data entry beyond the section", {{164, 0x7FFFFFF8}},
         "resource data entry at offset 2147483640 runs past the end of the section"},
        {"data below the section", {{216, 0x100}},
         "resource data at RVA 256 (1 bytes) lie outside the resource section"},
        {"data size beyond the section", {{220, 0x7FFFFFFF}},
         "resource data at RVA 8552 (2147483647 bytes) lie outside the resource section"},
        {"data entry shared past the section's size", {{108, 184}, {132, 184}, {156, 184}, {164, 184}},
         "resource data add up to more than their section holds"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes section = base;
        for (const Patch& p : c.patches) writeLittleEndian(section.data() + p.at, p.value, p.size);
        std::vector<Resource> read;
        std::string error;
        EXPECT_FALSE(readResources(makeFakePeWithResources(section), read, error));
        EXPECT_EQ(error, c.message);
    }
}

// Each resource copies its names: long names over many languages are refused
// before they add up to more than 16 MiB.
TEST(Resources, LongNamesOverManyResourcesAreBounded) {
    const std::u16string longest(0xFFFF, u'N');
    std::vector<Resource> resources;
    for (std::uint16_t language = 1; language <= 70; ++language) {
        resources.push_back(resource(named(longest), named(longest), language, {}));
    }
    std::vector<Resource> read;
    std::string error;
    EXPECT_FALSE(readResources(makeFakePeWithResources(encode(resources)), read, error));
    EXPECT_EQ(error, "resource names add up to more than 16 MiB over the resources they name");
    resources.resize(60);
    EXPECT_TRUE(readResources(makeFakePeWithResources(encode(resources)), read, error)) << error;
    EXPECT_EQ(read.size(), 60u);
}

// The section's mapped size bounds every read: a tree cut at any byte fails.
TEST(Resources, ATreeCutAtAnyByteFails) {
    const Bytes section = encode(hostileBase());
    const std::size_t virtualSize = pe::sectionHeaderOffset(0x40, 0xE0, 1) + pe::virtualSizeField;
    for (std::size_t cut = 1; cut < section.size(); ++cut) {
        Bytes image = makeFakePeWithResources(section);
        writeLittleEndian(image.data() + virtualSize, cut, 4);
        std::vector<Resource> read;
        std::string error;
        EXPECT_FALSE(readResources(image, read, error)) << cut;
    }
    Bytes image = makeFakePeWithResources(section);
    std::vector<Resource> read;
    std::string error;
    EXPECT_TRUE(readResources(image, read, error)) << error;
}

}  // namespace
}  // namespace qarvo
