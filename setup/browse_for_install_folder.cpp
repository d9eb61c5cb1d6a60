// Opens the platform's folder chooser for the install location and writes
// the chosen folder, ending in a backslash, into the path field. The chooser
// has no owner, so the dialog stays usable behind it and this function can
// be entered again while it is open: the browse-in-progress flag turns such
// a call away. The dialog may even be closed meanwhile; the calls after the
// chooser then address windows that are gone, which has no effect.
#include "browse_for_install_folder.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string.h>

#include "resource_ids.h"
#include "setup_state.h"

static int FinishBrowsing(int result)
{
    EnableWindow(GetDlgItem(SetupState.dialog, IDC_BROWSE_BUTTON), TRUE);
    SetupState.browseInProgress = 0;
    return result;
}

int BrowseForInstallFolder(void)
{
    if (SetupState.browseInProgress)
        return 0;
    SetupState.browseInProgress = 1;

    char displayName[MAX_PATH];
    // The longest path the platform returns, a backslash and the zero byte.
    char folder[MAX_PATH + 1];

    BROWSEINFOA request;
    request.hwndOwner = NULL;
    request.pidlRoot = NULL;
    request.pszDisplayName = displayName;
    request.lpszTitle = "Select a Folder to Install to";
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    request.lpfn = NULL;
    request.lParam = 0;
    request.iImage = 0;

    LPITEMIDLIST chosen = SHBrowseForFolderA(&request);
    if (!chosen)
        return FinishBrowsing(0);

    // An item with no file-system path leaves the buffer unwritten: the
    // path field keeps its text.
    if (!SHGetPathFromIDListA(chosen, folder)) {
        CoTaskMemFree(chosen);
        return FinishBrowsing(0);
    }

    // A drive root comes with its backslash ("C:\"), any other folder
    // without one.
    size_t length = strlen(folder);
    if (length > 3) {
        folder[length] = '\\';
        folder[length + 1] = 0;
    }
    SendDlgItemMessageA(SetupState.dialog, IDC_PATH_FIELD, WM_SETTEXT, 0, (LPARAM)folder);
    CoTaskMemFree(chosen);
    return FinishBrowsing(1);
}
