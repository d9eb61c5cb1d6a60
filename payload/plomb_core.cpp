/* PlombCore.dll: version, product name and greeting text for Plombarine.
   Kept in a DLL so the wording can be updated without rebuilding the
   programs that show it. */
#include <windows.h>
#include "plomb_core.h"

static const char kVersion[] = "1.02";
static const char kProduct[] = "Plombarine";

/* Appends src to out at *len, never writing past outSize - 1 characters. */
static void AppendText(char *out, int outSize, int *len, const char *src)
{
    while (*src && *len < outSize - 1) {
        out[*len] = *src;
        ++*len;
        ++src;
    }
    out[*len] = '\0';
}

extern "C" __declspec(dllexport) const char *__cdecl PlombCoreVersion(void)
{
    return kVersion;
}

extern "C" __declspec(dllexport) const char *__cdecl PlombCoreProductName(void)
{
    return kProduct;
}

extern "C" __declspec(dllexport) int __cdecl PlombCoreGreeting(const char *userName, char *out, int outSize)
{
    int len = 0;
    if (!out || outSize <= 0)
        return 0;
    out[0] = '\0';
    AppendText(out, outSize, &len, "Welcome to ");
    AppendText(out, outSize, &len, kProduct);
    AppendText(out, outSize, &len, " ");
    AppendText(out, outSize, &len, kVersion);
    if (userName && userName[0]) {
        AppendText(out, outSize, &len, ", ");
        AppendText(out, outSize, &len, userName);
    }
    AppendText(out, outSize, &len, "!");
    return len;
}
