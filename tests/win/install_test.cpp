// The install sequence on a real setup dialog made from template 101, with
// this executable carrying the program's own packed file set. Message boxes
// are answered from a thread of the test; the program the install starts is
// found by its window, checked and closed.
#include "run_install.h"
#include "resource_ids.h"
#include "setup_state.h"
#include "test_files.h"
#include "ui_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

using Boxes = std::vector<std::string>;  // "CAPTION: text" of each box shown

Boxes Describe(const std::vector<BoxSeen>& seen)
{
    Boxes boxes;
    for (const BoxSeen& box : seen)
        boxes.push_back(box.caption + ": " + box.text);
    return boxes;
}

std::string SystemReason(DWORD error)
{
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                                  text, sizeof text, NULL);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
        text[--length] = 0;
    return text;
}

void ExpectInstalledIn(const std::string& target)
{
    std::vector<PackedFile> files = PackedFilesOfThisProgram();
    ASSERT_EQ(6u, files.size());
    EXPECT_EQ("Plombarine.exe", files.back().name);
    for (const PackedFile& file : files) {
        std::string written;
        EXPECT_TRUE(ReadWholeFile(target + file.name, &written)) << target + file.name;
        EXPECT_TRUE(written == file.data) << target + file.name << " differs from its record";
    }
}

void ExpectControlsEnabled(bool enabled)
{
    EXPECT_EQ(enabled, ControlEnabled(IDC_INSTALL_BUTTON));
    EXPECT_EQ(enabled, ControlEnabled(IDC_AGREE_CHECKBOX));
    EXPECT_EQ(enabled, ControlEnabled(IDC_BROWSE_BUTTON));
}

// A dialog as the user leaves it before pressing Install: agreement ticked.
void OpenDialogReadyToInstall()
{
    ASSERT_NE(nullptr, CreateSetupDialog());
    SendDlgItemMessageA(SetupState.dialog, IDC_AGREE_CHECKBOX, BM_CLICK, 0, 0);
    ASSERT_TRUE(ControlEnabled(IDC_INSTALL_BUTTON));
}

// Runs the sequence as the Install button does, answering its boxes.
Boxes PressInstall()
{
    BoxAnswerer answerer;
    EXPECT_EQ(0, RunInstall());
    return Describe(answerer.Seen());
}

TEST(InstallSequence, DefaultPathInstallsReportsStartsTheInstalledProgramAndAsksToQuit)
{
    RemoveTree("C:\\Plombarine");
    OpenDialogReadyToInstall();
    ASSERT_EQ("C:\\", ControlText(IDC_PATH_FIELD));

    EXPECT_EQ(Boxes{"SUCCESS: SETUP is Complete !"}, PressInstall());
    ExpectInstalledIn("C:\\Plombarine\\");
    EXPECT_STRCASEEQ("C:\\Plombarine\\Plombarine.exe", CloseStartedProgram().c_str());
    int exitCode = -1;
    EXPECT_TRUE(TakeQuitRequest(&exitCode));
    EXPECT_EQ(0, exitCode);
    ExpectControlsEnabled(false);
    EXPECT_TRUE(IsWindow(SetupState.dialog)) << "the dialog stays until the loop ends";
}

struct PathCase {
    const char* label;
    std::string pathText;   // what the path field holds
    std::string target;     // where the files must land
};

TEST(InstallSequence, TargetIsThePathTextFollowedDirectlyByTheSubfolder)
{
    std::string current = FreshFolder("cwd-install");
    SetCurrentDirectoryA(current.c_str());
    const PathCase cases[] = {
        {"no trailing backslash joins without one", "C:\\joinme", "C:\\joinmePlombarine\\"},
        {"an empty text installs under the current folder", "", current + "Plombarine\\"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.label);
        RemoveTree(c.target.substr(0, c.target.size() - 1));
        OpenDialogReadyToInstall();
        SetControlText(IDC_PATH_FIELD, c.pathText);
        EXPECT_EQ(Boxes{"SUCCESS: SETUP is Complete !"}, PressInstall());
        ExpectInstalledIn(c.target);
        CloseStartedProgram();
        int exitCode = -1;
        EXPECT_TRUE(TakeQuitRequest(&exitCode));
        DestroyWindow(SetupState.dialog);
        TakeQuitRequest(&exitCode);
    }
}

