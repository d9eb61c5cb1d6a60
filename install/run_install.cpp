// The install sequence: the path field's text plus "Plombarine\" becomes the
// target folder, which is created and filled with the packed files; then the
// user is told, the installed program is started and the setup program is
// asked to end. When the files can't all be written, or the path is too
// long, the user is told why and the dialog is handed back to try again.
#include "run_install.h"

#include <windows.h>
#include <shellapi.h>

#include <string.h>

#include "extract_packed_files.h"
#include "install_messages.h"
#include "resource_ids.h"
#include "setup_state.h"

// Appended as one block of 12 bytes, its zero byte included.
static const char InstallSubfolder[12] = "Plombarine\\";
static const char LaunchTarget[] = "Plombarine.exe";

#define PATH_BUFFER_SIZE 2048

static void EnableInstallControls(BOOL enable)
{
    EnableWindow(GetDlgItem(SetupState.dialog, IDC_INSTALL_BUTTON), enable);
    EnableWindow(GetDlgItem(SetupState.dialog, IDC_AGREE_CHECKBOX), enable);
    EnableWindow(GetDlgItem(SetupState.dialog, IDC_BROWSE_BUTTON), enable);
}

// The longest path field text that still leaves room, in the path buffer
// and within MAX_PATH, for the subfolder, every record name and a zero byte.
static size_t LongestInstallPath(void)
{
    long longest = MAX_PATH - 1 - (long)(sizeof InstallSubfolder - 1) -
                   (long)LongestPackedName(IDR_PACKED_FILE_SET);
    long bufferRoom = PATH_BUFFER_SIZE - (long)sizeof InstallSubfolder;
    if (longest > bufferRoom)
        longest = bufferRoom;
    return longest > 0 ? (size_t)longest : 0;
}

int RunInstall(void)
{
    EnableInstallControls(FALSE);

    // Checked before anything is read, created or written: a longer text
    // would be cut by WM_GETTEXT or give paths Windows can't open.
    size_t longestAllowed = LongestInstallPath();
    size_t textLength = (size_t)SendDlgItemMessageA(SetupState.dialog, IDC_PATH_FIELD, WM_GETTEXTLENGTH, 0, 0);
    if (textLength > longestAllowed) {
        ShowInstallPathTooLong(longestAllowed);
        EnableInstallControls(TRUE);
        return 0;
    }

    char target[PATH_BUFFER_SIZE];
    memset(target, 0, sizeof target);
    SendDlgItemMessageA(SetupState.dialog, IDC_PATH_FIELD, WM_GETTEXT, sizeof target, (LPARAM)target);
    memcpy(target + strlen(target), InstallSubfolder, sizeof InstallSubfolder);

    // Only the last level is created; if that fails, the extraction says
    // which file could not be written and why.
    CreateDirectoryA(target, NULL);
    if (ExtractPackedFiles(IDR_PACKED_FILE_SET, target) != 0) {
        ShowExtractFailure(target, FirstExtractFailure());
        EnableInstallControls(TRUE);
        return 0;
    }

    MessageBoxA(NULL, "SETUP is Complete !", "SUCCESS", MB_OK | MB_ICONINFORMATION);

    // The full path, so that only the program just installed can start,
    // never another one of that name on the search path.
    char program[PATH_BUFFER_SIZE];
    memcpy(program, target, strlen(target) + 1);
    memcpy(program + strlen(program), LaunchTarget, sizeof LaunchTarget);

    // The dialog may have been closed while the box was open.
    HWND owner = IsWindow(SetupState.dialog) ? SetupState.dialog : NULL;
    if ((INT_PTR)ShellExecuteA(owner, "open", program, " ", target, SW_SHOW) <= 32)
        MessageBoxA(NULL, "Cannot Open Program", "ERROR", MB_OK | MB_ICONERROR);

    PostQuitMessage(0);
    return 0;
}
