/* Builds the installation report of PlombarineCfg.exe: the install folder,
   each product file with its size or "MISSING", and the version answered by
   the installed PlombCore.dll, loaded by full path from the same folder. */
#include <windows.h>
#include "plomb_cfg_report.h"
#include "plomb_core.h"
#include "plomb_home.h"

static const char *const kProductFiles[] = {
    "PlombarineCfg.exe",
    "PlombCore.dll",
    "PlombDraw.dll",
    "Plombarine.dat",
    "PlombView.exe",
    "Plombarine.exe",
};
static const int kProductFileCount = sizeof kProductFiles / sizeof kProductFiles[0];

static void Append(char *out, int outSize, const char *text)
{
    int len = lstrlenA(out);
    if (len < outSize - 1)
        lstrcpynA(out + len, text, outSize - len);
}

/* Asks the installed PlombCore.dll for its version; writes a reason if it cannot. */
static void DescribeCore(const char *folder, char *line)
{
    char path[PLOMB_PATH_SIZE];
    if (lstrlenA(folder) + lstrlenA(PLOMB_CORE_DLL_NAME) + 1 > (int)sizeof path) {
        lstrcpyA(line, "Version: unknown (folder name too long)\r\n");
        return;
    }
    lstrcpyA(path, folder);
    lstrcatA(path, PLOMB_CORE_DLL_NAME);
    HMODULE core = LoadLibraryA(path);
    if (!core) {
        wsprintfA(line, "Version: unknown (%s not loaded, error %lu)\r\n",
                  PLOMB_CORE_DLL_NAME, (unsigned long)GetLastError());
        return;
    }
    PlombCoreVersionFn version =
        (PlombCoreVersionFn)(void (*)(void))GetProcAddress(core, PLOMB_CORE_VERSION_PROC);
    if (version)
        wsprintfA(line, "Version: %.40s (reported by %s)\r\n", version(), PLOMB_CORE_DLL_NAME);
    else
        wsprintfA(line, "Version: unknown (%s has no version entry)\r\n", PLOMB_CORE_DLL_NAME);
    FreeLibrary(core);
}

int PlombBuildReport(char *out, int outSize)
{
    char folder[PLOMB_PATH_SIZE];
    char line[1024];
    out[0] = '\0';
    if (!PlombHomeFolder(folder, sizeof folder)) {
        Append(out, outSize, "The folder of this program could not be determined.\r\n");
        return kProductFileCount;
    }
    wsprintfA(line, "Plombarine is installed in:\r\n  %.900s\r\n\r\nFiles:\r\n", folder);
    Append(out, outSize, line);

    int missing = 0;
    for (int i = 0; i < kProductFileCount; ++i) {
        char path[PLOMB_PATH_SIZE];
        WIN32_FILE_ATTRIBUTE_DATA info;
        if (PlombHomePath(kProductFiles[i], path, sizeof path) &&
            GetFileAttributesExA(path, GetFileExInfoStandard, &info) &&
            !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            wsprintfA(line, "  %-18s %10lu bytes\r\n", kProductFiles[i], (unsigned long)info.nFileSizeLow);
        } else {
            wsprintfA(line, "  %-18s    MISSING\r\n", kProductFiles[i]);
            ++missing;
        }
        Append(out, outSize, line);
    }

    Append(out, outSize, "\r\n");
    DescribeCore(folder, line);
    Append(out, outSize, line);
    if (missing)
        wsprintfA(line, "\r\n%d file(s) missing: run the Plombarine setup again to repair.\r\n", missing);
    else
        lstrcpyA(line, "\r\nAll files are present.\r\n");
    Append(out, outSize, line);
    return missing;
}
