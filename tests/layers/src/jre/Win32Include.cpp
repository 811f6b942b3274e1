// A portable file that includes a Win32 header: the layer check must reject it.
#include <windows.h>
