// Driver of the start-up and idle benchmarks, run in the same Wine prefix as
// the programs it starts: it starts a program with CreateProcessA and polls
// for its dialog.

// bench/run_bench.py reads the "key value..." lines it prints.
//   bench_startup startup RUNS EXE TITLE [EXE TITLE]...
//       seconds from CreateProcessA to the dialog being visible, for up to
//       four programs in turn, after one unmeasured start of each
//   bench_startup idle EXE_A TITLE_A EXE_B TITLE_B
//       starts both, prints "ready" once both dialogs are up and settled,
//       and ends both when a line arrives on standard input
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct Started {
    PROCESS_INFORMATION process;
    HWND dialog;
    double created;  // seconds until the dialog's window first existed, shown or not
};

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return (double)counter.QuadPart / (double)frequency.QuadPart;
}

// The top-level window of that title owned by that process, if any: the
// owner is checked so that a window of an earlier run can never count.
HWND DialogOf(const char* title, DWORD processId)
{
    HWND window = FindWindowA(NULL, title);
    if (!window)
        return NULL;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == processId ? window : NULL;
}

HWND VisibleDialogOf(const char* title, DWORD processId)
{
    HWND window = DialogOf(title, processId);
    return window && IsWindowVisible(window) ? window : NULL;
}

// Starts the program and waits for its dialog. Returns the seconds from just
// before CreateProcessA to the first poll that saw the dialog visible, or a
// negative value when it did not appear within 30 s. The dialog's window
// exists, hidden, while its controls are made and it initialises, so the
// time it was first seen splits the start into the process's own start and
// the dialog's creation.
double StartAndWait(const char* exe, const char* title, Started* started)
{
    memset(started, 0, sizeof *started);
    char commandLine[MAX_PATH + 3];
    snprintf(commandLine, sizeof commandLine, "\"%s\"", exe);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;

    double begin = Now();
    if (!CreateProcessA(exe, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started->process)) {
        printf("error cannot-start %s %lu\n", exe, GetLastError());
        return -1;
    }
    for (;;) {
        HWND window = DialogOf(title, started->process.dwProcessId);
        double seen = Now();
        if (window && started->created == 0)
            started->created = seen - begin;
        if (window && IsWindowVisible(window)) {
            started->dialog = window;
            return seen - begin;
        }
        if (seen - begin > 30 || WaitForSingleObject(started->process.hProcess, 0) == WAIT_OBJECT_0) {
            printf("error no-dialog %s\n", exe);
            return -1;
        }
        Sleep(1);
    }
}

// Ends a started program and waits until it and its window are gone, so the
// next start finds the machine as the previous one did.
void End(Started* started, const char* title)
{
    if (!started->process.hProcess)
        return;
    TerminateProcess(started->process.hProcess, 0);
    WaitForSingleObject(started->process.hProcess, 10000);
    CloseHandle(started->process.hThread);
    CloseHandle(started->process.hProcess);
    for (int i = 0; i < 500 && VisibleDialogOf(title, started->process.dwProcessId); ++i)
        Sleep(10);
    memset(started, 0, sizeof *started);
}

int CompareDoubles(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

#define MAX_PROGRAMS 4

int MeasureStartup(int runs, int count, char** exes, char** titles)
{
    double* times[MAX_PROGRAMS];
    for (int which = 0; which < count; ++which)
        times[which] = (double*)calloc(runs, sizeof(double));
    Started started;
    for (int which = 0; which < count; ++which) {
        double seconds = StartAndWait(exes[which], titles[which], &started);
        End(&started, titles[which]);
        if (seconds < 0)
            return 1;
        printf("warm-up %c %.6f\n", 'a' + which, seconds);
    }
    for (int round = 0; round < runs; ++round) {
        for (int turn = 0; turn < count; ++turn) {
            int which = (round + turn) % count;  // each round starts with the next program
            Sleep(200);
            double seconds = StartAndWait(exes[which], titles[which], &started);
            double created = started.created;
            End(&started, titles[which]);
            if (seconds < 0)
                return 1;
            times[which][round] = seconds;
            printf("run %c %d %.6f\n", 'a' + which, round, seconds);
            printf("created %c %d %.6f\n", 'a' + which, round, created);
            fflush(stdout);
        }
    }
    for (int which = 0; which < count; ++which) {
        qsort(times[which], runs, sizeof(double), CompareDoubles);
        printf("median %c %.6f\n", 'a' + which, times[which][runs / 2]);
    }
    return 0;
}

double CpuSeconds(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (double)(k.QuadPart + u.QuadPart) / 1e7;
}

// Both programs run at once over the same window of time, so whatever else
// the machine does weighs on both alike. The caller times the window and may
// read each process's processor time from outside as well.
int MeasureIdle(char** exes, char** titles)
{
    Started started[2];
    memset(started, 0, sizeof started);
    for (int which = 0; which < 2; ++which) {
        if (StartAndWait(exes[which], titles[which], &started[which]) < 0) {
            End(&started[0], titles[0]);
            End(&started[1], titles[1]);
            return 1;
        }
    }
    Sleep(1000);  // past the first paint and whatever start-up work trails it
    printf("ready %lu %lu\n", started[0].process.dwProcessId, started[1].process.dwProcessId);
    printf("process-times-begin %.6f %.6f self %.6f\n", CpuSeconds(started[0].process.hProcess),
           CpuSeconds(started[1].process.hProcess), CpuSeconds(GetCurrentProcess()));
    fflush(stdout);

    char line[64];
    DWORD got = 0;
    ReadFile(GetStdHandle(STD_INPUT_HANDLE), line, sizeof line, &got, NULL);

    printf("process-times-end %.6f %.6f self %.6f\n", CpuSeconds(started[0].process.hProcess),
           CpuSeconds(started[1].process.hProcess), CpuSeconds(GetCurrentProcess()));
    for (int which = 0; which < 2; ++which)
        End(&started[which], titles[which]);
    printf("ended\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, NULL, _IOLBF, 0);
    int programs = (argc - 3) / 2;
    if (argc >= 5 && argc % 2 == 1 && programs <= MAX_PROGRAMS && strcmp(argv[1], "startup") == 0) {
        char* exes[MAX_PROGRAMS];
        char* titles[MAX_PROGRAMS];
        for (int which = 0; which < programs; ++which) {
            exes[which] = argv[3 + 2 * which];
            titles[which] = argv[4 + 2 * which];
        }
        return MeasureStartup(atoi(argv[2]) > 0 ? atoi(argv[2]) : 1, programs, exes, titles);
    }
    if (argc == 6 && strcmp(argv[1], "idle") == 0) {
        char* exes[2] = {argv[2], argv[4]};
        char* titles[2] = {argv[3], argv[5]};
        return MeasureIdle(exes, titles);
    }
    fprintf(stderr, "usage: bench_startup startup RUNS EXE TITLE [EXE TITLE]... (up to 4)\n"
                    "       bench_startup idle EXE_A TITLE_A EXE_B TITLE_B\n");
    return 2;
}
