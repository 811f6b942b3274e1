#include "RelayCalls.h"

#include <cctype>
#include <charconv>
#include <vector>

#include "image/LittleEndian.h"
#include "image/PeLayout.h"

namespace qarvo::bench {

namespace {

// Offsets in the optional header: ImageBase is 32 bits in PE32 (behind
// BaseOfData), 64 bits in PE32+.
constexpr std::uint32_t pe32ImageBaseField = 28;
constexpr std::uint32_t pe32PlusImageBaseField = 24;

bool parseHex(std::string_view text, std::uint64_t& value) {
    if (text.empty() || text.size() > 16) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return ec == std::errc() && end == text.data() + text.size();
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// "0028:002c:trace:loaddll:build_module Loaded L"Z:\\dir\\app.exe" at 00400000: native":
// the process id ("0028") and the address, when the path names `moduleName`.
bool parseLoadedLine(std::string_view line, std::string_view moduleName, std::string& pid, std::uint64_t& address) {
    const std::size_t loaded = line.find(":trace:loaddll:");
    const std::size_t path = line.find("Loaded L\"");
    const std::size_t at = line.find("\" at ");
    if (loaded == std::string_view::npos || path == std::string_view::npos || at == std::string_view::npos ||
        at < path) {
        return false;
    }
    const std::string_view file = line.substr(path + 9, at - path - 9);
    const std::size_t slash = file.find_last_of("\\/");
    if (!sameName(slash == std::string_view::npos ? file : file.substr(slash + 1), moduleName)) return false;
    const std::size_t colon = line.find(':', at + 5);
    if (colon == std::string_view::npos || !parseHex(line.substr(at + 5, colon - at - 5), address)) return false;
    pid = std::string(line.substr(0, line.find(':')));
    return true;
}

// "0028:002c:Call KERNEL32.GetFileAttributesA(0062f8a0 "Z:\\x") ret=00401234": the
// function and the return address. Arguments may hold quoted texts, so the
// return address is taken from the end of the line.
bool parseCallLine(std::string_view line, std::string_view& function, std::uint64_t& returnAddress) {
    const std::size_t call = line.find(":Call ");
    if (call == std::string_view::npos) return false;
    const std::size_t open = line.find('(', call);
    const std::size_t ret = line.rfind(" ret=");
    if (open == std::string_view::npos || ret == std::string_view::npos || ret < open) return false;
    function = line.substr(call + 6, open - call - 6);
    // "Call PE DLL (...)" reports a DLL's entry point, not a call of an export.
    if (function.empty() || function.find(' ') != std::string_view::npos) return false;
    return parseHex(line.substr(ret + 5), returnAddress);
}

}  // namespace

bool readImageExtent(std::span<const std::uint8_t> bytes, ImageExtent& extent, std::string& error) {
    PeImage image;
    if (!parsePeImage(bytes, image, error)) return false;
    // parsePeImage has checked that the optional header, up to its data
    // directories, lies inside the buffer.
    const std::size_t optional = std::size_t{image.peOffset} + pe::optionalHeaderStart;
    const bool plus = image.optionalMagic == pe::pe32PlusMagic;
    extent.imageBase =
        readLittleEndian(bytes.data() + optional + (plus ? pe32PlusImageBaseField : pe32ImageBaseField), plus ? 8 : 4);
    extent.sizeOfImage = readLittleEndian(bytes.data() + optional + pe::sizeOfImageField, 4);
    return true;
}

bool countRelayCalls(std::istream& log, const std::string& moduleName, std::uint64_t sizeOfImage, RelayCalls& calls,
                     std::string& error) {
    calls = {};
    std::string pid, line;
    bool loaded = false;
    while (std::getline(log, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!loaded) {
            loaded = parseLoadedLine(line, moduleName, pid, calls.loadAddress);
            continue;
        }
        std::string_view function;
        std::uint64_t returnAddress = 0;
        if (line.compare(0, pid.size() + 1, pid + ":") != 0 || !parseCallLine(line, function, returnAddress)) continue;
        if (returnAddress < calls.loadAddress || returnAddress - calls.loadAddress >= sizeOfImage) continue;
        ++calls.total;
        ++calls.byFunction[std::string(function)];
    }
    if (!loaded) error = "the log shows no \"Loaded\" line of " + moduleName + " (was +loaddll on?)";
    return loaded;
}

}  // namespace qarvo::bench
