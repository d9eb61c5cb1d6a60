// File helpers for the Windows-side tests: fresh folders under the prefix's
// temporary folder, whole-file reads and writes, and folder listings.
#ifndef TESTS_WIN_TEST_FILES_H
#define TESTS_WIN_TEST_FILES_H

#include <string>
#include <vector>

// An empty folder named after the test, with a trailing backslash; whatever
// an earlier run left there is removed first.
std::string FreshFolder(const std::string& name);

bool ReadWholeFile(const std::string& path, std::string* bytes);
void WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);

void RemoveTree(const std::string& path);

// Fills a volume with one file until no byte more fits, then gives back the
// last `room` bytes of it, so that exactly that much stays free.
bool FillVolumeLeaving(const std::string& filler, long room);

#endif
