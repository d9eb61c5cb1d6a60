/* Interface of PlombCore.dll, the text and version services of Plombarine.
   The programs load this DLL at run time with LoadLibraryA, so this header
   gives the exported names and the pointer types to cast GetProcAddress to. */
#ifndef PLOMB_CORE_H
#define PLOMB_CORE_H

#ifdef __cplusplus
extern "C" {
#endif

#define PLOMB_CORE_DLL_NAME "PlombCore.dll"

/* Exported names; cdecl keeps them undecorated on 32-bit builds too. */
#define PLOMB_CORE_VERSION_PROC  "PlombCoreVersion"
#define PLOMB_CORE_PRODUCT_PROC  "PlombCoreProductName"
#define PLOMB_CORE_GREETING_PROC "PlombCoreGreeting"

/* Returns the product version, e.g. "1.02". */
typedef const char *(__cdecl *PlombCoreVersionFn)(void);
/* Returns the product name, "Plombarine". */
typedef const char *(__cdecl *PlombCoreProductNameFn)(void);
/* Writes a greeting for userName (NULL or "" means a generic one) into out.
   Returns the text length, truncated to fit outSize including the NUL. */
typedef int (__cdecl *PlombCoreGreetingFn)(const char *userName, char *out, int outSize);

#ifdef __cplusplus
}
#endif

#endif
