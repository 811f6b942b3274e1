#include "config/windows/OwnExecutable.h"

#include <windows.h>

#include "config/LocaleTable.h"
#include "launcher/StartupArguments.h"
#include "payload/PathHelpers.h"
#include "report/ErrorReport.h"
#include "report/Log.h"

namespace qarvo {

namespace {

class Win32File final : public ByteSource {
public:
    explicit Win32File(HANDLE handle) : handle_(handle) {}
    ~Win32File() override { CloseHandle(handle_); }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    Result readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        Result result;
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN)) {
            result.ok = false;
            result.error = GetLastError();
            return result;
        }
        DWORD read = 0;
        result.ok = ReadFile(handle_, buffer, static_cast<DWORD>(size), &read, nullptr) != 0;
        result.error = GetLastError();
        result.bytes = read;
        return result;
    }

    std::uint64_t size() override {
        LARGE_INTEGER size;
        return GetFileSizeEx(handle_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }

private:
    HANDLE handle_;
};

}  // namespace

std::unique_ptr<ByteSource> openOwnExecutable() {
    HANDLE handle = CreateFileA(launcherPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32File>(handle);
}

const char* userLocaleName() { return localeNameForLangId(LOWORD(GetUserDefaultLCID())); }

void readConfiguration() {
    ConfigReadFailure failure;
    {
        std::unique_ptr<ByteSource> file = openOwnExecutable();
        if (!file) {
            logError("Could not open %s", launcherPath().c_str());
            failWithMessage("Error opening media file. Please move this file to an ascii-only path like c:\\");
        }
        failure = readConfigurationFrom(*file, userLocaleName);
    }
    if (failure != ConfigReadFailure::none) failWithMessage(configReadFailureMessage(failure));
    applyLauncherTypeRule();
}

}  // namespace qarvo
