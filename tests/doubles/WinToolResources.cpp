// The resources of an executable as Windows sees them:
//   wintool version-info <file> <string name>...
//       prints "file a.b.c.d", "product a.b.c.d", "translation LLLLCCCC" and
//       "<name>=<value>" for each name, through GetFileVersionInfoW and
//       VerQueryValueW (exit 2 when a name is missing)
//   wintool resource-size <file> <type id> <name id>
//       prints the size FindResourceW and SizeofResource give (exit 2: none)
//   wintool load-icon <file> <group id> <pixels>
//       loads the icon that LoadImageW picks from the group for that size and
//       prints "icon <width>x<height>"
#include "WinTool.h"

#include "DoubleSupport.h"

#include <cstdio>
#include <vector>

using namespace doubles;

namespace wintool {

namespace {

std::wstring hex4(unsigned value) {
  wchar_t text[8];
  std::swprintf(text, 8, L"%04X", value & 0xFFFF);
  return text;
}

std::wstring version(DWORD high, DWORD low) {
  return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
         std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
}

// The module as resources only: no code runs and no imports are resolved.
HMODULE loadAsResources(const std::wstring& path) {
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

}  // namespace

int versionInfo(const Args& args) {
  if (args.empty()) return fail("version-info takes a file and string names");
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(args[0].c_str(), &ignored);
  if (size == 0) return failWin32("GetFileVersionInfoSizeW failed for " + toUtf8(args[0]), GetLastError());
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(args[0].c_str(), 0, size, data.data()))
    return failWin32("GetFileVersionInfoW failed", GetLastError());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
    return fail("no fixed file information");
  printLine(L"file " + version(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
  printLine(L"product " + version(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
  WORD* translation = nullptr;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &length) || length < 4)
    return fail("no translation");
  const std::wstring table = hex4(translation[0]) + hex4(translation[1]);
  printLine(L"translation " + table);
  for (size_t i = 1; i < args.size(); ++i) {
    wchar_t* value = nullptr;
    const std::wstring query = L"\\StringFileInfo\\" + table + L"\\" + args[i];
    if (!VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) return 2;
    printLine(args[i] + L"=" + value);
  }
  return 0;
}

int resourceSize(const Args& args) {
  if (args.size() != 3) return fail("resource-size takes a file, a type id and a name id");
  HMODULE module = loadAsResources(args[0]);
  if (!module) return failWin32("LoadLibraryExW failed for " + toUtf8(args[0]), GetLastError());
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(_wtoi(args[2].c_str())), MAKEINTRESOURCEW(_wtoi(args[1].c_str())));
  const DWORD size = found ? SizeofResource(module, found) : 0;
  FreeLibrary(module);
  if (!found) return 2;
  printLine(std::to_wstring(size));
  return 0;
}

int loadIcon(const Args& args) {
  if (args.size() != 3) return fail("load-icon takes a file, a group id and a size");
  HMODULE module = loadAsResources(args[0]);
  if (!module) return failWin32("LoadLibraryExW failed for " + toUtf8(args[0]), GetLastError());
  const int pixels = _wtoi(args[2].c_str());
  HICON icon = static_cast<HICON>(
      LoadImageW(module, MAKEINTRESOURCEW(_wtoi(args[1].c_str())), IMAGE_ICON, pixels, pixels, 0));
  const DWORD error = GetLastError();
  FreeLibrary(module);
  if (!icon) return failWin32("LoadImageW failed", error);
  ICONINFO info{};
  BITMAP bitmap{};
  const bool ok = GetIconInfo(icon, &info) && GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask,
                                                         sizeof bitmap, &bitmap) != 0;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  DestroyIcon(icon);
  if (!ok) return fail("GetIconInfo failed");
  printLine(L"icon " + std::to_wstring(bitmap.bmWidth) + L"x" + std::to_wstring(bitmap.bmHeight));
  return 0;
}

}  // namespace wintool
