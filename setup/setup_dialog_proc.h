// The setup dialog's procedure.
#ifndef SETUP_SETUP_DIALOG_PROC_H
#define SETUP_SETUP_DIALOG_PROC_H

#include <windows.h>

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
