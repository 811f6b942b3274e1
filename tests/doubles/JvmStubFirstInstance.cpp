// The Java side of a running single instance, for the end-to-end tests of the
// protocol between launcher processes: main shows a window when the script
// asks for one, and takes the notification files later starts write, so that
// a test can count what arrived.
#include "JvmStub.h"

#include "DoubleSupport.h"

using namespace doubles;

namespace jvmstub {
namespace {

constexpr wchar_t windowClass[] = L"JvmStubWindow";
constexpr wchar_t windowTitle[] = L"jvm stub window";

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 0xF];
  }
  return out;
}

bool exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Takes the notification file when it is there and no longer held by the start
// that writes it (that start creates it without sharing and writes it in one
// call, so a file that opens is complete): records its bytes, then deletes it.
void takeNotification(const std::wstring& file) {
  std::string bytes;
  if (!readFileBytes(file, bytes)) return;
  record("notification " + hex(bytes));
  if (!DeleteFileW(file.c_str()))
    failLoudly("main-serve cannot delete the notification file (error " +
               std::to_string(GetLastError()) + ")");
}

}  // namespace

void pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void showMainWindow(Script::Window kind) {
  WNDCLASSW type{};
  type.lpfnWndProc = DefWindowProcW;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = windowClass;
  RegisterClassW(&type);
  HWND window = CreateWindowExW(0, windowClass, windowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 320, 200, nullptr, nullptr, type.hInstance, nullptr);
  if (window == nullptr)
    failLoudly("main-window CreateWindowExW failed (error " + std::to_string(GetLastError()) + ")");
  const bool minimised = kind == Script::Window::Minimised;
  // Minimised without activation: the window is not the foreground window
  // until someone brings it there.
  ShowWindow(window, minimised ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  pumpMessages();
  record(std::string("main-window shown ") + (IsIconic(window) ? "minimised" : "normal"));
}

void serveNotifications(const std::string& stopFile) {
  const std::string file = propertyValue("qarvo.processCommFile");
  if (file.empty()) failLoudly("INVALID main-serve without -Dqarvo.processCommFile");
  const std::wstring wideFile = fromUtf8(ansiToUtf8(file));
  const std::wstring stop = fromUtf8(stopFile);
  record("main-serve serving " + ansiToUtf8(file));
  for (int waited = 0; waited <= 120000; waited += 10) {
    pumpMessages();
    takeNotification(wideFile);
    if (exists(stop)) {
      record("main-serve stopped " + stopFile);
      return;
    }
    Sleep(10);
  }
  record("main-serve timed-out " + stopFile);
}

}  // namespace jvmstub
