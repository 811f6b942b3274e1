#include "image/VersionInfo.h"

#include <cstdio>

#include "image/LittleEndian.h"

namespace qarvo {

namespace {

constexpr std::uint16_t textType = 1;
constexpr std::uint16_t binaryType = 0;
constexpr std::uint32_t fixedInfoSignature = 0xFEEF04BDu;
constexpr std::uint32_t fixedInfoSize = 52;
constexpr std::size_t blockHeaderSize = 6;  // length, value length, type

bool fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

std::size_t align4(std::size_t value) { return (value + 3) & ~std::size_t{3}; }

// The strings of the table with a field of their own, in the order written.
struct NamedString {
    const char16_t* name;
    std::u16string VersionInfo::*field;
};
constexpr NamedString namedStrings[] = {
    {u"CompanyName", &VersionInfo::companyName},       {u"FileDescription", &VersionInfo::fileDescription},
    {u"FileVersion", &VersionInfo::fileVersionText},   {u"InternalName", &VersionInfo::internalName},
    {u"LegalCopyright", &VersionInfo::legalCopyright}, {u"OriginalFilename", &VersionInfo::originalFilename},
    {u"ProductName", &VersionInfo::productName},       {u"ProductVersion", &VersionInfo::productVersionText},
};

// Appends blocks; a block's length is filled in when it ends.
class BlockWriter {
public:
    explicit BlockWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // Starts a block at the next multiple of 4 and writes its header and key;
    // returns its start for end().
    std::size_t begin(const std::u16string& key, std::size_t valueLength, std::uint16_t type) {
        pad();
        const std::size_t start = out_.size();
        appendLittleEndian(out_, 0, 2);
        appendLittleEndian(out_, valueLength, 2);
        appendLittleEndian(out_, type, 2);
        text(key);
        pad();
        return start;
    }
    void text(const std::u16string& value) {
        for (char16_t unit : value) appendLittleEndian(out_, unit, 2);
        appendLittleEndian(out_, 0, 2);
    }
    void word(std::uint32_t value, std::size_t size) { appendLittleEndian(out_, value, size); }
    bool end(std::size_t start, std::string& error) {
        const std::size_t length = out_.size() - start;
        if (length > 0xFFFF) return fail(error, "version information block longer than 65535 bytes");
        writeLittleEndian(out_.data() + start, length, 2);
        return true;
    }

private:
    void pad() { out_.resize(align4(out_.size()), 0); }
    std::vector<std::uint8_t>& out_;
};

std::uint32_t high(const VersionNumber& v, int first) {
    return std::uint32_t{v[static_cast<std::size_t>(first)]} << 16 | v[static_cast<std::size_t>(first) + 1];
}

std::u16string tableKey(std::uint16_t language, std::uint16_t codePage) {
    char key[9];
    std::snprintf(key, sizeof key, "%04X%04X", static_cast<unsigned>(language), static_cast<unsigned>(codePage));
    return std::u16string(key, key + 8);
}

bool writeStrings(BlockWriter& w, const VersionInfo& info, std::string& error) {
    const std::size_t fileInfo = w.begin(u"StringFileInfo", 0, textType);
    const std::size_t table = w.begin(tableKey(info.language, info.codePage), 0, textType);
    auto string = [&](const std::u16string& name, const std::u16string& value) {
        if (name.empty()) return fail(error, "version string without a name");
        const std::size_t start = w.begin(name, value.size() + 1, textType);
        w.text(value);
        return w.end(start, error);
    };
    for (const NamedString& s : namedStrings) {
        std::u16string value = info.*s.field;
        if (value.empty() && s.field == &VersionInfo::fileVersionText) value = versionText(info.fileVersion);
        if (value.empty() && s.field == &VersionInfo::productVersionText) value = versionText(info.productVersion);
        if (!value.empty() && !string(s.name, value)) return false;
    }
    for (const auto& [name, value] : info.otherStrings) {
        if (!string(name, value)) return false;
    }
    return w.end(table, error) && w.end(fileInfo, error);
}

}  // namespace

std::u16string versionText(const VersionNumber& version) {
    char text[24];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned{version[0]}, unsigned{version[1]}, unsigned{version[2]},
                  unsigned{version[3]});
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

bool encodeVersionInfo(const VersionInfo& info, std::vector<std::uint8_t>& out, std::string& error) {
    std::vector<std::uint8_t> bytes;
    BlockWriter w(bytes);
    const std::size_t root = w.begin(u"VS_VERSION_INFO", fixedInfoSize, binaryType);
    w.word(fixedInfoSignature, 4);
    w.word(0x00010000, 4);  // structure version 1.0
    w.word(high(info.fileVersion, 0), 4);
    w.word(high(info.fileVersion, 2), 4);
    w.word(high(info.productVersion, 0), 4);
    w.word(high(info.productVersion, 2), 4);
    w.word(0x3F, 4);        // flags mask: every VS_FF_ flag
    w.word(0, 4);           // no flags
    w.word(0x00040004, 4);  // VOS_NT_WINDOWS32
    w.word(1, 4);           // VFT_APP
    w.word(0, 4);           // subtype
    w.word(0, 4);           // date, high
    w.word(0, 4);           // date, low
    if (!writeStrings(w, info, error)) return false;
    const std::size_t varInfo = w.begin(u"VarFileInfo", 0, textType);
    const std::size_t translation = w.begin(u"Translation", 4, binaryType);
    w.word(info.language, 2);
    w.word(info.codePage, 2);
    if (!w.end(translation, error) || !w.end(varInfo, error) || !w.end(root, error)) return false;
    out = std::move(bytes);
    return true;
}

namespace {

// One block of the tree, as offsets into the data.
struct Block {
    std::size_t start = 0, end = 0;
    std::uint16_t type = 0;
    std::u16string key;
    std::size_t value = 0, valueSize = 0;  // in bytes
    std::size_t children = 0;
};

class VersionReader {
public:
    explicit VersionReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint32_t u16(std::size_t offset) const {
        return static_cast<std::uint32_t>(readLittleEndian(data_.data() + offset, 2));
    }
    std::uint32_t u32(std::size_t offset) const {
        return static_cast<std::uint32_t>(readLittleEndian(data_.data() + offset, 4));
    }

