// Process entry of the setup program: creates the setup dialog from its
// template, shows it, and runs passes of the message loop until the quit
// request. The command line and the show command are not used.
#include <windows.h>

#include "pump_messages.h"
#include "resource_ids.h"
#include "setup_dialog_proc.h"
#include "setup_state.h"
#include "system_dlls_only.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)previous;
    (void)commandLine;
    (void)showCommand;

    LoadDllsFromSystemFolderOnly();

    // Stored first: the dialog's initialisation loads the icon and the
    // Browse picture from this instance.
    SetupState.instance = instance;
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETUP_DIALOG), NULL, SetupDialogProc, 0);
    // Without a window no quit request could ever come.
    if (!dialog)
        return 1;
    ShowWindow(dialog, SW_SHOWNORMAL);

    while (!PumpMessages()) {
    }
    return 0;
}
