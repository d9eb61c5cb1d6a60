// The packset tool, run as a program: create, list and extract, refusals
// and damaged sets, each with its exit status and message.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
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
