// wintool msgbox <caption> <timeout-ms>: waits for a message box, prints its
// text and dismisses it. Exit 3 when none appears in time.
#include "WinTool.h"

#include "DoubleSupport.h"

#include <cwchar>


using namespace doubles;

namespace wintool {
namespace {

struct Search {
  const std::wstring* caption;
  HWND found;
};

std::wstring windowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(size_t(length) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

// A visible dialog-class window titled exactly as asked. Message boxes are
// created hidden and shown once their text is set, so a visible one is ready.
BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  wchar_t className[16];
  if (GetClassNameW(window, className, 16) == 0 || std::wcscmp(className, L"#32770") != 0)
    return TRUE;
  if (!IsWindowVisible(window) || windowText(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

HWND findBox(const std::wstring& caption) {
  Search search{&caption, nullptr};
  EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The message text of a message box (its static control has id 0xFFFF),
// with CR LF as LF.
std::wstring boxText(HWND box) {
  HWND label = GetDlgItem(box, 0xFFFF);
  std::wstring text = label ? windowText(label) : std::wstring();
  std::wstring out;
  for (wchar_t c : text)
    if (c != L'\r') out += c;
  return out;
}

bool waitGone(HWND window, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 50) {
    if (!IsWindow(window)) return true;
    Sleep(50);
  }
  return !IsWindow(window);
}

}  // namespace

int msgbox(const Args& args) {
  if (args.size() != 2) return fail("usage: msgbox <caption> <timeout-ms>");
  wchar_t* end = nullptr;
  long timeout = std::wcstol(args[1].c_str(), &end, 10);
  if (args[1].empty() || *end != L'\0' || timeout < 0)
    return fail("bad time-out " + toUtf8(args[1]));
  HWND box = nullptr;
  for (long waited = 0;; waited += 50) {
    box = findBox(args[0]);
    if (box != nullptr) break;
    if (waited >= timeout) return 3;
    Sleep(50);
  }
  printLine(boxText(box));
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  if (waitGone(box, 2000)) return 0;
  // A box without an OK button ignores IDOK.
  PostMessageW(box, WM_CLOSE, 0, 0);
  if (waitGone(box, 2000)) return 0;
  return fail("the message box did not close");
}

}  // namespace wintool
