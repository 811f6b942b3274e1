// The generic launcher a build starts from: checked before anything is
// written, so that a build never stacks a second block on a built launcher or
// appends behind a signature.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace qarvo::builder {

// The machine type a target's launcher carries: i386 for "x86", AMD64 for "x64".
std::uint16_t targetMachine(const std::string& target);

// Checks that `bytes` are a generic launcher for `target`: a PE image of that
// machine, with no certificate table (a signature) and nothing behind its
// last section (a configuration block or other data). Sets `length` to the
// end of its last section's raw data. False with the reason in `error`.
bool checkTemplate(std::span<const std::uint8_t> bytes, const std::string& target, std::uint64_t& length,
                   std::string& error);

}  // namespace qarvo::builder
