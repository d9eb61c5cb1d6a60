/* PlombDraw.dll: paints the Plombarine artwork (gradient and plum emblem)
   into any device context, so every Plombarine window draws it the same way
   without linking anything beyond GDI. */
#include <windows.h>
#include "plomb_draw.h"

/* Blends two colour channels; pos runs from 0 to span. */
static int Mix(int from, int to, int pos, int span)
{
    return span > 0 ? from + (to - from) * pos / span : from;
}

extern "C" __declspec(dllexport) void __cdecl PlombDrawBackground(HDC dc, const RECT *area)
{
    /* Bands rather than GradientFill, which would pull in msimg32.dll. */
    const int bands = 48;
    int height = area->bottom - area->top;
    for (int i = 0; i < bands; ++i) {
        RECT band = *area;
        band.top = area->top + height * i / bands;
        band.bottom = area->top + height * (i + 1) / bands;
        HBRUSH brush = CreateSolidBrush(RGB(Mix(250, 226, i, bands - 1),
                                            Mix(244, 214, i, bands - 1),
                                            Mix(255, 240, i, bands - 1)));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}

extern "C" __declspec(dllexport) void __cdecl PlombDrawEmblem(HDC dc, const RECT *area)
{
    int w = area->right - area->left;
    int h = area->bottom - area->top;
    int size = (w < h ? w : h) * 3 / 4;
    if (size < 8)
        return;
    int cx = area->left + w / 2;
    int cy = area->top + h / 2 + size / 16;
    int r = size / 2;

    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));

    /* The plum body. */
    HBRUSH body = CreateSolidBrush(RGB(104, 40, 128));
    HGDIOBJ oldBrush = SelectObject(dc, body);
    Ellipse(dc, cx - r, cy - r * 9 / 10, cx + r, cy + r);

    /* A highlight to give it some roundness. */
    HBRUSH shine = CreateSolidBrush(RGB(170, 120, 196));
    SelectObject(dc, shine);
    Ellipse(dc, cx - r / 2, cy - r / 2, cx - r / 6, cy - r / 8);

    /* Stem and leaf. */
    HBRUSH stem = CreateSolidBrush(RGB(96, 64, 32));
    SelectObject(dc, stem);
    Rectangle(dc, cx - size / 40 - 1, cy - r - size / 8, cx + size / 40 + 1, cy - r * 8 / 10);

    HBRUSH leaf = CreateSolidBrush(RGB(70, 150, 60));
    SelectObject(dc, leaf);
    POINT pts[4] = {
        { cx, cy - r - size / 10 },
        { cx + r / 2, cy - r - size / 4 },
        { cx + r * 3 / 4, cy - r - size / 8 },
        { cx + r / 4, cy - r - size / 20 },
    };
    Polygon(dc, pts, 4);

    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(body);
    DeleteObject(shine);
    DeleteObject(stem);
    DeleteObject(leaf);
}
