// Stand-in for a runtime's bin\splashscreen.dll. Every call is appended as one
// line to splash-stub-record.txt beside the DLL and written to standard error
// as "splash stub: <line>", so that a test sees it in order with the
// launcher's own messages:
//   SplashInit
//   SplashLoadMemory size=<bytes> fnv1a=<8 hex digits of the image's FNV-1a hash>   (returns 1)
//   SplashLoadMemory INVALID                (a null image or a negative size; returns 0)
//   SplashClose
#include "DoubleSupport.h"

#include <cstdio>
#include <string>

using namespace doubles;

namespace {

void record(const std::string& line) {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&record), &self);
  appendLine(directoryOf(modulePath(self)) + L"splash-stub-record.txt", line);
  writeStd(STD_ERROR_HANDLE, "splash stub: " + line + "\n");
}

}  // namespace

extern "C" {

__declspec(dllexport) void SplashInit() { record("SplashInit"); }

__declspec(dllexport) int SplashLoadMemory(void* data, int size) {
  if (!data || size < 0) {
    record("SplashLoadMemory INVALID");
    return 0;
  }
  unsigned hash = 2166136261u;
  for (int i = 0; i < size; ++i) hash = (hash ^ static_cast<unsigned char*>(data)[i]) * 16777619u;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", hash);
  record("SplashLoadMemory size=" + std::to_string(size) + " fnv1a=" + hex);
  return 1;
}

__declspec(dllexport) void SplashClose() { record("SplashClose"); }

}  // extern "C"
