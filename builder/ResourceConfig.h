// The names of app.toml that become the exe's resources (application.icon,
// version.*, manifest.*, splash.image): read one at a time while the file is
// read, completed once the target and the output are known.
#pragma once

#include <string>

#include "builder/BuildPlan.h"
#include "builder/HostSystem.h"
#include "builder/Schema.h"
#include "builder/Toml.h"

namespace qarvo::builder {

// The largest icon or splash image file taken: far above any real one, and
// small enough that reading it whole is harmless.
constexpr std::uint64_t maxResourceFileBytes = 16u << 20;

class ResourceConfig {
public:
    // Reads `node` as the value of `setting`; a file it names is taken
    // relative to `baseDirectory` (app.toml's), then read and checked through
    // `host`. False with a message in `error` (without the setting's name).
    bool read(const ResourceSetting& setting, const toml::node& node, const std::string& baseDirectory, Host& host,
              std::string& error);

    // Completes the resources for `target` ("x86", "x64") and the output file
    // name `outputName`: the manifest's architecture, the version defaults
    // (product version = file version, original file name = the output's).
    // False with a message in `error` when the version information cannot be
    // encoded; versionPosition() says where it was set.
    bool finish(const std::string& target, const std::string& outputName, ApplicationResources& out,
                std::string& error);

    bool hasSplashImage() const { return resources_.splashImage.has_value(); }
    // Host paths of the files read so far.
    const std::vector<std::string>& sources() const { return sources_; }
    // Where the first version.* name stands.
    Position versionPosition() const { return versionAt_; }

private:
    bool readVersion(const std::string& name, const toml::node& node, std::string& error);
    bool readManifest(const std::string& name, const toml::node& node, std::string& error);
    // The bytes of the file `node` names (its host path in `path`), at most maxResourceFileBytes.
    static bool readFile(const toml::node& node, const std::string& baseDirectory, Host& host, std::string& path,
                         std::vector<std::uint8_t>& bytes, std::string& error);

    ApplicationResources resources_;
    std::vector<std::string> sources_;
    bool productVersionSet_ = false, originalNameSet_ = false;
    Position versionAt_;
};

// The names app.toml gives the manifest's options ("asInvoker", "per-monitor-v2", "windows-10").
const char* nameOf(ExecutionLevel level);
const char* nameOf(DpiAwareness awareness);
const char* nameOf(SupportedOs os);

// What `summary` says in app.toml's names, added to `config`: the [version]
// and [manifest] tables, and for application.icon and splash.image what the
// exe carries of them (the images' sizes; the image's size in bytes).
void decodeResources(const ResourceSummary& summary, toml::table& config);

}  // namespace qarvo::builder
