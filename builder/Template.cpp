#include "builder/Template.h"

#include <cstdio>

#include "image/ConfigBlock.h"
#include "image/LauncherImage.h"
#include "image/LittleEndian.h"
#include "image/PeLayout.h"

namespace qarvo::builder {

std::uint16_t targetMachine(const std::string& target) {
    return target == "x64" ? pe::machineAmd64 : pe::machineI386;
}

namespace {

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

bool checkTemplate(std::span<const std::uint8_t> bytes, const std::string& target, std::uint64_t& length,
                   std::string& error) {
    std::size_t end = 0;
    if (!launcherTemplateLength(bytes, end, error)) {
        error = "not a Windows executable: " + error;
        return false;
    }
    PeImage pe;
    parsePeImage(bytes, pe, error);  // succeeded inside launcherTemplateLength
    if (pe.machine != targetMachine(target)) {
        error = "its machine type is " + hex(pe.machine) + ", not the " + target + " launcher's " +
                hex(targetMachine(target));
        return false;
    }
    if (pe.dataDirectories.size() > pe::certificateDirectory && pe.dataDirectories[pe::certificateDirectory].size != 0) {
        error = "it carries a code signature (a certificate table): a signature must come last, so build from the "
                "unsigned generic launcher and sign the built exe";
        return false;
    }
    if (end < bytes.size()) {
        const bool block = bytes.size() - end >= 4 && readLittleEndian(bytes.data() + end, 4) == configBlockMagic;
        error = block ? "it already carries a configuration block: it is a built launcher, not the generic one"
                      : std::to_string(bytes.size() - end) +
                            " bytes follow its last section: the generic launcher ends with its resources";
        return false;
    }
    length = end;
    return true;
}

}  // namespace qarvo::builder
