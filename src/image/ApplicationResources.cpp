#include "image/ApplicationResources.h"

#include <algorithm>

namespace qarvo {

namespace {

ResourceId number(std::uint16_t id) { return ResourceId{id, {}}; }

bool isType(const Resource& r, std::uint16_t type) { return !r.type.named() && r.type.id == type; }

bool isResource(const Resource& r, std::uint16_t type, std::uint16_t id) {
    return isType(r, type) && !r.name.named() && r.name.id == id;
}

template <typename Predicate>
void removeWhere(std::vector<Resource>& resources, Predicate predicate) {
    resources.erase(std::remove_if(resources.begin(), resources.end(), predicate), resources.end());
}

}  // namespace

bool applicationResourceList(std::vector<Resource>& resources, const ApplicationResources& app, std::string& error) {
    std::vector<Resource> added;
    if (!app.icoFile.empty() && !iconResources(app.icoFile, applicationIconGroupId, firstApplicationIconId,
                                               englishUnitedStates, added, error)) {
        return false;
    }
    if (app.version) {
        Resource version{number(rt::version), number(versionInfoId), englishUnitedStates, 0, {}};
        if (!encodeVersionInfo(*app.version, version.data, error)) return false;
        added.push_back(std::move(version));
    }
    const std::string manifest = manifestText(app.manifest);
    added.push_back(Resource{number(rt::manifest), number(manifestId), englishUnitedStates, 0,
                             std::vector<std::uint8_t>(manifest.begin(), manifest.end())});
    if (app.splashImage) {
        added.push_back(Resource{number(rt::rcdata), number(splashImageId), englishUnitedStates, 0, *app.splashImage});
    }
    removeWhere(resources, [&](const Resource& r) {
        return isResource(r, rt::manifest, manifestId) ||
               (!app.icoFile.empty() && (isType(r, rt::icon) || isType(r, rt::groupIcon))) ||
               (app.version && isType(r, rt::version)) || (app.splashImage && isResource(r, rt::rcdata, splashImageId));
    });
    resources.insert(resources.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    return true;
}

bool putApplicationResources(std::vector<std::uint8_t>& image, const ApplicationResources& app, std::string& error) {
    std::vector<Resource> current;
    if (!readResources(image, current, error)) return false;
    std::vector<Resource> wanted = current;
    if (!applicationResourceList(wanted, app, error)) return false;
    // The section's layout is a function of the set alone, so an equal set
    // needs no new section: the generic launcher stays as it was built.
    if (std::is_permutation(wanted.begin(), wanted.end(), current.begin(), current.end())) return true;
    return replaceResources(image, wanted, error);
}

bool summariseResources(std::span<const std::uint8_t> image, ResourceSummary& out, std::string& error) {
    out = ResourceSummary{};
    std::vector<Resource> resources;
    if (!readResources(image, resources, error)) return false;
    const auto group = std::find_if(resources.begin(), resources.end(),
                                    [](const Resource& r) { return isType(r, rt::groupIcon); });
    if (group != resources.end() && !readIconGroup(group->data, out.icons, error)) {
        error = "the icon group: " + error;
        return false;
    }
    const auto version = std::find_if(resources.begin(), resources.end(),
                                      [](const Resource& r) { return isType(r, rt::version); });
    if (version != resources.end()) {
        VersionInfo info;
        if (!decodeVersionInfo(version->data, info, error)) {
            error = "the version information: " + error;
            return false;
        }
        out.version = std::move(info);
    }
    if (const Resource* manifest = findResource(resources, number(rt::manifest), number(manifestId))) {
        ManifestOptions options;
        if (!readManifest(std::string(manifest->data.begin(), manifest->data.end()), options, error)) {
            error = "the manifest: " + error;
            return false;
        }
        out.manifest = std::move(options);
    }
    if (const Resource* splash = findResource(resources, number(rt::rcdata), number(splashImageId))) {
        out.splashImageSize = splash->data.size();
    }
    return true;
}

}  // namespace qarvo
