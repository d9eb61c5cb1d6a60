// Support for Windows-side tests that drive the real setup dialog in their
// own process: the dialog made from template 101 with the program's own
// procedure, a thread that answers message boxes, the folder chooser's tree,
// and the program the install starts.
#ifndef TESTS_WIN_UI_SUPPORT_H
#define TESTS_WIN_UI_SUPPORT_H

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Creates and shows the setup dialog as the program does.
HWND CreateSetupDialog();

std::string ControlText(int control);
void SetControlText(int control, const std::string& text);
bool ControlEnabled(int control);

// Takes the quit request off this thread's queue, if there is one.
bool TakeQuitRequest(int* exitCode);

struct BoxSeen {
    std::string caption;
    std::string text;
};

// Answers every message box ("SUCCESS", "ERROR") this process shows, from a
// thread of its own, while the test's thread sits in the box's modal loop.
// By default it presses OK; beforeOk runs first when given.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::function<void(HWND box, const BoxSeen& seen)> beforeOk = nullptr);
    ~BoxAnswerer();
    std::vector<BoxSeen> Seen();

private:
    void Run();
    std::function<void(HWND, const BoxSeen&)> beforeOk_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<BoxSeen> seen_;
    std::vector<HWND> answered_;
    std::thread thread_;
};

// A top-level window of this process with that class and exact caption.
HWND FindOwnWindow(const char* className, const char* caption);
int CountOwnWindows(const char* className, const char* caption);

// Waits (bounded) for the installed program's window, closes it, waits for
// its process to end, and returns that process's image path ("" if its
// window never appeared).
std::string CloseStartedProgram();

// The folder chooser, driven from a thread of the test while the test's
// thread runs BrowseForInstallFolder.
HWND WaitForChooser();
HWND ChooserTree(HWND chooser);
std::string TreeItemText(HWND tree, HTREEITEM item);
// The child of parent (TVI_ROOT for the top) whose text contains part.
HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& part);
// Walks down from the root through items containing each part in turn,
// expanding as it goes, and selects the last one.
bool SelectTreePath(HWND tree, const std::vector<std::string>& parts);
void PressDialogButton(HWND dialog, int id);

// A bounded wait for a condition checked every 20 ms.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The bytes of each record of the program's packed file set, by name.
struct PackedFile {
    std::string name;
    std::string data;
};
std::vector<PackedFile> PackedFilesOfThisProgram();

#endif
