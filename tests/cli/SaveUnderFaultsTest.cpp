#include "CliRunner.h"
#include "TestFiles.h"
#include "platform/Files.h"
#include "platform/ProfileFile.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

namespace {

/// Kills per case; CI runs a few, PELLORAN_FAULT_KILLS=300 runs the full proof by hand.
int KillCount() {
    const char* count = std::getenv("PELLORAN_FAULT_KILLS");
    return count != nullptr && std::atoi(count) > 0 ? std::atoi(count) : 12;
}

/// A class of `students` with 50 questions, each line told apart by its number.
std::string LargeClass(int students, char answer) {
    std::string key = ",,";
    std::string points = ",,";
    for (int question = 0; question < 50; ++question) {
        key += "a,";
        points += "2,";
    }
    std::string text = key + "\r\n" + points + "\r\n";
    for (int student = 0; student < students; ++student) {
        text += std::to_string(100000 + student) + ",Name" + std::to_string(student) + ",";
        for (int question = 0; question < 50; ++question) {
            text += answer;
            text += ',';
        }
        text += "\r\n";
    }
    return text;
}

/// Starts `run` in a child process and kills it with SIGKILL after `delay`, unless it ended
/// first; returns whether it was killed before it ended.
bool RunAndKill(const std::function<void()>& run, std::chrono::microseconds delay) {
    const pid_t child = ::fork();
    if (child == 0) {
        run();
        ::_exit(0);
    }
    std::this_thread::sleep_for(delay);
    const bool killed = ::kill(child, SIGKILL) == 0;
    int status = 0;
    ::waitpid(child, &status, 0);
    return killed && WIFSIGNALED(status);
}

/// Runs `run` in a child process to its end, however long a loaded machine makes it take;
/// returns whether it ended normally.
bool RunToEnd(const std::function<void()>& run) {
    const pid_t child = ::fork();
    if (child == 0) {
        run();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

/// Kills a save of `newBytes` over a file holding `oldBytes` at random moments of its
/// `duration`: the file is always one or the other, byte for byte; temporary files are
/// counted, and the next save that is left to finish removes every one.
void ProveSaveUnderKills(const fs::path& target, const std::string& oldBytes,
                         const std::string& newBytes, std::chrono::microseconds duration,
                         const std::function<void()>& save) {
    std::mt19937 random(20240);
    // From the middle on, where the time of a large save is spent, to a little past its end.
    std::uniform_int_distribution<long> moment(duration.count() / 2, duration.count() * 21 / 20);
    int killedSaves = 0;
    int oldKept = 0;
    int newFound = 0;
    std::size_t temporaryFilesLeft = 0;
    for (int kill = 0; kill < KillCount() && !testing::Test::HasFailure(); ++kill) {
        WriteTestFile(target, oldBytes);
        killedSaves += RunAndKill(save, std::chrono::microseconds(moment(random))) ? 1 : 0;
        const std::string found = ReadTestFile(target);
        ASSERT_TRUE(found == oldBytes || found == newBytes)
            << "kill " << kill << " left " << found.size() << " bytes, neither old nor new";
        (found == oldBytes ? oldKept : newFound) += 1;
        temporaryFilesLeft += TTemporaryFolder::SaveDebrisIn(target.parent_path()).size();
    }
    EXPECT_TRUE(RunToEnd(save)) << "the save left to finish failed";
    EXPECT_EQ(ReadTestFile(target), newBytes);
    EXPECT_EQ(TTemporaryFolder::SaveDebrisIn(target.parent_path()), std::vector<std::string>{})
        << "a temporary file outlived the next save";
    testing::Test::RecordProperty("KilledSaves", killedSaves);
    testing::Test::RecordProperty("OldKept", oldKept);
    testing::Test::RecordProperty("NewFound", newFound);
    testing::Test::RecordProperty("TemporaryFilesLeftByKills", std::to_string(temporaryFilesLeft));
}

std::chrono::microseconds TimeOf(const std::function<void()>& run) {
    const auto start = TClock::now();
    run();
    return std::chrono::duration_cast<std::chrono::microseconds>(TClock::now() - start);
}

class SaveUnderFaults : public testing::Test {
protected:
    TTemporaryFolder folder;
};

// pelloran-cli opening a large class and saving it over an older one, killed at any moment.
TEST_F(SaveUnderFaults, CliSaveLeavesTheOldOrTheNewFile) {
    WriteTestFile(folder / "source.csv", LargeClass(20000, 'a'));
    const std::string oldBytes = LargeClass(15000, 'b');
    ASSERT_EQ(RunCli({"open", "source.csv", "save", "expected.csv"}, folder.Path()).status, 0);
    const std::string newBytes = ReadTestFile(folder / "expected.csv");
    fs::create_directory(folder / "class");
    const fs::path target = folder / "class/test.csv";
    const auto save = [&] {
        ExecCli(folder.Path(), {"open", "source.csv", "save", target.string()});
    };
    const auto duration = TimeOf([&] {
        ASSERT_EQ(RunCli({"open", "source.csv", "save", target.string()}, folder.Path()).status, 0);
    });
    ProveSaveUnderKills(target, oldBytes, newBytes, duration, save);
}

// Where no unnamed file can be had, the named temporary file of a killed save goes with the
// next save into the folder.
TEST_F(SaveUnderFaults, NamedTemporaryFilesOfKilledSavesGoWithTheNextSave) {
    const std::string newBytes = LargeClass(40000, 'a');
    const std::string oldBytes = LargeClass(30000, 'b');
    const fs::path target = folder / "test.csv";
    const auto save = [&] {
        TAtomicFileWriter writer(target, TTemporaryFileKind::Named);
        constexpr std::size_t Piece = 1 << 16;
        for (std::size_t at = 0; at < newBytes.size(); at += Piece) {
            writer.Write(std::string_view(newBytes).substr(at, Piece));
        }
        writer.Commit();
    };
    WriteTestFile(target, oldBytes);
    ProveSaveUnderKills(target, oldBytes, newBytes, TimeOf(save), save);
}

// The settings file and the recent-files store are written through the same saving.
TEST_F(SaveUnderFaults, ProfileFileLeavesTheOldOrTheNewFile) {
    const fs::path target = folder / "pelloran.ini";
    TProfileFile old = TProfileFile::FromBytes("");
    for (int entry = 1; entry <= 20; ++entry) {
        old.WriteString("KeepFileNames", "FileName" + std::to_string(entry),
                        "/home/teacher/old" + std::to_string(entry) + ".csv");
    }
    old.WriteString("Setting", "CurrentDir", "/home/teacher/old");
    const std::string oldBytes = old.Bytes();
    const auto save = [&] {
        TProfileFile profile(target);
        profile.WriteString("Setting", "CurrentDir", "/home/teacher/new");
        profile.EraseSection("KeepFileNames");
        profile.UpdateFile();
    };
    WriteTestFile(target, oldBytes);
    const auto duration = TimeOf(save);
    const std::string newBytes = ReadTestFile(target);
    ASSERT_NE(newBytes, oldBytes);
    ProveSaveUnderKills(target, oldBytes, newBytes, duration + std::chrono::microseconds(500),
                        save);
}

} // namespace
