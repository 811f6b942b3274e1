// wintool's registry commands. A trailing "32" or "64" picks the registry view
// (KEY_WOW64_32KEY / KEY_WOW64_64KEY); without it the tool, a 32-bit program,
// sees the 32-bit view as the launcher does.
#include "WinTool.h"

#include "DoubleSupport.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>


using namespace doubles;

namespace wintool {
namespace {

// Owns an open key.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

struct Location {
  HKEY root = nullptr;
  std::wstring subkey;
  REGSAM view = 0;
};

// Parses "<HKCU|HKLM> <subkey> ... [32|64]" where `fixed` is the number of
// arguments without the optional view. False (after a message) when malformed.
bool parseLocation(const Args& args, size_t fixed, const char* usage, Location& location) {
  if (args.size() != fixed && args.size() != fixed + 1) {
    fail(std::string("usage: ") + usage);
    return false;
  }
  if (args[0] == L"HKCU" || args[0] == L"HKEY_CURRENT_USER")
    location.root = HKEY_CURRENT_USER;
  else if (args[0] == L"HKLM" || args[0] == L"HKEY_LOCAL_MACHINE")
    location.root = HKEY_LOCAL_MACHINE;
  else {
    fail("unknown root key " + toUtf8(args[0]));
    return false;
  }
  location.subkey = args[1];
  if (args.size() == fixed + 1) {
    if (args[fixed] == L"32")
      location.view = KEY_WOW64_32KEY;
    else if (args[fixed] == L"64")
      location.view = KEY_WOW64_64KEY;
    else {
      fail("registry view must be 32 or 64, not " + toUtf8(args[fixed]));
      return false;
    }
  }
  return true;
}

std::wstring hex(const BYTE* bytes, size_t size) {
  std::wstring out;
  for (size_t i = 0; i < size; ++i) {
    wchar_t pair[3];
    std::swprintf(pair, 3, L"%02x", bytes[i]);
    out += pair;
  }
  return out;
}

bool unhex(const std::wstring& text, std::vector<BYTE>& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    std::wstring pair = text.substr(i, 2);
    if (!std::iswxdigit(pair[0]) || !std::iswxdigit(pair[1])) return false;
    bytes.push_back(BYTE(std::wcstoul(pair.c_str(), nullptr, 16)));
  }
  return true;
}

// The text of a string value without its terminating NULs.
std::wstring stringData(const std::vector<BYTE>& data) {
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

void printValue(DWORD type, const std::vector<BYTE>& data) {
  if (type == REG_SZ)
    printLine(L"REG_SZ " + stringData(data));
  else if (type == REG_EXPAND_SZ)
    printLine(L"REG_EXPAND_SZ " + stringData(data));
  else if (type == REG_DWORD && data.size() == 4) {
    DWORD value = 0;
    std::memcpy(&value, data.data(), 4);
    printLine(L"REG_DWORD " + std::to_wstring(value));
  } else if (type == REG_BINARY)
    printLine(L"REG_BINARY " + hex(data.data(), data.size()));
  else
    printLine(L"TYPE" + std::to_wstring(type) + L" " + hex(data.data(), data.size()));
}

}  // namespace

int regRead(const Args& args) {
  Location at;
  if (!parseLocation(args, 3, "reg-read <HKCU|HKLM> <subkey> <value> [32|64]", at)) return 1;
  Key key;
  LSTATUS status =
      RegOpenKeyExW(at.root, at.subkey.c_str(), 0, KEY_QUERY_VALUE | at.view, key.out());
  if (status == ERROR_FILE_NOT_FOUND) return 2;
  if (status != ERROR_SUCCESS) return failWin32("RegOpenKeyExW failed", status);
  DWORD type = 0;
  DWORD size = 0;
  std::vector<BYTE> data;
  // The value may grow between the two calls; ask again when it did.
  do {
    data.resize(size);
    status = RegQueryValueExW(key.get(), args[2].c_str(), nullptr, &type, data.data(), &size);
  } while (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && size > data.size()));
  if (status == ERROR_FILE_NOT_FOUND) return 2;
  if (status != ERROR_SUCCESS) return failWin32("RegQueryValueExW failed", status);
  data.resize(size);
  printValue(type, data);
  return 0;
}

