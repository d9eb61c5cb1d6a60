// Process entry of the setup program: creates the setup dialog from its
// template, shows it, and runs the message loop until the quit request.
#include <windows.h>

#include "resource_ids.h"
#include "setup_dialog_proc.h"
#include "setup_state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)previous;
    (void)commandLine;
    (void)showCommand;

    SetupState.instance = instance;
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETUP_DIALOG), NULL,
                                     SetupDialogProc, 0);
    // Without a window no quit request could ever come: end now.
    if (!dialog)
        return 1;
    ShowWindow(dialog, SW_SHOWNORMAL);

    // A retrieval error (-1) ends the loop as the quit request does.
    while (GetMessageA(&SetupState.message, NULL, 0, 0) > 0) {
        TranslateMessage(&SetupState.message);
        DispatchMessageA(&SetupState.message);
    }
    return 0;
}
