// Keeps DLLs from loading out of the program's own folder.
#ifndef APP_SYSTEM_DLLS_ONLY_H
#define APP_SYSTEM_DLLS_ONLY_H

void LoadDllsFromSystemFolderOnly(void);

#endif
