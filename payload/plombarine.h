/* Shared state of Plombarine.exe: the two DLLs and the tips it runs with,
   loaded at start-up by plombarine_parts.cpp and shown by the main window
   in plombarine_window.cpp. */
#ifndef PLOMBARINE_H
#define PLOMBARINE_H

#include <windows.h>
#include "plomb_core.h"
#include "plomb_draw.h"
#include "plomb_home.h"

#define PLOMB_APP_CAPTION "Plombarine"
#define PLOMB_MAX_TIPS 64

/* Exit codes: the setup program and support can tell the failures apart. */
#define PLOMB_EXIT_OK           0
#define PLOMB_EXIT_MISSING_FILE 2
#define PLOMB_EXIT_BROKEN_FILE  3
#define PLOMB_EXIT_NO_WINDOW    4

typedef struct PlombParts {
    char folder[PLOMB_PATH_SIZE];
    HMODULE core;
    HMODULE draw;
    PlombCoreVersionFn coreVersion;
    PlombCoreProductNameFn coreProduct;
    PlombCoreGreetingFn coreGreeting;
    PlombDrawBackgroundFn drawBackground;
    PlombDrawEmblemFn drawEmblem;
    char *tipsText;
    const char *tips[PLOMB_MAX_TIPS];
    int tipCount;
} PlombParts;

/* Loads both DLLs and the data file from the program's own folder.
   Returns a PLOMB_EXIT_ code; on failure message holds text for the user. */
int PlombLoadParts(PlombParts *parts, char *message, int messageSize);
void PlombFreeParts(PlombParts *parts);

/* Shows the main window and runs the message loop until it is closed.
   Returns the process exit code. */
int PlombRunMainWindow(HINSTANCE instance, int showCommand, PlombParts *parts);

#endif
