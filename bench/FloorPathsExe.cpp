// The floor exe plus the long-path conversions that a warm start of the
// benchmark's launcher has to make: its own path to the long form, wide and
// then narrow, and the system temporary directory to the long form at each of
// the four variable expansions the benchmark's configuration leads to (the
// "?" test of the temporary directory runs at every expansion). Under Wine
// each conversion reads every directory of the path, so this row shows what
// these calls alone cost next to the floor. Keep the count in step with
// GetLongPathNameA/W in `bench/count-calls --all`.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

// As in the floor exe: one function of each DLL keeps it in the import table.
static const void* volatile imports[] = {
    reinterpret_cast<const void*>(&RegCloseKey),  // advapi32
    reinterpret_cast<const void*>(&SHGetMalloc),  // shell32
    reinterpret_cast<const void*>(&IsIconic),     // user32
};

namespace {

constexpr DWORD capacity = 8192;
constexpr int temporaryDirectoryConversions = 4;

wchar_t wideName[capacity], wideLong[capacity];
char name[capacity], longName[capacity], temporary[capacity];

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    int failed = 0;
    failed += GetModuleFileNameW(nullptr, wideName, capacity) == 0;
    failed += GetLongPathNameW(wideName, wideLong, capacity) == 0;
    failed += GetModuleFileNameA(nullptr, name, capacity) == 0;
    failed += GetLongPathNameA(name, longName, capacity) == 0;
    for (int i = 0; i < temporaryDirectoryConversions; ++i) {
        failed += GetTempPathA(capacity, temporary) == 0;
        failed += GetLongPathNameA(temporary, longName, capacity) == 0;
    }
    // A failed call would make the figure meaningless: say so by the exit code.
    return failed != 0 || imports[0] == nullptr;
}
