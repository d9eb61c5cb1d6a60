// Setup programs are run from download folders, where a planted DLL named
// like one the shell loads on demand would otherwise be loaded from beside
// the program. Where the platform offers it, DLL searches are limited to the
// system folder; where it does not, the current folder is at least dropped.
#include "system_dlls_only.h"

#include <windows.h>

typedef BOOL(WINAPI* SetDefaultDllDirectoriesCall)(DWORD);

void LoadDllsFromSystemFolderOnly(void)
{
    // Looked up, not imported: older systems lack it, and the program must
    // still start there.
    SetDefaultDllDirectoriesCall setDefaultDllDirectories = (SetDefaultDllDirectoriesCall)(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    SetDllDirectoryA("");
}
