// File helpers for the Windows-side tests, on the ANSI Win32 calls the
// program itself uses.
#include "test_files.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

void RemoveTree(const std::string& path)
{
    std::string pattern = path + "\\*";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string FreshFolder(const std::string& name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + name;
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), NULL);
    return folder + "\\";
}

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        return false;
    bytes->clear();
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes->append(buffer, got);
    std::fclose(in);
    return true;
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\')
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool FillVolumeLeaving(const std::string& filler, long room)
{
    HANDLE file = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    static const char block[4096] = {0};
    DWORD written = 0;
    while (WriteFile(file, block, sizeof block, &written, NULL) && written == sizeof block) {
    }
    // The last partial block, down to single bytes.
    while (WriteFile(file, block, 1, &written, NULL) && written == 1) {
    }
    if (room > 0) {
        SetFilePointer(file, -room, NULL, FILE_END);
        SetEndOfFile(file);
    }
    CloseHandle(file);
    return true;
}
