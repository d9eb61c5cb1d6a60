// Support for the Windows-side tests that drive the setup dialog in their
// own process: see ui_support.h.
#include "ui_support.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "extract_packed_files.h"
#include "packed_set.h"
#include "resource_ids.h"
#include "setup_dialog_proc.h"
#include "setup_state.h"

HWND CreateSetupDialog()
{
    SetupState.instance = GetModuleHandleA(NULL);
    HWND dialog = CreateDialogParamA(SetupState.instance, MAKEINTRESOURCEA(IDD_SETUP_DIALOG), NULL,
                                     SetupDialogProc, 0);
    if (dialog)
        ShowWindow(dialog, SW_SHOWNORMAL);
    return dialog;
}

std::string ControlText(int control)
{
    HWND window = GetDlgItem(SetupState.dialog, control);
    LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(window, WM_GETTEXT, text.size(), (LPARAM)&text[0]);
    text.resize(static_cast<size_t>(got));
    return text;
}

void SetControlText(int control, const std::string& text)
{
    SendDlgItemMessageA(SetupState.dialog, control, WM_SETTEXT, 0, (LPARAM)text.c_str());
}

bool ControlEnabled(int control)
{
    return IsWindowEnabled(GetDlgItem(SetupState.dialog, control)) != FALSE;
}

bool TakeQuitRequest(int* exitCode)
{
    MSG message;
    if (!PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    *exitCode = static_cast<int>(message.wParam);
    return true;
}

namespace {

struct WindowSearch {
    const char* className;
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOwnWindow(HWND window, LPARAM parameter)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    char className[64];
    GetClassNameA(window, className, sizeof className);
    // Read without sending a message: the window's thread may be waiting
    // for this one.
    WCHAR wideCaption[256] = L"";
    InternalGetWindowText(window, wideCaption, 256);
    std::string caption;
    for (const WCHAR* c = wideCaption; *c; ++c)
        caption += static_cast<char>(*c);
    if (strcmp(className, search->className) == 0 && (!search->caption || caption == search->caption))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> OwnWindows(const char* className, const char* caption)
{
    WindowSearch search{className, caption, {}};
    EnumWindows(CollectOwnWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND FindOwnWindow(const char* className, const char* caption)
{
    std::vector<HWND> found = OwnWindows(className, caption);
    return found.empty() ? NULL : found.front();
}

int CountOwnWindows(const char* className, const char* caption)
{
    return static_cast<int>(OwnWindows(className, caption).size());
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

BoxAnswerer::BoxAnswerer(std::function<void(HWND, const BoxSeen&)> beforeOk)
    : beforeOk_(std::move(beforeOk)), thread_(&BoxAnswerer::Run, this)
{
}

BoxAnswerer::~BoxAnswerer()
{
    stop_ = true;
    thread_.join();
}

std::vector<BoxSeen> BoxAnswerer::Seen()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void BoxAnswerer::Run()
{
    while (!stop_) {
        for (const char* caption : {"SUCCESS", "ERROR"}) {
            for (HWND box : OwnWindows("#32770", caption)) {
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    if (std::find(answered_.begin(), answered_.end(), box) != answered_.end())
                        continue;
                    answered_.push_back(box);
                }
                char text[2048] = "";
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                BoxSeen seen{caption, text};
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    seen_.push_back(seen);
                }
                if (beforeOk_)
                    beforeOk_(box, seen);
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));
            }
        }
        Sleep(20);
    }
}

std::string CloseStartedProgram()
{
    HWND window = NULL;
    WaitUntil([&] { return (window = FindWindowA(NULL, "Plombarine DEMO v1.02")) != NULL; });
    if (!window)
        return "";
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE, FALSE,
                                 processId);
    char image[MAX_PATH] = "";
    DWORD length = sizeof image;
    if (process)
        QueryFullProcessImageNameA(process, 0, image, &length);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (process) {
        if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process, 1);
        CloseHandle(process);
    }
    return image;
}

HWND WaitForChooser()
{
    HWND chooser = NULL;
    WaitUntil([&] { return (chooser = FindOwnWindow("#32770", "Browse for Folder")) != NULL; });
    return chooser;
}

HWND ChooserTree(HWND chooser)
{
    // The chooser's tree view is its only child of that class.
    return FindWindowExA(chooser, NULL, WC_TREEVIEWA, NULL);
}

std::string TreeItemText(HWND tree, HTREEITEM item)
{
    char text[MAX_PATH] = "";
    TVITEMA query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&query);
    return text;
}

HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& part)
{
    HTREEITEM child = parent == TVI_ROOT
                          ? (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)
                          : (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)parent);
    for (; child; child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)child)) {
        if (TreeItemText(tree, child).find(part) != std::string::npos)
            return child;
    }
    return NULL;
}

bool SelectTreePath(HWND tree, const std::vector<std::string>& parts)
{
    HTREEITEM item = TVI_ROOT;
    for (const std::string& part : parts) {
        if (item != TVI_ROOT)
            SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)item);
        item = FindTreeChild(tree, item, part);
        if (!item)
            return false;
    }
    return SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item) != 0;
}

void PressDialogButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

std::vector<PackedFile> PackedFilesOfThisProgram()
{
    std::vector<PackedFile> files;
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(IDR_PACKED_FILE_SET), "BINARY");
    if (!found)
        return files;
    PackedCursor cursor;
    BeginPackedWalk(&cursor, LockResource(LoadResource(NULL, found)), SizeofResource(NULL, found));
    PackedRecord record;
    while (NextPackedRecord(&cursor, &record) == PACKED_STEP_RECORD)
        files.push_back({std::string(record.name, record.nameLength),
                         std::string(reinterpret_cast<const char*>(record.data), record.size)});
    return files;
}
