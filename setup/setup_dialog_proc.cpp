// The setup dialog's procedure: fills the controls when the dialog is made,
// keeps Install enabled exactly while the agreement is ticked, runs Browse
// and Install, colours the agreement field and draws the banner caption
// whenever that field draws, and ends the program when the window closes.
#include "setup_dialog_proc.h"

#include <stdlib.h>
#include <string.h>

#include "browse_for_install_folder.h"
#include "draw_control_text.h"
#include "resource_ids.h"
#include "run_install.h"
#include "setup_state.h"

#define CAPTION_TEXT            "Plombarine DEMO v1.02"
#define CAPTION_X               70
#define CAPTION_Y               20
#define CAPTION_COLOUR          0x00B090FF
#define AGREEMENT_TEXT_COLOUR   0x0080FF80
#define AGREEMENT_BACKGROUND    0x00707070

// The agreement text carries no terminating zero: exactly its resource's
// bytes are set, from a copy that adds one.
static void SetAgreementText(HWND dialog)
{
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(IDR_LICENSE_TEXT), "LICENSE");
    HGLOBAL loaded = found ? LoadResource(NULL, found) : NULL;
    const char* bytes = loaded ? (const char*)LockResource(loaded) : NULL;
    if (!bytes)
        return;
    DWORD size = SizeofResource(NULL, found);
    char* text = (char*)malloc(size + 1);
    if (!text)
        return;
    memcpy(text, bytes, size);
    text[size] = 0;
    SendDlgItemMessageA(dialog, IDC_AGREEMENT_FIELD, WM_SETTEXT, 0, (LPARAM)text);
    free(text);
}

static INT_PTR OnInitDialog(HWND dialog)
{
    SetupState.dialog = dialog;

    HICON icon = LoadIconA(SetupState.instance, MAKEINTRESOURCEA(IDI_SETUP_ICON));
    SendMessageA(SetupState.dialog, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    SendDlgItemMessageA(SetupState.dialog, IDC_PATH_FIELD, WM_SETTEXT, 0, (LPARAM) "C:\\");
    HBITMAP browsePicture = LoadBitmapA(SetupState.instance, MAKEINTRESOURCEA(IDB_BROWSE_PICTURE));
    SendDlgItemMessageA(SetupState.dialog, IDC_BROWSE_BUTTON, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)browsePicture);
    SetAgreementText(SetupState.dialog);

    // Fixed pitch is asked for together with the face name.
    SetupState.CaptionFont = CreateFontA(20, 10, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, "arial");
    SetupState.AgreementBrush = CreateSolidBrush(AGREEMENT_BACKGROUND);

    SetFocus(GetDlgItem(SetupState.dialog, IDC_AGREEMENT_FIELD));
    // 0 keeps the focus where it was put, not on the first control.
    return 0;
}

static void GateInstallButton(void)
{
    LRESULT ticked = SendDlgItemMessageA(SetupState.dialog, IDC_AGREE_CHECKBOX, BM_GETCHECK, 0, 0);
    EnableWindow(GetDlgItem(SetupState.dialog, IDC_INSTALL_BUTTON), ticked ? TRUE : FALSE);
}

static INT_PTR OnCommand(WPARAM wParam)
{
    // Any notification from these controls acts as a click.
    switch (LOWORD(wParam)) {
    case IDC_INSTALL_BUTTON:
        RunInstall();
        break;
    case IDC_BROWSE_BUTTON:
        BrowseForInstallFolder();
        break;
    case IDC_AGREE_CHECKBOX:
        GateInstallButton();
        break;
    }
    return 0;
}

// The agreement field asks for its colours each time it draws: the banner
// caption is drawn again then, over the banner picture.
static INT_PTR OnEditColour(HDC fieldContext, HWND field)
{
    if (field != GetDlgItem(SetupState.dialog, IDC_AGREEMENT_FIELD))
        return 0;
    DrawControlText(GetDlgItem(SetupState.dialog, IDC_BANNER), SetupState.CaptionFont, CAPTION_X, CAPTION_Y,
                    CAPTION_COLOUR, 0x00000000, CAPTION_TEXT, TRANSPARENT);
    SetBkColor(fieldContext, AGREEMENT_BACKGROUND);
    SetTextColor(fieldContext, AGREEMENT_TEXT_COLOUR);
    return (INT_PTR)SetupState.AgreementBrush;
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(wParam);
    case WM_CTLCOLOREDIT:
        return OnEditColour((HDC)wParam, (HWND)lParam);
    case WM_CLOSE:
        DestroyWindow(SetupState.dialog);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return 0;
}
