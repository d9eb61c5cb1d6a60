// The Browse button's folder chooser, opened by the real procedure on a real
// setup dialog and driven from a thread of the test through its tree view.
#include "browse_for_install_folder.h"
#include "resource_ids.h"
#include "setup_state.h"
#include "ui_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace {

// Runs BrowseForInstallFolder on this thread while drive(chooser, tree)
// acts on the chooser from another; a chooser left open is cancelled so
// the call always returns.
int BrowseWhile(const std::function<void(HWND chooser, HWND tree)>& drive)
{
    std::thread driver([&] {
        HWND chooser = WaitForChooser();
        if (!chooser)
            return;
        drive(chooser, ChooserTree(chooser));
        if (!WaitUntil([chooser] { return !IsWindow(chooser); }, 3000))
            PressDialogButton(chooser, IDCANCEL);
    });
    int result = BrowseForInstallFolder();
    driver.join();
    return result;
}

void ExpectIdleAfterwards()
{
    EXPECT_EQ(0, SetupState.browseInProgress);
    EXPECT_TRUE(ControlEnabled(IDC_BROWSE_BUTTON));
}

struct ChoiceCase {
    std::vector<std::string> treePath;
    std::string pathText;
};

TEST(FolderChooser, ChosenFolderEndsWithExactlyOneBackslash)
{
    const ChoiceCase cases[] = {
        {{"Desktop", "My Computer", "(C:)"}, "C:\\"},
        {{"Desktop", "My Computer", "(C:)", "windows"}, "C:\\windows\\"},
        {{"Desktop", "My Computer", "(C:)", "windows", "system32"}, "C:\\windows\\system32\\"},
    };
    ASSERT_NE(nullptr, CreateSetupDialog());
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.pathText);
        SetControlText(IDC_PATH_FIELD, "D:\\before\\");
        bool selected = false;
        int result = BrowseWhile([&](HWND chooser, HWND tree) {
            selected = SelectTreePath(tree, c.treePath);
            PressDialogButton(chooser, selected ? IDOK : IDCANCEL);
        });
        ASSERT_TRUE(selected);
        EXPECT_EQ(1, result);
        EXPECT_EQ(c.pathText, ControlText(IDC_PATH_FIELD));
        ExpectIdleAfterwards();
    }
}

TEST(FolderChooser, CancelLeavesThePathAndTheNextPressOpensItAgain)
{
    ASSERT_NE(nullptr, CreateSetupDialog());
    SetControlText(IDC_PATH_FIELD, "D:\\keep\\");
    for (int press = 0; press < 2; ++press) {
        bool opened = false;
        int result = BrowseWhile([&](HWND chooser, HWND) {
            opened = true;
            PressDialogButton(chooser, IDCANCEL);
        });
        EXPECT_TRUE(opened);
        EXPECT_EQ(0, result);
        EXPECT_EQ("D:\\keep\\", ControlText(IDC_PATH_FIELD));
        ExpectIdleAfterwards();
    }
}

TEST(FolderChooser, SecondPressWhileOpenOpensNothingAndChangesNothing)
{
    ASSERT_NE(nullptr, CreateSetupDialog());
    SetControlText(IDC_PATH_FIELD, "D:\\keep\\");
    HWND dialog = SetupState.dialog;
    DWORD_PTR secondResult = 99;
    LRESULT delivered = 0;
    int choosersWhileOpen = 0;
    BrowseWhile([&](HWND chooser, HWND) {
        // Sent, so it runs now inside the chooser's loop; a second chooser
        // would keep it from returning.
        delivered = SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_BUTTON, BN_CLICKED),
                                        (LPARAM)GetDlgItem(dialog, IDC_BROWSE_BUTTON), SMTO_NORMAL, 3000,
                                        &secondResult);
        choosersWhileOpen = CountOwnWindows("#32770", "Browse for Folder");
        EXPECT_EQ(1, SetupState.browseInProgress);
        PressDialogButton(chooser, IDCANCEL);
    });
    EXPECT_NE(0, delivered) << "the second press did not return: a second chooser opened";
    EXPECT_EQ(0u, secondResult);
    EXPECT_EQ(1, choosersWhileOpen);
    EXPECT_EQ("D:\\keep\\", ControlText(IDC_PATH_FIELD));
    ExpectIdleAfterwards();
}

TEST(FolderChooser, OpensAtTheDesktopWithItsInstruction)
{
    ASSERT_NE(nullptr, CreateSetupDialog());
    SetControlText(IDC_PATH_FIELD, "C:\\windows\\");
    std::string root, instruction;
    HTREEITEM secondRoot = (HTREEITEM)1;
    BrowseWhile([&](HWND chooser, HWND tree) {
        HTREEITEM first = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        root = TreeItemText(tree, first);
        secondRoot = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)first);
        for (HWND child = GetWindow(chooser, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char text[256] = "";
            GetWindowTextA(child, text, sizeof text);
            if (std::string(text) == "Select a Folder to Install to")
                instruction = text;
        }
        PressDialogButton(chooser, IDCANCEL);
    });
    EXPECT_EQ("Desktop", root);
    EXPECT_EQ(nullptr, secondRoot) << "the desktop is the only root";
    EXPECT_EQ("Select a Folder to Install to", instruction);
}

// "My Computer" has no file-system path. Whether or not the chooser lets it
// be confirmed, the path field must keep its text.
TEST(FolderChooser, ItemWithoutAFileSystemPathLeavesThePath)
{
    ASSERT_NE(nullptr, CreateSetupDialog());
    SetControlText(IDC_PATH_FIELD, "D:\\keep\\");
    bool selected = false;
    int result = BrowseWhile([&](HWND chooser, HWND tree) {
        selected = SelectTreePath(tree, {"Desktop", "My Computer"});
        PressDialogButton(chooser, IDOK);
    });
    EXPECT_TRUE(selected);
    EXPECT_EQ(0, result);
    EXPECT_EQ("D:\\keep\\", ControlText(IDC_PATH_FIELD));
    ExpectIdleAfterwards();
}

}  // namespace
