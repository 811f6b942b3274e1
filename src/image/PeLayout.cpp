#include "image/PeLayout.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "image/LittleEndian.h"

namespace qarvo {

namespace {

// Bounds-checked little-endian fields of a buffer.
class Fields {
public:
    explicit Fields(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    // True when `size` bytes at `offset` lie within the buffer.
    bool has(std::uint64_t offset, std::uint64_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    // Callers check has() first.
    std::uint16_t u16(std::uint64_t offset) const {
        return static_cast<std::uint16_t>(readLittleEndian(bytes_.data() + offset, 2));
    }
    std::uint32_t u32(std::uint64_t offset) const {
        return static_cast<std::uint32_t>(readLittleEndian(bytes_.data() + offset, 4));
    }
    const std::uint8_t* at(std::uint64_t offset) const { return bytes_.data() + offset; }

private:
    std::span<const std::uint8_t> bytes_;
};

bool fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

// The optional header's fields and data directories; `optional` is its file
// offset, and the header lies within the buffer.
bool parseOptionalHeader(const Fields& in, std::uint64_t optional, PeImage& image, std::string& error) {
    image.optionalMagic = in.u16(optional);
    std::uint32_t countField = 0;
    if (image.optionalMagic == pe::pe32Magic) {
        countField = pe::pe32DirectoryCountField;
    } else if (image.optionalMagic == pe::pe32PlusMagic) {
        countField = pe::pe32PlusDirectoryCountField;
    } else {
        return fail(error, "unknown optional header magic " + std::to_string(image.optionalMagic));
    }
    const std::uint32_t directories = countField + 4;
    if (image.optionalHeaderSize < directories) return fail(error, "optional header too short for its fields");
    image.checkSumOffset = static_cast<std::uint32_t>(optional + pe::checkSumField);
    image.checkSum = in.u32(image.checkSumOffset);
    image.subsystem = in.u16(optional + pe::subsystemField);
    image.dllCharacteristics = in.u16(optional + pe::dllCharacteristicsField);

    const std::uint32_t count = in.u32(optional + countField);
    if (count > (image.optionalHeaderSize - directories) / pe::dataDirectorySize) {
        return fail(error, "data directory count " + std::to_string(count) + " overruns the optional header");
    }
    image.dataDirectoryOffset = static_cast<std::uint32_t>(optional + directories);
    image.dataDirectories.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = image.dataDirectoryOffset + std::uint64_t{i} * pe::dataDirectorySize;
        image.dataDirectories[i] = {in.u32(entry), in.u32(entry + 4)};
    }
    return true;
}

bool parseSectionTable(const Fields& in, std::uint64_t fileSize, PeImage& image, std::string& error) {
    if (image.sectionCount == 0) return fail(error, "no sections");
    if (!in.has(image.sectionTableOffset, std::uint64_t{image.sectionCount} * pe::sectionHeaderSize)) {
        return fail(error, "section table runs past the end of the file");
    }
    image.sections.resize(image.sectionCount);
    for (std::size_t i = 0; i < image.sectionCount; ++i) {
        const std::uint64_t h = image.sectionTableOffset + std::uint64_t{i} * pe::sectionHeaderSize;
        PeSection& s = image.sections[i];
        for (std::size_t c = 0; c < pe::sectionNameSize && *in.at(h + c) != 0; ++c) {
            s.name += static_cast<char>(*in.at(h + c));
        }
        s.virtualSize = in.u32(h + pe::virtualSizeField);
        s.virtualAddress = in.u32(h + pe::virtualAddressField);
        s.rawDataSize = in.u32(h + pe::rawDataSizeField);
        s.rawDataOffset = in.u32(h + pe::rawDataOffsetField);
        s.characteristics = in.u32(h + pe::sectionCharacteristicsField);
        // Also for a section without raw data: the end of the last one is
        // where a launcher's block begins, which must lie within the file.
        if (std::uint64_t{s.rawDataOffset} + s.rawDataSize > fileSize) {
            return fail(error, "raw data of section " + std::to_string(i) + " runs past the end of the file");
        }
    }
    return true;
}

}  // namespace

bool parsePeImage(std::span<const std::uint8_t> bytes, PeImage& image, std::string& error) {
    image = PeImage{};
    const Fields in(bytes);
    if (!in.has(0, pe::dosHeaderSize) || in.u16(0) != pe::dosSignature) return fail(error, "no MZ header");
    image.peOffset = in.u32(pe::peOffsetField);
    const std::uint64_t optional = std::uint64_t{image.peOffset} + pe::optionalHeaderStart;
    if (!in.has(image.peOffset, pe::optionalHeaderStart)) {
        return fail(error, "PE header at offset " + std::to_string(image.peOffset) + " lies outside the file");
    }
    if (in.u32(image.peOffset) != pe::signature) {
        return fail(error, "no PE signature at offset " + std::to_string(image.peOffset));
    }
    image.machine = in.u16(image.peOffset + pe::machineField);
    image.sectionCount = in.u16(image.peOffset + pe::sectionCountField);
    image.timeDateStamp = in.u32(image.peOffset + pe::timeDateStampField);
    image.optionalHeaderSize = in.u16(image.peOffset + pe::optionalHeaderSizeField);
    if (!in.has(optional, image.optionalHeaderSize)) return fail(error, "optional header runs past the end of the file");
    if (image.optionalHeaderSize < 2) return fail(error, "optional header too short for its fields");
    if (!parseOptionalHeader(in, optional, image, error)) return false;
    image.sectionTableOffset = static_cast<std::uint32_t>(optional + image.optionalHeaderSize);
    return parseSectionTable(in, bytes.size(), image, error);
}

std::uint32_t peChecksum(std::span<const std::uint8_t> bytes, std::size_t checkSumOffset) {
    PeChecksumAccumulator sum;
    const std::size_t before = std::min(checkSumOffset, bytes.size());
    const std::size_t after = std::min(bytes.size(), before + std::size_t{4});
    sum.add(bytes.first(before));
    const std::uint8_t zeros[4] = {};
    sum.add(std::span<const std::uint8_t>(zeros, after - before));
    sum.add(bytes.subspan(after));
    return sum.value();
}

void PeChecksumAccumulator::add(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* data = bytes.data();
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    if ((length_ & 1) != 0 && n > 0) sum_ += std::uint64_t{data[i++]} << 8;  // the high byte of an odd word
    std::uint64_t sum = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Eight 32-bit words a step, loaded as they lie: a loop the compiler
        // vectorises, as it runs over every byte of the included files.
        std::uint64_t lanes[8] = {};
        for (; i + 32 <= n; i += 32) {
            for (std::size_t lane = 0; lane < 8; ++lane) {
                std::uint32_t word;
                std::memcpy(&word, data + i + 4 * lane, 4);
                lanes[lane] += word;
            }
        }
        for (const std::uint64_t lane : lanes) sum += (lane & 0xFFFFFFFFu) + (lane >> 32);
    }
    for (; i + 4 <= n; i += 4) sum += readLittleEndian(data + i, 4);
    for (; i + 2 <= n; i += 2) sum += readLittleEndian(data + i, 2);
    if (i < n) sum += data[i];
    // 2^32 and 2^16 are both 1 modulo 0xFFFF: folding keeps the sum's residue.
    sum_ = (sum_ & 0xFFFFFFFFu) + (sum_ >> 32) + (sum & 0xFFFFFFFFu) + (sum >> 32);
    length_ += n;
}

void PeChecksumAccumulator::addPatch(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) sum_ += std::uint64_t{bytes[i]} << (((offset + i) & 1) * 8);
}

std::uint32_t PeChecksumAccumulator::value() const {
    std::uint64_t sum = sum_;
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum) + static_cast<std::uint32_t>(length_);
}

bool readPeMachine(ByteSource& source, std::uint16_t& machine) {
    std::uint8_t dos[pe::dosHeaderSize];
    ByteSource::Result read = source.readAt(0, dos, sizeof dos);
    if (!read.ok || read.bytes != sizeof dos || readLittleEndian(dos, 2) != pe::dosSignature) return false;
    std::uint8_t header[pe::machineField + 2];
    read = source.readAt(readLittleEndian(dos + pe::peOffsetField, 4), header, sizeof header);
    if (!read.ok || read.bytes != sizeof header || readLittleEndian(header, 4) != pe::signature) return false;
    machine = static_cast<std::uint16_t>(readLittleEndian(header + pe::machineField, 2));
    return true;
}

}  // namespace qarvo
