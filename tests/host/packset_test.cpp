// The packset tool, run as a program: create, list and extract, refusals
// and damaged sets, each with its exit status and message.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status;
    std::string output;  // standard output and standard error together
};

ToolRun Packset(const std::string& arguments)
{
    std::string command = std::string(PACKSET_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, ""};
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class PacksetTool : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("packset-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "in");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string At(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

TEST_F(PacksetTool, CreateWritesTheFormatByteForByteInArgumentOrder)
{
    Write(dir_ / "in" / "b.txt", "hello");
    Write(dir_ / "in" / "a.bin", "");
    ToolRun run = Packset("create " + At("set") + " " + At("in/b.txt") + " " + At("in/a.bin"));
    ASSERT_EQ(0, run.status) << run.output;
    EXPECT_EQ(std::string("b.txt\0\x05\0\0\0hello" "a.bin\0\0\0\0\0" "\0\0\0\0", 29), Read(dir_ / "set"));
}

TEST_F(PacksetTool, ListShowsOffsetSizeAndNameThenTheTotal)
{
    Write(dir_ / "in" / "one", "1");
    Write(dir_ / "in" / "two.dat", "22");
    ASSERT_EQ(0, Packset("create " + At("set") + " " + At("in/one") + " " + At("in/two.dat")).status);
    ToolRun run = Packset("list " + At("set"));
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("0 1 one\n9 2 two.dat\n2 records, 3 bytes of data, 27 bytes in the set\n", run.output);
}

TEST_F(PacksetTool, ExtractGivesBackEveryFile)
{
    std::string binary("\0\x01\xff\r\n", 5);
    Write(dir_ / "in" / "bin.dat", binary);
    Write(dir_ / "in" / "text.txt", "text");
    ASSERT_EQ(0, Packset("create " + At("set") + " " + At("in/bin.dat") + " " + At("in/text.txt")).status);
    fs::create_directories(dir_ / "out");
    ToolRun run = Packset("extract " + At("set") + " " + At("out"));
    ASSERT_EQ(0, run.status) << run.output;
    EXPECT_EQ(binary, Read(dir_ / "out" / "bin.dat"));
    EXPECT_EQ("text", Read(dir_ / "out" / "text.txt"));
}

TEST_F(PacksetTool, CreateRefusesANameTheProgramWouldRefuseAndWritesNothing)
{
    Write(dir_ / "in" / "good.txt", "g");
    for (const char* bad : {"con.txt", "a|b", "trailing."}) {
        Write(dir_ / "in" / bad, "x");
        ToolRun run = Packset("create " + At("set") + " " + At("in/good.txt") + " '" + At(std::string("in/") + bad) + "'");
        EXPECT_EQ(1, run.status) << bad;
        EXPECT_NE(std::string::npos, run.output.find(bad)) << run.output;
        EXPECT_FALSE(fs::exists(dir_ / "set")) << bad;
        EXPECT_FALSE(fs::exists(dir_ / "set.partial")) << bad;
    }
}

TEST_F(PacksetTool, CreateKeepsAnExistingOutputWhenAnInputIsMissing)
{
    Write(dir_ / "set", "previous");
    ToolRun run = Packset("create " + At("set") + " " + At("in/missing.txt"));
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.output.find("missing.txt")) << run.output;
    EXPECT_EQ("previous", Read(dir_ / "set"));
}

TEST_F(PacksetTool, DamagedSetIsReportedWithItsOffset)
{
    Write(dir_ / "set", std::string("one\0\x01\0\0\0" "1" "big\0\x64\0\0\0" "short", 22));
    fs::create_directories(dir_ / "out");
    for (const std::string& command : {"list " + At("set"), "extract " + At("set") + " " + At("out")}) {
        ToolRun run = Packset(command);
        EXPECT_EQ(1, run.status) << command;
        EXPECT_NE(std::string::npos, run.output.find("damaged at offset 13")) << run.output;
    }
}

TEST_F(PacksetTool, ExtractSkipsRefusedNamesAndFails)
{
    Write(dir_ / "set", std::string("..\\up\0\x01\0\0\0" "X" "ok\0\x01\0\0\0" "K" "\0\0\0\0", 24));
    fs::create_directories(dir_ / "out");
    ToolRun run = Packset("extract " + At("set") + " " + At("out"));
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.output.find("not written")) << run.output;
    EXPECT_EQ("K", Read(dir_ / "out" / "ok"));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(dir_ / "out"), fs::directory_iterator()));
}

TEST_F(PacksetTool, HelpAndWrongUse)
{
    ToolRun help = Packset("--help");
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.output.find("packset create OUT FILE..."));
    EXPECT_EQ(1, Packset("").status);
    EXPECT_EQ(1, Packset("frobnicate").status);
    EXPECT_EQ(1, Packset("list").status);
}

}  // namespace

