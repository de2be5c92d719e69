#include "TestFiles.h"
#include "platform/Files.h"

#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// This executable is linked with --wrap for the calls below: every call the writer makes comes
// here first and is recorded in order, then made.

namespace {

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

/// What a flush of `descriptor` makes lasting: a file's data or a folder's entries.
std::string SyncCall(const char* name, int descriptor) {
    struct stat status {};
    const bool folder = ::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode);
    return std::string(name) + (folder ? " folder" : " file");
}

} // namespace

// The linker gives these names; they cannot be chosen.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
int __real_fsync(int descriptor);
int __real_fdatasync(int descriptor);
int __real_rename(const char* from, const char* to);
int __real_renameat(int fromFolder, const char* from, int toFolder, const char* to);

int __wrap_fsync(int descriptor) {
    Calls().push_back(SyncCall("sync", descriptor));
    return __real_fsync(descriptor);
}

int __wrap_fdatasync(int descriptor) {
    Calls().push_back(SyncCall("sync", descriptor));
    return __real_fdatasync(descriptor);
}

int __wrap_rename(const char* from, const char* to) {
    Calls().emplace_back("rename");
    return __real_rename(from, to);
}

int __wrap_renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    Calls().emplace_back("rename");
    return __real_renameat(fromFolder, from, toFolder, to);
}
}
// NOLINTEND(bugprone-reserved-identifier)

// Test names and failures show the parameter by its name, not its bytes.
void PrintTo(TTemporaryFileKind kind, std::ostream* out) {
    *out << (kind == TTemporaryFileKind::Named ? "Named" : "UnnamedWhereOffered");
}

namespace {

class CommitOrder : public testing::TestWithParam<TTemporaryFileKind> {};

// A crash after the rename must find the new data in the file, and the rename itself must
// survive: the file is flushed before it is renamed, and the folder after.
TEST_P(CommitOrder, FlushesTheFileBeforeTheRenameAndTheFolderAfter) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", "old");
    TAtomicFileWriter writer(folder / "quiz.csv", GetParam());
    writer.Write("new");
    Calls().clear();
    writer.Commit();
    const std::vector<std::string> expected{"sync file", "rename", "sync folder"};
    EXPECT_EQ(Calls(), expected);
    EXPECT_EQ(ReadTestFile(folder / "quiz.csv"), "new");
}

INSTANTIATE_TEST_SUITE_P(Files, CommitOrder,
                         testing::Values(TTemporaryFileKind::UnnamedWhereOffered,
                                         TTemporaryFileKind::Named),
                         [](const testing::TestParamInfo<TTemporaryFileKind>& caseInfo) {
                             return caseInfo.param == TTemporaryFileKind::Named
                                        ? "Named"
                                        : "UnnamedWhereOffered";
                         });

} // namespace