    // The block at `offset`, which must end by `limit`.
    bool block(std::size_t offset, std::size_t limit, Block& b, std::string& error) const {
        const std::string where = "version block at offset " + std::to_string(offset);
        if (limit - offset < blockHeaderSize) return fail(error, where + " runs past its parent");
        const std::size_t length = u16(offset);
        if (length < blockHeaderSize) return fail(error, where + " is shorter than its header");
        if (length > limit - offset) return fail(error, where + " runs past its parent");
        b = Block{offset, offset + length, static_cast<std::uint16_t>(u16(offset + 4)), {}, 0, 0, 0};
        std::size_t at = offset + blockHeaderSize;
        for (;; at += 2) {
            if (b.end - at < 2) return fail(error, where + " has an unterminated key");
            if (u16(at) == 0) break;
            b.key += static_cast<char16_t>(u16(at));
        }
        b.value = std::min(align4(at + 2), b.end);
        const std::size_t valueLength = u16(offset + 2);
        const std::size_t room = b.end - b.value;
        if (b.type == binaryType) {
            if (valueLength > room) return fail(error, where + ": its value runs past the block");
            b.valueSize = valueLength;
        } else {
            // Tools differ in counting text in units or bytes: the block bounds it.
            b.valueSize = std::min(valueLength * 2, room);
        }
        b.children = std::min(align4(b.value + b.valueSize), b.end);
        return true;
    }

    // Calls `visit(child)` for each child of `parent`; false when one is malformed
    // or a visit fails.
    template <typename Visit>
    bool children(const Block& parent, std::string& error, Visit visit) const {
        for (std::size_t at = parent.children; at < parent.end;) {
            Block child;
            if (!block(at, parent.end, child, error) || !visit(child)) return false;
            at = align4(child.end);
        }
        return true;
    }

    std::u16string text(const Block& b) const {
        std::u16string value;
        for (std::size_t at = b.value; at + 2 <= b.value + b.valueSize && u16(at) != 0; at += 2) {
            value += static_cast<char16_t>(u16(at));
        }
        return value;
    }

private:
    std::span<const std::uint8_t> data_;
};

bool parseHex(const std::u16string& text, std::uint16_t& value) {
    value = 0;
    for (char16_t c : text) {
        int digit = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'A' && c <= u'F' ? c - u'A' + 10
                  : c >= u'a' && c <= u'f' ? c - u'a' + 10 : -1;
        if (digit < 0) return false;
        value = static_cast<std::uint16_t>(value << 4 | digit);
    }
    return true;
}

void putString(VersionInfo& info, const std::u16string& name, std::u16string value) {
    for (const NamedString& s : namedStrings) {
        if (name == s.name) {
            info.*s.field = std::move(value);
            return;
        }
    }
    info.otherStrings.emplace_back(name, std::move(value));
}

bool readFixedInfo(const VersionReader& r, const Block& root, VersionInfo& info, std::string& error) {
    if (root.valueSize < fixedInfoSize || r.u32(root.value) != fixedInfoSignature) {
        return fail(error, "version information without its fixed file information");
    }
    for (int part = 0; part < 2; ++part) {
        const std::uint32_t file = r.u32(root.value + 8 + 4 * part);
        const std::uint32_t product = r.u32(root.value + 16 + 4 * part);
        info.fileVersion[2 * part] = static_cast<std::uint16_t>(file >> 16);
        info.fileVersion[2 * part + 1] = static_cast<std::uint16_t>(file);
        info.productVersion[2 * part] = static_cast<std::uint16_t>(product >> 16);
        info.productVersion[2 * part + 1] = static_cast<std::uint16_t>(product);
    }
    return true;
}

}  // namespace

bool decodeVersionInfo(std::span<const std::uint8_t> data, VersionInfo& out, std::string& error) {
    const VersionReader r(data);
    Block root;
    if (!r.block(0, data.size(), root, error)) return false;
    if (root.key != u"VS_VERSION_INFO") return fail(error, "not version information: no VS_VERSION_INFO block");
    VersionInfo info;
    if (!readFixedInfo(r, root, info, error)) return false;
    bool haveTable = false, haveTranslation = false;
    const bool ok = r.children(root, error, [&](const Block& child) {
        if (child.key == u"StringFileInfo") {
            return r.children(child, error, [&](const Block& table) {
                if (haveTable) return true;  // the first table only
                if (table.key.size() != 8 || !parseHex(table.key.substr(0, 4), info.language) ||
                    !parseHex(table.key.substr(4), info.codePage)) {
                    return fail(error, "version string table key is not eight hexadecimal digits");
                }
                haveTable = true;
                return r.children(table, error, [&](const Block& s) {
                    putString(info, s.key, r.text(s));
                    return true;
                });
            });
        }
        if (child.key == u"VarFileInfo") {
            return r.children(child, error, [&](const Block& var) {
                if (var.key == u"Translation" && var.valueSize >= 4 && !haveTranslation && !haveTable) {
                    info.language = static_cast<std::uint16_t>(r.u16(var.value));
                    info.codePage = static_cast<std::uint16_t>(r.u16(var.value + 2));
                    haveTranslation = true;
                }
                return true;
            });
        }
        return true;
    });
    if (!ok) return false;
    out = std::move(info);
    return true;
}

}  // namespace qarvo
