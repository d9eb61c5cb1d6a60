// The baseline of the start-up and idle benchmarks: built with the setup
// program's compiler, flags and static runtime, it only creates a dialog,
// shows it, and blocks in GetMessageA until it is closed. Built a second
// time with the setup program's DLL imports added.
#include <windows.h>

#ifdef BENCH_WITH_SETUP_IMPORTS
#include <shellapi.h>
#include <shlobj.h>

// Imported, never called: the process then loads the same DLLs at start as
// the setup program does, which tells their share of its start-up apart.
static void* volatile SetupImports[] = {(void*)SHBrowseForFolderA, (void*)SHGetPathFromIDListA,
                                        (void*)ShellExecuteA, (void*)CoTaskMemFree, (void*)CreateFontA};
#endif

static INT_PTR CALLBACK MinimalDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) {
        DestroyWindow(dialog);
        PostQuitMessage(0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
#ifdef BENCH_WITH_SETUP_IMPORTS
    if (!SetupImports[0])  // a read the compiler must keep, and with it the imports
        return 2;
#endif
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(1), NULL, MinimalDialogProc, 0);
    if (!dialog)
        return 1;
    ShowWindow(dialog, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
