// Drives the built setup program from a separate process in the same Wine
// prefix, the way a person would: starts it, finds its windows, moves the
// mouse and types through SendInput, reads controls and the screen, and ends
// whatever it started. Shared by the end-to-end tests and the walkthrough.
#ifndef TESTS_E2E_DRIVE_WINDOWS_H
#define TESTS_E2E_DRIVE_WINDOWS_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Upper bounds for every wait, so that nothing can hang: the first start of
// a program in a prefix is the slowest step there is.
const DWORD kStartTimeoutMs = 30000;
const DWORD kStepTimeoutMs = 10000;

struct StartedProgram {
    HANDLE process = nullptr;
    DWORD processId = 0;
    DWORD threadId = 0;
};

// setup.exe of this build: two folders above the running executable
// (build/win64/tests/e2e/x.exe gives build/win64/setup.exe).
std::string SetupProgramPath();

// A host path ("/work/...") as this prefix reaches it through drive Z:.
std::string WindowsPathOf(const std::string& hostPath);

bool StartProgram(const std::string& path, StartedProgram* started);

// Polls until the condition holds; false when the time ran out first.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// The visible top-level window of a process (any process when processId is
// 0) whose class and caption are exactly these; a null class matches any.
HWND FindTopLevelWindow(DWORD processId, const char* className, const char* caption);
HWND WaitForTopLevelWindow(DWORD processId, const char* className, const char* caption, DWORD timeoutMs);

// Every visible top-level window of a process.
std::vector<HWND> VisibleWindowsOf(DWORD processId);

// A window's text through WM_GETTEXT, which, unlike GetWindowTextA, also
// answers for another process's controls.
std::string TextOf(HWND window);

// The window that has the keyboard focus in another program's thread.
HWND FocusOfThread(DWORD threadId);

bool BringToForeground(HWND window);
POINT CentreOf(HWND window);
// A point given in a window's client coordinates, on the screen.
POINT ScreenPointOf(HWND window, int x, int y);

// Real input, queued like a person's: the receiving program sees it arrive
// through its own message loop.
bool MoveMouseTo(POINT screen);
// Puts the pointer in the screen's bottom right corner, where no window of
// the setup program appears: a window that appears under the pointer
// reports the pointer's position from there, which can overtake a move.
bool ParkPointer();
// A left button press and release where the pointer is.
bool PressLeftButton();
bool ClickAt(POINT screen);
struct Keystroke {
    WORD key;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};
void Type(const std::vector<Keystroke>& keys);

// Waits for the process to end and gives its exit code.
bool WaitForExit(HANDLE process, DWORD timeoutMs, DWORD* exitCode);
// Ends the program and every process it started, children first.
void EndProgramAndChildren(StartedProgram* started);
std::vector<DWORD> ChildProcessIds(DWORD parentId);
std::string ImagePathOf(DWORD processId);
// Closes a program's windows and waits for it; ends it if it does not go.
void CloseProcess(DWORD processId);

// A rectangle of the screen as the X server shows it, one RGB value a pixel
// (0x00RRGGBB), rows from the top.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> rgb;
    DWORD At(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};
bool ReadScreen(const RECT& area, ScreenPixels* pixels);
bool WriteBmp(const std::string& path, const ScreenPixels& pixels);

// Reads a whole file; false when it can't be opened.
bool ReadFileBytes(const std::string& path, std::string* bytes);

#endif
