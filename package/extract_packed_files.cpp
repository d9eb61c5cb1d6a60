// Extraction of the packed file set from the program's own resources. The
// set is read in place from the loaded image, never copied; each record's
// bytes go to the C runtime in one write, into a temporary file that then
// takes the record's name. A record that can't be written is noted and
// skipped, and the walk carries on while the set still allows it.
#include "extract_packed_files.h"
#include "packed_set.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

// The stream of the file being written: set by one record's open, cleared by
// its close.
static FILE* g_outputStream;

static ExtractFailure g_firstFailure;

static void NoteFailure(ExtractFailureKind kind, const char* name, size_t nameLength,
                        size_t offset, const char* detail, DWORD systemError, int crtError)
{
    if (g_firstFailure.kind != EXTRACT_FAILURE_NONE)
        return;
    if (nameLength >= sizeof g_firstFailure.name)
        nameLength = sizeof g_firstFailure.name - 1;
    g_firstFailure.kind = kind;
    memcpy(g_firstFailure.name, name, nameLength);
    g_firstFailure.name[nameLength] = 0;
    g_firstFailure.offset = (unsigned long)offset;
    g_firstFailure.detail = detail;
    g_firstFailure.systemError = systemError;
    g_firstFailure.crtError = crtError;
}

// Writes the record's bytes to file with one open, one write and one close,
// then, when file is a temporary one, puts it in place as finalPath. On any
// failure the file written is removed: nothing half-written stays.
static int WriteRecordBytes(const char* file, const char* finalPath, const PackedRecord* record)
{
    SetLastError(0);
    errno = 0;
    g_outputStream = fopen(file, "wb+");
    if (!g_outputStream) {
        NoteFailure(EXTRACT_FAILURE_OPEN, record->name, record->nameLength, record->offset,
                    NULL, GetLastError(), errno);
        DeleteFileA(file);
        return 0;
    }

    SetLastError(0);
    errno = 0;
    size_t written = fwrite(record->data, 1, record->size, g_outputStream);
    // What the stream still buffers reaches the file only now. The runtime's
    // fclose does not report a failed flush, so the flush is asked for here.
    if (written == record->size && fflush(g_outputStream) != 0)
        written = 0;
    DWORD writeError = GetLastError();
    int writeErrno = errno;
    // A write the file system cut short without an error is a full disk:
    // that is how the space running out shows on the volumes Wine maps.
    if (written != record->size && writeError == 0)
        writeError = ERROR_DISK_FULL;

    SetLastError(0);
    errno = 0;
    int closed = fclose(g_outputStream);
    g_outputStream = NULL;

    if (written != record->size || closed != 0) {
        if (written != record->size)
            NoteFailure(EXTRACT_FAILURE_WRITE, record->name, record->nameLength, record->offset,
                        NULL, writeError, writeErrno);
        else
            NoteFailure(EXTRACT_FAILURE_CLOSE, record->name, record->nameLength, record->offset,
                        NULL, GetLastError(), errno);
        DeleteFileA(file);
        return 0;
    }

    if (file != finalPath && !MoveFileExA(file, finalPath, MOVEFILE_REPLACE_EXISTING)) {
        NoteFailure(EXTRACT_FAILURE_REPLACE, record->name, record->nameLength, record->offset,
                    NULL, GetLastError(), 0);
        DeleteFileA(file);
        return 0;
    }
    return 1;
}

