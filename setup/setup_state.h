// SetupState: the process-wide state of the setup program, one instance that
// lives as long as the process. The only mutable state shared between the
// entry point, the dialog and the install sequence.
#ifndef SETUP_SETUP_STATE_H
#define SETUP_SETUP_STATE_H

#include <windows.h>

struct SetupStateRecord {
    HINSTANCE instance;       // set by WinMain before the dialog is created
    HWND dialog;              // set first thing when the dialog initialises
    HFONT CaptionFont;        // the banner caption's font, made once
    HBRUSH AgreementBrush;    // the agreement field's background, made once
    int browseInProgress;     // 1 while the folder chooser is open
    MSG message;              // the message loop's one record
};

extern SetupStateRecord SetupState;

#endif
