// Diagnostic of the start-up figure: times, inside one fresh process, the
// making of the setup dialog from the program's own template and resources,
// part by part, next to the minimal dialog's template.

// Prints "key milliseconds" lines.
//   dialog_profile minimal    the minimal template, a procedure that does nothing
//   dialog_profile controls   the setup template, a procedure that does nothing
//   dialog_profile full       the setup template with SetupDialogProc
//   dialog_profile steps      the setup template, then each call of the dialog's
//                             initialisation on its own
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "resource_ids.h"
#include "setup_dialog_proc.h"
#include "setup_state.h"

namespace {

double Milliseconds()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)counter.QuadPart / (double)frequency.QuadPart;
}

INT_PTR CALLBACK DoNothing(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

void Report(const char* what, double from, double to)
{
    printf("%s %.3f\n", what, to - from);
}

// The same calls, in the same order and with the same arguments, as the
// setup dialog's initialisation, each timed on its own.
void TimeInitialisationSteps(HWND dialog)
{
    HINSTANCE instance = SetupState.instance;
    double t0 = Milliseconds();
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP_ICON));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    double t1 = Milliseconds();
    SendDlgItemMessageA(dialog, IDC_PATH_FIELD, WM_SETTEXT, 0, (LPARAM) "C:\\");
    double t2 = Milliseconds();
    HBITMAP browse = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_BROWSE_PICTURE));
    SendDlgItemMessageA(dialog, IDC_BROWSE_BUTTON, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)browse);
    double t3 = Milliseconds();
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(IDR_LICENSE_TEXT), "LICENSE");
    DWORD size = found ? SizeofResource(NULL, found) : 0;
    char* text = (char*)calloc(size + 1, 1);
    if (found && text)
        memcpy(text, LockResource(LoadResource(NULL, found)), size);
    SendDlgItemMessageA(dialog, IDC_AGREEMENT_FIELD, WM_SETTEXT, 0, (LPARAM)text);
    free(text);
    double t4 = Milliseconds();
    HFONT font = CreateFontA(20, 10, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, "arial");
    HBRUSH brush = CreateSolidBrush(0x00707070);
    double t5 = Milliseconds();
    SetFocus(GetDlgItem(dialog, IDC_AGREEMENT_FIELD));
    double t6 = Milliseconds();
    Report("step-icon", t0, t1);
    Report("step-path-text", t1, t2);
    Report("step-browse-picture", t2, t3);
    Report("step-agreement-text", t3, t4);
    Report("step-font-and-brush", t4, t5);
    Report("step-focus", t5, t6);
    DeleteObject(font);
    DeleteObject(brush);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    SetupState.instance = instance;
    const char* mode = commandLine;
    int setupTemplate = strcmp(mode, "minimal") != 0;
    DLGPROC procedure = strcmp(mode, "full") == 0 ? SetupDialogProc : DoNothing;

    double begin = Milliseconds();
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(setupTemplate ? IDD_SETUP_DIALOG : 1), NULL,
                                     procedure, 0);
    double created = Milliseconds();
    if (!dialog) {
        printf("error no-dialog %lu\n", GetLastError());
        return 1;
    }
    if (strcmp(mode, "steps") == 0)
        TimeInitialisationSteps(dialog);
    double initialised = Milliseconds();
    ShowWindow(dialog, SW_SHOWNORMAL);
    double shown = Milliseconds();
    Report("create", begin, created);
    Report("show", initialised, shown);
    fflush(stdout);
    DestroyWindow(dialog);
    return 0;
}
