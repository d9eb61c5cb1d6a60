// The start-up hardening: once applied, a DLL that lies beside the program
// (planted_probe.dll, built next to this test) no longer loads by name,
// while system DLLs still do.
#include "system_dlls_only.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::string BesideThisProgram(const char* name)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

TEST(StartupHardening, DllsBesideTheProgramNoLongerLoadByName)
{
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(BesideThisProgram("planted_probe.dll").c_str()));
    LoadDllsFromSystemFolderOnly();

    EXPECT_EQ(nullptr, LoadLibraryA("planted_probe.dll"));
    EXPECT_NE(nullptr, LoadLibraryA("version.dll")) << "system DLLs still load by name";
    EXPECT_NE(nullptr, LoadLibraryA(BesideThisProgram("planted_probe.dll").c_str()))
        << "the probe itself is a loadable DLL";
}

}  // namespace