int regWrite(const Args& args) {
  Location at;
  if (!parseLocation(args, 5, "reg-write <HKCU|HKLM> <subkey> <value> <type> <data> [32|64]", at))
    return 1;
  const std::wstring& typeName = args[3];
  const std::wstring& text = args[4];
  DWORD type = 0;
  std::vector<BYTE> data;
  if (typeName == L"REG_SZ" || typeName == L"REG_EXPAND_SZ") {
    type = typeName == L"REG_SZ" ? REG_SZ : REG_EXPAND_SZ;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
  } else if (typeName == L"REG_DWORD") {
    type = REG_DWORD;
    wchar_t* end = nullptr;
    DWORD value = std::wcstoul(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0') return fail("not a number: " + toUtf8(text));
    data.resize(4);
    std::memcpy(data.data(), &value, 4);
  } else if (typeName == L"REG_BINARY") {
    type = REG_BINARY;
    if (!unhex(text, data)) return fail("not hexadecimal bytes: " + toUtf8(text));
  } else {
    return fail("unsupported value type " + toUtf8(typeName));
  }
  Key key;
  LSTATUS status = RegCreateKeyExW(at.root, at.subkey.c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE | at.view, nullptr, key.out(), nullptr);
  if (status != ERROR_SUCCESS) return failWin32("RegCreateKeyExW failed", status);
  status = RegSetValueExW(key.get(), args[2].c_str(), 0, type, data.data(), DWORD(data.size()));
  if (status != ERROR_SUCCESS) return failWin32("RegSetValueExW failed", status);
  return 0;
}

namespace {

// Lists the names of the direct subkeys. ERROR_SUCCESS, or why the key could not be read.
LSTATUS subkeyNames(HKEY root, const std::wstring& subkey, REGSAM view,
                    std::vector<std::wstring>& names) {
  Key key;
  LSTATUS status = RegOpenKeyExW(root, subkey.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | view, key.out());
  if (status != ERROR_SUCCESS) return status;
  names.clear();
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];  // key names are at most 255 characters
    DWORD length = 256;
    status = RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return status;
    names.emplace_back(name, length);
  }
}

// Deletes a key and everything below it, depth first, staying in one view
// (RegDeleteTreeW opens the subkeys without a view flag).
LSTATUS deleteTree(HKEY root, const std::wstring& subkey, REGSAM view) {
  std::vector<std::wstring> children;
  LSTATUS status = subkeyNames(root, subkey, view, children);
  if (status != ERROR_SUCCESS) return status;
  for (const std::wstring& child : children) {
    status = deleteTree(root, subkey + L"\\" + child, view);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return status;
  }
  return RegDeleteKeyExW(root, subkey.c_str(), view, 0);
}

}  // namespace

int regDeleteTree(const Args& args) {
  Location at;
  if (!parseLocation(args, 2, "reg-delete-tree <HKCU|HKLM> <subkey> [32|64]", at)) return 1;
  if (at.subkey.empty()) return fail("refusing to delete a root key");
  LSTATUS status = deleteTree(at.root, at.subkey, at.view);
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
    return failWin32("deleting " + toUtf8(at.subkey) + " failed", status);
  return 0;
}

int regList(const Args& args) {
  Location at;
  if (!parseLocation(args, 2, "reg-list <HKCU|HKLM> <subkey> [32|64]", at)) return 1;
  std::vector<std::wstring> names;
  LSTATUS status = subkeyNames(at.root, at.subkey, at.view, names);
  if (status == ERROR_FILE_NOT_FOUND) return 2;
  if (status != ERROR_SUCCESS) return failWin32("listing " + toUtf8(at.subkey) + " failed", status);
  for (const std::wstring& name : names) printLine(name);
  return 0;
}

}  // namespace wintool
