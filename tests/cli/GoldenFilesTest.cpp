// The files of tests/data, written by tests/data/make_cases.py as spreadsheet programs and
// scripts write them, open (or paste) into the cells their writer was given.

#include "CliRunner.h"
#include "TestText.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TGoldenCase {
    std::string name;
    std::filesystem::path folder;
    friend void PrintTo(const TGoldenCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<TGoldenCase> GoldenCases() {
    std::vector<TGoldenCase> cases;
    for (const auto& entry : std::filesystem::directory_iterator(PELLORAN_TEST_DATA_FOLDER)) {
        // The clipboard texts are pasted as blocks, by tests of their own.
        if (entry.is_directory() && entry.path().filename() != "clipboard") {
            cases.push_back({entry.path().filename().string(), entry.path()});
        }
    }
    std::sort(cases.begin(), cases.end(),
              [](const TGoldenCase& a, const TGoldenCase& b) { return a.name < b.name; });
    return cases;
}

/// The file a case opens ("input.*") or pastes ("roster.*").
std::string InputFileName(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("input.") || name.starts_with("roster.")) {
            return name;
        }
    }
    return {};
}

/// The dump lines of cells a file can fill: the header row and the label column, which the
/// reset writes, are left out.
std::string FileCellLines(const std::string& dump) {
    std::istringstream lines(dump);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t comma = line.find(',');
        const std::size_t colon = line.find(':');
        const std::string column = line.substr(0, comma);
        const std::string row = line.substr(comma + 1, colon - comma - 1);
        if (column != "0" && row != "0") {
            kept += line + "\n";
        }
    }
    return kept;
}

std::string ExpectedErrors(const std::filesystem::path& folder) {
    const std::filesystem::path fileName = folder / "expected.err";
    return std::filesystem::exists(fileName) ? ReadTestFile(fileName) : std::string();
}

class GoldenFile : public testing::TestWithParam<TGoldenCase> {};

TEST_P(GoldenFile, FillsTheCellsItsWriterWasGiven) {
    const std::filesystem::path& folder = GetParam().folder;
    const std::string input = InputFileName(folder);
    ASSERT_FALSE(input.empty()) << "no input.* or roster.* in " << folder;
    const std::string command = input.starts_with("roster.") ? "paste" : "open";
    const TCliResult result = RunCli({command, input, "dump"}, folder);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, ExpectedErrors(folder));
    EXPECT_EQ(FileCellLines(result.out), ReadTestFile(folder / "expected.dump"));
}

// What was opened from another program's file survives the program's own save.
TEST_P(GoldenFile, SavedAndOpenedAgainFillsTheSameCells) {
    const std::filesystem::path& folder = GetParam().folder;
    const std::string input = InputFileName(folder);
    if (input.starts_with("roster.")) {
        GTEST_SKIP() << "a roster is pasted, not saved";
    }
    const TTemporaryFolder saved;
    const std::string savedFile = (saved / "saved.csv").string();
    const TCliResult save = RunCli({"open", input, "save", savedFile}, folder);
    EXPECT_EQ(save.status, 0) << save.err;
    const TCliResult reopened = RunCli({"open", savedFile, "dump"}, folder);
    EXPECT_EQ(reopened.status, 0) << reopened.err;
    EXPECT_EQ(reopened.err, "");
    EXPECT_EQ(FileCellLines(reopened.out), ReadTestFile(folder / "expected.dump"));
}

INSTANTIATE_TEST_SUITE_P(Data, GoldenFile, testing::ValuesIn(GoldenCases()), TCaseName());

} // namespace
