// The setup dialog's procedure, in this process: what initialisation puts
// into the controls, the Install gating, the command dispatch, the colour
// answer and closing.
#include "resource_ids.h"
#include "setup_dialog_proc.h"
#include "setup_state.h"
#include "ui_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::string LicenseResource()
{
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(IDR_LICENSE_TEXT), "LICENSE");
    return std::string(static_cast<const char*>(LockResource(LoadResource(NULL, found))),
                       SizeofResource(NULL, found));
}

TEST(SetupDialog, InitialisationFillsTheControlsAndFocusesTheAgreement)
{
    HWND dialog = CreateSetupDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(dialog, SetupState.dialog);
    EXPECT_EQ("C:\\", ControlText(IDC_PATH_FIELD));

    std::string license = LicenseResource();
    ASSERT_EQ(5115u, license.size());
    EXPECT_TRUE(ControlText(IDC_AGREEMENT_FIELD) == license) << "the agreement text is not exactly the resource";

    EXPECT_EQ(GetDlgItem(dialog, IDC_AGREEMENT_FIELD), GetFocus());
    EXPECT_FALSE(ControlEnabled(IDC_INSTALL_BUTTON));
    EXPECT_EQ(BST_UNCHECKED, SendDlgItemMessageA(dialog, IDC_AGREE_CHECKBOX, BM_GETCHECK, 0, 0));
    EXPECT_NE(0, SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(0, SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
    EXPECT_NE(0, SendDlgItemMessageA(dialog, IDC_BROWSE_BUTTON, BM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_NE(nullptr, SetupState.CaptionFont);
    EXPECT_NE(nullptr, SetupState.AgreementBrush);
}

TEST(SetupDialog, InstallIsEnabledExactlyWhileTheAgreementIsTicked)
{
    HWND dialog = CreateSetupDialog();
    for (int click = 1; click <= 5; ++click) {
        SendDlgItemMessageA(dialog, IDC_AGREE_CHECKBOX, BM_CLICK, 0, 0);
        bool ticked = SendDlgItemMessageA(dialog, IDC_AGREE_CHECKBOX, BM_GETCHECK, 0, 0) == BST_CHECKED;
        EXPECT_EQ(click % 2 == 1, ticked) << click;
        EXPECT_EQ(ticked, ControlEnabled(IDC_INSTALL_BUTTON)) << click;
    }
}

TEST(SetupDialog, CommandsAreDispatchedOnTheLow16BitsOnly)
{
    HWND dialog = CreateSetupDialog();
    // The gating reads the checkbox afresh, whatever notification came.
    SendDlgItemMessageA(dialog, IDC_AGREE_CHECKBOX, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(0, SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_AGREE_CHECKBOX, 0x1234), 0));
    EXPECT_TRUE(ControlEnabled(IDC_INSTALL_BUTTON));

    // Other identifiers do nothing.
    for (int id : {IDC_PATH_FIELD, IDC_AGREEMENT_FIELD, IDOK, IDCANCEL}) {
        EXPECT_EQ(0, SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0)) << id;
        EXPECT_TRUE(IsWindow(dialog)) << id;
        EXPECT_EQ("C:\\", ControlText(IDC_PATH_FIELD)) << id;
        EXPECT_TRUE(ControlEnabled(IDC_INSTALL_BUTTON)) << id;
    }
}

// Asked of the procedure itself: through the dialog manager, a result of 0
// becomes the platform's default brush.
TEST(SetupDialog, AgreementFieldGetsGreenOnGreyAndTheSameBrushEveryTime)
{
    HWND dialog = CreateSetupDialog();
    HDC context = CreateCompatibleDC(NULL);
    HWND agreement = GetDlgItem(dialog, IDC_AGREEMENT_FIELD);
    INT_PTR first = SetupDialogProc(dialog, WM_CTLCOLOREDIT, (WPARAM)context, (LPARAM)agreement);
    INT_PTR second = SetupDialogProc(dialog, WM_CTLCOLOREDIT, (WPARAM)context, (LPARAM)agreement);
    EXPECT_EQ((INT_PTR)SetupState.AgreementBrush, first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(0x00707070u, GetBkColor(context));
    EXPECT_EQ(0x0080FF80u, GetTextColor(context));

    LOGBRUSH brush;
    ASSERT_NE(0, GetObjectA(SetupState.AgreementBrush, sizeof brush, &brush));
    EXPECT_EQ(0x00707070u, brush.lbColor);

    // The path field gets the platform's colours, its context untouched.
    SetBkColor(context, RGB(1, 2, 3));
    HWND path = GetDlgItem(dialog, IDC_PATH_FIELD);
    EXPECT_EQ(0, SetupDialogProc(dialog, WM_CTLCOLOREDIT, (WPARAM)context, (LPARAM)path));
    EXPECT_EQ(RGB(1, 2, 3), GetBkColor(context));
    DeleteDC(context);
}

// Every message gets 0 but the agreement field's colour request.
TEST(SetupDialog, UnhandledMessagesGetZero)
{
    HWND dialog = CreateSetupDialog();
    for (UINT message : {(UINT)WM_PAINT, (UINT)WM_SIZE, (UINT)WM_CTLCOLORSTATIC, (UINT)WM_TIMER, (UINT)WM_USER})
        EXPECT_EQ(0, SetupDialogProc(dialog, message, 0, 0)) << message;
}

TEST(SetupDialog, CaptionFontIsTheRequestedBoldFixedPitchArial)
{
    CreateSetupDialog();
    LOGFONTA font;
    ASSERT_NE(0, GetObjectA(SetupState.CaptionFont, sizeof font, &font));
    EXPECT_EQ(20, font.lfHeight);
    EXPECT_EQ(10, font.lfWidth);
    EXPECT_EQ(FW_BOLD, font.lfWeight);
    EXPECT_EQ(DEFAULT_CHARSET, font.lfCharSet);
    EXPECT_EQ(FIXED_PITCH, font.lfPitchAndFamily);
    EXPECT_STREQ("arial", font.lfFaceName);
}

TEST(SetupDialog, ClosingDestroysTheDialogAndAsksToQuitWithZero)
{
    HWND dialog = CreateSetupDialog();
    EXPECT_EQ(0, SendMessageA(dialog, WM_CLOSE, 0, 0));
    EXPECT_FALSE(IsWindow(dialog));
    int exitCode = -1;
    EXPECT_TRUE(TakeQuitRequest(&exitCode));
    EXPECT_EQ(0, exitCode);
}

}  // namespace
