// Drives the setup program's windows from outside its process: starting,
// finding, real mouse and keyboard input, reading controls and the screen,
// and ending every process the tests or the walkthrough started.
#include "drive_windows.h"

#include <tlhelp32.h>

#include <cstring>
#include <fstream>
#include <sstream>

std::string SetupProgramPath()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string self(path, length);
    return self.substr(0, self.find_last_of('\\')) + "\\..\\..\\setup.exe";
}

std::string WindowsPathOf(const std::string& hostPath)
{
    std::string path = "Z:" + hostPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

bool StartProgram(const std::string& path, StartedProgram* started)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + path + "\"";
    if (!CreateProcessA(path.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    started->process = info.hProcess;
    started->processId = info.dwProcessId;
    started->threadId = info.dwThreadId;
    return true;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
}

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context)
{
    WindowSearch* search = (WindowSearch*)context;
    if (!IsWindowVisible(window))
        return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->processId && owner != search->processId)
        return TRUE;
    char text[256];
    if (search->className) {
        GetClassNameA(window, text, sizeof text);
        if (strcmp(text, search->className) != 0)
            return TRUE;
    }
    // Top-level captions are kept by the window manager side, so they read
    // without a message; the comparison is exact, unlike FindWindowA's.
    if (search->caption) {
        GetWindowTextA(window, text, sizeof text);
        if (strcmp(text, search->caption) != 0)
            return TRUE;
    }
    search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> Windows(DWORD processId, const char* className, const char* caption)
{
    WindowSearch search = {processId, className, caption, {}};
    EnumWindows(CollectWindow, (LPARAM)&search);
    return search.found;
}

}  // namespace

HWND FindTopLevelWindow(DWORD processId, const char* className, const char* caption)
{
    std::vector<HWND> found = Windows(processId, className, caption);
    return found.empty() ? NULL : found.front();
}

HWND WaitForTopLevelWindow(DWORD processId, const char* className, const char* caption, DWORD timeoutMs)
{
    HWND window = NULL;
    WaitUntil([&] { return (window = FindTopLevelWindow(processId, className, caption)) != NULL; }, timeoutMs);
    return window;
}

std::vector<HWND> VisibleWindowsOf(DWORD processId)
{
    return Windows(processId, nullptr, nullptr);
}

std::string TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kStepTimeoutMs, &length))
        return "<no answer>";
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), (LPARAM)&text[0], SMTO_ABORTIFHUNG, kStepTimeoutMs,
                             &copied))
        return "<no answer>";
    text.resize(copied);
    return text;
}

HWND FocusOfThread(DWORD threadId)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : NULL;
}

bool BringToForeground(HWND window)
{
    SetForegroundWindow(window);
    return WaitUntil([&] { return GetForegroundWindow() == window; }, kStepTimeoutMs);
}

POINT CentreOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return centre;
}

POINT ScreenPointOf(HWND window, int x, int y)
{
    POINT point = {x, y};
    ClientToScreen(window, &point);
    return point;
}

namespace {

// Absolute mouse positions are given on a 0..65536 scale, which the system
// scales back down rounding towards zero: rounding up here lands on the
// pixel asked for.
LONG Normalised(LONG pixel, int screenSize)
{
    return (LONG)(((long long)pixel * 65536 + screenSize - 1) / screenSize);
}

}  // namespace

bool MoveMouseTo(POINT screen)
{
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN));
    move.mi.dy = Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    // A window that has just appeared under the X pointer reports where
    // that pointer was, which can overtake a move sent from here: the move
    // is sent again until the pointer stays where it was sent.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (SendInput(1, &move, sizeof move) != 1)
            return false;
        if (WaitUntil(
                [&] {
                    POINT now;
                    return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
                },
                500))
            return true;
    }
    return false;
}

bool ParkPointer()
{
    POINT corner = {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
    return MoveMouseTo(corner);
}

bool PressLeftButton()
{
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, press, sizeof press[0]) == 2;
}

bool ClickAt(POINT screen)
{
    return MoveMouseTo(screen) && PressLeftButton();
}

namespace {

INPUT KeyInput(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = (WORD)MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

void Type(const std::vector<Keystroke>& keys)
{
    for (const Keystroke& stroke : keys) {
        std::vector<WORD> held;
        if (stroke.ctrl)
            held.push_back(VK_CONTROL);
        if (stroke.shift)
            held.push_back(VK_SHIFT);
        if (stroke.alt)
            held.push_back(VK_MENU);
        std::vector<INPUT> inputs;
        for (WORD key : held)
            inputs.push_back(KeyInput(key, false));
        inputs.push_back(KeyInput(stroke.key, false));
        inputs.push_back(KeyInput(stroke.key, true));
        for (auto key = held.rbegin(); key != held.rend(); ++key)
            inputs.push_back(KeyInput(*key, true));
        SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
    }
}

bool WaitForExit(HANDLE process, DWORD timeoutMs, DWORD* exitCode)
{
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process, exitCode) != 0;
}

std::vector<DWORD> ChildProcessIds(DWORD parentId)
{
    std::vector<DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return children;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == parentId && entry.th32ProcessID != parentId)
            children.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return children;
}

std::string ImagePathOf(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return "";
    char path[MAX_PATH];
    DWORD length = sizeof path;
    std::string image = QueryFullProcessImageNameA(process, 0, path, &length) ? std::string(path, length) : "";
    CloseHandle(process);
    return image;
}

namespace {

void EndProcessById(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (!process)
        return;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, kStepTimeoutMs);
    CloseHandle(process);
}

}  // namespace

void CloseProcess(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (!process)
        return;
    for (HWND window : VisibleWindowsOf(processId))
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, kStepTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, kStepTimeoutMs);
    }
    CloseHandle(process);
}

void EndProgramAndChildren(StartedProgram* started)
{
    if (!started->process)
        return;
    // Children are looked up while the parent still runs: its id is what
    // ties them to it.
    for (DWORD child : ChildProcessIds(started->processId))
        EndProcessById(child);
    TerminateProcess(started->process, 1);
    WaitForSingleObject(started->process, kStepTimeoutMs);
    CloseHandle(started->process);
    *started = StartedProgram();
}

bool ReadScreen(const RECT& area, ScreenPixels* pixels)
{
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    bool copied = false;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != 0;
        GdiFlush();
        if (copied) {
            const DWORD* source = (const DWORD*)bits;
            pixels->width = width;
            pixels->height = height;
            pixels->rgb.assign(source, source + size_t(width) * size_t(height));
            for (DWORD& pixel : pixels->rgb)
                pixel &= 0x00FFFFFF;
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return copied;
}

bool WriteBmp(const std::string& path, const ScreenPixels& pixels)
{
    const DWORD stride = (DWORD(pixels.width) * 3 + 3) & ~3u;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = pixels.width;
    header.biHeight = -pixels.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = stride * DWORD(pixels.height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;

    std::string rows;
    for (int y = 0; y < pixels.height; ++y) {
        std::string row(stride, '\0');
        for (int x = 0; x < pixels.width; ++x) {
            DWORD rgb = pixels.At(x, y);
            row[size_t(x) * 3 + 0] = char(rgb & 0xFF);
            row[size_t(x) * 3 + 1] = char((rgb >> 8) & 0xFF);
            row[size_t(x) * 3 + 2] = char((rgb >> 16) & 0xFF);
        }
        rows += row;
    }
    std::ofstream out(path, std::ios::binary);
    out.write((const char*)&file, sizeof file);
    out.write((const char*)&header, sizeof header);
    out.write(rows.data(), (std::streamsize)rows.size());
    return bool(out);
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    *bytes = all.str();
    return true;
}
