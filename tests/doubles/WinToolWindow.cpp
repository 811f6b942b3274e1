// wintool window-state <title>: the state of the top-level window with that
// title, as "visible <0|1> minimised <0|1> foreground <0|1>". Exit 2 when
// there is none.
#include "WinTool.h"

#include "DoubleSupport.h"

namespace wintool {

int windowState(const Args& args) {
  if (args.size() != 1) return fail("window-state takes a window title");
  HWND window = FindWindowW(nullptr, args[0].c_str());
  if (window == nullptr) return 2;
  auto flag = [](bool value) { return value ? std::wstring(L"1") : std::wstring(L"0"); };
  printLine(L"visible " + flag(IsWindowVisible(window)) + L" minimised " + flag(IsIconic(window)) +
            L" foreground " + flag(GetForegroundWindow() == window));
  return 0;
}

}  // namespace wintool
