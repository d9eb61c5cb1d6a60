// The install sequence with a packed set that lacks Plombarine.exe, while
// another program of that name waits on the search path: the start must
// fail and say so, never run the other one.
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

TEST(InstallLaunch, ProgramMissingFromTheSetIsNeverLookedForElsewhere)
{
    // C:\windows is on the search path; any small program serves as decoy.
    const char* decoy = "C:\\windows\\Plombarine.exe";
    ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\hostname.exe", decoy, FALSE));
    std::string parent = FreshFolder("no-launch");

    ASSERT_NE(nullptr, CreateSetupDialog());
    SendDlgItemMessageA(SetupState.dialog, IDC_AGREE_CHECKBOX, BM_CLICK, 0, 0);
    SetControlText(IDC_PATH_FIELD, parent);
    std::vector<BoxSeen> seen;
    {
        BoxAnswerer answerer;
        EXPECT_EQ(0, RunInstall());
        seen = answerer.Seen();
    }
    DeleteFileA(decoy);

    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("SUCCESS", seen[0].caption);
    EXPECT_EQ("SETUP is Complete !", seen[0].text);
    EXPECT_EQ("ERROR", seen[1].caption);
    EXPECT_EQ("Cannot Open Program", seen[1].text);
    int exitCode = -1;
    EXPECT_TRUE(TakeQuitRequest(&exitCode)) << "the quit request follows the failed start too";
    EXPECT_EQ(0, exitCode);
    EXPECT_EQ((std::vector<std::string>{"Plombarine.dat", "readme.txt"}), FolderEntries(parent + "Plombarine\\"));
}

}  // namespace