TEST(InstallSequence, ExistingTargetFolderIsReusedReplacingOnlyTheRecordsFiles)
{
    std::string parent = FreshFolder("reuse");
    std::string target = parent + "Plombarine\\";
    CreateDirectoryA(target.c_str(), NULL);
    WriteWholeFile(target + "Plombarine.dat", "old data that is longer than nothing");
    WriteWholeFile(target + "mine.txt", "the user's own file");

    OpenDialogReadyToInstall();
    SetControlText(IDC_PATH_FIELD, parent);
    EXPECT_EQ(Boxes{"SUCCESS: SETUP is Complete !"}, PressInstall());
    ExpectInstalledIn(target);
    std::string mine;
    EXPECT_TRUE(ReadWholeFile(target + "mine.txt", &mine));
    EXPECT_EQ("the user's own file", mine);
    CloseStartedProgram();
}

TEST(InstallFaults, MissingParentFolderIsReportedAndTheDialogHandedBack)
{
    RemoveTree("C:\\no-such-parent");
    OpenDialogReadyToInstall();
    SetControlText(IDC_PATH_FIELD, "C:\\no-such-parent\\");

    Boxes boxes = PressInstall();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0u, boxes[0].find("ERROR: ")) << boxes[0];
    for (const std::string& part : {std::string("C:\\no-such-parent\\Plombarine\\"), std::string("PlombarineCfg.exe"),
                                    SystemReason(ERROR_PATH_NOT_FOUND)})
        EXPECT_NE(std::string::npos, boxes[0].find(part)) << part << " not in " << boxes[0];

    int exitCode;
    EXPECT_FALSE(TakeQuitRequest(&exitCode)) << "no quit request: the user may choose another folder";
    ExpectControlsEnabled(true);
    EXPECT_FALSE(FileExists("C:\\no-such-parent"));
    EXPECT_EQ("C:\\no-such-parent\\", ControlText(IDC_PATH_FIELD));
}

