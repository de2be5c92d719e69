#include "CliRunner.h"
#include "TestText.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string Quiz = ",,a,b,\r\n,,1,1,\r\n1001,Ann,a,c,\r\n1002,Bob,a,b,\r\n";

struct TLoadCase {
    std::string name;
    std::vector<std::string> commands;
    std::string writes;
    bool paints;
    friend void PrintTo(const TLoadCase& value, std::ostream* out) { *out << value.name; }
};

class PaperHelperLoads : public testing::TestWithParam<TLoadCase> {};

// The dynamic loader's log (LD_DEBUG) tells which libraries the process loaded; a program that
// hands over to another logs twice in the same file, as the process stays the same.
TEST_P(PaperHelperLoads, QtOnlyForACommandLineThatPaints) {
    const TLoadCase& load = GetParam();
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", Quiz);
    const TCliResult result = RunCliProgram(
        PELLORAN_CLI_PATH, {"LD_DEBUG=libs", "LD_DEBUG_OUTPUT=" + (folder / "loader").string()},
        load.commands, folder.Path());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(ReadTestFile(folder / load.writes).empty()) << load.writes;
    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        if (entry.path().filename().string().starts_with("loader.")) {
            log += ReadTestFile(entry.path());
        }
    }
    const std::size_t handedOver = log.find("transferring control:");
    ASSERT_NE(handedOver, std::string::npos) << log;
    EXPECT_NE(log.find("libicuuc"), std::string::npos) << log;
    EXPECT_EQ(log.substr(0, handedOver).find("libQt6"), std::string::npos)
        << "pelloran-cli loads Qt itself";
    const bool loadsQt = log.find("libQt6Gui") != std::string::npos;
    EXPECT_EQ(loadsQt, load.paints);
    EXPECT_EQ(log.find("transferring control:", handedOver + 1) != std::string::npos, load.paints)
        << "a run that paints is handed to pelloran-cli-paper, any other stays";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, PaperHelperLoads,
    testing::Values(
        TLoadCase{"MarkAndSave", {"open", "quiz.csv", "mark", "save", "out.csv"}, "out.csv", false},
        TLoadCase{"Report", {"open", "quiz.csv", "mark", "report", "r.html"}, "r.html", false},
        TLoadCase{"Slips", {"open", "quiz.csv", "mark", "slips", "s.pdf"}, "s.pdf", true},
        TLoadCase{"SaveThenClassList",
                  {"open", "quiz.csv", "mark", "save", "out.csv", "class-list", "l.pdf"},
                  "l.pdf",
                  true}),
    TCaseName());

TEST(PaperHelper, WithoutItEachPaperCommandFailsNamingItAndTheOthersRun) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", Quiz);
    std::filesystem::create_directory(folder / "alone");
    std::filesystem::copy_file(PELLORAN_CLI_PATH, folder / "alone/pelloran-cli");
    const TCliResult result = RunCliProgram(
        folder / "alone/pelloran-cli", {},
        {"open", "quiz.csv", "mark", "slips", "s.pdf", "save", "out.csv", "class-list", "l.pdf"},
        folder.Path());
    EXPECT_EQ(result.status, 1);
    const std::string failure = "pelloran-cli: cannot start " +
                                (folder / "alone/pelloran-cli-paper").string() +
                                ": No such file or directory\n";
    EXPECT_EQ(result.err, failure + failure);
    EXPECT_EQ(TTemporaryFolder::EntryNamesOf(folder.Path()),
              (std::vector<std::string>{"alone", "out.csv", "quiz.csv"}));
}

} // namespace
