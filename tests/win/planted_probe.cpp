// An empty DLL, placed beside a test program to stand for one planted in a
// download folder.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
