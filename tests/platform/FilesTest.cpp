#include "platform/Files.h"

#include "TestFiles.h"
#include "TestText.h"
#include "platform/Errors.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

TEST(ReadFileBytes, GivesEveryByteUnchanged) {
    TTemporaryFolder folder;
    const std::string bytes = "a\r\nb\0\x81\x5c\xff\n\r"s;
    WriteTestFile(folder / "bytes", bytes);
    WriteTestFile(folder / "empty", "");
    EXPECT_EQ(ReadFileBytes(folder / "bytes"), bytes);
    EXPECT_EQ(ReadFileBytes(folder / "empty"), "");
}

std::string OpenErrorText(const fs::path& fileName) {
    return "ファイル " + fileName.string() + " は開けません";
}

std::string CreateErrorText(const fs::path& fileName) {
    return "ファイル " + fileName.string() + " を作成できません";
}

TEST(ReadFileBytes, FailsForWhatCannotBeRead) {
    TTemporaryFolder folder;
    WriteTestFile(folder / "locked", "secret");
    fs::permissions(folder / "locked", fs::perms::none);
    std::vector<fs::path> unreadable{folder / "missing", folder.Path(), folder / "missing/x"};
    // The superuser reads files whatever their permission bits say, and so does Windows.
    if (PermissionBitsBind()) {
        unreadable.push_back(folder / "locked");
    }
    for (const fs::path& fileName : unreadable) {
        try {
            ReadFileBytes(fileName);
            ADD_FAILURE() << "no failure reading " << fileName;
        } catch (const EFileOpenError& error) {
            EXPECT_EQ(std::string(error.what()), OpenErrorText(fileName));
        }
    }
}

struct TCauseCase {
    const char* name;
    std::string fileName;
    /// Empty where the program refuses on its own.
    std::error_code cause;
    /// Whether the case can be met here: the superuser reads and writes whatever the permission
    /// bits say, Windows has no bits but a read-only attribute.
    bool (*canBeMet)() = nullptr;
    friend void PrintTo(const TCauseCase& value, std::ostream* out) { *out << value.name; }
};

/// A folder holding what the cases read and write: a file without permissions, a read-only
/// file in a read-only folder, a folder where a file is expected.
class TCauseFolder {
public:
    TCauseFolder() {
        WriteTestFile(folder_ / "locked.csv", "secret");
        fs::permissions(folder_ / "locked.csv", fs::perms::none);
        fs::create_directory(folder_ / "folder.csv");
        fs::create_directory(folder_ / "read-only");
        WriteTestFile(folder_ / "read-only/quiz.csv", "kept");
        fs::permissions(folder_ / "read-only/quiz.csv", fs::perms::owner_read);
        fs::permissions(folder_ / "read-only", fs::perms::owner_read | fs::perms::owner_exec);
    }
    TCauseFolder(const TCauseFolder&) = delete;
    TCauseFolder& operator=(const TCauseFolder&) = delete;
    ~TCauseFolder() {
        std::error_code ignored;
        fs::permissions(folder_ / "read-only", fs::perms::owner_all, fs::perm_options::add,
                        ignored);
    }

    fs::path operator/(std::string_view name) const { return folder_ / name; }

private:
    TTemporaryFolder folder_;
};

class FileOpenCause : public testing::TestWithParam<TCauseCase> {};

