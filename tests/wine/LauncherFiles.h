// Configured launchers for the end-to-end tests: copies of the generic
// launcher written by the same image writer the build tool uses.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "image/LauncherImage.h"
#include "image/Manifest.h"
#include "image/Resources.h"
#include "image/VersionInfo.h"

namespace qarvo::wine {

using StringEntries = std::map<std::int32_t, std::string>;      // narrow values, ANSI bytes
using WideEntries = std::map<std::int32_t, std::u16string>;
using LocaleSections = std::vector<ConfigBlockContent::LocaleSection>;

bool readFileBytes(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes);
bool writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// The block content of the given entries, in key order.
ConfigBlockContent blockContent(const StringEntries& strings, const WideEntries& wides = {},
                                const LocaleSections& locales = {});

// Writes dir/name.exe: the generic launcher followed by a block of the given
// entries and the closing marker with its padding. Returns its path; empty on
// failure (the reason is printed).
std::filesystem::path makeConfiguredLauncher(const std::filesystem::path& dir, const std::string& name,
                                             const StringEntries& strings, const WideEntries& wides = {},
                                             const LocaleSections& locales = {});

// The same for a block content given as it is (repeated keys, any order),
// followed by the section of `includedFiles` when there are any.
std::filesystem::path makeLauncherFromContent(const std::filesystem::path& dir, const std::string& name,
                                              const ConfigBlockContent& content,
                                              const IncludedFileContents& includedFiles = {});

// Writes dir/name.exe: the generic launcher up to the end of its last section
// followed by exactly `tail` (a block cut short, foreign data, nothing).
std::filesystem::path makeLauncherWithTail(const std::filesystem::path& dir, const std::string& name,
                                           const std::vector<std::uint8_t>& tail);

// The parts of an application's resources as the build tool makes them: an
// icon file of a 16- and a 32-pixel bitmap, version information, manifest
// options other than the defaults, a splash image.
std::vector<std::uint8_t> sampleIcoFile();
VersionInfo sampleVersionInfo();
ManifestOptions sampleManifestOptions();
std::vector<std::uint8_t> sampleSplashImage();
// Those as resources, not sorted: the icons (group 1, icons 1 and 2), the
// version information (1), the manifest (1), all in US English, and the
// splash image (RT_RCDATA 10000, neutral).
std::vector<Resource> sampleApplicationResources();

// Writes dir/name.exe: the generic launcher with its resources replaced by
// `resources`, followed by a block of the given entries and the closing
// marker with its padding. Returns its path; empty on failure (the reason is
// printed).
std::filesystem::path makeLauncherWithResources(const std::filesystem::path& dir, const std::string& name,
                                                const std::vector<Resource>& resources,
                                                const StringEntries& strings);

}  // namespace qarvo::wine