TEST(InstallFaults, FileThatCannotBeWrittenIsReportedAndInstallCanBeTriedAgain)
{
    std::string parent = FreshFolder("held");
    std::string target = parent + "Plombarine\\";
    CreateDirectoryA(target.c_str(), NULL);
    WriteWholeFile(target + "Plombarine.dat", "old");
    HANDLE held = CreateFileA((target + "Plombarine.dat").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    OpenDialogReadyToInstall();
    SetControlText(IDC_PATH_FIELD, parent);
    Boxes boxes = PressInstall();
    ASSERT_EQ(1u, boxes.size());
    for (const std::string& part : {std::string("ERROR: "), target, std::string("Plombarine.dat"),
                                    SystemReason(ERROR_ACCESS_DENIED)})
        EXPECT_NE(std::string::npos, boxes[0].find(part)) << part << " not in " << boxes[0];
    int exitCode;
    EXPECT_FALSE(TakeQuitRequest(&exitCode));
    ExpectControlsEnabled(true);
    EXPECT_TRUE(FileExists(target + "PlombarineCfg.exe")) << "files already written stay";

    CloseHandle(held);
    std::string kept;
    EXPECT_TRUE(ReadWholeFile(target + "Plombarine.dat", &kept));
    EXPECT_EQ("old", kept);
    EXPECT_EQ(Boxes{"SUCCESS: SETUP is Complete !"}, PressInstall());
    ExpectInstalledIn(target);
    CloseStartedProgram();
    EXPECT_TRUE(TakeQuitRequest(&exitCode));
}

// A volume that fills up during the install: the message names the file and
// the disk-full reason, every file that was there before stays whole, and
// once there is room again the same dialog installs.
TEST(InstallFaults, FullVolumeIsReportedKeepsOldFilesAndInstallCanBeTriedAgain)
{
    if (GetFileAttributesA("S:\\") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no small volume S: here (mounting a tmpfs needs root)";
    RemoveTree("S:\\Plombarine");
    DeleteFileA("S:\\filler");
    std::string target = "S:\\Plombarine\\";
    CreateDirectoryA(target.c_str(), NULL);
    WriteWholeFile(target + "Plombarine.exe", "the old program");
    // Room for the first records, not for all 96 KB of them.
    ASSERT_TRUE(FillVolumeLeaving("S:\\filler", 48 * 1024));

    OpenDialogReadyToInstall();
    SetControlText(IDC_PATH_FIELD, "S:\\");
    Boxes boxes = PressInstall();
    ASSERT_EQ(1u, boxes.size());
    for (const std::string& part : {std::string("ERROR: "), target, SystemReason(ERROR_DISK_FULL)})
        EXPECT_NE(std::string::npos, boxes[0].find(part)) << part << " not in " << boxes[0];
    int exitCode;
    EXPECT_FALSE(TakeQuitRequest(&exitCode));
    ExpectControlsEnabled(true);
    std::string old;
    EXPECT_TRUE(ReadWholeFile(target + "Plombarine.exe", &old));
    EXPECT_EQ("the old program", old);
    for (const std::string& name : FolderEntries(target))
        EXPECT_EQ(std::string::npos, name.find(".tmp")) << "temporary file left: " << name;

    DeleteFileA("S:\\filler");
    EXPECT_EQ(Boxes{"SUCCESS: SETUP is Complete !"}, PressInstall());
    ExpectInstalledIn(target);
    CloseStartedProgram();
}

// Windows does not replace a read-only file; the install says so and the
// file keeps its content.
TEST(InstallFaults, ReadOnlyFileInTheWayIsReportedAndKept)
{
    std::string parent = FreshFolder("read-only");
    std::string target = parent + "Plombarine\\";
    CreateDirectoryA(target.c_str(), NULL);
    WriteWholeFile(target + "PlombCore.dll", "read-only");
    SetFileAttributesA((target + "PlombCore.dll").c_str(), FILE_ATTRIBUTE_READONLY);

    OpenDialogReadyToInstall();
    SetControlText(IDC_PATH_FIELD, parent);
    Boxes boxes = PressInstall();
    ASSERT_EQ(1u, boxes.size());
    for (const std::string& part : {std::string("ERROR: "), target, std::string("PlombCore.dll"),
                                    SystemReason(ERROR_ACCESS_DENIED)})
        EXPECT_NE(std::string::npos, boxes[0].find(part)) << part << " not in " << boxes[0];
    std::string kept;
    EXPECT_TRUE(ReadWholeFile(target + "PlombCore.dll", &kept));
    EXPECT_EQ("read-only", kept);
    ExpectControlsEnabled(true);
}

// With the longest record name of 17 characters, the path text may hold
// 260 - 1 - 11 - 17 = 231 characters.
TEST(InstallFaults, PathTooLongIsRefusedBeforeAnythingIsCreated)
{
    std::string parent = FreshFolder("too-long");
    for (size_t length : {232u, 2036u, 2037u, 5000u}) {
        SCOPED_TRACE(length);
        OpenDialogReadyToInstall();
        std::string text = parent + std::string(length - parent.size() - 1, 'x') + "\\";
        SetControlText(IDC_PATH_FIELD, text);
        ASSERT_EQ(text, ControlText(IDC_PATH_FIELD));

        Boxes boxes = PressInstall();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(0u, boxes[0].find("ERROR: The install path is too long.")) << boxes[0];
        EXPECT_NE(std::string::npos, boxes[0].find("at most 231 characters")) << boxes[0];
        int exitCode;
        EXPECT_FALSE(TakeQuitRequest(&exitCode));
        ExpectControlsEnabled(true);
        EXPECT_EQ(std::vector<std::string>{}, FolderEntries(parent));
        DestroyWindow(SetupState.dialog);
        TakeQuitRequest(&exitCode);
    }
}

TEST(InstallFaults, PathOfExactlyTheLongestAllowedLengthInstalls)
{
    std::string folder = "C:\\" + std::string(227, 'b') + "\\";
    ASSERT_EQ(231u, folder.size());
    RemoveTree(folder.substr(0, folder.size() - 1));
    CreateDirectoryA(folder.c_str(), NULL);

    OpenDialogReadyToInstall();
    SetControlText(IDC_PATH_FIELD, folder);
    EXPECT_EQ(Boxes{"SUCCESS: SETUP is Complete !"}, PressInstall());
    ExpectInstalledIn(folder + "Plombarine\\");
    CloseStartedProgram();
}

// The window can be closed while a box is open, since the boxes have no
// owner: the rest of the sequence then meets windows that are gone.
TEST(InstallFaults, ClosingTheWindowDuringABoxNeverCrashes)
{
    struct Case {
        const char* label;
        std::string pathText;
        bool startsProgram;  // the steps after the success box still run
    };
    std::string parent = FreshFolder("close-during-box");
    const Case cases[] = {{"the success box", parent, true}, {"the error box", parent + "missing\\", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        OpenDialogReadyToInstall();
        SetControlText(IDC_PATH_FIELD, c.pathText);
        HWND dialog = SetupState.dialog;
        {
            BoxAnswerer answerer([dialog](HWND, const BoxSeen&) {
                PostMessageA(dialog, WM_CLOSE, 0, 0);
                WaitUntil([dialog] { return !IsWindow(dialog); });
            });
            EXPECT_EQ(0, RunInstall());
            EXPECT_FALSE(answerer.Seen().empty());
        }
        EXPECT_FALSE(IsWindow(dialog));
        int exitCode = -1;
        EXPECT_TRUE(TakeQuitRequest(&exitCode));
        EXPECT_EQ(0, exitCode);
        if (c.startsProgram) {
            EXPECT_STRCASEEQ((parent + "Plombarine\\Plombarine.exe").c_str(), CloseStartedProgram().c_str());
        }
    }
}

}  // namespace
