/* Reads small text files (Plombarine.dat) into memory and splits them into
   lines, for the programs that show the tips. */
#ifndef PLOMB_TEXT_H
#define PLOMB_TEXT_H

#include <windows.h>

#define PLOMB_DATA_NAME "Plombarine.dat"

/* Reads the whole file, at most maxBytes, into a NUL-terminated buffer from
   the process heap. NULL on failure (GetLastError tells why); ERROR_FILE_TOO_LARGE
   if the file is bigger than maxBytes. Free with PlombFreeText. */
char *PlombReadTextFile(const char *path, DWORD maxBytes, DWORD *outLen);
void PlombFreeText(char *text);

/* Splits text in place into its tip lines: one per line, blank lines and
   lines starting with '#' skipped, CR/LF endings removed. Returns how many
   were stored in lines (at most maxLines). */
int PlombSplitTips(char *text, const char **lines, int maxLines);

#endif
