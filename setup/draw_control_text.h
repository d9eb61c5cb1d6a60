// Writes one line of text onto a control's client area.
#ifndef SETUP_DRAW_CONTROL_TEXT_H
#define SETUP_DRAW_CONTROL_TEXT_H

#include <windows.h>

int DrawControlText(HWND control, HFONT font, int x, int y, COLORREF textColour, COLORREF backgroundColour,
                    const char* text, int backgroundMode);

#endif
