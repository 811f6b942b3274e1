// Reading a part of a small file whole: location files, a probe's output, the
// header of an executable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qarvo {

// Up to `maxBytes` bytes of the file from `offset` on (fewer at its end).
// False when the file cannot be opened or a read fails.
bool readFileBytes(const std::string& path, std::uint64_t offset, std::size_t maxBytes, std::string& bytes);

}  // namespace qarvo
