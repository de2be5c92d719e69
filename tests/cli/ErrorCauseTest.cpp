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

} // namespace
