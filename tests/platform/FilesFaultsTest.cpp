#include "TestFiles.h"
#include "TestText.h"
#include "platform/Errors.h"
#include "platform/Files.h"

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/file.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Prefix = TAtomicFileWriter::TemporaryPrefix;

// Another program appending to a file while it is opened: the file grows in steps of 16 MB
// (sparse, so that it costs no disk) from the moment it is opened until reading is over.
TEST(ReadFileBytes, StopsAtTheSizeTheFileHadWhenOpened) {
    TTemporaryFolder folder;
    const fs::path fileName = folder / "growing.csv";
    const std::string start(4096, 'a');
    WriteTestFile(fileName, start);
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, fileName.c_str(), IN_OPEN), 0);
    std::atomic<bool> readingOver = false;
    std::thread grower([&] {
        char event[sizeof(inotify_event) + 256];
        static_cast<void>(::read(watch, event, sizeof event));
        const int file = ::open(fileName.c_str(), O_WRONLY | O_CLOEXEC);
        constexpr off_t Step = off_t{16} << 20;
        constexpr off_t Limit = off_t{2} << 30;
        for (off_t size = Step; size <= Limit && !readingOver; size += Step) {
            static_cast<void>(::ftruncate(file, size));
        }
        ::close(file);
    });
    const std::string bytes = ReadFileBytes(fileName);
    readingOver = true;
    grower.join();
    ::close(watch);
    ASSERT_GE(bytes.size(), start.size());
    EXPECT_LT(bytes.size(), std::size_t{64} << 20) << "the read followed the growing file";
    EXPECT_EQ(bytes.substr(0, start.size()), start);
}

struct TKindCase {
    std::string name;
    TTemporaryFileKind kind;
    friend void PrintTo(const TKindCase& value, std::ostream* out) { *out << value.name; }
};

class AtomicWriterKinds : public testing::TestWithParam<TKindCase> {};

// A writer given up on, at any point before its commit, leaves only the old file.
TEST_P(AtomicWriterKinds, AbandonedWriterLeavesOnlyTheOldFile) {
    TTemporaryFolder folder;
    WriteTestFile(folder / "test.csv", "old");
    {
        TAtomicFileWriter writer(folder / "test.csv", GetParam().kind);
        writer.Write(std::string(1 << 20, 'x'));
        if (GetParam().kind == TTemporaryFileKind::UnnamedWhereOffered) {
            EXPECT_EQ(TTemporaryFolder::SaveDebrisIn(folder.Path()), std::vector<std::string>{})
                << "an unnamed file shows no name while it is written";
        }
    }
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{"test.csv"});
    EXPECT_EQ(ReadTestFile(folder / "test.csv"), "old");
}

// The folder is renamed while the save runs: the file lands in the folder under its new name,
// and no temporary file stays behind there or anywhere.
TEST_P(AtomicWriterKinds, FolderRenamedDuringTheSaveKeepsNoTemporaryFile) {
    TTemporaryFolder folder;
    fs::create_directory(folder / "class");
    WriteTestFile(folder / "class/test.csv", "old");
    {
        TAtomicFileWriter writer(folder / "class/test.csv", GetParam().kind);
        writer.Write("new");
        fs::rename(folder / "class", folder / "renamed");
        writer.Commit();
    }
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{"renamed"});
    EXPECT_EQ(TTemporaryFolder::EntryNamesOf(folder / "renamed"),
              std::vector<std::string>{"test.csv"});
    EXPECT_EQ(ReadTestFile(folder / "renamed/test.csv"), "new");
}

// Temporary files of saves killed earlier carry no lock and go with the next save into the
// folder; the one a running save holds stays, and so does every other file.
TEST_P(AtomicWriterKinds, SaveRemovesTemporaryFilesOfKilledSavesOnly) {
    TTemporaryFolder folder;
    const std::string killed = std::string(Prefix) + "0123456789abcdef";
    const std::string running = std::string(Prefix) + "fedcba9876543210";
    WriteTestFile(folder / killed, "half a save");
    WriteTestFile(folder / running, "a save in progress");
    WriteTestFile(folder / ".pelloran-other", "kept");
    const int held = ::open((folder / running).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    TAtomicFileWriter writer(folder / "test.csv", GetParam().kind);
    writer.Write("new");
    writer.Commit();
    ::close(held);
    EXPECT_EQ(folder.EntryNames(),
              (std::vector<std::string>{".pelloran-other", running, "test.csv"}));
}

INSTANTIATE_TEST_SUITE_P(Files, AtomicWriterKinds,
                         testing::Values(TKindCase{"Unnamed",
                                                   TTemporaryFileKind::UnnamedWhereOffered},
                                         TKindCase{"Named", TTemporaryFileKind::Named}),
                         TCaseName());

struct TDanglingLinkCase {
    std::string name;
    std::vector<std::pair<std::string, std::string>> links; // link name, what it names
    std::string saved;                                      // through the first link
    std::string created;                                    // the file that must appear
    friend void PrintTo(const TDanglingLinkCase& value, std::ostream* out) { *out << value.name; }
};

class SaveThroughDanglingLink : public testing::TestWithParam<TDanglingLinkCase> {};

// A link to a file that does not exist yet stays a link; the file it names is created.
TEST_P(SaveThroughDanglingLink, CreatesTheFileTheLinkNames) {
    TTemporaryFolder folder;
    fs::create_directory(folder / "real");
    for (const auto& [link, named] : GetParam().links) {
        const std::string target =
            named.starts_with("/") ? (folder.Path().string() + named) : named;
        fs::create_symlink(target, folder / link);
    }
    WriteFileBytesAtomic(folder / GetParam().saved, "new");
    for (const auto& link : GetParam().links) {
        EXPECT_TRUE(fs::is_symlink(folder / link.first)) << link.first;
    }
    EXPECT_EQ(ReadTestFile(folder / GetParam().created), "new");
    EXPECT_EQ(TTemporaryFolder::SaveDebrisIn(folder.Path()), std::vector<std::string>{});
    EXPECT_EQ(TTemporaryFolder::SaveDebrisIn(folder / "real"), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Files, SaveThroughDanglingLink,
    testing::Values(
        TDanglingLinkCase{"SameFolder", {{"link.csv", "test.csv"}}, "link.csv", "test.csv"},
        TDanglingLinkCase{
            "OtherFolder", {{"link.csv", "real/test.csv"}}, "link.csv", "real/test.csv"},
        TDanglingLinkCase{
            "Absolute", {{"link.csv", "/real/test.csv"}}, "link.csv", "real/test.csv"},
        TDanglingLinkCase{"Chain",
                          {{"first.csv", "real/second.csv"}, {"real/second.csv", "../third.csv"}},
                          "first.csv",
                          "third.csv"}),
    TCaseName());

TEST(WriteFileBytesAtomic, RefusesALoopOfLinks) {
    TTemporaryFolder folder;
    fs::create_symlink("b.csv", folder / "a.csv");
    fs::create_symlink("a.csv", folder / "b.csv");
    EXPECT_THROW(WriteFileBytesAtomic(folder / "a.csv", "new"), EFileCreateError);
    EXPECT_EQ(folder.EntryNames(), (std::vector<std::string>{"a.csv", "b.csv"}));
}

} // namespace