// packset on built setup programs: the set is read straight from the
// executable's "BINARY" 140 resource. A damaged copy gives a message that
// says what is wrong, and exit status 1.
namespace {

std::string SetupExe(int bits)
{
    return std::string(WINDOWS_BUILDS_DIR) + "/win" + std::to_string(bits) + "/setup.exe";
}

std::string LittleEndian32(uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

TEST_F(PacksetTool, ReadsTheSetOutOfBuiltSetupProgramsOfBothBitnesses)
{
    for (int bits : {32, 64}) {
        SCOPED_TRACE(bits);
        std::string packed = std::string(WINDOWS_BUILDS_DIR) + "/win" + std::to_string(bits) + "/resources/payload.set";
        ToolRun fromExe = Packset("list " + SetupExe(bits));
        ToolRun fromSet = Packset("list " + packed);
        ASSERT_EQ(0, fromExe.status) << fromExe.output;
        EXPECT_EQ(fromSet.output, fromExe.output);

        fs::path out = dir_ / ("out" + std::to_string(bits));
        fs::create_directories(out);
        ASSERT_EQ(0, Packset("extract " + SetupExe(bits) + " " + out.string()).status);
        ToolRun verify = Packset("verify " + SetupExe(bits) + " " + out.string());
        EXPECT_EQ(0, verify.status) << verify.output;
        EXPECT_EQ("6 records match " + out.string() + "\n", verify.output);
    }
}

TEST_F(PacksetTool, VerifyNamesEveryDifference)
{
    Write(dir_ / "in" / "same.txt", "same");
    Write(dir_ / "in" / "size.txt", "size");
    Write(dir_ / "in" / "content.txt", "content");
    Write(dir_ / "in" / "gone.txt", "gone");
    ASSERT_EQ(0, Packset("create " + At("set") + " " + At("in/same.txt") + " " + At("in/size.txt") + " " +
                         At("in/content.txt") + " " + At("in/gone.txt")).status);
    fs::remove(dir_ / "in" / "gone.txt");
    Write(dir_ / "in" / "size.txt", "longer");
    Write(dir_ / "in" / "content.txt", "CONTENT");
    ToolRun run = Packset("verify " + At("set") + " " + At("in"));
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("different size: size.txt (6 bytes, packed 4)\ndifferent content: content.txt\nmissing: gone.txt\n",
              run.output);
}

TEST_F(PacksetTool, VerifyComparesANamePackedTwiceWithItsLaterRecord)
{
    Write(dir_ / "set", std::string("d\0\x01\0\0\0" "1" "d\0\x01\0\0\0" "2" "\0\0\0\0", 18));
    fs::create_directories(dir_ / "out");
    Write(dir_ / "out" / "d", "2");
    EXPECT_EQ(0, Packset("verify " + At("set") + " " + At("out")).status);
    Write(dir_ / "out" / "d", "1");
    EXPECT_EQ(1, Packset("verify " + At("set") + " " + At("out")).status);
}

struct DamagedExe {
    const char* label;
    std::function<void(std::string&)> damage;
    const char* message;
};

TEST_F(PacksetTool, DamagedExecutablesAreReportedNeverReadPast)
{
    std::string original = Read(SetupExe(32));
    ASSERT_GT(original.size(), 100000u);
    size_t typeName = original.find(std::string("B\0I\0N\0A\0R\0Y\0", 12));
    ASSERT_NE(std::string::npos, typeName);
    uint32_t setSize = static_cast<uint32_t>(fs::file_size(std::string(WINDOWS_BUILDS_DIR) + "/win32/resources/payload.set"));
    size_t sizeField = original.find(LittleEndian32(setSize));
    ASSERT_NE(std::string::npos, sizeField);

    const DamagedExe cases[] = {
        {"truncated to its first half", [](std::string& f) { f.resize(f.size() / 2); }, "outside the file"},
        {"PE header offset past the end", [](std::string& f) { f.replace(0x3C, 4, LittleEndian32(0xFFFFFFF0u)); },
         "not a PE file"},
        {"only the MZ mark", [](std::string& f) { f = "MZ"; }, "not a PE file"},
        {"no BINARY type", [&](std::string& f) { f[typeName + 10] = 'Z'; }, "no resource of that type"},
        {"data size past the end", [&](std::string& f) { f.replace(sizeField, 4, LittleEndian32(0x7FFFFFF0u)); },
         "outside the file"},
        {"a size field inside the set past its end",
         [&](std::string& f) {
             size_t firstSize = original.find(std::string("PlombarineCfg.exe\0", 18)) + 18;
             f.replace(firstSize, 4, LittleEndian32(0x7FFFFFF0u));
         },
         "damaged at offset 18 of the set"},
    };
    for (const DamagedExe& c : cases) {
        SCOPED_TRACE(c.label);
        std::string copy = original;
        c.damage(copy);
        Write(dir_ / "copy.exe", copy);
        fs::create_directories(dir_ / "out");
        for (const std::string& command : {"list " + At("copy.exe"), "extract " + At("copy.exe") + " " + At("out"),
                                           "verify " + At("copy.exe") + " " + At("out")}) {
            ToolRun run = Packset(command);
            EXPECT_EQ(1, run.status) << command;
            EXPECT_NE(std::string::npos, run.output.find(c.message)) << command << ": " << run.output;
        }
    }
}

}  // namespace
