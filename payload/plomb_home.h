/* Finds the folder a Plombarine program runs from, so the programs open
   their DLLs and data by full path there and never through the DLL search
   path or the current directory. */
#ifndef PLOMB_HOME_H
#define PLOMB_HOME_H

#include <windows.h>

/* Big enough for long install folders; GetModuleFileNameA is checked for truncation. */
#define PLOMB_PATH_SIZE 1024

/* Folder of the running .exe, ending with a backslash. FALSE if it does not fit. */
BOOL PlombHomeFolder(char *out, DWORD outSize);
/* Full path of fileName inside the home folder. FALSE if it does not fit. */
BOOL PlombHomePath(const char *fileName, char *out, DWORD outSize);
/* TRUE if path names an existing file (not a folder). */
BOOL PlombFileExists(const char *path);

#endif
