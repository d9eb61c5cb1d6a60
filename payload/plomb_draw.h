/* Interface of PlombDraw.dll, which paints the Plombarine artwork.
   Loaded at run time with LoadLibraryA; this header names the exports and
   gives the pointer types to cast GetProcAddress to. */
#ifndef PLOMB_DRAW_H
#define PLOMB_DRAW_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define PLOMB_DRAW_DLL_NAME "PlombDraw.dll"

#define PLOMB_DRAW_BACKGROUND_PROC "PlombDrawBackground"
#define PLOMB_DRAW_EMBLEM_PROC     "PlombDrawEmblem"

/* Fills area with the soft vertical gradient of the main window. */
typedef void (__cdecl *PlombDrawBackgroundFn)(HDC dc, const RECT *area);
/* Paints the plum emblem centred in area, scaled to fit it. */
typedef void (__cdecl *PlombDrawEmblemFn)(HDC dc, const RECT *area);

#ifdef __cplusplus
}
#endif

#endif
