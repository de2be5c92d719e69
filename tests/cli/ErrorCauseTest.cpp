#include "CliRunner.h"
#include "TestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// The window shows the message alone; the command line adds what the system said, which is
// what someone running a batch needs to mend it.
TEST(CliErrorCause, FollowsTheMessageOfAFileThatCannotBeRead) {
    if (!PermissionBitsBind()) {
        GTEST_SKIP() << "the superuser, and every user on Windows, reads files whatever their "
                        "permission bits say";
    }
    const TTemporaryFolder folder;
    WriteTestFile(folder / "secret.csv", "k,\r\n");
    fs::permissions(folder / "secret.csv", fs::perms::owner_write);
    const TCliResult result = RunCli({"open", "secret.csv"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "pelloran-cli: ファイル secret.csv は開けません: Permission denied\n");
}

TEST(CliErrorCause, FollowsTheMessageOfAFileThatCannotBeCreated) {
    if (!PermissionBitsBind()) {
        GTEST_SKIP() << "the superuser, and every user on Windows, writes into folders whatever "
                        "their permission bits say";
    }
    const TTemporaryFolder folder;
    fs::create_directory(folder / "locked");
    fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const TCliResult result = RunCli({"new", "save", "locked/quiz.csv"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "pelloran-cli: ファイル locked/quiz.csv を作成できません: Permission denied\n");
}

// Windows' read-only attribute binds every user, as permission bits bind all but the superuser.
TEST(CliErrorCause, FollowsTheMessageOfAReadOnlyFile) {
    if (!ReadOnlyFilesBind()) {
        GTEST_SKIP() << "the superuser writes files whatever their permission bits say";
    }
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", "kept");
    fs::permissions(folder / "quiz.csv", fs::perms::owner_read);
    const TCliResult result = RunCli({"new", "save", "quiz.csv"}, folder.Path());
    fs::permissions(folder / "quiz.csv", fs::perms::owner_all);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "pelloran-cli: ファイル quiz.csv を作成できません: Permission denied\n");
    EXPECT_EQ(ReadTestFile(folder / "quiz.csv"), "kept");
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{"quiz.csv"});
}

TEST(CliErrorCause, TellsOfAFullDiskUnderStandardOutput) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no device that is always full";
#else
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this machine";
    }
    const TTemporaryFolder folder;
    const std::string command =
        std::string(PELLORAN_CLI_PATH) + " state >/dev/full 2>" + (folder / "err.txt").string();
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(ReadTestFile(folder / "err.txt"),
              "pelloran-cli: 標準出力 に書き込めません: No space left on device\n");
#endif
}

// The language file words the failures and the notices, the places and causes inside them too;
// a text it has no wording for keeps the built-in one.
TEST(CliLanguageFile, WordsFailuresAndNotices) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "en.lng", "[Messages]\r\n"
                                     "FileOpenError=Cannot open %1\r\n"
                                     "MarkStoppedAt=No mark: %1: %2\r\n"
                                     "PointsCellPlace=points of Q%1\r\n"
                                     "NulInFile=NUL in line %2 of %1\r\n");
    WriteTestFile(folder / "quiz.csv", ",,#,\r\n,,ten,\r\n1001,Sato,1,\r\n1002,S\0b,1,\r\n"s);
    const TCliResult result = RunCli(
        {"--lng", "en.lng", "open", "missing.csv", "open", "quiz.csv", "mark"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "pelloran-cli: Cannot open missing.csv\n"
              "pelloran-cli: NUL in line 4 of quiz.csv\n"
              "pelloran-cli: No mark: points of Q1: 'ten' は浮動小数点数ではありません\n");
}

} // namespace
