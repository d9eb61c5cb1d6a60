/* PlombarineCfg.exe: a small configuration window that shows where
   Plombarine is installed and which of its files are present, and can start
   the product from the same folder. */
#include <windows.h>
#include "plomb_cfg_report.h"
#include "plomb_home.h"

static const char kWindowClass[] = "PlombarineCfgMain";
static const char kWindowTitle[] = "Plombarine Configuration";
static const char kMainProgram[] = "Plombarine.exe";

enum { kReportId = 100, kRefreshId = 101, kStartId = 102, kCloseId = 103 };

static void Refresh(HWND window)
{
    char report[4096];
    PlombBuildReport(report, sizeof report);
    SetDlgItemTextA(window, kReportId, report);
}

/* Starts the main program from this folder by full path, with that folder as its current one. */
static void StartProduct(HWND window)
{
    char folder[PLOMB_PATH_SIZE];
    char path[PLOMB_PATH_SIZE];
    if (!PlombHomeFolder(folder, sizeof folder) || !PlombHomePath(kMainProgram, path, sizeof path)) {
        MessageBoxA(window, "The folder of this program could not be determined.", kWindowTitle, MB_OK | MB_ICONERROR);
        return;
    }
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    if (CreateProcessA(path, NULL, NULL, NULL, FALSE, 0, NULL, folder, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else {
        char message[1024];
        wsprintfA(message, "%s could not be started (error %lu):\r\n    %.700s",
                  kMainProgram, (unsigned long)GetLastError(), folder);
        MessageBoxA(window, message, kWindowTitle, MB_OK | MB_ICONERROR);
    }
}

static HWND AddControl(HWND parent, const char *cls, const char *text, DWORD style, int id, DWORD exStyle)
{
    HWND control = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style,
                                   0, 0, 0, 0, parent, (HMENU)(INT_PTR)id,
                                   (HINSTANCE)GetWindowLongPtrA(parent, GWLP_HINSTANCE), NULL);
    if (control)
        SendMessageA(control, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
    return control;
}

static void Layout(HWND window, int width, int height)
{
    const int margin = 10, buttonW = 110, buttonH = 26;
    int buttonTop = height - margin - buttonH;
    MoveWindow(GetDlgItem(window, kReportId), margin, margin, width - 2 * margin, buttonTop - 2 * margin, TRUE);
    MoveWindow(GetDlgItem(window, kRefreshId), margin, buttonTop, buttonW, buttonH, TRUE);
    MoveWindow(GetDlgItem(window, kStartId), margin * 2 + buttonW, buttonTop, buttonW, buttonH, TRUE);
    MoveWindow(GetDlgItem(window, kCloseId), width - margin - buttonW, buttonTop, buttonW, buttonH, TRUE);
}

static LRESULT CALLBACK CfgWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        HWND report = AddControl(window, "EDIT", "", WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY,
                                 kReportId, WS_EX_CLIENTEDGE);
        if (!report)
            return -1;
        /* A fixed-pitch font keeps the file sizes in one column. */
        SendMessageA(report, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), FALSE);
        AddControl(window, "BUTTON", "&Check again", WS_TABSTOP | BS_PUSHBUTTON, kRefreshId, 0);
        AddControl(window, "BUTTON", "&Start Plombarine", WS_TABSTOP | BS_PUSHBUTTON, kStartId, 0);
        AddControl(window, "BUTTON", "Close", WS_TABSTOP | BS_DEFPUSHBUTTON, kCloseId, 0);
        Refresh(window);
        return 0;
    }
    case WM_SIZE:
        Layout(window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kRefreshId:
            Refresh(window);
            return 0;
        case kStartId:
            StartProduct(window);
            return 0;
        case kCloseId:
        case IDCANCEL:
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = CfgWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    HWND window = NULL;
    if (RegisterClassExA(&wc))
        window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW,
                                 CW_USEDEFAULT, CW_USEDEFAULT, 540, 380,
                                 NULL, NULL, instance, NULL);
    if (!window) {
        MessageBoxA(NULL, "The configuration window could not be opened.", kWindowTitle, MB_OK | MB_ICONERROR);
        return 4;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) > 0) {
        /* Gives Tab, Enter and Esc their usual meaning between the buttons. */
        if (IsDialogMessageA(window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return got == 0 ? (int)msg.wParam : 4;
}
