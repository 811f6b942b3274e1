#include <windows.h>

#include "os/windows/Handles.h"
#include "os/windows/Services.h"

namespace qarvo::os::win32 {

namespace {

class Win32Semaphore final : public Semaphore {
public:
    explicit Win32Semaphore(UniqueHandle handle) : handle_(std::move(handle)) {}
    std::uint32_t waitForever() override { return WaitForSingleObject(handle_.get(), INFINITE); }
    bool release(std::uint32_t& error) override {
        bool released = ReleaseSemaphore(handle_.get(), 1, nullptr) != 0;
        error = released ? 0 : GetLastError();
        return released;
    }
    const void* handleValue() const override { return handle_.get(); }

private:
    UniqueHandle handle_;
};

}  // namespace

std::unique_ptr<Semaphore> WindowsSemaphores::create(const std::string& name, std::uint32_t& lastError) {
    UniqueHandle handle(CreateSemaphoreA(nullptr, 1, 1, name.c_str()));
    lastError = GetLastError();
    if (!handle) return nullptr;
    return std::make_unique<Win32Semaphore>(std::move(handle));
}

}  // namespace qarvo::os::win32
