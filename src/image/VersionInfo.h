// Version information (the VS_VERSIONINFO resource, RT_VERSION): its encoder
// and a decoder for showing what an executable carries.
//
// The resource is a tree of blocks. A block is its length in bytes (16 bits,
// up to the end of its last child, without the padding behind it), the length
// of its value (16 bits: in bytes for binary values, in UTF-16 units with the
// terminator for text), its type (1 text, 0 binary), a zero-terminated UTF-16
// key, zero padding to a multiple of 4 bytes from the start of the resource,
// the value, padding again, and the child blocks, each starting at a multiple
// of 4. The root "VS_VERSION_INFO" holds the fixed file information and two
// children: "StringFileInfo" with one string table (keyed by language and code
// page in eight hexadecimal digits, "040904B0") of name/value strings, and
// "VarFileInfo" with "Translation", the language and code page as two 16-bit
// words.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace qarvo {

// A version number of four 16-bit parts, most significant first: 1.2.3.4.
using VersionNumber = std::array<std::uint16_t, 4>;

struct VersionInfo {
    VersionNumber fileVersion{};
    VersionNumber productVersion{};
    std::uint16_t language = 0x0409;  // of the string table and the translation
    std::uint16_t codePage = 1200;    // likewise; 1200 is UTF-16

    // The strings of the table. Empty ones are left out of the resource, except
    // the two version texts, which then are the dotted numbers above.
    std::u16string companyName;
    std::u16string fileDescription;
    std::u16string fileVersionText;  // "FileVersion"
    std::u16string internalName;
    std::u16string legalCopyright;
    std::u16string originalFilename;
    std::u16string productName;
    std::u16string productVersionText;  // "ProductVersion"
    // Further strings by name, written after the ones above in this order;
    // the decoder puts every string with another name here.
    std::vector<std::pair<std::u16string, std::u16string>> otherStrings;

    bool operator==(const VersionInfo&) const = default;
};

// The dotted text of a version number: "1.2.3.4".
std::u16string versionText(const VersionNumber& version);

// The data of an RT_VERSION resource for `info`: the fixed file information
// (signature 0xFEEF04BD, structure version 1.0, flags mask 0x3F, no flags,
// 32-bit Windows, an application, no date), the string table in the order
// CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright,
// OriginalFilename, ProductName, ProductVersion, then the other strings, and
// the translation. False with a message in `error` when a block would exceed
// the 65535 bytes its length field can count or a string name is empty.
bool encodeVersionInfo(const VersionInfo& info, std::vector<std::uint8_t>& out, std::string& error);

// Reads RT_VERSION data into `out` (replaced): the versions of the fixed file
// information, the first string table (its key gives language and code page;
// the translation gives them when there is no table) and its strings. Every
// length is checked against the block that holds it. False with a message in
// `error` when the data are no version information or a block is malformed.
bool decodeVersionInfo(std::span<const std::uint8_t> data, VersionInfo& out, std::string& error);

}  // namespace qarvo
