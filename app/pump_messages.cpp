// The message loop, one pass at a time: hands every waiting message to its
// window through the input filter, then sleeps a millisecond. The loop
// polls; it never blocks waiting for input. There is no dialog navigation:
// Tab, Enter and Escape reach the focused control as ordinary keys.
#include "pump_messages.h"

#include <windows.h>

#include "resource_ids.h"
#include "setup_state.h"

// Typing into either field, and clicks into the path field, are dropped
// before translation: the program alone fills the path field, and the
// agreement text can't be changed from the keyboard.
static const struct {
    int control;
    UINT message;
} FilteredInput[] = {
    {IDC_AGREEMENT_FIELD, WM_KEYDOWN},
    {IDC_PATH_FIELD, WM_KEYDOWN},
    {IDC_PATH_FIELD, WM_RBUTTONDOWN},
    {IDC_PATH_FIELD, WM_LBUTTONDOWN},
};

static int IsFilteredInput(const MSG* message)
{
    for (size_t row = 0; row < sizeof FilteredInput / sizeof FilteredInput[0]; ++row) {
        // Looked up afresh: a control that is gone matches nothing.
        HWND control = GetDlgItem(SetupState.dialog, FilteredInput[row].control);
        if (control && message->hwnd == control && message->message == FilteredInput[row].message)
            return 1;
    }
    return 0;
}

int PumpMessages(void)
{
    MSG* message = &SetupState.message;
    if (PeekMessageA(message, NULL, 0, 0, PM_NOREMOVE)) {
        do {
            // 0 is the quit request; -1, a failed retrieval, must not be
            // dispatched either, and would fail again on every pass.
            BOOL retrieved = GetMessageA(message, NULL, 0, 0);
            if (retrieved == 0 || retrieved == -1)
                return 1;
            // A dropped message ends the pass; what waits behind it is
            // handled by the next one.
            if (IsFilteredInput(message))
                break;
            TranslateMessage(message);
            DispatchMessageA(message);
        } while (PeekMessageA(message, NULL, 0, 0, PM_NOREMOVE));
    }
    Sleep(1);
    return 0;
}
