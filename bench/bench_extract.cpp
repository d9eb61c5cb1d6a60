// Benchmark of ExtractPackedFiles over a large packed set carried as this
// executable's own "BINARY" resource, next to a baseline that writes the same
// records from the same in-place bytes with CreateFileA/WriteFile/CloseHandle.

// Prints one "key value..." line per fact; bench/run_bench.py reads them.
//   bench_extract time RUNS WORKDIR [BUDGET]
//                                       alternating timed runs of both, fewer
//                                       when RUNS would take over BUDGET s
//   bench_extract memory WHO WORKDIR    one extraction (WHO: subject or
//                                       baseline) and the memory it took
//   bench_extract probe FOLDER COUNT    milliseconds per file system call in
//                                       FOLDER\ (a diagnostic)
//   bench_extract noop                  nothing: a start and an end
#include <windows.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "extract_packed_files.h"
#include "packed_set.h"
#include "resource_ids.h"

namespace {

struct SetBytes {
    const unsigned char* bytes;
    DWORD size;
};

SetBytes FindSet()
{
    SetBytes set = {NULL, 0};
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(IDR_PACKED_FILE_SET), "BINARY");
    HGLOBAL loaded = found ? LoadResource(NULL, found) : NULL;
    set.bytes = loaded ? (const unsigned char*)LockResource(loaded) : NULL;
    set.size = set.bytes ? SizeofResource(NULL, found) : 0;
    return set;
}

// The floor any extraction could reach: the same walk over the same bytes,
// one CreateFileA/WriteFile/CloseHandle per record, no name checks, no
// runtime in between. Returns how many records were not written in full.
int WriteWithWin32(const SetBytes& set, const char* folder)
{
    size_t folderLength = strlen(folder);
    PackedCursor cursor;
    BeginPackedWalk(&cursor, set.bytes, set.size);
    PackedRecord record;
    int failures = 0;
    char path[MAX_PATH];
    while (NextPackedRecord(&cursor, &record) == PACKED_STEP_RECORD) {
        if (folderLength + record.nameLength + 1 > sizeof path) {
            ++failures;
            continue;
        }
        memcpy(path, folder, folderLength);
        memcpy(path + folderLength, record.name, record.nameLength + 1);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE) {
            ++failures;
            continue;
        }
        DWORD written = 0;
        if (!WriteFile(file, record.data, record.size, &written, NULL) || written != record.size)
            ++failures;
        if (!CloseHandle(file))
            ++failures;
    }
    return failures;
}