// The message stays the one the window shows; the cause is kept beside it for the command line.
TEST_P(FileOpenCause, IsTheSystemsBesideTheFileName) {
    const TCauseCase& c = GetParam();
    if (c.canBeMet != nullptr && !c.canBeMet()) {
        GTEST_SKIP() << "the superuser, and every user on Windows, reads files whatever their "
                        "permission bits say";
    }
    const TCauseFolder folder;
    try {
        ReadFileBytes(folder / c.fileName);
        ADD_FAILURE() << "no failure reading " << c.fileName;
    } catch (const EFileOpenError& error) {
        EXPECT_EQ(std::string(error.what()), OpenErrorText(folder / c.fileName));
        EXPECT_EQ(error.FileName(), (folder / c.fileName).string());
        EXPECT_EQ(error.Cause(), c.cause) << error.Cause().message();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileOpenCause,
    testing::Values(TCauseCase{"Missing", "missing.csv",
                               std::make_error_code(std::errc::no_such_file_or_directory)},
                    TCauseCase{"InMissingFolder", "missing/quiz.csv",
                               std::make_error_code(std::errc::no_such_file_or_directory)},
                    TCauseCase{"Folder", "folder.csv", {}},
                    TCauseCase{"Unreadable", "locked.csv",
                               std::make_error_code(std::errc::permission_denied),
                               PermissionBitsBind}),
    TCaseName());

class FileCreateCause : public testing::TestWithParam<TCauseCase> {};

TEST_P(FileCreateCause, IsTheSystemsBesideTheFileName) {
    const TCauseCase& c = GetParam();
    if (c.canBeMet != nullptr && !c.canBeMet()) {
        GTEST_SKIP() << "the superuser writes files whatever their permission bits say, and "
                        "every user on Windows into a folder";
    }
    const TCauseFolder folder;
    try {
        WriteFileBytesAtomic(folder / c.fileName, "new");
        ADD_FAILURE() << "no failure writing " << c.fileName;
    } catch (const EFileCreateError& error) {
        EXPECT_EQ(std::string(error.what()), CreateErrorText(folder / c.fileName));
        EXPECT_EQ(error.FileName(), (folder / c.fileName).string());
        EXPECT_EQ(error.Cause(), c.cause) << error.Cause().message();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileCreateCause,
    testing::Values(TCauseCase{"InMissingFolder", "missing/quiz.csv",
                               std::make_error_code(std::errc::no_such_file_or_directory)},
                    TCauseCase{"Folder", "folder.csv", {}},
                    TCauseCase{"ReadOnlyFile", "read-only/quiz.csv",
                               std::make_error_code(std::errc::permission_denied),
                               ReadOnlyFilesBind},
                    TCauseCase{"InReadOnlyFolder", "read-only/new.csv",
                               std::make_error_code(std::errc::permission_denied),
                               PermissionBitsBind}),
    TCaseName());

TEST(WriteFileBytesAtomic, WritesExactlyAndLeavesNoTemporaryFile) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no permission bits; WindowsFilesTest checks attributes";
#endif
    TTemporaryFolder folder;
    const fs::path fileName = folder / "test.csv";
    WriteFileBytesAtomic(fileName, "a much longer first text\r\n");
    fs::permissions(fileName,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string bytes = "k,\0\x83\x5c,\r\n"s;
    WriteFileBytesAtomic(fileName, bytes);
    EXPECT_EQ(ReadTestFile(fileName), bytes);
    EXPECT_EQ(fs::status(fileName).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
        << "an existing file keeps its permissions";
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{"test.csv"});
}

TEST(WriteFileBytesAtomic, WritesThroughASymbolicLink) {
#ifdef _WIN32
    GTEST_SKIP() << "a symbolic link on Windows needs a privilege a user does not have";
#endif
    TTemporaryFolder folder;
    fs::create_directory(folder / "real");
    WriteTestFile(folder / "real/test.csv", "old");
    fs::create_symlink("real/test.csv", folder / "link.csv");
    WriteFileBytesAtomic(folder / "link.csv", "new");
    EXPECT_TRUE(fs::is_symlink(folder / "link.csv"));
    EXPECT_EQ(ReadTestFile(folder / "real/test.csv"), "new");
    EXPECT_EQ(folder.EntryNames(), (std::vector<std::string>{"link.csv", "real"}));
}

// A failed save changes nothing and leaves no temporary file behind.
TEST(WriteFileBytesAtomic, FailureChangesNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "fifos, links and folder permissions are POSIX; WindowsFilesTest has the "
                    "refusals Windows knows";
#else
    TTemporaryFolder folder;
    fs::create_directory(folder / "folder.csv");
    WriteTestFile(folder / "folder.csv/inside", "kept");
    fs::create_directory(folder / "locked");
    WriteTestFile(folder / "locked/test.csv", "kept");
    fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    ASSERT_EQ(::mkfifo((folder / "pipe.csv").c_str(), 0600), 0);
    fs::create_symlink("pipe.csv", folder / "link.csv");
    WriteTestFile(folder / "readonly.csv", "kept");
    fs::permissions(folder / "readonly.csv", fs::perms::owner_read);
    std::vector<fs::path> failing{folder / "missing/test.csv", folder / "folder.csv",
                                  folder / "pipe.csv", folder / "link.csv"};
    // The superuser writes into folders and read-only files whatever their bits say.
    if (PermissionBitsBind()) {
        failing.push_back(folder / "locked/test.csv");
        failing.push_back(folder / "readonly.csv");
    }
    for (const fs::path& fileName : failing) {
        try {
            WriteFileBytesAtomic(fileName, "new");
            ADD_FAILURE() << "no failure writing " << fileName;
        } catch (const EFileCreateError& error) {
            EXPECT_EQ(std::string(error.what()), CreateErrorText(fileName));
        }
    }
    EXPECT_EQ(folder.EntryNames(), (std::vector<std::string>{"folder.csv", "link.csv", "locked",
                                                             "pipe.csv", "readonly.csv"}));
    EXPECT_TRUE(fs::is_fifo(folder / "pipe.csv"));
    EXPECT_EQ(ReadTestFile(folder / "folder.csv/inside"), "kept");
    EXPECT_EQ(ReadTestFile(folder / "locked/test.csv"), "kept");
    fs::permissions(folder / "locked", fs::perms::owner_all);
    EXPECT_EQ(TTemporaryFolder::EntryNamesOf(folder / "locked"),
              std::vector<std::string>{"test.csv"});
#endif
}

// Any name the folder can hold can be saved over, also a long one.
TEST(WriteFileBytesAtomic, SavesOverFileWithLongName) {
    TTemporaryFolder folder;
    const fs::path fileName = folder / (std::string(251, 'n') + ".csv");
    WriteTestFile(fileName, "old");
    EXPECT_NO_THROW(WriteFileBytesAtomic(fileName, "new"));
    EXPECT_EQ(ReadTestFile(fileName), "new");
}

TEST(Files, ExistenceTests) {
    TTemporaryFolder folder;
    WriteTestFile(folder / "file", "");
    EXPECT_TRUE(FileExists(folder / "file") && FolderExists(folder.Path()));
    EXPECT_FALSE(FileExists(folder.Path()) || FileExists(folder / "missing"));
    EXPECT_FALSE(FolderExists(folder / "file") || FolderExists(folder / "missing"));
#ifdef _WIN32
    EXPECT_EQ(ExecutablePath().filename(), "platform_tests.exe");
#else
    EXPECT_EQ(ExecutablePath().filename(), "platform_tests");
#endif
}

} // namespace
