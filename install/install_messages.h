// What the install sequence tells the user when it cannot go on: one error
// box, built from what failed, the path, and the system's own words for the
// error.
#ifndef INSTALL_INSTALL_MESSAGES_H
#define INSTALL_INSTALL_MESSAGES_H

#include <stddef.h>

#include "extract_packed_files.h"

// Names the target folder, the first file that could not be written and why.
void ShowExtractFailure(const char* targetFolder, const ExtractFailure* failure);

// Says that the install path is too long, and how long it may be.
void ShowInstallPathTooLong(size_t longestAllowed);

#endif
