// The Win32 side of reading and saving: what Windows refuses, attributes, names the code page
// cannot hold, and the temporary files of saves that live or were given up.

#include "TestFiles.h"
#include "TestSystem.h"
#include "TestText.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Paths.h"

#include <windows.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Prefix = TAtomicFileWriter::TemporaryPrefix;

TEST(WindowsReadFileBytes, RefusesAFolderAndADevice) {
    const TTemporaryFolder folder;
    for (const fs::path& fileName : {folder.Path(), fs::path(L"NUL"), fs::path(L"CON")}) {
        EXPECT_THROW(ReadFileBytes(fileName), EFileOpenError) << PathText(fileName);
    }
}

// A refused save changes nothing and leaves no temporary file behind.
TEST(WindowsAtomicFileWriter, RefusalChangesNothing) {
    const TTemporaryFolder folder;
    fs::create_directory(folder / "folder.csv");
    WriteTestFile(folder / "folder.csv/inside", "kept");
    WriteTestFile(folder / "read-only.csv", "kept");
    ASSERT_NE(::SetFileAttributesW((folder / "read-only.csv").c_str(), FILE_ATTRIBUTE_READONLY), 0);
    const struct {
        fs::path fileName;
        std::error_code cause;
    } refused[] = {
        {folder / "missing/test.csv", std::make_error_code(std::errc::no_such_file_or_directory)},
        {folder / "folder.csv", {}},
        {fs::path(L"NUL"), {}},
        {folder / "read-only.csv", std::make_error_code(std::errc::permission_denied)},
    };
    for (const auto& [fileName, cause] : refused) {
        try {
            WriteFileBytesAtomic(fileName, "new");
            ADD_FAILURE() << "no failure writing " << PathText(fileName);
        } catch (const EFileCreateError& error) {
            EXPECT_EQ(error.FileName(), PathText(fileName));
            EXPECT_EQ(error.Cause(), cause)
                << PathText(fileName) << ": " << error.Cause().message();
        }
    }
    EXPECT_EQ(folder.EntryNames(), (std::vector<std::string>{"folder.csv", "read-only.csv"}));
    EXPECT_EQ(ReadTestFile(folder / "folder.csv/inside"), "kept");
    EXPECT_EQ(ReadTestFile(folder / "read-only.csv"), "kept");
    ::SetFileAttributesW((folder / "read-only.csv").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsAtomicFileWriter, AbandonedWriterLeavesOnlyTheOldFile) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "test.csv", "old");
    {
        TAtomicFileWriter writer(folder / "test.csv");
        writer.Write(std::string(1 << 20, 'x'));
    }
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{"test.csv"});
    EXPECT_EQ(ReadTestFile(folder / "test.csv"), "old");
}

// A save removes what a save killed earlier left; the file of a save still running is held
// open and stays, and that save still succeeds.
TEST(WindowsAtomicFileWriter, RemovesTheTemporaryFilesOfAbandonedSavesOnly) {
    const TTemporaryFolder folder;
    const std::string killed = std::string(Prefix) + "0123456789abcdef";
    WriteTestFile(folder / killed, "half a save");
    WriteTestFile(folder / ".pelloran-other", "kept");
    TAtomicFileWriter running(folder / "running.csv");
    running.Write("running");
    const std::vector<std::string> runningNames = TTemporaryFolder::SaveDebrisIn(folder.Path());
    ASSERT_EQ(runningNames.size(), 2U);

    WriteFileBytesAtomic(folder / "test.csv", "new");
    const std::vector<std::string> left = TTemporaryFolder::SaveDebrisIn(folder.Path());
    ASSERT_EQ(left.size(), 1U) << Escaped(left);
    EXPECT_NE(left.front(), killed);

    running.Commit();
    EXPECT_EQ(folder.EntryNames(),
              (std::vector<std::string>{".pelloran-other", "running.csv", "test.csv"}));
    EXPECT_EQ(ReadTestFile(folder / "running.csv"), "running");
    EXPECT_EQ(ReadTestFile(folder / "test.csv"), "new");
}

// A name the code page cannot hold is saved, replaced and read under its own name.
TEST(WindowsAtomicFileWriter, SavesUnderAJapaneseAndAKoreanName) {
    const TTemporaryFolder folder;
    for (const std::string name : {"成績表.csv", "시험\xF0\x9F\x98\x80.csv"}) {
        const fs::path fileName = folder.Path() / PathFromText(name);
        WriteFileBytesAtomic(fileName, "old");
        WriteFileBytesAtomic(fileName, "new");
        EXPECT_EQ(ReadFileBytes(fileName), "new") << name;
        EXPECT_TRUE(FileExists(fileName)) << name;
    }
    EXPECT_EQ(folder.EntryNames(),
              (std::vector<std::string>{"成績表.csv", "시험\xF0\x9F\x98\x80.csv"}));
}

// As pelloran-cli names files: relative to the current folder.
TEST(WindowsAtomicFileWriter, ReplacesAFileNamedWithoutItsFolder) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "old.csv", "old");
    const fs::path previous = fs::current_path();
    fs::current_path(folder.Path());
    EXPECT_NO_THROW(WriteFileBytesAtomic(L"old.csv", "new"));
    fs::current_path(previous);
    EXPECT_EQ(ReadTestFile(folder / "old.csv"), "new");
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{"old.csv"});
}

// The replaced file's attributes pass to the new one.
TEST(WindowsAtomicFileWriter, ReplacedFileKeepsItsAttributes) {
    if (RunsUnderWine()) {
        GTEST_SKIP() << "Wine's ReplaceFileW leaves the replaced file's attributes behind";
    }
    const TTemporaryFolder folder;
    const fs::path fileName = folder / "hidden.csv";
    WriteTestFile(fileName, "old");
    ASSERT_NE(::SetFileAttributesW(fileName.c_str(), FILE_ATTRIBUTE_HIDDEN), 0);
    WriteFileBytesAtomic(fileName, "new");
    EXPECT_EQ(ReadTestFile(fileName), "new");
    EXPECT_NE(::GetFileAttributesW(fileName.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0U);
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{"hidden.csv"});
}

TEST(WindowsFolders, WritableFolderLeavesNoProbeBehind) {
    const TTemporaryFolder folder;
    EXPECT_TRUE(FolderWritable(folder.Path()));
    EXPECT_FALSE(FolderWritable(folder / "missing"));
    WriteTestFile(folder / "file", "");
    EXPECT_FALSE(FolderWritable(folder / "file"));
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{"file"});
}

} // namespace
