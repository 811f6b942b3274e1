#include <windows.h>

#include "os/windows/Services.h"

namespace qarvo::os::win32 {

bool WindowsResources::find(std::uint16_t type, std::uint16_t id, Found& found) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    found.handle = resource;
    found.data = loaded ? LockResource(loaded) : nullptr;
    found.size = SizeofResource(nullptr, resource);
    return found.data != nullptr;
}

}  // namespace qarvo::os::win32
