// Counts the calls one module made into Wine's system DLLs, read from a relay
// log (WINEDEBUG=+pid,+relay,+loaddll): every "Call" line of the module's
// process whose return address lies inside the module's image. The count
// depends only on what the module does, not on the machine's speed.
#pragma once

#include <cstdint>
#include <istream>
#include <map>
#include <span>
#include <string>

namespace qarvo::bench {

// Where an image lies once loaded: its preferred address (ImageBase) and its
// extent (SizeOfImage), from the PE headers.
struct ImageExtent {
    std::uint64_t imageBase = 0;
    std::uint64_t sizeOfImage = 0;
};

// Reads the extent from the headers of a PE32 or PE32+ image. False with a
// message when `bytes` are no such image.
bool readImageExtent(std::span<const std::uint8_t> bytes, ImageExtent& extent, std::string& error);

struct RelayCalls {
    std::uint64_t loadAddress = 0;                   // where the loader put the module
    std::uint64_t total = 0;                         // calls made from inside its image
    std::map<std::string, std::uint64_t> byFunction; // "KERNEL32.GetFileAttributesA" -> calls
};

// Counts the calls made by the process that loaded `moduleName` (a file
// name, compared without regard to case) from the range of `sizeOfImage`
// bytes at the address its "Loaded" line gives; the first such line counts.
// False with a message when the log never shows the module loaded.
bool countRelayCalls(std::istream& log, const std::string& moduleName, std::uint64_t sizeOfImage, RelayCalls& calls,
                     std::string& error);

}  // namespace qarvo::bench
