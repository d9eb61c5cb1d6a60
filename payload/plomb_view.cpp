/* PlombView.exe: shows every tip of Plombarine.dat, read from the program's
   own folder, in a read-only text window so the user can browse them all
   at once. */
#include <windows.h>
#include "plomb_home.h"
#include "plomb_text.h"

static const char kWindowClass[] = "PlombViewMain";
static const char kWindowTitle[] = "Plombarine tips - PlombView";
static const DWORD kMaxDataBytes = 64 * 1024;
static const int kEditId = 100;

/* The edit control needs CR LF line ends; the file may have either. */
static char *ToCrlf(const char *text)
{
    int size = 1;
    for (const char *p = text; *p; ++p)
        size += (*p == '\n') ? 2 : (*p == '\r' ? 0 : 1);
    char *out = (char *)HeapAlloc(GetProcessHeap(), 0, size);
    if (!out)
        return NULL;
    char *q = out;
    for (const char *p = text; *p; ++p) {
        if (*p == '\r')
            continue;
        if (*p == '\n')
            *q++ = '\r';
        *q++ = *p;
    }
    *q = '\0';
    return out;
}

static LRESULT CALLBACK ViewWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE: {
        const char *text = (const char *)((CREATESTRUCTA *)lParam)->lpCreateParams;
        HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", text,
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                    ES_READONLY | ES_AUTOVSCROLL,
                                    0, 0, 0, 0, window, (HMENU)(INT_PTR)kEditId,
                                    ((CREATESTRUCTA *)lParam)->hInstance, NULL);
        if (!edit)
            return -1;
        SendMessageA(edit, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), TRUE);
        return 0;
    }
    case WM_SIZE:
        MoveWindow(GetDlgItem(window, kEditId), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(GetDlgItem(window, kEditId));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    char folder[PLOMB_PATH_SIZE];
    char path[PLOMB_PATH_SIZE];
    char message[1024];
    if (!PlombHomeFolder(folder, sizeof folder) || !PlombHomePath(PLOMB_DATA_NAME, path, sizeof path)) {
        MessageBoxA(NULL, "PlombView cannot find the folder it was started from.", "PlombView", MB_OK | MB_ICONERROR);
        return 3;
    }
    if (!PlombFileExists(path)) {
        wsprintfA(message, "The tips file %s is missing from this folder:\r\n    %.700s",
                  PLOMB_DATA_NAME, folder);
        MessageBoxA(NULL, message, "PlombView", MB_OK | MB_ICONERROR);
        return 2;
    }
    char *raw = PlombReadTextFile(path, kMaxDataBytes, NULL);
    char *text = raw ? ToCrlf(raw) : NULL;
    PlombFreeText(raw);
    if (!text) {
        wsprintfA(message, "The tips file %s could not be read (error %lu):\r\n    %.700s",
                  PLOMB_DATA_NAME, (unsigned long)GetLastError(), folder);
        MessageBoxA(NULL, message, "PlombView", MB_OK | MB_ICONERROR);
        return 3;
    }

    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ViewWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    HWND window = NULL;
    if (RegisterClassExA(&wc))
        window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW,
                                 CW_USEDEFAULT, CW_USEDEFAULT, 520, 320,
                                 NULL, NULL, instance, text);
    if (!window) {
        MessageBoxA(NULL, "PlombView could not open its window.", "PlombView", MB_OK | MB_ICONERROR);
        HeapFree(GetProcessHeap(), 0, text);
        return 4;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    HeapFree(GetProcessHeap(), 0, text);
    return got == 0 ? (int)msg.wParam : 4;
}
