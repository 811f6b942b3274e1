// The application manifest (RT_MANIFEST 1): generated from a few options, and
// read back into them to show what an executable asks for.
#pragma once

#include <string>
#include <vector>

namespace qarvo {

enum class ExecutionLevel { asInvoker, highestAvailable, requireAdministrator };
enum class DpiAwareness { none, system, perMonitorV2 };
enum class ManifestArchitecture { x86, amd64 };
// The systems an application declares it was tested on, oldest first.
enum class SupportedOs { windowsVista, windows7, windows8, windows81, windows10 };

struct ManifestOptions {
    ExecutionLevel executionLevel = ExecutionLevel::asInvoker;
    bool uiAccess = false;
    DpiAwareness dpiAwareness = DpiAwareness::none;
    bool longPathAware = false;
    std::vector<SupportedOs> supportedOs{};  // in the order written; empty: no compatibility section
    bool commonControls = true;            // depends on the Common-Controls 6.0.0.0 assembly
    ManifestArchitecture architecture = ManifestArchitecture::x86;  // of that dependency
    bool operator==(const ManifestOptions&) const = default;
};

// The manifest's UTF-8 text, lines ending in "\n". The defaults give the
// generic launcher's own manifest byte for byte. Sections appear in the order
// trust information, compatibility, application settings (DPI awareness,
// long-path awareness), dependency; a section whose options are all off is
// left out.
std::string manifestText(const ManifestOptions& options);

// Reads the settings of a manifest into `out` (replaced; absent settings keep
// their defaults, an absent dependency gives commonControls false). Tolerates
// other elements, comments and namespace prefixes. False with a message in
// `error` when the text has no assembly element or a known setting has a
// value this reader does not know.
bool readManifest(const std::string& text, ManifestOptions& out, std::string& error);

}  // namespace qarvo
