// walkthrough.exe: the scripted install `make run` shows without a display.
// Starts setup.exe of its own build, ticks the agreement, presses Install and
// OK as a person would, and saves a picture of each step; run it inside a
// Wine virtual desktop, which draws the window frames and captions.
#include "drive_windows.h"
#include "resource_ids.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const char kDialogClass[] = "#32770";

// The screen's content once it has stopped changing: two reads in a row
// alike, so a picture is not taken halfway through painting. The caret
// blinks far more slowly than the reads follow each other.
bool SteadyPicture(RECT area, ScreenPixels* pixels)
{
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&area, &area, &screen);
    ScreenPixels previous;
    return WaitUntil(
        [&] {
            Sleep(150);
            if (!ReadScreen(area, pixels))
                return false;
            bool same = pixels->rgb == previous.rgb;
            previous = *pixels;
            return same;
        },
        kStepTimeoutMs);
}

bool SavePicture(const std::string& folder, const char* name, const RECT& area)
{
    ScreenPixels pixels;
    if (!SteadyPicture(area, &pixels)) {
        std::printf("walkthrough: the screen did not settle for %s\n", name);
        return false;
    }
    if (!WriteBmp(folder + name, pixels)) {
        std::printf("walkthrough: cannot write %s%s\n", folder.c_str(), name);
        return false;
    }
    std::printf("walkthrough: saved %s (%d x %d)\n", name, pixels.width, pixels.height);
    return true;
}

RECT RectOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

bool Fail(const char* what)
{
    std::printf("walkthrough: %s\n", what);
    return false;
}

bool Walk(StartedProgram* setup, const std::string& folder)
{
    HWND dialog = WaitForTopLevelWindow(setup->processId, kDialogClass, "Program Setup", kStartTimeoutMs);
    if (!dialog)
        return Fail("the setup dialog did not appear");
    BringToForeground(dialog);
    if (!SavePicture(folder, "01-dialog.bmp", RectOf(dialog)))
        return false;

    HWND checkbox = GetDlgItem(dialog, IDC_AGREE_CHECKBOX);
    HWND install = GetDlgItem(dialog, IDC_INSTALL_BUTTON);
    ClickAt(CentreOf(checkbox));
    if (!WaitUntil([&] { return SendMessageA(checkbox, BM_GETCHECK, 0, 0) == BST_CHECKED && IsWindowEnabled(install); },
                   kStepTimeoutMs))
        return Fail("ticking the agreement did not enable Install");
    if (!SavePicture(folder, "02-ticked.bmp", RectOf(dialog)))
        return false;

    ClickAt(CentreOf(install));
    HWND box = WaitForTopLevelWindow(setup->processId, kDialogClass, "SUCCESS", kStepTimeoutMs);
    if (!box)
        return Fail("no SUCCESS box after Install");
    RECT both, boxRect = RectOf(box), dialogRect = RectOf(dialog);
    UnionRect(&both, &dialogRect, &boxRect);
    if (!SavePicture(folder, "03-success.bmp", both))
        return false;

    BringToForeground(box);
    ClickAt(CentreOf(GetDlgItem(box, IDOK)));
    HWND product = WaitForTopLevelWindow(0, nullptr, "Plombarine DEMO v1.02", kStartTimeoutMs);
    if (!product)
        return Fail("Plombarine's window did not appear after OK");
    DWORD exitCode = 0;
    if (!WaitForExit(setup->process, kStepTimeoutMs, &exitCode))
        return Fail("setup.exe did not end after OK");
    std::printf("walkthrough: setup.exe ended with exit code %lu\n", exitCode);
    DWORD productId = 0;
    GetWindowThreadProcessId(product, &productId);
    std::printf("walkthrough: Plombarine runs from %s\n", ImagePathOf(productId).c_str());
    BringToForeground(product);
    bool saved = SavePicture(folder, "04-plombarine.bmp", RectOf(product));
    CloseProcess(productId);
    return saved;
}

}  // namespace

// walkthrough.exe OUTDIR: OUTDIR is a host path; the pictures go there as
// 01-dialog.bmp, 02-ticked.bmp, 03-success.bmp and 04-plombarine.bmp.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::printf("usage: walkthrough.exe OUTDIR\n");
        return 2;
    }
    std::string folder = WindowsPathOf(argv[1]) + "\\";
    StartedProgram setup;
    ParkPointer();
    if (!StartProgram(SetupProgramPath(), &setup)) {
        std::printf("walkthrough: cannot start %s\n", SetupProgramPath().c_str());
        return 1;
    }
    bool walked = Walk(&setup, folder);
    EndProgramAndChildren(&setup);
    std::fflush(stdout);
    return walked ? 0 : 1;
}
