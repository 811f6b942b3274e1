// The resources of an application's exe: its icon, version information,
// manifest and splash image, put in place of the generic launcher's own, and
// read back from a built exe to show what it carries.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/IconResources.h"
#include "image/Manifest.h"
#include "image/Resources.h"
#include "image/VersionInfo.h"

namespace qarvo {

// Ids of the resources an application's exe carries, all in the language
// englishUnitedStates (that of the generic launcher's manifest).
constexpr std::uint16_t applicationIconGroupId = 1;  // RT_GROUP_ICON: Explorer shows the first group
constexpr std::uint16_t firstApplicationIconId = 1;  // RT_ICON: one per image of the .ico, counting up
constexpr std::uint16_t versionInfoId = 1;           // RT_VERSION
constexpr std::uint16_t manifestId = 1;              // RT_MANIFEST: the one the loader reads for an exe
constexpr std::uint16_t splashImageId = 10000;       // RT_RCDATA: the bytes handed to the splash library

struct ApplicationResources {
    std::vector<std::uint8_t> icoFile;                     // a .ico file's bytes; empty: no icon
    std::optional<VersionInfo> version;                    // none: no version information
    ManifestOptions manifest;                              // always written
    std::optional<std::vector<std::uint8_t>> splashImage;  // none: no splash image
    bool operator==(const ApplicationResources&) const = default;
};

// Puts the application's resources into `resources` (a template's): the
// manifest always replaces every RT_MANIFEST 1; an icon replaces every
// RT_ICON and RT_GROUP_ICON, version information every RT_VERSION, a splash
// image every RT_RCDATA 10000; the template's other resources stay. False with
// a message in `error` (and `resources` untouched) when the icon file is no
// icon (iconResources' message) or the version information cannot be encoded.
bool applicationResourceList(std::vector<Resource>& resources, const ApplicationResources& app, std::string& error);

// Rewrites the resource section of `image`, a generic launcher (its resource
// section last, nothing behind it), so that it carries `app`; replaceResources
// fixes the sizes, the resource directory and the checksum. An image whose
// resources are those already (the generic launcher's own manifest and no
// other application resource) is left byte for byte as it is. False with a
// message in `error`, and `image` untouched, when its resources cannot be
// read or replaced.
bool putApplicationResources(std::vector<std::uint8_t>& image, const ApplicationResources& app, std::string& error);

// What the resources of a built exe say.
struct ResourceSummary {
    std::vector<IconImageInfo> icons;          // of the first icon group, in its order; empty: no icon
    std::optional<VersionInfo> version;        // of the first RT_VERSION resource
    std::optional<ManifestOptions> manifest;   // of RT_MANIFEST 1
    std::optional<std::uint64_t> splashImageSize;  // bytes of RT_RCDATA 10000
};

// Reads the summary of the PE image in `image` (at least its headers and the
// raw data of its sections). False with a message in `error` naming the part
// that is malformed; `out` then holds what was read before it.
bool summariseResources(std::span<const std::uint8_t> image, ResourceSummary& out, std::string& error);

}  // namespace qarvo
