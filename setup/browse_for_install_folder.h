// The Browse button's folder chooser.
#ifndef SETUP_BROWSE_FOR_INSTALL_FOLDER_H
#define SETUP_BROWSE_FOR_INSTALL_FOLDER_H

// 1 when a folder was chosen and written into the path field; 0 when the
// chooser was already open, was cancelled, or gave no file-system path.
int BrowseForInstallFolder(void);

#endif
