/* Reads small text files into memory and splits Plombarine.dat into tip
   lines. Size is capped so a damaged or replaced file cannot make the
   programs allocate without bound. */
#include <windows.h>
#include "plomb_text.h"

char *PlombReadTextFile(const char *path, DWORD maxBytes, DWORD *outLen)
{
    if (outLen)
        *outLen = 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;

    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file, &sizeHigh);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        DWORD err = GetLastError();
        CloseHandle(file);
        SetLastError(err);
        return NULL;
    }
    if (sizeHigh != 0 || size > maxBytes) {
        CloseHandle(file);
        SetLastError(ERROR_FILE_TOO_LARGE);
        return NULL;
    }

    char *text = (char *)HeapAlloc(GetProcessHeap(), 0, size + 1);
    if (!text) {
        CloseHandle(file);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    DWORD got = 0;
    BOOL ok = ReadFile(file, text, size, &got, NULL);
    DWORD err = GetLastError();
    CloseHandle(file);
    if (!ok || got != size) {
        HeapFree(GetProcessHeap(), 0, text);
        SetLastError(ok ? ERROR_READ_FAULT : err);
        return NULL;
    }
    text[size] = '\0';
    if (outLen)
        *outLen = size;
    return text;
}

void PlombFreeText(char *text)
{
    if (text)
        HeapFree(GetProcessHeap(), 0, text);
}

int PlombSplitTips(char *text, const char **lines, int maxLines)
{
    int count = 0;
    char *p = text;
    while (p && *p && count < maxLines) {
        char *start = p;
        while (*p && *p != '\n' && *p != '\r')
            ++p;
        char *end = p;
        while (*p == '\r' || *p == '\n')
            ++p;
        *end = '\0';
        while (*start == ' ' || *start == '\t')
            ++start;
        if (*start && *start != '#')
            lines[count++] = start;
    }
    return count;
}
