// The packed set reader and the name rules, natively. Damaged sets are
// walked from the very end of a readable page, with an unreadable page
// right behind them, so a read past the set's last byte would crash.
#include "packed_set.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Copies bytes so that they end exactly where an inaccessible page begins.
class GuardedBytes {
public:
    explicit GuardedBytes(const std::string& bytes)
    {
        page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        size_t span = ((bytes.size() + page_ - 1) / page_ + 1) * page_;
        region_ = static_cast<unsigned char*>(
            mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        span_ = span;
        mprotect(region_ + span - page_, page_, PROT_NONE);
        data_ = region_ + span - page_ - bytes.size();
        std::memcpy(data_, bytes.data(), bytes.size());
        size_ = bytes.size();
    }
    ~GuardedBytes() { munmap(region_, span_); }
    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    size_t page_ = 0, span_ = 0, size_ = 0;
    unsigned char* region_ = nullptr;
    unsigned char* data_ = nullptr;
};

std::string Record(const std::string& name, const std::string& data)
{
    std::string r = name;
    r.push_back('\0');
    uint32_t size = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i)
        r.push_back(static_cast<char>(size >> (8 * i)));
    return r + data;
}

const std::string kEnd("\0\0\0\0", 4);

struct Walk {
    std::vector<std::string> names;
    std::vector<std::string> datas;
    PackedStep last;
    const char* damage = nullptr;
    size_t damageOffset = 0;
};

Walk WalkAll(const std::string& bytes)
{
    GuardedBytes guarded(bytes);
    PackedCursor cursor;
    BeginPackedWalk(&cursor, guarded.data(), guarded.size());
    Walk walk;
    PackedRecord record;
    while ((walk.last = NextPackedRecord(&cursor, &record)) == PACKED_STEP_RECORD) {
        walk.names.emplace_back(record.name, record.nameLength);
        walk.datas.emplace_back(reinterpret_cast<const char*>(record.data), record.size);
        EXPECT_EQ('\0', record.name[record.nameLength]);
    }
    walk.damage = cursor.damage;
    walk.damageOffset = cursor.damageOffset;
    // Once ended or damaged, a walk stays so.
    EXPECT_EQ(walk.last, NextPackedRecord(&cursor, &record));
    return walk;
}

TEST(PackedSetReader, WalksRecordsInOrderWithSizeFieldsAtAnyOffset)
{
    std::string set = Record("a", "x") + Record("bcd", "") + Record("ef", std::string(300, 'z')) + kEnd;
    Walk walk = WalkAll(set);
    EXPECT_EQ(PACKED_STEP_END, walk.last);
    EXPECT_EQ((std::vector<std::string>{"a", "bcd", "ef"}), walk.names);
    EXPECT_EQ((std::vector<std::string>{"x", "", std::string(300, 'z')}), walk.datas);
}

TEST(PackedSetReader, SizeFieldIsLittleEndian)
{
    std::string set = std::string("n\0", 2) + std::string("\x02\x01\x00\x00", 4) + std::string(0x102, 'd') + kEnd;
    Walk walk = WalkAll(set);
    ASSERT_EQ(1u, walk.datas.size());
    EXPECT_EQ(0x102u, walk.datas[0].size());
}

TEST(PackedSetReader, EndsAtTheFirstEmptyNameAndReadsNoFurther)
{
    // A single zero byte at the very end of the range is a complete end.
    Walk walk = WalkAll(Record("a", "1") + std::string(1, '\0'));
    EXPECT_EQ(PACKED_STEP_END, walk.last);
    // A valid record behind the end marker is not part of the set.
    walk = WalkAll(Record("a", "1") + kEnd + Record("ghost", "boo") + kEnd);
    EXPECT_EQ(std::vector<std::string>{"a"}, walk.names);
    EXPECT_EQ(PACKED_STEP_END, WalkAll(kEnd).last);
}

struct DamagedCase {
    std::string bytes;
    size_t records;
    size_t offset;
    const char* what;
};

TEST(PackedSetReader, DamagedSetsStopAtTheDamageWithoutReadingPastTheEnd)
{
    std::string one = Record("one", "1");  // 9 bytes
    const DamagedCase cases[] = {
        {"", 0, 0, "end marker"},
        {one, 1, 9, "end marker"},
        {one + "name-without-zero", 1, 9, "zero byte"},
        {one + std::string("cut\0\x01\x00", 6), 1, 13, "size field"},
        {one + std::string("cut\0", 4), 1, 13, "size field"},
        {one + std::string("big\0\xff\xff\xff\xff", 8) + "short", 1, 13, "data"},
        {one + std::string("big\0\x06\x00\x00\x00", 8) + "short", 1, 13, "data"},
    };
    for (const DamagedCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        Walk walk = WalkAll(c.bytes);
        EXPECT_EQ(PACKED_STEP_DAMAGED, walk.last);
        EXPECT_EQ(c.records, walk.names.size());
        EXPECT_EQ(c.offset, walk.damageOffset);
        ASSERT_NE(nullptr, walk.damage);
        EXPECT_NE(nullptr, std::strstr(walk.damage, c.what)) << walk.damage;
    }
}

TEST(PackedSetReader, NullRangeIsDamagedNotACrash)
{
    PackedCursor cursor;
    BeginPackedWalk(&cursor, nullptr, 100);
    PackedRecord record;
    EXPECT_EQ(PACKED_STEP_DAMAGED, NextPackedRecord(&cursor, &record));
}

TEST(PackedNameRules, PlainFileNamesPass)
{
    for (const char* name : {"Plombarine.exe", "a", "x.y.z", "CONSOLE.txt", "COM10", "LPT0", "com", "nul1",
                             "r\xe9sum\xe9.txt", "\x80\xff", ".hidden", "name with spaces.txt", "a..b", "CONIN",
                             "COM\xb4", "conout$x"}) {
        EXPECT_EQ(nullptr, PackedNameRefusal(name, std::strlen(name))) << name;
    }
}

TEST(PackedNameRules, EverythingButAPlainFileNameIsRefused)
{
    for (const char* name : {"..\\up.txt", "sub\\x", "sub/x", "/abs", "C:x", "a<b", "a>b", "a\"b", "a|b",
                             "a?b", "a*b", "tab\tname", "\x01x", "x\x1f", ".", "..", "CON", "con.txt", "Nul",
                             "AUX.log", "prn", "Com1", "lpt9.dat", "COM5 .txt", "trailing.", "trailing ", "conin$",
                             "CONOUT$.txt", "COM\xb9", "lpt\xb2.txt", "COM\xb3"}) {
        EXPECT_NE(nullptr, PackedNameRefusal(name, std::strlen(name))) << name;
    }
    EXPECT_NE(nullptr, PackedNameRefusal("", 0));
}

}  // namespace
