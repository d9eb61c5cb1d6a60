/* Finds the folder a Plombarine program runs from and builds full paths of
   the product files in it, so nothing is picked up from the search path or
   the current directory. */
#include <windows.h>
#include "plomb_home.h"

BOOL PlombHomeFolder(char *out, DWORD outSize)
{
    if (!out || outSize < 2)
        return FALSE;
    DWORD len = GetModuleFileNameA(NULL, out, outSize);
    /* A full buffer means the name was cut off: a wrong folder is worse than none. */
    if (len == 0 || len >= outSize) {
        out[0] = '\0';
        return FALSE;
    }
    DWORD cut = 0;
    for (DWORD i = 0; i < len; ++i) {
        if (out[i] == '\\' || out[i] == '/')
            cut = i + 1;
    }
    out[cut] = '\0';
    return cut > 0;
}

BOOL PlombHomePath(const char *fileName, char *out, DWORD outSize)
{
    if (!PlombHomeFolder(out, outSize))
        return FALSE;
    DWORD len = lstrlenA(out);
    DWORD nameLen = lstrlenA(fileName);
    if (len + nameLen + 1 > outSize) {
        out[0] = '\0';
        return FALSE;
    }
    lstrcpyA(out + len, fileName);
    return TRUE;
}

BOOL PlombFileExists(const char *path)
{
    DWORD attrs = GetFileAttributesA(path);
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}
