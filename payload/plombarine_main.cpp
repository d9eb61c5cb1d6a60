/* Entry point of Plombarine.exe, the demo product's main program: loads its
   parts from its own folder, reports a missing or broken part in a message
   box with a non-zero exit code, otherwise runs the main window. */
#include <windows.h>
#include "plombarine.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    /* Keep Windows from showing its own "cannot find DLL" boxes; we explain it ourselves. */
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    static PlombParts parts;
    char message[1024];
    int code = PlombLoadParts(&parts, message, sizeof message);
    if (code != PLOMB_EXIT_OK) {
        MessageBoxA(NULL, message, PLOMB_APP_CAPTION, MB_OK | MB_ICONERROR);
        PlombFreeParts(&parts);
        return code;
    }
    code = PlombRunMainWindow(instance, showCommand, &parts);
    PlombFreeParts(&parts);
    return code;
}
