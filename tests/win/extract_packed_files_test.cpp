// ExtractPackedFiles against packed sets carried as resources of this test
// executable (fixture_sets.rc), writing into real folders of the Wine
// prefix.
#include "extract_packed_files.h"
#include "fixture_sets.h"
#include "test_files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

std::string Contents(const std::string& path)
{
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, &bytes)) << path << " is missing";
    return bytes;
}

TEST(ExtractPackedFiles, EmptySetWritesNothingAndSucceeds)
{
    std::string folder = FreshFolder("x-empty-set");
    EXPECT_EQ(0, ExtractPackedFiles(SET_EMPTY, folder.c_str()));
    EXPECT_EQ(Names{}, FolderEntries(folder));
    EXPECT_EQ(EXTRACT_FAILURE_NONE, FirstExtractFailure()->kind);
}

TEST(ExtractPackedFiles, WritesEveryRecordByteForByteFromUnalignedOffsets)
{
    std::string folder = FreshFolder("x-three");
    EXPECT_EQ(0, ExtractPackedFiles(SET_THREE_UNALIGNED, folder.c_str()));
    EXPECT_EQ((Names{"a.txt", "bb.bin", "c"}), FolderEntries(folder));
    EXPECT_EQ("hello", Contents(folder + "a.txt"));
    EXPECT_EQ(std::string("\1\2\3", 3), Contents(folder + "bb.bin"));
    EXPECT_EQ("", Contents(folder + "c"));
}

TEST(ExtractPackedFiles, OnlyTheLow16BitsOfTheIdentifierCount)
{
    std::string folder = FreshFolder("x-low-bits");
    EXPECT_EQ(0, ExtractPackedFiles(0x70000 | SET_THREE_UNALIGNED, folder.c_str()));
    EXPECT_EQ((Names{"a.txt", "bb.bin", "c"}), FolderEntries(folder));
}

TEST(ExtractPackedFiles, ReplacesRecordFilesAndLeavesOtherFilesAlone)
{
    std::string folder = FreshFolder("x-replace");
    WriteWholeFile(folder + "a.txt", "an older and much longer content");
    WriteWholeFile(folder + "other.txt", "keep me");
    EXPECT_EQ(0, ExtractPackedFiles(SET_THREE_UNALIGNED, folder.c_str()));
    EXPECT_EQ("hello", Contents(folder + "a.txt"));
    EXPECT_EQ("keep me", Contents(folder + "other.txt"));
}

TEST(ExtractPackedFiles, SizeZeroEmptiesAnExistingFile)
{
    std::string folder = FreshFolder("x-size-zero");
    WriteWholeFile(folder + "empty.txt", "old content");
    EXPECT_EQ(0, ExtractPackedFiles(SET_ONE_EMPTY_FILE, folder.c_str()));
    EXPECT_EQ("", Contents(folder + "empty.txt"));
}

TEST(ExtractPackedFiles, LaterRecordOfTheSameNameWins)
{
    std::string folder = FreshFolder("x-duplicates");
    EXPECT_EQ(0, ExtractPackedFiles(SET_DUPLICATE_NAMES, folder.c_str()));
    EXPECT_EQ(Names{"dup.txt"}, FolderEntries(folder));
    EXPECT_EQ("second!", Contents(folder + "dup.txt"));
}

TEST(ExtractPackedFiles, StopsAtTheEndMarkerAndNeverWritesWhatFollows)
{
    std::string folder = FreshFolder("x-after-end");
    EXPECT_EQ(0, ExtractPackedFiles(SET_BYTES_AFTER_END, folder.c_str()));
    EXPECT_EQ(Names{"kept.txt"}, FolderEntries(folder));
}

TEST(ExtractPackedFiles, ReadsOnlyTheFirstByteOfTheEndMarker)
{
    std::string folder = FreshFolder("x-one-byte-end");
    EXPECT_EQ(0, ExtractPackedFiles(SET_ONE_BYTE_END, folder.c_str()));
    EXPECT_EQ(Names{"one.txt"}, FolderEntries(folder));
}

TEST(ExtractPackedFiles, NameBytesAbove127ReachThePlatformUnchanged)
{
    std::string folder = FreshFolder("x-high-bytes");
    EXPECT_EQ(0, ExtractPackedFiles(SET_HIGH_BYTE_NAME, folder.c_str()));
    EXPECT_EQ(Names{"r\xe9sum\xe9.txt"}, FolderEntries(folder));
    EXPECT_EQ("cv", Contents(folder + "r\xe9sum\xe9.txt"));
}