// Writes one record as folder + name. Where a file of that name exists, the
// bytes go to a temporary file in the same folder first, which replaces it
// only once complete and closed: a write that fails halfway (a full disk)
// leaves the old file whole instead of cut. Returns 1 when the file is in
// place, 0 (with the failure noted, and nothing half-written left) otherwise.
static int WriteRecordFile(const char* folder, size_t folderLength, const PackedRecord* record)
{
    const char* refusal = PackedNameRefusal(record->name, record->nameLength);
    if (refusal) {
        NoteFailure(EXTRACT_FAILURE_REFUSED_NAME, record->name, record->nameLength,
                    record->offset, refusal, 0, 0);
        return 0;
    }

    // A cut path would write a different file; a longer one would overflow.
    char path[MAX_PATH];
    if (folderLength + record->nameLength + 1 > sizeof path) {
        NoteFailure(EXTRACT_FAILURE_PATH_TOO_LONG, record->name, record->nameLength,
                    record->offset, NULL, ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG);
        return 0;
    }
    memcpy(path, folder, folderLength);
    memcpy(path + folderLength, record->name, record->nameLength + 1);

    // No old file to keep whole: the record goes straight to its name,
    // which spares the temporary file's look-ups on a fresh install.
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return WriteRecordBytes(path, path, record);
    }

    // Windows does not let a read-only file be replaced; said here, the
    // answer is the same whoever runs the program.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        NoteFailure(EXTRACT_FAILURE_REPLACE, record->name, record->nameLength, record->offset,
                    NULL, ERROR_ACCESS_DENIED, 0);
        return 0;
    }

    // The temporary file goes where the record's file will be: the folder
    // part of the path ("." when there is none).
    char directory[MAX_PATH] = ".";
    const char* lastSeparator = strrchr(path, '\\');
    if (lastSeparator) {
        memcpy(directory, path, (size_t)(lastSeparator - path) + 1);
        directory[lastSeparator - path + 1] = 0;
    }
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(directory, "plb", 0, temporary)) {
        // "The directory name is invalid" here means the folder is not
        // there; the user is better told just that.
        DWORD error = GetLastError();
        NoteFailure(EXTRACT_FAILURE_OPEN, record->name, record->nameLength, record->offset, NULL,
                    error == ERROR_DIRECTORY ? ERROR_PATH_NOT_FOUND : error, 0);
        return 0;
    }

    return WriteRecordBytes(temporary, path, record);
}

// Starts a walk over the "BINARY" resource id of the program's own module,
// bounded by the resource's size. Returns 0 when there is no such resource.
static int BeginResourceWalk(int id, PackedCursor* cursor)
{
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(id & 0xFFFF), "BINARY");
    HGLOBAL loaded = found ? LoadResource(NULL, found) : NULL;
    const void* bytes = loaded ? LockResource(loaded) : NULL;
    if (!bytes)
        return 0;
    BeginPackedWalk(cursor, bytes, SizeofResource(NULL, found));
    return 1;
}

int ExtractPackedFiles(int id, const char* folder)
{
    memset(&g_firstFailure, 0, sizeof g_firstFailure);

    PackedCursor cursor;
    if (!BeginResourceWalk(id, &cursor)) {
        NoteFailure(EXTRACT_FAILURE_NO_RESOURCE, "", 0, 0, NULL, GetLastError(), 0);
        return 1;
    }

    size_t folderLength = strlen(folder);
    int failures = 0;
    PackedRecord record;
    for (;;) {
        PackedStep step = NextPackedRecord(&cursor, &record);
        if (step == PACKED_STEP_END)
            break;
        if (step == PACKED_STEP_DAMAGED) {
            NoteFailure(EXTRACT_FAILURE_DAMAGED_SET, "", 0, cursor.damageOffset,
                        cursor.damage, 0, 0);
            ++failures;
            break;
        }
        if (!WriteRecordFile(folder, folderLength, &record))
            ++failures;
    }
    return failures;
}

size_t LongestPackedName(int id)
{
    PackedCursor cursor;
    size_t longest = 0;
    if (!BeginResourceWalk(id, &cursor))
        return 0;
    PackedRecord record;
    while (NextPackedRecord(&cursor, &record) == PACKED_STEP_RECORD)
        if (record.nameLength > longest)
            longest = record.nameLength;
    return longest;
}

const ExtractFailure* FirstExtractFailure(void)
{
    return &g_firstFailure;
}
