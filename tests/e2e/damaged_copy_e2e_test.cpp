// A copy of the built setup.exe whose packed file set has been damaged, or
// removed, with the platform's own resource updating: the install must say
// so in its error box, keep every file that was in the target folder whole,
// and leave the program usable and ending with exit code 0.
#include "drive_windows.h"
#include "resource_ids.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const char kTarget[] = "C:\\damaged-target\\Plombarine\\";

// Two records, the second claiming far more data than the set holds.
const char kDamagedSet[] = "first.txt\0\x05\0\0\0hello" "second.txt\0\xf0\xff\xff\x7f" "short";

// A copy whose set is replaced by the platform's resource updating, or,
// with no set given, whose "BINARY" type is renamed in the resource
// directory so that the set can't be found.
bool MakeCopy(const std::string& copy, const void* set, DWORD size)
{
    if (!CopyFileA(SetupProgramPath().c_str(), copy.c_str(), FALSE))
        return false;
    if (set) {
        HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
        BOOL updated = update && UpdateResourceA(update, "BINARY", MAKEINTRESOURCEA(IDR_PACKED_FILE_SET),
                                                 MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK),
                                                 const_cast<void*>(set), size);
        return update && EndUpdateResourceA(update, FALSE) && updated;
    }
    std::string bytes;
    if (!ReadFileBytes(copy, &bytes))
        return false;
    size_t typeName = bytes.find(std::string("B\0I\0N\0A\0R\0Y\0", 12));
    if (typeName == std::string::npos)
        return false;
    bytes[typeName + 10] = 'Z';
    HANDLE file = CreateFileA(copy.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    BOOL wrote = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return wrote && written == bytes.size();
}

void WriteFileText(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL);
    CloseHandle(file);
}

struct Case {
    const char* label;
    const void* set;
    DWORD size;
    const char* says;
};

TEST(SetupExeDamagedCopy, InstallSaysWhatIsWrongKeepsOldFilesAndStaysUsable)
{
    const Case cases[] = {
        {"a size field pointing past the end", kDamagedSet, sizeof kDamagedSet - 1,
         "are damaged at byte 30: a record's data runs past the end of the set"},
        {"the set missing", nullptr, 0, "This setup program carries no files to install."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CreateDirectoryA("C:\\damaged", NULL);
        std::string copy = "C:\\damaged\\setup.exe";
        ASSERT_TRUE(MakeCopy(copy, c.set, c.size));
        CreateDirectoryA("C:\\damaged-target", NULL);
        CreateDirectoryA(kTarget, NULL);
        WriteFileText(std::string(kTarget) + "first.txt", "old first");
        WriteFileText(std::string(kTarget) + "Plombarine.exe", "old program");

        StartedProgram setup;
        ASSERT_TRUE(StartProgram(copy, &setup));
        HWND dialog = WaitForTopLevelWindow(setup.processId, "#32770", "Program Setup", kStartTimeoutMs);
        ASSERT_NE(nullptr, dialog);
        SendMessageA(GetDlgItem(dialog, IDC_PATH_FIELD), WM_SETTEXT, 0, (LPARAM) "C:\\damaged-target\\");
        PostMessageA(GetDlgItem(dialog, IDC_AGREE_CHECKBOX), BM_CLICK, 0, 0);
        WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_INSTALL_BUTTON)) != FALSE; }, kStepTimeoutMs);
        PostMessageA(GetDlgItem(dialog, IDC_INSTALL_BUTTON), BM_CLICK, 0, 0);

        HWND box = WaitForTopLevelWindow(setup.processId, "#32770", "ERROR", kStepTimeoutMs);
        ASSERT_NE(nullptr, box);
        std::string text = TextOf(GetDlgItem(box, 0xFFFF));
        EXPECT_NE(std::string::npos, text.find(kTarget)) << text;
        EXPECT_NE(std::string::npos, text.find(c.says)) << text;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));

        // Usable: the controls come back, and closing still ends it with 0.
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_INSTALL_BUTTON)) != FALSE; },
                              kStepTimeoutMs));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_BROWSE_BUTTON)));
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        DWORD exitCode = 99;
        EXPECT_TRUE(WaitForExit(setup.process, kStepTimeoutMs, &exitCode));
        EXPECT_EQ(0u, exitCode);
        EndProgramAndChildren(&setup);

        std::string program;
        EXPECT_TRUE(ReadFileBytes(std::string(kTarget) + "Plombarine.exe", &program));
        EXPECT_EQ("old program", program);
        std::string first;
        EXPECT_TRUE(ReadFileBytes(std::string(kTarget) + "first.txt", &first));
        // Written whole where the set still held it, else left as it was.
        EXPECT_EQ(c.set ? "hello" : "old first", first);
    }
}

}  // namespace