TEST(ExtractPackedFiles, FolderWithoutTrailingBackslashWritesBesideIt)
{
    std::string parent = FreshFolder("x-beside");
    std::string folder = parent + "inner";
    CreateDirectoryA(folder.c_str(), NULL);
    EXPECT_EQ(0, ExtractPackedFiles(SET_THREE_UNALIGNED, folder.c_str()));
    EXPECT_EQ((Names{"inner", "innera.txt", "innerbb.bin", "innerc"}), FolderEntries(parent));
    EXPECT_EQ(Names{}, FolderEntries(folder));
    EXPECT_EQ("hello", Contents(parent + "innera.txt"));
}

TEST(ExtractFailures, MissingResourceWritesNothingAndIsAFailure)
{
    std::string folder = FreshFolder("x-missing");
    EXPECT_EQ(1, ExtractPackedFiles(SET_MISSING, folder.c_str()));
    EXPECT_EQ(EXTRACT_FAILURE_NO_RESOURCE, FirstExtractFailure()->kind);
    EXPECT_EQ(Names{}, FolderEntries(folder));
}

struct DamagedCase {
    int set;
    Names written;
    unsigned long damageOffset;
    const char* damage;
};

TEST(ExtractFailures, DamagedSetStopsTheWalkInsideTheResource)
{
    const DamagedCase cases[] = {
        {SET_NO_END_MARKER, {"a.txt"}, 12, "end marker"},
        {SET_NAME_WITHOUT_ZERO, {"good.txt"}, 14, "zero byte"},
        {SET_SIZE_FIELD_CUT, {"good.txt"}, 22, "size field"},
        {SET_DATA_PAST_END, {}, 8, "data"},
    };
    for (const DamagedCase& c : cases) {
        SCOPED_TRACE(c.set);
        std::string folder = FreshFolder("x-damaged");
        EXPECT_EQ(1, ExtractPackedFiles(c.set, folder.c_str()));
        const ExtractFailure* failure = FirstExtractFailure();
        EXPECT_EQ(EXTRACT_FAILURE_DAMAGED_SET, failure->kind);
        EXPECT_EQ(c.damageOffset, failure->offset);
        ASSERT_NE(nullptr, failure->detail);
        EXPECT_NE(nullptr, strstr(failure->detail, c.damage)) << failure->detail;
        EXPECT_EQ(c.written, FolderEntries(folder));
    }
}

TEST(ExtractFailures, RefusedNamesAreNotWrittenAndTheWalkCarriesOn)
{
    std::string parent = FreshFolder("x-refused");
    std::string folder = parent + "target\\";
    CreateDirectoryA(folder.c_str(), NULL);
    EXPECT_EQ(REFUSED_NAME_COUNT, ExtractPackedFiles(SET_REFUSED_NAMES, folder.c_str()));

    const ExtractFailure* failure = FirstExtractFailure();
    EXPECT_EQ(EXTRACT_FAILURE_REFUSED_NAME, failure->kind);
    EXPECT_STREQ("..\\up.txt", failure->name);
    EXPECT_EQ(0ul, failure->offset);

    EXPECT_EQ(Names{"ok.txt"}, FolderEntries(folder));
    EXPECT_EQ("K", Contents(folder + "ok.txt"));
    EXPECT_EQ(Names{"target"}, FolderEntries(parent));
    EXPECT_FALSE(FileExists("C:\\abs.txt"));
}

TEST(ExtractFailures, PathThatWouldNotFitIsNeitherWrittenNorCut)
{
    // A folder whose length leaves room for the shorter name and its zero
    // byte in MAX_PATH, and not for the longer one.
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    size_t folderLength = MAX_PATH - 1 - LONG_NAME_LENGTH;
    size_t padding = folderLength - strlen(temp) - 1;
    ASSERT_LT(strlen(temp) + 2, folderLength) << "temporary folder path too long: " << temp;
    std::string folder = FreshFolder(std::string(padding, 'p'));
    ASSERT_EQ(folderLength, folder.size());

    EXPECT_EQ(1, ExtractPackedFiles(SET_LONG_NAMES, folder.c_str()));
    const ExtractFailure* failure = FirstExtractFailure();
    EXPECT_EQ(EXTRACT_FAILURE_PATH_TOO_LONG, failure->kind);
    EXPECT_EQ(std::string(LONGER_NAME_LENGTH - 4, 'B') + ".txt", failure->name);

    std::string written = std::string(LONG_NAME_LENGTH - 4, 'A') + ".txt";
    EXPECT_EQ(Names{written}, FolderEntries(folder));
    EXPECT_EQ("L", Contents(folder + written));
}

