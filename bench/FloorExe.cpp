// The floor of the start-up benchmark: a window-subsystem program with the
// launcher's system DLLs in its import table and its common-controls
// manifest, which initialises the common controls and does nothing else.
// Under Wine these imports alone cost several times an empty program, so a
// launcher is judged against this, not against an empty exe. The benchmark
// checks that the DLLs still match the launcher's.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

// One function of each DLL keeps it in the import table; none is called.
static const void* volatile imports[] = {
    reinterpret_cast<const void*>(&RegCloseKey),  // advapi32
    reinterpret_cast<const void*>(&SHGetMalloc),  // shell32
    reinterpret_cast<const void*>(&IsIconic),     // user32
};

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    return imports[0] == nullptr;
}
