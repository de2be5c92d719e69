// Blocks copied, pasted and cleared, and every change undone and redone, through pelloran-cli.

#include "CliRunner.h"
#include "TestFiles.h"
#include "TestText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

/// As the program saves it.
constexpr std::string_view Quiz = ",,a,b,#,,\r\n,,1,1,5,,\r\n"
                                  "1003,Sato,c,x,1,,\r\n"
                                  "1001,Ito,a,x,5,,\r\n"
                                  "1002,\"Abe\r\nKen\",c,b,2,,\r\n";

std::vector<std::string> Joined(std::vector<std::string> first,
                                const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class THistoryFolder {
public:
    THistoryFolder() {
        WriteTestFile(folder / "quiz.csv", Quiz);
        WriteTestFile(folder / "other.csv", ",,x,,\r\n,,2,,\r\n2001,Kim,x,,\r\n");
        WriteTestFile(folder / "roster.txt", "9001,Lee\r\n9002,\"Ono, Aki\"\r\n");
        WriteTestFile(folder / "block.txt", "P\t\"Q\"\"\"\r\n\"R\nS\"\t\x83\x5c\r\n");
    }

    /// Runs the commands, which must all succeed, and returns what they printed.
    std::string Run(const std::vector<std::string>& arguments) const {
        const TCliResult result = RunCli(arguments, folder.Path());
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return result.out;
    }

    TTemporaryFolder folder;
};

struct TUndoCase {
    std::string name;
    /// What comes before the command.
    std::vector<std::string> before;
    std::vector<std::string> command;
    friend void PrintTo(const TUndoCase& value, std::ostream* out) { *out << value.name; }
};

class CliUndo : public testing::TestWithParam<TUndoCase> {};

// Undone, the table, its commands' states and what closing would ask are as before the
// command; redone, as the command left them.
TEST_P(CliUndo, BringsBackTheTableBeforeAndRedoTheTableAfter) {
    const THistoryFolder files;
    const std::vector<std::string> show = {"save-dropping", "-", "dump", "state"};
    const std::string before = files.Run(Joined(GetParam().before, show));
    const std::string after =
        files.Run(Joined(Joined(GetParam().before, GetParam().command), show));
    ASSERT_NE(after, before);
    const std::vector<std::string> undone = Joined(GetParam().command, Joined({"undo"}, show));
    EXPECT_EQ(files.Run(Joined(GetParam().before, undone)), before);
    const std::vector<std::string> redone = Joined(undone, Joined({"redo"}, show));
    EXPECT_EQ(files.Run(Joined(GetParam().before, redone)), before + after);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliUndo,
    testing::Values(
        TUndoCase{"Open", {"open", "quiz.csv", "mark"}, {"open", "other.csv"}},
        TUndoCase{"New", {"open", "quiz.csv", "mark"}, {"new"}},
        TUndoCase{"Mark", {"open", "quiz.csv"}, {"mark"}},
        TUndoCase{"SortNumber", {"open", "quiz.csv"}, {"sort-number"}},
        TUndoCase{"SortScore", {"open", "quiz.csv", "mark"}, {"sort-score"}},
        TUndoCase{"RosterPaste", {"open", "quiz.csv"}, {"paste", "roster.txt"}},
        TUndoCase{"BlockPaste", {"open", "quiz.csv"}, {"paste-block", "2", "4", "block.txt"}},
        TUndoCase{"BlockPasteGrowingTheTable", {}, {"paste-block", "1", "120", "block.txt"}},
        TUndoCase{"Clear", {"open", "quiz.csv", "mark"}, {"clear", "4", "2", "1", "5"}}),
    TCaseName());

// Undos and redos interleaved with commands: a new command drops what was undone.
TEST(CliHistory, InterleavedUndoAndRedoFollowTheCommands) {
    const THistoryFolder files;
    const std::string opened = files.Run({"open", "quiz.csv", "save", "-"});
    const std::string marked = files.Run({"open", "quiz.csv", "mark", "save", "-"});
    EXPECT_EQ(files.Run({"open", "quiz.csv", "mark", "sort-score", "undo", "undo", "redo", "undo",
                         "save", "-"}),
              opened);
    const TCliResult result = RunCli({"open", "quiz.csv", "mark", "undo", "clear", "1", "3", "1",
                                      "3", "redo", "undo", "undo", "undo", "save", "-"},
                                     files.folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "pelloran-cli: redo: nothing to redo\n"
                          "pelloran-cli: undo: nothing to undo\n");
    EXPECT_EQ(result.out, ",,,\r\n,,,\r\n");
    EXPECT_NE(marked, opened);
}

// A block copied to a file and pasted elsewhere gives the same cells: quotes, TABs, line
// breaks and double-byte text included.
TEST(CliHistory, CopiedBlockPastesElsewhereAsTheSameCells) {
    const THistoryFolder files;
    const std::string copied = files.Run(
        {"paste-block", "2",  "4",   "block.txt", "copy", "2",  "4",   "3",  "5",   "copy.txt",
         "paste-block", "30", "140", "copy.txt",  "copy", "30", "140", "31", "141", "-"});
    EXPECT_EQ(Escaped(copied), Escaped("P\t\"Q\"\"\"\r\n\"R\nS\"\t\x83\x5c\r\n"));
    EXPECT_EQ(ReadTestFile(files.folder / "copy.txt"), copied);
}

// The clipboard texts of a spreadsheet and of Python's csv module paste cell for cell.
TEST(CliHistory, SpreadsheetBlocksPasteCellForCell) {
    const THistoryFolder files;
    const std::string expected = "3,5:1001\n4,5:\x8e\x52\x93\x63 \x91\xbe\x98\x59\n5,5:a\n6,5:b\n"
                                 "3,6:1002\n4,6:Smith, \"J\"\n6,6:c\\td\n"
                                 "3,7:1003\n4,7:\x8d\xb2\x93\xa1\\n(2\x91\x67)\n5,7:5\n";
    for (const char* file : {"libreoffice-calc.txt", "python-excel-tab.txt"}) {
        const std::string path =
            (std::filesystem::path(PELLORAN_TEST_DATA_FOLDER) / "clipboard" / file).string();
        const std::string dump = files.Run({"new", "clear", "0", "0", "2", "200", "clear", "0", "0",
                                            "60", "0", "paste-block", "3", "5", path, "dump"});
        EXPECT_EQ(dump, expected) << file;
    }
}

TEST(CliHistory, PastedBlockTellsTheReplacedCharacters) {
    const THistoryFolder files;
    WriteTestFile(files.folder / "utf8.txt", "Zo\xc3\xa9\tx\r\n");
    const TCliResult result =
        RunCli({"paste-block", "3", "3", "utf8.txt", "copy", "3", "3", "4", "3", "-"},
               files.folder.Path());
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("utf8.txt"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "Zo?\tx\r\n");
}

struct TUsageCase {
    std::string name;
    std::vector<std::string> arguments;
    std::string err;
    friend void PrintTo(const TUsageCase& value, std::ostream* out) { *out << value.name; }
};

class CliBlockUsage : public testing::TestWithParam<TUsageCase> {};

TEST_P(CliBlockUsage, IsAUsageErrorBeforeAnythingRuns) {
    const TCliResult result = RunCli(GetParam().arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.starts_with("pelloran-cli: " + GetParam().err + "\n")) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliBlockUsage,
    testing::Values(
        TUsageCase{"TooFewArguments",
                   {"dump", "copy", "1", "2"},
                   "copy needs 5 arguments: copy C1 R1 C2 R2 FILE"},
        TUsageCase{"NotANumber",
                   {"clear", "1", "x", "2", "3"},
                   "clear takes columns and rows as numbers from 0 to 9999999, not 'x'"},
        TUsageCase{"Negative",
                   {"paste-block", "-1", "0", "f"},
                   "paste-block takes columns and rows as numbers from 0 to 9999999, not '-1'"},
        TUsageCase{"TooLarge",
                   {"clear", "0", "0", "10000000", "0"},
                   "clear takes columns and rows as numbers from 0 to 9999999, not '10000000'"}),
    TCaseName());

} // namespace
