// Move-only owners of Win32 handles: each closes what it holds when it goes
// out of scope, so that no path that returns leaks one. Their destructors
// never fail.
#pragma once

#include <windows.h>

#include <utility>

namespace qarvo::os::win32 {

template <typename Traits>
class Owner {
public:
    using Value = typename Traits::Value;

    Owner() = default;
    explicit Owner(Value value) : value_(value) {}
    Owner(Owner&& other) noexcept : value_(other.release()) {}
    Owner& operator=(Owner&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    ~Owner() { reset(); }

    bool valid() const { return Traits::valid(value_); }
    explicit operator bool() const { return valid(); }
    Value get() const { return value_; }
    // Where a Win32 call stores a new value; what was held is closed first.
    Value* receive() {
        reset();
        return &value_;
    }
    // Gives up ownership: the value stays open.
    Value release() { return std::exchange(value_, Traits::empty()); }
    void reset(Value value = Traits::empty()) {
        if (Traits::valid(value_)) Traits::close(value_);
        value_ = value;
    }

private:
    Value value_ = Traits::empty();
};

// Kernel objects: files, processes, threads, semaphores, tokens. Both null and
// INVALID_HANDLE_VALUE mean none (CreateFileA gives the one, most others the
// other).
struct KernelHandleTraits {
    using Value = HANDLE;
    static Value empty() { return nullptr; }
    static bool valid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
    static void close(Value v) { CloseHandle(v); }
};
using UniqueHandle = Owner<KernelHandleTraits>;

struct RegistryKeyTraits {
    using Value = HKEY;
    static Value empty() { return nullptr; }
    static bool valid(Value v) { return v != nullptr; }
    static void close(Value v) { RegCloseKey(v); }
};
using UniqueKey = Owner<RegistryKeyTraits>;

struct ModuleTraits {
    using Value = HMODULE;
    static Value empty() { return nullptr; }
    static bool valid(Value v) { return v != nullptr; }
    static void close(Value v) { FreeLibrary(v); }
};
using UniqueModule = Owner<ModuleTraits>;

struct FindHandleTraits {
    using Value = HANDLE;
    static Value empty() { return INVALID_HANDLE_VALUE; }
    static bool valid(Value v) { return v != INVALID_HANDLE_VALUE && v != nullptr; }
    static void close(Value v) { FindClose(v); }
};
using UniqueFind = Owner<FindHandleTraits>;

}  // namespace qarvo::os::win32
