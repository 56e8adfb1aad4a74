// The entry point of qmr.dll.  The library keeps no per-thread state that
// needs setting up or tearing down by the loader, so it asks not to be
// called when threads start and end.  Compiled for Windows only.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
