// The resources of the launcher's own executable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qarvo::os {

constexpr std::uint16_t resourceTypeRawData = 10;  // RT_RCDATA

class OwnResources {
public:
    virtual ~OwnResources() = default;
    struct Found {
        const void* handle = nullptr;  // what FindResourceA gave, for log lines
        const void* data = nullptr;    // the locked bytes; they stay for the life of the process
        std::size_t size = 0;
    };
    // FindResourceA, LoadResource, LockResource and SizeofResource for the
    // resource `id` of `type`. False when it is missing.
    virtual bool find(std::uint16_t type, std::uint16_t id, Found& found) = 0;
};

}  // namespace qarvo::os
