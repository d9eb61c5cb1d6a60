// Writes every record of a packed file set, carried as a "BINARY" resource
// of the program's own module, as one file into a folder.
#ifndef PACKAGE_EXTRACT_PACKED_FILES_H
#define PACKAGE_EXTRACT_PACKED_FILES_H

#include <windows.h>

enum ExtractFailureKind {
    EXTRACT_FAILURE_NONE,
    EXTRACT_FAILURE_NO_RESOURCE,     // the set is not in the module
    EXTRACT_FAILURE_DAMAGED_SET,     // detail says what, at offset
    EXTRACT_FAILURE_REFUSED_NAME,    // detail says why
    EXTRACT_FAILURE_PATH_TOO_LONG,   // folder and name exceed MAX_PATH
    EXTRACT_FAILURE_OPEN,            // systemError / crtError say why
    EXTRACT_FAILURE_WRITE,
    EXTRACT_FAILURE_CLOSE,
    EXTRACT_FAILURE_REPLACE          // the old file could not be replaced
};

// The first record of the last extraction that was not written in full.
struct ExtractFailure {
    ExtractFailureKind kind;
    char name[MAX_PATH];        // as stored, cut to fit; "" when no record
    unsigned long offset;       // of the record, or of the damage, in the set
    const char* detail;         // static text for refusals and damage
    DWORD systemError;          // GetLastError() right after the failing call
    int crtError;               // errno right after the failing call
};

// Writes each record to folder + name, in record order, and returns how many
// records could not be written in full: 0 when every file was written. A
// record's old file is replaced only by a complete new one: one that could
// not be written stays as it was. A damaged or missing set counts as one
// more failure. Creates no folder.
int ExtractPackedFiles(int id, const char* folder);

// The length of the longest record name in the set, so that a caller can
// tell before creating anything whether every path will fit MAX_PATH.
size_t LongestPackedName(int id);

// What went wrong first in the last ExtractPackedFiles call (kind NONE when
// nothing did).
const ExtractFailure* FirstExtractFailure(void);

#endif
