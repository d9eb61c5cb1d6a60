// The built setup program's dialog template, read straight from its
// resources: header, and each control's class, text, identifier, position,
// size and complete styles, in template order.
#include "resource_ids.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// setup.exe sits two folders above this test executable in the build.
HMODULE LoadSetupProgram()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string setup(path, length);
    setup = setup.substr(0, setup.find_last_of('\\')) + "\\..\\..\\setup.exe";
    return LoadLibraryExA(setup.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
}

// Reads the pieces of a classic dialog template in order.
struct TemplateReader {
    const BYTE* at;

    WORD Word() { WORD w; memcpy(&w, at, 2); at += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, at, 4); at += 4; return d; }
    void AlignToDword(const BYTE* base) { while ((at - base) % 4) ++at; }
    // A string, or an ordinal written as "#n".
    std::string SzOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            return "#" + std::to_string(Word());
        std::string text;
        for (WORD c = first; c != 0; c = Word())
            text += (char)c;
        return text;
    }
};

struct ExpectedControl {
    const char* className;
    const char* text;
    WORD id;
    short x, y, cx, cy;
    DWORD style;
};

TEST(SetupTemplate, IsTheClassicTemplateWithExactlyTheTenControls)
{
    HMODULE setup = LoadSetupProgram();
    ASSERT_NE(nullptr, setup);
    HRSRC found = FindResourceExA(setup, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(IDD_SETUP_DIALOG),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    ASSERT_NE(nullptr, found);
    const BYTE* base = (const BYTE*)LockResource(LoadResource(setup, found));
    EXPECT_EQ(566u, SizeofResource(setup, found));

    TemplateReader read = {base};
    ASSERT_NE(0xFFFF0001u, *(const DWORD*)base) << "extended template";
    EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT | DS_CENTER),
              read.Dword());
    EXPECT_EQ(0u, read.Dword());  // extended style
    WORD count = read.Word();
    EXPECT_EQ(10, count);
    EXPECT_EQ(0, (short)read.Word());
    EXPECT_EQ(0, (short)read.Word());
    EXPECT_EQ(322, (short)read.Word());
    EXPECT_EQ(218, (short)read.Word());
    EXPECT_EQ("", read.SzOrOrdinal());  // menu
    EXPECT_EQ("", read.SzOrOrdinal());  // class
    EXPECT_EQ("Program Setup", read.SzOrOrdinal());
    EXPECT_EQ(8, read.Word());
    EXPECT_EQ("MS Sans Serif", read.SzOrOrdinal());

    const DWORD child = WS_CHILD | WS_VISIBLE;
    const ExpectedControl expected[] = {
        {"#130", "#112", IDC_BANNER, 0, 0, 321, 36, child | SS_BITMAP | SS_SUNKEN},
        {"#129", "", IDC_PATH_FIELD, 14, 58, 264, 13, child | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL},
        {"#128", "Browse", IDC_BROWSE_BUTTON, 282, 58, 27, 13, child | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP},
        {"#129", "", IDC_AGREEMENT_FIELD, 14, 95, 295, 81,
         child | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN},
        {"#128", "I have Read, Understand and Agree to the License Agreement Above", IDC_AGREE_CHECKBOX,
         10, 200, 236, 9, child | WS_TABSTOP | BS_AUTOCHECKBOX | BS_FLAT},
        {"#128", "Install", IDC_INSTALL_BUTTON, 257, 196, 56, 17, child | WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON},
        {"#130", "", 0xFFFF, 0, 186, 321, 1, child | SS_GRAYFRAME},
        {"#130", "", 0xFFFF, 0, 188, 321, 1, child | SS_WHITEFRAME},
        {"#130", "License Agreement", 0xFFFF, 14, 84, 76, 9, child | WS_GROUP | SS_LEFT},
        {"#130", "Install Path", 0xFFFF, 14, 47, 76, 9, child | WS_GROUP | SS_LEFT},
    };
    for (int i = 0; i < count && i < 10; ++i) {
        const ExpectedControl& e = expected[i];
        SCOPED_TRACE(i + 1);
        read.AlignToDword(base);
        EXPECT_EQ(e.style, read.Dword());
        EXPECT_EQ(0u, read.Dword());
        EXPECT_EQ(e.x, (short)read.Word());
        EXPECT_EQ(e.y, (short)read.Word());
        EXPECT_EQ(e.cx, (short)read.Word());
        EXPECT_EQ(e.cy, (short)read.Word());
        EXPECT_EQ(e.id, read.Word());
        EXPECT_EQ(e.className, read.SzOrOrdinal());
        EXPECT_EQ(e.text, read.SzOrOrdinal());
        EXPECT_EQ(0, read.Word());  // no creation data
    }
    EXPECT_EQ(566, read.at - base);
    FreeLibrary(setup);
}

}  // namespace
