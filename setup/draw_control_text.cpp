// Writes one line of text onto a control's client area, with a given font,
// colours and background mode. The device context is taken and given back
// within the call; the previous font is put back before that.
#include "draw_control_text.h"

#include <string.h>

int DrawControlText(HWND control, HFONT font, int x, int y, COLORREF textColour, COLORREF backgroundColour,
                    const char* text, int backgroundMode)
{
    HDC context = GetDC(control);
    HGDIOBJ previousFont = SelectObject(context, font);
    SetTextColor(context, textColour);
    SetBkColor(context, backgroundColour);
    SetBkMode(context, backgroundMode);
    TextOutA(context, x, y, text, (int)strlen(text));
    SelectObject(context, previousFont);
    ReleaseDC(control, context);
    return 0;
}
