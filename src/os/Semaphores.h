// Named kernel semaphores, through which launcher processes find each other.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qarvo::os {

// An open handle to a semaphore; closed when destroyed.
class Semaphore {
public:
    virtual ~Semaphore() = default;
    // WaitForSingleObject without a time limit: its result.
    virtual std::uint32_t waitForever() = 0;
    // ReleaseSemaphore by one. False with the system error on failure.
    virtual bool release(std::uint32_t& error) = 0;
    // The handle's value, for log lines ("%p").
    virtual const void* handleValue() const = 0;
};

class Semaphores {
public:
    virtual ~Semaphores() = default;
    // CreateSemaphoreA(no security attributes, initial 1, maximum 1, name).
    // `lastError` is the system error after the call: 183
    // (ERROR_ALREADY_EXISTS) when the name existed already, in which case the
    // handle opens that semaphore. Null when no handle was given.
    virtual std::unique_ptr<Semaphore> create(const std::string& name, std::uint32_t& lastError) = 0;
};

}  // namespace qarvo::os