TEST(ExtractFailures, FolderThatDoesNotExistFailsEveryRecord)
{
    std::string parent = FreshFolder("x-no-folder");
    std::string folder = parent + "missing\\";
    EXPECT_EQ(3, ExtractPackedFiles(SET_THREE_UNALIGNED, folder.c_str()));
    const ExtractFailure* failure = FirstExtractFailure();
    EXPECT_EQ(EXTRACT_FAILURE_OPEN, failure->kind);
    EXPECT_STREQ("a.txt", failure->name);
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, failure->systemError);
    EXPECT_EQ(Names{}, FolderEntries(parent));
}

// A folder of a record's name, or a file another process holds open
// without sharing, can't be replaced; the other records are written all the
// same, and no temporary file is left behind. (A read-only file would not
// show it here: the tests may run as root, whom Linux lets write
// read-only files.)
TEST(ExtractFailures, FileThatCannotBeReplacedIsAFailureAndTheRestIsWritten)
{
    std::string folder = FreshFolder("x-folder-in-the-way");
    CreateDirectoryA((folder + "bb.bin").c_str(), NULL);
    EXPECT_EQ(1, ExtractPackedFiles(SET_THREE_UNALIGNED, folder.c_str()));
    const ExtractFailure* failure = FirstExtractFailure();
    EXPECT_EQ(EXTRACT_FAILURE_REPLACE, failure->kind);
    EXPECT_STREQ("bb.bin", failure->name);
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, failure->systemError);
    EXPECT_EQ("hello", Contents(folder + "a.txt"));
    EXPECT_EQ("", Contents(folder + "c"));
    EXPECT_EQ((Names{"a.txt", "bb.bin", "c"}), FolderEntries(folder));

    folder = FreshFolder("x-held-open");
    WriteWholeFile(folder + "a.txt", "old");
    HANDLE held = CreateFileA((folder + "a.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(1, ExtractPackedFiles(SET_THREE_UNALIGNED, folder.c_str()));
    CloseHandle(held);
    failure = FirstExtractFailure();
    EXPECT_EQ(EXTRACT_FAILURE_REPLACE, failure->kind);
    EXPECT_STREQ("a.txt", failure->name);
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, failure->systemError);
    EXPECT_EQ("old", Contents(folder + "a.txt"));
    EXPECT_EQ(std::string("\1\2\3", 3), Contents(folder + "bb.bin"));
    EXPECT_EQ((Names{"a.txt", "bb.bin", "c"}), FolderEntries(folder));
}

// A write that fails halfway must leave the old file whole: the old
// content stays where the new could not be written, and no temporary file
// is left. Both ways a write can fail are met: the small record in the
// stream's buffer, the large one written straight through.
TEST(ExtractFailures, FullVolumeKeepsTheOldFilesWhole)
{
    if (GetFileAttributesA("S:\\") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no small volume S: here (mounting a tmpfs needs root)";
    RemoveTree("S:\\t");
    DeleteFileA("S:\\filler");
    std::string folder = "S:\\t\\";
    CreateDirectoryA(folder.c_str(), NULL);
    WriteWholeFile(folder + "a.txt", "old a");
    WriteWholeFile(folder + "big.bin", "old big");
    ASSERT_TRUE(FillVolumeLeaving("S:\\filler", 0));

    EXPECT_EQ(2, ExtractPackedFiles(SET_FOR_FULL_VOLUME, folder.c_str()));
    const ExtractFailure* failure = FirstExtractFailure();
    EXPECT_EQ(EXTRACT_FAILURE_WRITE, failure->kind);
    EXPECT_STREQ("a.txt", failure->name);
    EXPECT_EQ((DWORD)ERROR_DISK_FULL, failure->systemError);
    EXPECT_EQ("old a", Contents(folder + "a.txt"));
    EXPECT_EQ("old big", Contents(folder + "big.bin"));
    EXPECT_EQ((Names{"a.txt", "big.bin"}), FolderEntries(folder));

    DeleteFileA("S:\\filler");
    EXPECT_EQ(0, ExtractPackedFiles(SET_FOR_FULL_VOLUME, folder.c_str()));
    EXPECT_EQ("hello", Contents(folder + "a.txt"));
    EXPECT_EQ(8192u, Contents(folder + "big.bin").size());
    EXPECT_EQ((Names{"a.txt", "big.bin"}), FolderEntries(folder));
}

}  // namespace
