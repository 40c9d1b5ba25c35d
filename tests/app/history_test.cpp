#include "app/run/history.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace torvane::run {
namespace {

namespace fs = std::filesystem;

class HistoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("torvane-history-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    fs::path dir_;
};

TEST_F(HistoryTest, NewLinesGoOnTopAndKnownLinesMoveUpInTheirStoredCase) {
    THistory history(dir_ / "log.txt");
    history.Load();
    EXPECT_TRUE(history.Items().empty());
    history.Update("example.jp");
    history.Update("192.0.2.1");
    history.Update("EXAMPLE.JP");
    history.Update("");
    EXPECT_EQ(history.Items(), (std::vector<std::string>{"example.jp", "192.0.2.1"}));
    EXPECT_EQ(Read(dir_ / "log.txt"), "example.jp\r\n192.0.2.1\r\n");
    EXPECT_FALSE(fs::exists(dir_ / "log.txt.tmp"));
}

TEST_F(HistoryTest, LoadsLinesInFileOrderWhateverTheLineEnds) {
    // A line with a blank kept as typed.
    std::ofstream(dir_ / "log.txt", std::ios::binary) << "日本.jp\r\nb.com \nc.net\r";
    THistory history(dir_ / "log.txt");
    history.Load();
    EXPECT_EQ(history.Items(), (std::vector<std::string>{"日本.jp", "b.com ", "c.net"}));
    history.Update("c.net");
    EXPECT_EQ(Read(dir_ / "log.txt"), "c.net\r\n日本.jp\r\nb.com \r\n");
}

// An earlier version wrote CP932: such a file reads as the same characters
// and is written back in UTF-8, and what CP932 cannot write is kept.
TEST_F(HistoryTest, ACp932FileIsReadAndEveryItemIsWrittenBackInUtf8) {
    struct Case {
        std::string file;
        std::vector<std::string> items;
    };
    const std::vector<Case> cases = {
        {"\x93\xfa\x96\x7b.jp\r\n\x83\x5c.com\r\n", {"日本.jp", "ソ.com"}},  // 0x5C trail byte
        {"\xb6\xc5.jp\r\n", {"ｶﾅ.jp"}},  // half-width katakana, also no UTF-8
        {"日本.jp\r\n", {"日本.jp"}},
    };
    for (const Case& c : cases) {
        std::ofstream(dir_ / "log.txt", std::ios::binary | std::ios::trunc) << c.file;
        THistory history(dir_ / "log.txt");
        history.Load();
        EXPECT_EQ(history.Items(), c.items) << c.file;
        history.Update("한국.kr");
        std::string written = "한국.kr\r\n";
        for (const std::string& item : c.items) written += item + "\r\n";
        EXPECT_EQ(Read(dir_ / "log.txt"), written);
    }
}

TEST_F(HistoryTest, UnreadableFileLeavesTheListEmptyAndSaysWhy) {
    fs::create_directories(dir_ / "log.txt");  // a folder where the file should be
    THistory history(dir_ / "log.txt");
    EXPECT_THROW(history.Load(), std::runtime_error);
    EXPECT_TRUE(history.Items().empty());
    EXPECT_THROW(history.Update("a.jp"), std::runtime_error);
}

TEST_F(HistoryTest, FileLivesBesideTheProgramOnlyWhenThatFolderIsWritable) {
    EXPECT_EQ(HistoryFilePath(dir_, dir_ / "data"), dir_ / "log.txt");
    // A file standing where the program folder should be cannot be written in,
    // even by root.
    std::ofstream(dir_ / "program") << "x";
    EXPECT_EQ(HistoryFilePath(dir_ / "program", dir_ / "data"), dir_ / "data" / "log.txt");
    EXPECT_TRUE(fs::is_directory(dir_ / "data"));
}

TEST_F(HistoryTest, AnInstalledProgramKeepsItsFileInTheDataFolder) {
    for (const char* system : {"/usr/bin", "/usr/local/bin", "/opt/torvane", "/usr/../usr/bin"})
        EXPECT_EQ(HistoryFilePath(system, dir_ / "data"), dir_ / "data" / "log.txt") << system;
    // A writable folder that only starts like a prefix is a portable copy.
    fs::create_directories(dir_ / "usrlocal");
    EXPECT_EQ(HistoryFilePath(dir_ / "usrlocal", dir_ / "data"), dir_ / "usrlocal" / "log.txt");
}

}  // namespace
}  // namespace torvane::run
