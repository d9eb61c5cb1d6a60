/* Start-up checks of Plombarine.exe: finds PlombCore.dll, PlombDraw.dll and
   Plombarine.dat next to the program, loads them by full path and, when one
   is absent or unusable, writes a message naming the file and the folder. */
#include <windows.h>
#include "plombarine.h"
#include "plomb_text.h"

static const char kRepairHint[] = "\r\nRun the Plombarine setup again to repair the installation.";
static const DWORD kMaxDataBytes = 64 * 1024;

static void SayMissing(char *message, int messageSize, const char *folder,
                       const char **missing, int missingCount)
{
    char names[256] = "";
    for (int i = 0; i < missingCount; ++i) {
        lstrcatA(names, "    ");
        lstrcatA(names, missing[i]);
        lstrcatA(names, "\r\n");
    }
    /* wsprintfA stops at 1024 characters; the folder is cut if it is longer. */
    char text[1024];
    wsprintfA(text, "Plombarine cannot start because %s missing:\r\n\r\n%s\r\n"
                    "%s expected in this folder:\r\n    %.700s\r\n",
              missingCount == 1 ? "a file it needs is" : "files it needs are",
              names, missingCount == 1 ? "It was" : "They were", folder);
    lstrcpynA(message, text, messageSize);
    if (lstrlenA(message) + lstrlenA(kRepairHint) < messageSize)
        lstrcatA(message, kRepairHint);
}

static void SayBroken(char *message, int messageSize, const char *folder,
                      const char *file, const char *problem, DWORD error)
{
    char text[1024];
    wsprintfA(text, "Plombarine cannot start because %s in this folder %s (error %lu):\r\n    %.700s\r\n",
              file, problem, (unsigned long)error, folder);
    lstrcpynA(message, text, messageSize);
    if (lstrlenA(message) + lstrlenA(kRepairHint) < messageSize)
        lstrcatA(message, kRepairHint);
}

static HMODULE LoadOwnLibrary(const char *folder, const char *name)
{
    char path[PLOMB_PATH_SIZE];
    if (lstrlenA(folder) + lstrlenA(name) + 1 > (int)sizeof path) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return NULL;
    }
    lstrcpyA(path, folder);
    lstrcatA(path, name);
    /* Dependents of our DLLs are system DLLs, so the plain search order is fine for them. */
    return LoadLibraryA(path);
}

/* A generic function pointer; the caller casts it to the export's real type. */
typedef void (*AnyProc)(void);

static AnyProc NeedProc(HMODULE module, const char *name, int *missingCount)
{
    AnyProc proc = (AnyProc)GetProcAddress(module, name);
    if (!proc)
        ++*missingCount;
    return proc;
}

int PlombLoadParts(PlombParts *parts, char *message, int messageSize)
{
    ZeroMemory(parts, sizeof *parts);
    message[0] = '\0';

    if (!PlombHomeFolder(parts->folder, sizeof parts->folder)) {
        lstrcpynA(message, "Plombarine cannot find the folder it was started from.", messageSize);
        return PLOMB_EXIT_BROKEN_FILE;
    }

    /* Check all three first so the user hears about every missing file at once. */
    const char *needed[3] = { PLOMB_CORE_DLL_NAME, PLOMB_DRAW_DLL_NAME, PLOMB_DATA_NAME };
    const char *missing[3];
    int missingCount = 0;
    for (int i = 0; i < 3; ++i) {
        char path[PLOMB_PATH_SIZE];
        if (!PlombHomePath(needed[i], path, sizeof path) || !PlombFileExists(path))
            missing[missingCount++] = needed[i];
    }
    if (missingCount > 0) {
        SayMissing(message, messageSize, parts->folder, missing, missingCount);
        return PLOMB_EXIT_MISSING_FILE;
    }

    parts->core = LoadOwnLibrary(parts->folder, PLOMB_CORE_DLL_NAME);
    if (!parts->core) {
        SayBroken(message, messageSize, parts->folder, PLOMB_CORE_DLL_NAME, "could not be loaded", GetLastError());
        return PLOMB_EXIT_BROKEN_FILE;
    }
    int absent = 0;
    parts->coreVersion = (PlombCoreVersionFn)NeedProc(parts->core, PLOMB_CORE_VERSION_PROC, &absent);
    parts->coreProduct = (PlombCoreProductNameFn)NeedProc(parts->core, PLOMB_CORE_PRODUCT_PROC, &absent);
    parts->coreGreeting = (PlombCoreGreetingFn)NeedProc(parts->core, PLOMB_CORE_GREETING_PROC, &absent);
    if (absent) {
        SayBroken(message, messageSize, parts->folder, PLOMB_CORE_DLL_NAME, "is from another version", ERROR_PROC_NOT_FOUND);
        return PLOMB_EXIT_BROKEN_FILE;
    }

    parts->draw = LoadOwnLibrary(parts->folder, PLOMB_DRAW_DLL_NAME);
    if (!parts->draw) {
        SayBroken(message, messageSize, parts->folder, PLOMB_DRAW_DLL_NAME, "could not be loaded", GetLastError());
        return PLOMB_EXIT_BROKEN_FILE;
    }
    parts->drawBackground = (PlombDrawBackgroundFn)NeedProc(parts->draw, PLOMB_DRAW_BACKGROUND_PROC, &absent);
    parts->drawEmblem = (PlombDrawEmblemFn)NeedProc(parts->draw, PLOMB_DRAW_EMBLEM_PROC, &absent);
    if (absent) {
        SayBroken(message, messageSize, parts->folder, PLOMB_DRAW_DLL_NAME, "is from another version", ERROR_PROC_NOT_FOUND);
        return PLOMB_EXIT_BROKEN_FILE;
    }

    char dataPath[PLOMB_PATH_SIZE];
    PlombHomePath(PLOMB_DATA_NAME, dataPath, sizeof dataPath);
    parts->tipsText = PlombReadTextFile(dataPath, kMaxDataBytes, NULL);
    if (!parts->tipsText) {
        SayBroken(message, messageSize, parts->folder, PLOMB_DATA_NAME, "could not be read", GetLastError());
        return PLOMB_EXIT_BROKEN_FILE;
    }
    parts->tipCount = PlombSplitTips(parts->tipsText, parts->tips, PLOMB_MAX_TIPS);
    return PLOMB_EXIT_OK;
}

void PlombFreeParts(PlombParts *parts)
{
    PlombFreeText(parts->tipsText);
    parts->tipsText = NULL;
    parts->tipCount = 0;
    if (parts->draw)
        FreeLibrary(parts->draw);
    if (parts->core)
        FreeLibrary(parts->core);
    parts->draw = NULL;
    parts->core = NULL;
}
