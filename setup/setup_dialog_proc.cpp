// The setup dialog's procedure. For now it keeps the dialog handle and ends
// the program when the window is closed; the controls are filled by the
// template alone.
#include "setup_dialog_proc.h"
#include "setup_state.h"

static INT_PTR OnInitDialog(HWND dialog)
{
    SetupState.dialog = dialog;
    return 0;
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_CLOSE:
        DestroyWindow(SetupState.dialog);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return 0;
}
