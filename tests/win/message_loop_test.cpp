// One pass of the message loop at a time, on a real setup dialog: the input
// filter drops what it must and passes everything else, a dropped message
// ends its pass, and the quit request ends the loop.
#include "pump_messages.h"
#include "resource_ids.h"
#include "setup_state.h"
#include "ui_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <utility>
#include <vector>

namespace {

bool Waiting()
{
    MSG message;
    return PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE) != 0;
}

// Runs passes until nothing waits (bounded).
void PumpUntilIdle()
{
    for (int pass = 0; pass < 50 && Waiting(); ++pass)
        EXPECT_EQ(0, PumpMessages());
}

// Every message the two fields receive, seen through a window procedure put
// in front of theirs.
std::vector<std::pair<HWND, UINT>> g_received;
WNDPROC g_pathProc, g_agreementProc;

LRESULT CALLBACK RecordPath(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_received.push_back({window, message});
    return CallWindowProcA(g_pathProc, window, message, wParam, lParam);
}

LRESULT CALLBACK RecordAgreement(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_received.push_back({window, message});
    return CallWindowProcA(g_agreementProc, window, message, wParam, lParam);
}

bool Received(HWND window, UINT message)
{
    for (const auto& seen : g_received)
        if (seen.first == window && seen.second == message)
            return true;
    return false;
}

struct InputCase {
    int control;
    UINT message;
    bool dropped;
};

TEST(MessageLoop, FilterDropsKeyPressesToBothFieldsAndButtonPressesToThePath)
{
    HWND dialog = CreateSetupDialog();
    PumpUntilIdle();
    HWND path = GetDlgItem(dialog, IDC_PATH_FIELD);
    HWND agreement = GetDlgItem(dialog, IDC_AGREEMENT_FIELD);
    g_pathProc = (WNDPROC)SetWindowLongPtrA(path, GWLP_WNDPROC, (LONG_PTR)RecordPath);
    g_agreementProc = (WNDPROC)SetWindowLongPtrA(agreement, GWLP_WNDPROC, (LONG_PTR)RecordAgreement);

    const InputCase cases[] = {
        {IDC_AGREEMENT_FIELD, WM_KEYDOWN, true},
        {IDC_PATH_FIELD, WM_KEYDOWN, true},
        {IDC_PATH_FIELD, WM_RBUTTONDOWN, true},
        {IDC_PATH_FIELD, WM_LBUTTONDOWN, true},
        // Everything else passes: releases, characters, mouse messages to
        // the agreement field, system keys.
        {IDC_PATH_FIELD, WM_KEYUP, false},
        {IDC_PATH_FIELD, WM_LBUTTONUP, false},
        {IDC_PATH_FIELD, WM_LBUTTONDBLCLK, false},
        {IDC_PATH_FIELD, WM_SYSKEYDOWN, false},
        {IDC_AGREEMENT_FIELD, WM_LBUTTONDOWN, false},
        {IDC_AGREEMENT_FIELD, WM_KEYUP, false},
        {IDC_AGREEMENT_FIELD, WM_CHAR, false},
    };
    for (const InputCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "control " << c.control << ", message 0x" << std::hex << c.message);
        HWND target = GetDlgItem(dialog, c.control);
        g_received.clear();
        PostMessageA(target, c.message, c.message == WM_CHAR ? 'x' : VK_HOME, 0);
        PumpUntilIdle();
        EXPECT_EQ(!c.dropped, Received(target, c.message));
    }
    EXPECT_FALSE(Waiting()) << "dropped messages leave the queue";
}

// What a dropped key press would have done: no character comes of it.
TEST(MessageLoop, KeyPressDroppedBeforeTranslationTypesNothing)
{
    HWND dialog = CreateSetupDialog();
    PumpUntilIdle();
    HWND path = GetDlgItem(dialog, IDC_PATH_FIELD);
    SetFocus(path);
    SendMessageA(path, EM_SETSEL, 3, 3);
    PostMessageA(path, WM_KEYDOWN, 'Q', MAKELPARAM(1, MapVirtualKeyA('Q', MAPVK_VK_TO_VSC)));
    PumpUntilIdle();
    EXPECT_EQ("C:\\", ControlText(IDC_PATH_FIELD));
}

TEST(MessageLoop, ADroppedMessageEndsItsPass)
{
    HWND dialog = CreateSetupDialog();
    PumpUntilIdle();
    SetControlText(IDC_PATH_FIELD, "C:\\");
    HWND path = GetDlgItem(dialog, IDC_PATH_FIELD);
    SendMessageA(path, EM_SETSEL, 3, 3);
    PostMessageA(GetDlgItem(dialog, IDC_AGREEMENT_FIELD), WM_KEYDOWN, 'A', 0);
    PostMessageA(path, WM_CHAR, 'y', 0);

    EXPECT_EQ(0, PumpMessages());
    EXPECT_EQ("C:\\", ControlText(IDC_PATH_FIELD)) << "the message behind the dropped one waits for the next pass";
    EXPECT_EQ(0, PumpMessages());
    EXPECT_EQ("C:\\y", ControlText(IDC_PATH_FIELD));
}

TEST(MessageLoop, QuitRequestEndsTheLoop)
{
    CreateSetupDialog();
    PumpUntilIdle();
    PostQuitMessage(0);
    EXPECT_EQ(1, PumpMessages());
    EXPECT_EQ(0, PumpMessages()) << "nothing waits after the quit request";
}

TEST(MessageLoop, ClosingTheDialogEndsTheLoopOnItsNextPass)
{
    HWND dialog = CreateSetupDialog();
    PumpUntilIdle();
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    int result = 0;
    for (int pass = 0; pass < 10 && !result; ++pass)
        result = PumpMessages();
    EXPECT_EQ(1, result);
    EXPECT_FALSE(IsWindow(dialog));
}

}  // namespace
