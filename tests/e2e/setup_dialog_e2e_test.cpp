// End-to-end scenarios of the built setup.exe: each test starts the real
// program as its own process in the test run's Wine prefix, drives its
// dialog from outside with real mouse and keyboard input where the program's
// input filter is what is tested, and ends every process it started.
#include "drive_windows.h"
#include "resource_ids.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

const char kDialogClass[] = "#32770";
const char kDialogCaption[] = "Program Setup";
const char kProductCaption[] = "Plombarine DEMO v1.02";
const char kInstallFolder[] = "C:\\Plombarine\\";
const int kMessageBoxText = 65535;

// Screen colours as ReadScreen gives them: 0x00RRGGBB.
constexpr DWORD Rgb(DWORD r, DWORD g, DWORD b) { return (r << 16) | (g << 8) | b; }
const DWORD kCaptionColour = Rgb(255, 144, 176);
const DWORD kAgreementText = Rgb(128, 255, 128);
const DWORD kAgreementBackground = Rgb(112, 112, 112);

// One run of setup.exe, from its start to the end of everything it started.
class SetupRun {
public:
    SetupRun()
    {
        if (ParkPointer() && StartProgram(SetupProgramPath(), &program))
            dialog = WaitForTopLevelWindow(program.processId, kDialogClass, kDialogCaption, kStartTimeoutMs);
    }
    ~SetupRun() { EndProgramAndChildren(&program); }
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    HWND Control(int id) const { return GetDlgItem(dialog, id); }
    HWND Focus() const { return FocusOfThread(program.threadId); }
    bool Running() const { return WaitForSingleObject(program.process, 0) == WAIT_TIMEOUT; }
    bool Ticked() const { return SendMessageA(Control(IDC_AGREE_CHECKBOX), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool InstallEnabled() const { return IsWindowEnabled(Control(IDC_INSTALL_BUTTON)) != 0; }

    StartedProgram program;
    HWND dialog = NULL;
};

// Input sent from here is queued for setup.exe at once but handled only when
// its message loop gets to it. The pointer's shape is set as the loop takes a
// mouse move from the queue, after everything queued before it: moving the
// pointer from where it shows one shape to a spot that shows the other (the
// agreement field shows the text cursor, the dialog's background the arrow)
// and waiting for the shape to change shows that all earlier input has been
// handled. That holds only while no other pointer move is waiting: clicks
// are aimed with PointAtTextField first, or have effects of their own that
// are waited for.
class InputBarrier {
public:
    // Learns the two shapes; false if the pointer's shape never changed.
    bool Calibrate(const SetupRun& run)
    {
        RECT path, agreement;
        GetWindowRect(run.Control(IDC_PATH_FIELD), &path);
        GetWindowRect(run.Control(IDC_AGREEMENT_FIELD), &agreement);
        spots_[kTextCursor] = CentreOf(run.Control(IDC_AGREEMENT_FIELD));
        spots_[kArrow] = {spots_[kTextCursor].x, (path.bottom + agreement.top) / 2};
        // Settled: the same shape over a stretch of polls, long beside the
        // loop's one-millisecond passes. A wrong guess can only make the
        // next step time out, never pass.
        if (!MoveMouseTo(spots_[kTextCursor]))
            return false;
        HCURSOR last = Shape();
        int steady = 0;
        WaitUntil(
            [&] {
                HCURSOR now = Shape();
                steady = now == last ? steady + 1 : 0;
                last = now;
                return steady >= 10;
            },
            kStepTimeoutMs);
        shapes_[kTextCursor] = last;
        return MoveAndWait(spots_[kArrow], kArrow);
    }

    // True once everything sent before this call has been handled.
    bool Pass()
    {
        int to = Shape() == shapes_[kArrow] ? kTextCursor : kArrow;
        return MoveAndWait(spots_[to], to);
    }

    // Puts the pointer on a text field, where a press sent next is then the
    // only input waiting.
    bool PointAtTextField(POINT point)
    {
        if (Shape() == shapes_[kTextCursor] && !Pass())
            return false;
        return MoveAndWait(point, kTextCursor);
    }

private:
    enum { kTextCursor, kArrow };

    static HCURSOR Shape()
    {
        CURSORINFO info = {};
        info.cbSize = sizeof info;
        return GetCursorInfo(&info) ? info.hCursor : NULL;
    }

    bool MoveAndWait(POINT point, int shape)
    {
        if (!MoveMouseTo(point))
            return false;
        if (shape == kArrow && !shapes_[kArrow]) {
            if (!WaitUntil([&] { return Shape() != shapes_[kTextCursor]; }, kStepTimeoutMs))
                return false;
            shapes_[kArrow] = Shape();
            return true;
        }
        return WaitUntil([&] { return Shape() == shapes_[shape]; }, kStepTimeoutMs);
    }

    POINT spots_[2] = {};
    HCURSOR shapes_[2] = {};
};

// The focus where the user is not meant to put it (the program drops the
// path field's clicks): through the program's input state, shared for a
// moment.
bool ForceFocus(const SetupRun& run, HWND control)
{
    AttachThreadInput(GetCurrentThreadId(), run.program.threadId, TRUE);
    SetFocus(control);
    AttachThreadInput(GetCurrentThreadId(), run.program.threadId, FALSE);
    return WaitUntil([&] { return run.Focus() == control; }, kStepTimeoutMs);
}

bool PutOnClipboard(const std::string& text)
{
    if (!OpenClipboard(NULL))
        return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    bool placed = SetClipboardData(CF_TEXT, memory) != NULL;
    CloseClipboard();
    return placed;
}

// An edit control's state as typing would change it.
struct EditState {
    std::string text;
    LRESULT selection;
    LRESULT firstVisibleLine;
    LRESULT modified;

    static EditState Of(HWND edit)
    {
        return {TextOf(edit), SendMessageA(edit, EM_GETSEL, 0, 0), SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0),
                SendMessageA(edit, EM_GETMODIFY, 0, 0)};
    }
    bool operator==(const EditState& other) const
    {
        return text == other.text && selection == other.selection && firstVisibleLine == other.firstVisibleLine &&
               modified == other.modified;
    }
};

void PrintTo(const EditState& state, std::ostream* out)
{
    *out << "{" << state.text.size() << " bytes starting \"" << state.text.substr(0, 20) << "\", selection "
         << LOWORD(state.selection) << ".." << HIWORD(state.selection) << ", first line " << state.firstVisibleLine
         << ", modified " << state.modified << "}";
}

bool InstallFolderExists()
{
    return GetFileAttributesA(kInstallFolder) != INVALID_FILE_ATTRIBUTES;
}

void RemoveInstallFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(kInstallFolder, ignored);
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Pixels of one colour in a screen area: how many, and the box around them.
struct ColourSpread {
    int count = 0;
    RECT box = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

ColourSpread SpreadOf(const ScreenPixels& pixels, DWORD colour)
{
    ColourSpread spread;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.At(x, y) == colour) {
                ++spread.count;
                spread.box.left = std::min<LONG>(spread.box.left, x);
                spread.box.top = std::min<LONG>(spread.box.top, y);
                spread.box.right = std::max<LONG>(spread.box.right, x);
                spread.box.bottom = std::max<LONG>(spread.box.bottom, y);
            }
    return spread;
}

RECT ClientOnScreen(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin = ScreenPointOf(window, 0, 0);
    OffsetRect(&client, origin.x, origin.y);
    return client;
}

TEST(SetupExeAtStart, ShowsTheCentredDialogWithItsDefaultsAndTheWholeAgreement)
{
    std::string license;
    ASSERT_TRUE(ReadFileBytes(WindowsPathOf(LICENSE_TEXT_FILE), &license)) << LICENSE_TEXT_FILE;
    ASSERT_FALSE(license.empty());

    SetupRun run;
    ASSERT_NE(nullptr, run.dialog) << "no \"Program Setup\" window from " << SetupProgramPath();

    EXPECT_EQ(kDialogCaption, TextOf(run.dialog));

    RECT window, workArea;
    GetWindowRect(run.dialog, &window);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_NEAR(window.left - workArea.left, workArea.right - window.right, 2);
    EXPECT_NEAR(window.top - workArea.top, workArea.bottom - window.bottom, 2);

    EXPECT_EQ("C:\\", TextOf(run.Control(IDC_PATH_FIELD)));
    EXPECT_EQ(run.Control(IDC_AGREEMENT_FIELD), run.Focus());
    std::string agreement = TextOf(run.Control(IDC_AGREEMENT_FIELD));
    EXPECT_EQ(license.size(), agreement.size());
    EXPECT_TRUE(license == agreement) << "the agreement field differs from " << LICENSE_TEXT_FILE;
    EXPECT_FALSE(run.InstallEnabled());
    EXPECT_FALSE(run.Ticked());
    EXPECT_NE(0, SendMessageA(run.Control(IDC_BROWSE_BUTTON), BM_GETIMAGE, IMAGE_BITMAP, 0))
        << "the Browse button has no picture";
}

TEST(SetupExeCheckbox, EachRealClickTogglesTheTickAndInstallFollowsIt)
{
    SetupRun run;
    ASSERT_NE(nullptr, run.dialog);
    ASSERT_TRUE(BringToForeground(run.dialog));

    for (int click = 1; click <= 6; ++click) {
        bool ticked = click % 2 == 1;
        SCOPED_TRACE("click " + std::to_string(click));
        ASSERT_TRUE(ClickAt(CentreOf(run.Control(IDC_AGREE_CHECKBOX))));
        EXPECT_TRUE(WaitUntil([&] { return run.Ticked() == ticked && run.InstallEnabled() == ticked; },
                              kStepTimeoutMs))
            << "ticked " << run.Ticked() << ", Install enabled " << run.InstallEnabled() << ", expected both "
            << ticked;
    }
}

TEST(SetupExeInputFilter, KeysTypedIntoTheAgreementFieldChangeNothing)
{
    SetupRun run;
    ASSERT_NE(nullptr, run.dialog);
    ASSERT_TRUE(BringToForeground(run.dialog));
    HWND agreement = run.Control(IDC_AGREEMENT_FIELD);
    ASSERT_EQ(agreement, run.Focus());
    InputBarrier barrier;
    ASSERT_TRUE(barrier.Calibrate(run));
    // Pasting would change the text if any key got through.
    ASSERT_TRUE(PutOnClipboard("pasted"));

    EditState before = EditState::Of(agreement);
    Type({{'X'}, {'Y'}, {'1'}, {VK_SPACE}, {VK_RETURN}, {VK_TAB}, {VK_DELETE}, {VK_BACK}, {VK_DOWN}, {VK_RIGHT},
          {VK_NEXT}, {VK_END}, {VK_END, true}, {VK_DOWN, false, true}, {'A', true}, {'X', true}, {'V', true},
          {VK_DELETE}});
    ASSERT_TRUE(barrier.Pass()) << "the typed keys were never handled";

    EXPECT_EQ(before, EditState::Of(agreement));
    EXPECT_EQ(agreement, run.Focus());
    EXPECT_TRUE(run.Running());
}

TEST(SetupExeInputFilter, ARealClickOnThePathFieldLeavesTheFocusInTheAgreementField)
{
    SetupRun run;
    ASSERT_NE(nullptr, run.dialog);
    ASSERT_TRUE(BringToForeground(run.dialog));
    ASSERT_EQ(run.Control(IDC_AGREEMENT_FIELD), run.Focus());
    InputBarrier barrier;
    ASSERT_TRUE(barrier.Calibrate(run));
    HWND path = run.Control(IDC_PATH_FIELD);
    EditState before = EditState::Of(path);

    ASSERT_TRUE(barrier.PointAtTextField(CentreOf(path)));
    ASSERT_TRUE(PressLeftButton());
    ASSERT_TRUE(barrier.Pass()) << "the click was never handled";

    EXPECT_EQ(run.Control(IDC_AGREEMENT_FIELD), run.Focus());
    EXPECT_EQ(before, EditState::Of(path));
}

TEST(SetupExeInputFilter, KeysTypedIntoThePathFieldWithTheFocusForcedThereChangeNothing)
{
    SetupRun run;
    ASSERT_NE(nullptr, run.dialog);
    ASSERT_TRUE(BringToForeground(run.dialog));
    HWND path = run.Control(IDC_PATH_FIELD);
    ASSERT_TRUE(ForceFocus(run, path));
    InputBarrier barrier;
    ASSERT_TRUE(barrier.Calibrate(run));
    ASSERT_TRUE(PutOnClipboard("D:\\elsewhere\\"));

    EditState before = EditState::Of(path);
    EXPECT_EQ("C:\\", before.text);
    Type({{'D'}, {'1'}, {VK_SPACE}, {VK_BACK}, {VK_HOME}, {VK_DELETE}, {VK_END, false, true}, {'V', true},
          {'X', true}, {VK_RETURN}, {VK_TAB}, {VK_ESCAPE}, {VK_LEFT}});
    ASSERT_TRUE(barrier.Pass()) << "the typed keys were never handled";

    EXPECT_EQ(before, EditState::Of(path));
    EXPECT_EQ(path, run.Focus());
    EXPECT_TRUE(run.Running());
}

TEST(SetupExeInputFilter, TabEnterAndEscapeNeitherMoveTheFocusNorPressAButtonNorClose)
{
    RemoveInstallFolder();
    struct FocusCase {
        const char* where;
        int control;
        bool tickFirst;
    };
    // The agreement field has the focus at start; a click on the checkbox
    // takes it there; the Install button, once enabled, can only get it
    // from the keyboard navigation that is not there, so it is forced.
    const FocusCase cases[] = {
        {"agreement field", IDC_AGREEMENT_FIELD, false},
        {"checkbox", IDC_AGREE_CHECKBOX, true},
        {"Install button", IDC_INSTALL_BUTTON, true},
    };
    const struct {
        const char* name;
        WORD key;
    } keys[] = {{"Tab", VK_TAB}, {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}};

    for (const FocusCase& focusCase : cases) {
        SCOPED_TRACE(std::string("focus in the ") + focusCase.where);
        SetupRun run;
        ASSERT_NE(nullptr, run.dialog);
        ASSERT_TRUE(BringToForeground(run.dialog));
        InputBarrier barrier;
        ASSERT_TRUE(barrier.Calibrate(run));
        if (focusCase.tickFirst) {
            ASSERT_TRUE(ClickAt(CentreOf(run.Control(IDC_AGREE_CHECKBOX))));
            ASSERT_TRUE(WaitUntil([&] { return run.InstallEnabled(); }, kStepTimeoutMs));
        }
        HWND focus = run.Control(focusCase.control);
        if (run.Focus() != focus) {
            ASSERT_TRUE(ForceFocus(run, focus));
        }
        bool ticked = run.Ticked();

        for (const auto& key : keys) {
            SCOPED_TRACE(key.name);
            Type({{key.key}});
            ASSERT_TRUE(barrier.Pass()) << "the key was never handled";
            EXPECT_EQ(focus, run.Focus());
            EXPECT_EQ(ticked, run.Ticked());
            EXPECT_EQ(ticked, run.InstallEnabled());
            EXPECT_TRUE(run.Running());
            EXPECT_TRUE(IsWindowVisible(run.dialog));
            EXPECT_EQ(std::vector<HWND>{run.dialog}, VisibleWindowsOf(run.program.processId))
                << "a window opened";
            EXPECT_FALSE(InstallFolderExists());
        }
    }
}

TEST(SetupExeClosing, EndsTheProgramWithExitCodeZeroAndWritesNothing)
{
    const struct {
        const char* way;
        void (*close)(HWND dialog);
    } ways[] = {
        {"WM_CLOSE", [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }},
        // What the close box and the system menu's Close send.
        {"SC_CLOSE", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4 typed",
         [](HWND dialog) {
             BringToForeground(dialog);
             Type({{VK_F4, false, false, true}});
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        RemoveInstallFolder();
        ASSERT_FALSE(InstallFolderExists());
        SetupRun run;
        ASSERT_NE(nullptr, run.dialog);

        way.close(run.dialog);
        DWORD exitCode = 1234;
        ASSERT_TRUE(WaitForExit(run.program.process, kStepTimeoutMs, &exitCode)) << "still running";
        EXPECT_EQ(0u, exitCode);
        EXPECT_FALSE(IsWindow(run.dialog));
        EXPECT_FALSE(InstallFolderExists());
    }
}

TEST(SetupExeInstall, WritesTheSixPayloadFilesReportsSuccessAndStartsPlombarine)
{
    RemoveInstallFolder();
    ASSERT_FALSE(InstallFolderExists());
    SetupRun run;
    ASSERT_NE(nullptr, run.dialog);
    ASSERT_TRUE(BringToForeground(run.dialog));

    ASSERT_TRUE(ClickAt(CentreOf(run.Control(IDC_AGREE_CHECKBOX))));
    ASSERT_TRUE(WaitUntil([&] { return run.InstallEnabled(); }, kStepTimeoutMs));
    ASSERT_TRUE(ClickAt(CentreOf(run.Control(IDC_INSTALL_BUTTON))));

    HWND box = WaitForTopLevelWindow(run.program.processId, kDialogClass, "SUCCESS", kStepTimeoutMs);
    ASSERT_NE(nullptr, box) << "no SUCCESS box";
    EXPECT_EQ("SETUP is Complete !", TextOf(GetDlgItem(box, kMessageBoxText)));
    EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER)) << "the box has an owner";
    ASSERT_TRUE(BringToForeground(box));
    ASSERT_TRUE(ClickAt(CentreOf(GetDlgItem(box, IDOK))));

    HWND product = WaitForTopLevelWindow(0, nullptr, kProductCaption, kStartTimeoutMs);
    ASSERT_NE(nullptr, product) << "no \"" << kProductCaption << "\" window";
    DWORD productId = 0;
    GetWindowThreadProcessId(product, &productId);
    EXPECT_NE(run.program.processId, productId);
    EXPECT_EQ(0, _stricmp("C:\\Plombarine\\Plombarine.exe", ImagePathOf(productId).c_str()))
        << ImagePathOf(productId);

    DWORD exitCode = 1234;
    EXPECT_TRUE(WaitForExit(run.program.process, kStepTimeoutMs, &exitCode)) << "setup.exe is still running";
    EXPECT_EQ(0u, exitCode);
    CloseProcess(productId);

    const std::string payloadBin = WindowsPathOf(PAYLOAD_BIN_DIR) + "\\";
    const struct {
        const char* name;
        std::string source;
    } files[] = {
        {"PlombCore.dll", payloadBin + "PlombCore.dll"},
        {"PlombDraw.dll", payloadBin + "PlombDraw.dll"},
        {"PlombView.exe", payloadBin + "PlombView.exe"},
        {"Plombarine.dat", WindowsPathOf(PAYLOAD_DATA_FILE)},
        {"Plombarine.exe", payloadBin + "Plombarine.exe"},
        {"PlombarineCfg.exe", payloadBin + "PlombarineCfg.exe"},
    };
    std::vector<std::string> expectedNames;
    for (const auto& file : files) {
        expectedNames.push_back(file.name);
        std::string installed, built;
        ASSERT_TRUE(ReadFileBytes(file.source, &built)) << file.source;
        EXPECT_TRUE(ReadFileBytes(kInstallFolder + std::string(file.name), &installed)) << file.name << " missing";
        EXPECT_EQ(built.size(), installed.size()) << file.name;
        EXPECT_TRUE(built == installed) << file.name << " differs from " << file.source;
    }
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(expectedNames, FolderEntries(kInstallFolder));
}

TEST(SetupExePixels, TheBannerCaptionAndTheAgreementColoursReachTheScreen)
{
    SetupRun run;
    ASSERT_NE(nullptr, run.dialog);
    ASSERT_TRUE(BringToForeground(run.dialog));
    HWND banner = run.Control(IDC_BANNER);
    HWND agreement = run.Control(IDC_AGREEMENT_FIELD);

    // The caption's cell starts at (70,20) of the banner; its glyphs lie a
    // little right of and below that corner, and 21 characters of a 10-pixel
    // wide font end well before 70 + 260.
    RECT bannerArea = ClientOnScreen(banner);
    ScreenPixels pixels;
    ColourSpread caption;
    // Twice: the caption comes back each time the agreement field draws.
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        RedrawWindow(banner, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RedrawWindow(agreement, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        EXPECT_TRUE(WaitUntil(
            [&] {
                if (!ReadScreen(bannerArea, &pixels))
                    return false;
                caption = SpreadOf(pixels, kCaptionColour);
                return caption.count >= 200;
            },
            kStepTimeoutMs))
            << "caption colour pixels on the banner: " << caption.count;
        EXPECT_GE(caption.box.left, 70);
        EXPECT_LE(caption.box.left, 80);
        EXPECT_GE(caption.box.top, 20);
        EXPECT_LE(caption.box.top, 30);
        EXPECT_LE(caption.box.right, 70 + 260);
        EXPECT_LE(caption.box.bottom, 20 + 24);
    }

    ASSERT_TRUE(ReadScreen(ClientOnScreen(agreement), &pixels));
    ColourSpread background = SpreadOf(pixels, kAgreementBackground);
    ColourSpread text = SpreadOf(pixels, kAgreementText);
    int all = pixels.width * pixels.height;
    EXPECT_GT(background.count, all / 2) << "grey pixels of " << all;
    EXPECT_GT(text.count, 500) << "light green pixels of " << all;
}

}  // namespace
