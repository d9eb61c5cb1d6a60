/* Main window of Plombarine.exe: paints the artwork from PlombDraw.dll, the
   greeting and version from PlombCore.dll and one tip from Plombarine.dat;
   a click or the space bar moves on to the next tip. */
#include <windows.h>
#include "plombarine.h"

static const char kWindowClass[] = "PlombarineMain";
static const char kWindowTitle[] = "Plombarine DEMO v1.02";

typedef struct MainView {
    PlombParts *parts;
    int currentTip;
    char greeting[256];
    HFONT titleFont;
    HFONT bodyFont;
    HFONT smallFont;
} MainView;

static HFONT MakeFont(int height, int weight)
{
    return CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, "Tahoma");
}

static void DrawLine(HDC dc, HFONT font, COLORREF colour, const char *text, RECT *box, UINT flags)
{
    SelectObject(dc, font);
    SetTextColor(dc, colour);
    RECT used = *box;
    DrawTextA(dc, text, -1, &used, flags | DT_CALCRECT);
    DrawTextA(dc, text, -1, box, flags);
    box->top += (used.bottom - used.top) + 8;
}

static void PaintScene(HDC dc, const RECT *client, MainView *view)
{
    PlombParts *parts = view->parts;
    parts->drawBackground(dc, client);

    int split = client->left + (client->right - client->left) * 2 / 5;
    RECT art = { client->left + 16, client->top + 16, split, client->bottom - 16 };
    parts->drawEmblem(dc, &art);

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, view->bodyFont);
    RECT box = { split + 8, client->top + 28, client->right - 20, client->bottom - 16 };
    UINT wrap = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;

    DrawLine(dc, view->titleFont, RGB(72, 24, 96), view->greeting, &box, wrap);

    char line[256];
    wsprintfA(line, "%s version %s", parts->coreProduct(), parts->coreVersion());
    DrawLine(dc, view->smallFont, RGB(96, 96, 110), line, &box, wrap);
    box.top += 12;

    if (parts->tipCount > 0) {
        wsprintfA(line, "Tip %d of %d", view->currentTip + 1, parts->tipCount);
        DrawLine(dc, view->smallFont, RGB(96, 96, 110), line, &box, wrap);
        DrawLine(dc, view->bodyFont, RGB(30, 30, 40), parts->tips[view->currentTip], &box, wrap);
    } else {
        DrawLine(dc, view->bodyFont, RGB(30, 30, 40), "There are no tips today.", &box, wrap);
    }

    RECT foot = { split + 8, client->bottom - 44, client->right - 20, client->bottom - 12 };
    SelectObject(dc, view->smallFont);
    SetTextColor(dc, RGB(120, 120, 130));
    DrawTextA(dc, parts->folder, -1, &foot, DT_LEFT | DT_SINGLELINE | DT_BOTTOM | DT_PATH_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

/* Paints through a memory bitmap so the gradient does not flicker on resize. */
static void OnPaint(HWND window, MainView *view)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right > 0 ? client.right : 1,
                                            client.bottom > 0 ? client.bottom : 1);
    if (memory && bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        PaintScene(memory, &client, view);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
    } else {
        PaintScene(dc, &client, view);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    EndPaint(window, &ps);
}

static void NextTip(HWND window, MainView *view)
{
    if (view->parts->tipCount > 1) {
        view->currentTip = (view->currentTip + 1) % view->parts->tipCount;
        InvalidateRect(window, NULL, FALSE);
    }
}

static LRESULT CALLBACK MainWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MainView *view = (MainView *)GetWindowLongPtrA(window, GWLP_USERDATA);
    switch (msg) {
    case WM_NCCREATE:
        view = (MainView *)((CREATESTRUCTA *)lParam)->lpCreateParams;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)view);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (view) {
            OnPaint(window, view);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        NextTip(window, view);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE || wParam == VK_RIGHT)
            NextTip(window, view);
        else if (wParam == VK_ESCAPE)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(PLOMB_EXIT_OK);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

int PlombRunMainWindow(HINSTANCE instance, int showCommand, PlombParts *parts)
{
    static MainView view;
    view.parts = parts;
    view.currentTip = 0;

    char user[128];
    DWORD userLen = GetEnvironmentVariableA("USERNAME", user, sizeof user);
    if (userLen == 0 || userLen >= sizeof user)
        user[0] = '\0';
    parts->coreGreeting(user, view.greeting, sizeof view.greeting);

    view.titleFont = MakeFont(22, FW_BOLD);
    view.bodyFont = MakeFont(16, FW_NORMAL);
    view.smallFont = MakeFont(13, FW_NORMAL);

    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.lpszClassName = kWindowClass;

    int code = PLOMB_EXIT_NO_WINDOW;
    HWND window = NULL;
    if (RegisterClassExA(&wc))
        window = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW,
                                 CW_USEDEFAULT, CW_USEDEFAULT, 560, 360,
                                 NULL, NULL, instance, &view);
    if (!window) {
        MessageBoxA(NULL, "Plombarine could not open its window.", PLOMB_APP_CAPTION, MB_OK | MB_ICONERROR);
    } else {
        ShowWindow(window, showCommand);
        UpdateWindow(window);
        MSG msg;
        BOOL got;
        while ((got = GetMessageA(&msg, NULL, 0, 0)) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        /* -1 means the message queue itself failed; report it rather than success. */
        code = got == 0 ? (int)msg.wParam : PLOMB_EXIT_NO_WINDOW;
    }

    DeleteObject(view.titleFont);
    DeleteObject(view.bodyFont);
    DeleteObject(view.smallFont);
    return code;
}