// Brings every page of the set into the working set before anything is
// measured, so that no run pays for the first touch and the memory figure
// counts what an extraction adds on top of the resident image.
unsigned TouchEveryPage(const SetBytes& set)
{
    unsigned sum = 0;
    for (DWORD at = 0; at < set.size; at += 4096)
        sum += set.bytes[at];
    return sum;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters;
    memset(&counters, 0, sizeof counters);
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

DWORD SizeOfOwnImage()
{
    const unsigned char* base = (const unsigned char*)GetModuleHandleA(NULL);
    const IMAGE_DOS_HEADER* dos = (const IMAGE_DOS_HEADER*)base;
    const IMAGE_NT_HEADERS* nt = (const IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    return nt->OptionalHeader.SizeOfImage;
}

// Removes the files of one run and its folder; not timed.
void RemoveFolder(const char* folder)
{
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            char path[MAX_PATH];
            snprintf(path, sizeof path, "%s%s", folder, found.cFileName);
            DeleteFileA(path);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    char bare[MAX_PATH];
    snprintf(bare, sizeof bare, "%s", folder);
    bare[strlen(bare) - 1] = 0;
    RemoveDirectoryA(bare);
}

// One extraction by the subject (ExtractPackedFiles) or the baseline into a
// fresh folder; returns the seconds it took, or a negative value on failure.
double TimedRun(const SetBytes& set, int subject, const char* folder)
{
    char bare[MAX_PATH];
    snprintf(bare, sizeof bare, "%s", folder);
    bare[strlen(bare) - 1] = 0;
    if (!CreateDirectoryA(bare, NULL)) {
        printf("error cannot-create-folder %s %lu\n", bare, GetLastError());
        return -1;
    }
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    int failures = subject ? ExtractPackedFiles(IDR_PACKED_FILE_SET, folder) : WriteWithWin32(set, folder);
    QueryPerformanceCounter(&end);
    if (failures != 0) {
        const ExtractFailure* first = FirstExtractFailure();
        printf("error %s failures=%d first=%s system=%lu\n", subject ? "subject" : "baseline", failures,
               subject ? first->name : "?", subject ? first->systemError : 0UL);
        return -1;
    }
    return Seconds(start, end);
}

int CompareDoubles(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

// Runs alternate so that a noisy machine slows both alike: subject first in
// even rounds, baseline first in odd ones. Each run writes into a fresh
// folder, removed right after it (untimed) so that no run shares the page
// cache with the last one's unwritten data; the last run of each is kept for
// the caller to compare with the input tree. When the first run shows that
// the rounds asked for would take longer than `budget` seconds, fewer are
// run (at least one): a slow extraction still gets measured, in bounded time.
int TimeBoth(const SetBytes& set, int runs, const char* workdir, double budget)
{
    CreateDirectoryA(workdir, NULL);
    printf("set-bytes %lu\n", (unsigned long)set.size);
    printf("touch %u\n", TouchEveryPage(set));
    PROCESS_MEMORY_COUNTERS before = Memory();
    printf("working-set-before %llu\n", (unsigned long long)before.WorkingSetSize);

    double* times[2] = {(double*)calloc(runs, sizeof(double)), (double*)calloc(runs, sizeof(double))};
    int rounds = runs;
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            int subject = (round % 2 == 0) == (turn == 0);
            char folder[MAX_PATH];
            snprintf(folder, sizeof folder, "%s\\%s\\", workdir, subject ? "subject" : "baseline");
            RemoveFolder(folder);
            double seconds = TimedRun(set, subject, folder);
            if (seconds < 0)
                return 1;
            times[subject][round] = seconds;
            printf("run %s %d %.6f\n", subject ? "subject" : "baseline", round, seconds);
            if (round == 0 && turn == 0 && budget > 0) {
                // A round is about twice a run (+50% for the removals between).
                int fit = (int)(budget / (3 * seconds));
                rounds = fit < 1 ? 1 : fit < runs ? fit : runs;
                printf("rounds %d\n", rounds);
            }
            if (round == 0 && subject)
                printf("peak-after-first-subject %llu\n", (unsigned long long)Memory().PeakWorkingSetSize);
            fflush(stdout);
            if (round + 1 < rounds)
                RemoveFolder(folder);
        }
    }
    for (int who = 1; who >= 0; --who) {
        qsort(times[who], rounds, sizeof(double), CompareDoubles);
        printf("median %s %.6f\n", who ? "subject" : "baseline", times[who][rounds / 2]);
    }
    printf("peak-at-end %llu\n", (unsigned long long)Memory().PeakWorkingSetSize);
    return 0;
}

// One extraction in a fresh process: the working set with the whole set
// resident, then the peak during the extraction.
int MeasureMemory(const SetBytes& set, int subject, const char* workdir)
{
    PROCESS_MEMORY_COUNTERS start = Memory();
    CreateDirectoryA(workdir, NULL);
    printf("size-of-image %lu\n", (unsigned long)SizeOfOwnImage());
    printf("set-bytes %lu\n", (unsigned long)set.size);
    printf("working-set-at-start %llu\n", (unsigned long long)start.WorkingSetSize);
    printf("touch %u\n", TouchEveryPage(set));
    PROCESS_MEMORY_COUNTERS before = Memory();
    printf("working-set-before %llu\n", (unsigned long long)before.WorkingSetSize);
    printf("peak-before %llu\n", (unsigned long long)before.PeakWorkingSetSize);
    char folder[MAX_PATH];
    snprintf(folder, sizeof folder, "%s\\%s\\", workdir, subject ? "subject" : "baseline");
    RemoveFolder(folder);
    double seconds = TimedRun(set, subject, folder);
    if (seconds < 0)
        return 1;
    PROCESS_MEMORY_COUNTERS after = Memory();
    printf("seconds %.6f\n", seconds);
    printf("peak-after %llu\n", (unsigned long long)after.PeakWorkingSetSize);
    printf("working-set-after %llu\n", (unsigned long long)after.WorkingSetSize);
    return 0;
}

// Diagnostic of where an extraction's time goes per file: the cost of each
// file system call an extraction may make, inside FOLDER as it stands (the
// kept output of a timed run, so with as many files as the set has), over
// COUNT new names. Under Wine, looking up a name that is not there reads the
// whole folder, so these costs grow with the number of files beside them.
int ProbeCalls(const char* folder, int count)
{
    static const char data[1024] = {1};
    char path[MAX_PATH], other[MAX_PATH], temporary[MAX_PATH];
    double total[6] = {0};
    LARGE_INTEGER a, b;
    for (int i = 0; i < count; ++i) {
        snprintf(path, sizeof path, "%sprobe_%05d.new", folder, i);
        snprintf(other, sizeof other, "%sprobe_%05d.crt", folder, i);

        QueryPerformanceCounter(&a);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD written = 0;
        WriteFile(file, data, sizeof data, &written, NULL);
        CloseHandle(file);
        QueryPerformanceCounter(&b);
        total[0] += Seconds(a, b);

        QueryPerformanceCounter(&a);
        FILE* stream = fopen(other, "wb+");
        if (stream) {
            fwrite(data, 1, sizeof data, stream);
            fflush(stream);
            fclose(stream);
        }
        QueryPerformanceCounter(&b);
        total[1] += Seconds(a, b);
        DeleteFileA(other);

        QueryPerformanceCounter(&a);
        GetFileAttributesA(other);
        QueryPerformanceCounter(&b);
        total[2] += Seconds(a, b);

        QueryPerformanceCounter(&a);
        UINT made = GetTempFileNameA(folder, "prb", 0, temporary);
        QueryPerformanceCounter(&b);
        total[3] += Seconds(a, b);

        QueryPerformanceCounter(&a);
        if (made)
            MoveFileExA(temporary, other, MOVEFILE_REPLACE_EXISTING);
        QueryPerformanceCounter(&b);
        total[4] += Seconds(a, b);

        QueryPerformanceCounter(&a);
        DeleteFileA(other);
        QueryPerformanceCounter(&b);
        total[5] += Seconds(a, b);
        DeleteFileA(path);
    }
    static const char* const names[] = {"createfile-writefile-closehandle", "fopen-fwrite-fclose",
                                        "getfileattributes-missing", "gettempfilename", "movefileex-to-new-name",
                                        "deletefile"};
    for (int i = 0; i < 6; ++i)
        printf("probe %s %.6f\n", names[i], 1000.0 * total[i] / count);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, NULL, _IOLBF, 0);
    SetBytes set = FindSet();
    if (!set.bytes) {
        printf("error no-set\n");
        return 1;
    }
    if ((argc == 4 || argc == 5) && strcmp(argv[1], "time") == 0)
        return TimeBoth(set, atoi(argv[2]) > 0 ? atoi(argv[2]) : 1, argv[3], argc == 5 ? atof(argv[4]) : 0);
    if (argc == 4 && strcmp(argv[1], "memory") == 0)
        return MeasureMemory(set, strcmp(argv[2], "subject") == 0, argv[3]);
    if (argc == 4 && strcmp(argv[1], "probe") == 0)
        return ProbeCalls(argv[2], atoi(argv[3]) > 0 ? atoi(argv[3]) : 1);
    // Only starts and ends: the caller times the whole process, whose start
    // includes loading the image with its set.
    if (argc == 2 && strcmp(argv[1], "noop") == 0)
        return 0;
    fprintf(stderr, "usage: bench_extract time RUNS WORKDIR [BUDGET] | memory subject|baseline WORKDIR |"
                    " probe FOLDER COUNT | noop\n");
    return 2;
}
