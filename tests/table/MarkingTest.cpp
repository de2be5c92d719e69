#include "table/marking/Marking.h"

#include "FakeTableView.h"
#include "TestText.h"
#include "table/marking/MarkingRules.h"
#include "table/marking/Numbers.h"

#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using TAddress = std::pair<int, int>;
using TCells = std::map<TAddress, std::string>;
/// Cells of one row from column 1 on.
using TRow = std::vector<std::string>;

TCells NonEmptyCells(const TAnswerTable& table) {
    TCells cells;
    for (int row = 0; row < table.StoredRowCount(); ++row) {
        for (int column = 0; column < table.StoredColumnCount(row); ++column) {
            if (!table.Cell(column, row).empty()) {
                cells[{column, row}] = std::string(table.Cell(column, row));
            }
        }
    }
    return cells;
}

/// The cells whose text differs, with their new texts ("" for an emptied cell).
TCells ChangedCells(const TCells& before, const TCells& after) {
    TCells changed;
    for (const auto& [address, text] : after) {
        const auto old = before.find(address);
        if (old == before.end() || old->second != text) {
            changed[address] = text;
        }
    }
    for (const auto& [address, text] : before) {
        if (!after.contains(address)) {
            changed[address] = "";
        }
    }
    return changed;
}

/// Writes `table` from row 1 (the answer key) down: "/" between rows, "|" between the cells
/// of a row from column 1 on.
void FillRows(TAnswerTable& table, const std::string& text) {
    const TRow rows = Split(text, '/');
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TRow cells = Split(rows[i]);
        for (std::size_t k = 0; k < cells.size(); ++k) {
            table.SetCell(static_cast<int>(k) + 1, static_cast<int>(i) + 1, cells[k]);
        }
    }
}

void SetMessages(TAnswerTable& table) {
    const std::vector<std::string> texts = {"No",    "Name",  "Key",  "Pts",  "Q",
                                            "Save?", "Score", "Rate", "Mean", "SD"};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        table.SetMessage(static_cast<TMessage>(i + 1), texts[i]);
    }
}

const std::string WorkedExample = "||a|b|#/||2|3|/1001|Ann|A|d|4/1002|Ben|a|b|0";

TEST(Marking, WorkedExampleGivesExactlyItsResults) {
    TAnswerTable table;
    FillRows(table, WorkedExample);
    MarkTable(table, '.');
    TAnswerTable expected;
    FillRows(expected, "||a|b|#|<5.5>/||2|3||<.5>/1001|Ann|A|d|4|6/1002|Ben|a|b|0|5/||100%|50%|2");
    EXPECT_EQ(NonEmptyCells(table), NonEmptyCells(expected));
    EXPECT_EQ(table.ColumnWidth(7), TAnswerTable::StatisticsLabelWidth);
    EXPECT_EQ(table.QuestionCount(), 3);
    EXPECT_TRUE(table.IsEnabled(TCommand::mmSortWithPoint));
    EXPECT_EQ(table.HighlightColor(), clWhite);
}

/// One letter per cell of columns 3 to 6, as last painted: w white, s silver, y yellow, . never.
std::string PaintedRow(const TFakeTableView& view, int row) {
    std::string letters;
    for (int column = 3; column <= 6; ++column) {
        const auto painted = view.painted.find({column, row});
        letters += painted == view.painted.end() ? '.'
                   : painted->second == clSilver ? 's'
                   : painted->second == clYellow ? 'y'
                   : painted->second == clWhite  ? 'w'
                                                 : '?';
    }
    return letters;
}

// The window paints a cell in the colour of the moment its repaint is processed.
TEST(Marking, PaintsWrongAnswersSilverAndResultsYellow) {
    TAnswerTable table;
    FillRows(table, "||a|#|x/||1||1/1|n|A|0|/2|n|b| 0 |y/3|n||.|X/4|n|a|2|x");
    table.SetHighlightColor(clSilver);
    TFakeTableView view(table);
    // A repaint still pending when marking starts happens in white.
    table.SetCell(3, 1, "a");
    MarkTable(table, '.');
    // The window repaints what is still pending once the command has ended.
    view.ProcessMessages();

    std::vector<std::string> painted;
    for (int row = 1; row <= 8; ++row) {
        painted.push_back(PaintedRow(view, row));
    }
    EXPECT_EQ(painted, (std::vector<std::string>{"w..w", "...w", "wswy", "sssy", "wswy", "wwwy",
                                                 "yyy.", "...."}));
    EXPECT_EQ(table.HighlightColor(), clWhite);
}

struct TMarkCase {
    const char* name;
    /// "|" between students.
    std::string scores;
    /// "|" between questions; their number is the question count.
    std::string rates;
    /// Mean and standard deviation, "|" between them.
    std::string statistics;
    /// From the answer-key row down, as FillRows takes it.
    std::string rows;

    friend void PrintTo(const TMarkCase& c, std::ostream* os) { *os << c.name; }
};

class MarkingResults : public testing::TestWithParam<TMarkCase> {};

TEST_P(MarkingResults, AreWrittenIntoScoreColumnRateRowAndStatistics) {
    const TMarkCase& c = GetParam();
    TAnswerTable table;
    FillRows(table, c.rows);
    MarkTable(table, '.');

    const TRow expectedScores = Split(c.scores);
    TRow expectedRates = Split(c.rates);
    const int scoreColumn = static_cast<int>(expectedRates.size()) + 3;
    const int rateRow = static_cast<int>(expectedScores.size()) + 3;
    ASSERT_EQ(table.QuestionCount(), scoreColumn - 3);
    TRow scores;
    for (int row = 3; row < rateRow; ++row) {
        scores.emplace_back(table.Cell(scoreColumn, row));
    }
    EXPECT_EQ(scores, expectedScores);
    TRow rates;
    for (int column = 3; column <= scoreColumn; ++column) {
        rates.emplace_back(table.Cell(column, rateRow));
    }
    expectedRates.push_back("");
    EXPECT_EQ(rates, expectedRates) << Escaped(rates);
    EXPECT_EQ(
        TRow({std::string(table.Cell(scoreColumn, 1)), std::string(table.Cell(scoreColumn, 2))}),
        Split(c.statistics));
    EXPECT_TRUE(table.IsEnabled(TCommand::mmSortWithPoint));
}

/// `count` students numbered from 1, each answering `answers`, as FillRows takes them.
std::string AllAnswer(int count, const std::string& answers) {
    std::string rows;
    for (int number = 1; number <= count; ++number) {
        rows += "/" + std::to_string(number) + "|n|" + answers;
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(
    Marking, MarkingResults,
    testing::Values(
        // Full-width Ａ/ａ are letters of the code page; ア and ヂ differ only in a trail byte
        // that is an ASCII letter, which must not be lowered.
        TMarkCase{"KeysIgnoreCaseButNotBlanks", "15|2", "50%|100%|50%|50%", "<8.5>|<6.5>",
                  "||Abc|\x82\x60|\x83\x41|a/||1|2|4|8/1|n|aBC|\x82\x81|\x83\x41|A/"
                  "2|n|abc |\x82\x60|\x83\x61| a"},
        TMarkCase{"HashWithBlankIsKeyed", "5|0", "50%|1.5", "<2.5>|<2.5>",
                  "||# |#/||2|/1|n|# |3/2|n|#"},
        TMarkCase{"AveragePointsFormats", "44|12.5|3|3.5", "3.3|.5||12", "<15.8>|<16.7>",
                  "||#|#|#|#//1|n|3|1||40/2|n|3.5|1||8/3|n|3|||0/4|n|3.5|||0"},
        TMarkCase{"KeyedRatesTruncate", "1|1|0", "66%|0%", "<.7>|<.5>",
                  "||a|b/||1|1/1|n|a|c/2|n|a|/3|n|c|d"},
        TMarkCase{"MeanRoundingToZeroIsEmpty", "0.04", "", "<>|<>", "||#//1|n|0.04"},
        TMarkCase{"OnlyStudentWithoutNumber", "1", "100%", "<1>|<>", "||a/||1/|n|a"},
        TMarkCase{"FirstNumberEmptyLaterRowsTaken", "1|0", "50%", "<.5>|<.5>",
                  "||a/||1/|n|a/2|n|b"},
        TMarkCase{"PointsQuestionsOnly", "15|5|0", "50%|33%", "<6.7>|<6.2>",
                  "||#|#/||10|5/1|n|10|5/2|n|5|0/3|n|0|"},
        TMarkCase{"ScoresInGeneralForm", "12.7|40.1", "50%|50%|50%|26.3", "<26.4>|<13.7>",
                  "||a|b|c|#/||0.1|0.1|0.1|/1|n|a|b|c|12.4/2|n||||40.1"},
        // Rates that binary fractions would bring just below a whole percent.
        TMarkCase{"TenthOfAPointRightForAllFive", "0.1|0.1|0.1|0.1|0.1", "100%", "<.1>|<>",
                  "||a/||0.1" + AllAnswer(5, "a")},
        TMarkCase{"TenthOfAPointRightForSixOfEight", "0|0|0.1|0.1|0.1|0.1|0.1|0.1", "75%",
                  "<.1>|<>", "||a/||0.1/7|n|b/8|n|b" + AllAnswer(6, "a")},
        TMarkCase{"SevenTenthsOfSevenTenthsForAll", "0.7|0.7|0.7", "100%", "<.7>|<>",
                  "||#/||0.7" + AllAnswer(3, "0.7")},
        TMarkCase{"KeyedQuestionsWorthNothingCountAnswers", "0|0|0", "66%|66%", "<>|<>",
                  "||a|b/||0|x/1|n|a|b/2|n|a|c/3|n|b|B"},
        TMarkCase{"PointsQuestionWorthNothingShowsAverageAndGoesOn", "4|2", "2.5|50%", "<3>|<1>",
                  "||#|a/||0|1/1|n|3|a/2|n|2"}),
    TCaseName());

struct TNoQuestionCase {
    const char* name;
    std::string firstKey;

    friend void PrintTo(const TNoQuestionCase& c, std::ostream* os) { *os << c.name; }
};

class MarkingWithoutQuestions : public testing::TestWithParam<TNoQuestionCase> {};

TEST_P(MarkingWithoutQuestions, OnlySetsTheQuestionCountToZero) {
    TAnswerTable table;
    FillRows(table, "||" + GetParam().firstKey + "|b/||1|1/1|n|a|b");
    table.SetHighlightColor(clYellow);
    const TCells before = NonEmptyCells(table);
    TFakeTableView view(table);
    MarkTable(table, '.');
    EXPECT_EQ(table.QuestionCount(), 0);
    EXPECT_EQ(NonEmptyCells(table), before);
    EXPECT_EQ(view.log, std::vector<std::string>{});
    EXPECT_EQ(table.HighlightColor(), clYellow);
    EXPECT_FALSE(table.IsEnabled(TCommand::mmSortWithPoint));
}

INSTANTIATE_TEST_SUITE_P(Marking, MarkingWithoutQuestions,
                         testing::Values(TNoQuestionCase{"EmptyFirstKey", ""},
                                         TNoQuestionCase{"FirstKeyIsAMean", "<5.5>"},
                                         TNoQuestionCase{"FirstKeyIsAZeroMean", "<>"}),
                         TCaseName());

// Only the mean as Mark writes it ends the questions: a key such as "x<3" is marked like any.
TEST(Marking, KeysHoldingLessThanAreQuestions) {
    TAnswerTable table;
    FillRows(table, "||a|x<3|<b>|c/||1|2|4|8/1|n|a|x<3|<b>|c");
    MarkTable(table, '.');
    EXPECT_EQ(table.QuestionCount(), 4);
    EXPECT_EQ(table.Cell(7, 3), "15");
    EXPECT_EQ(table.Cell(7, 1), "<15>");
}

TEST(Marking, TitlesTheResultsAndEmptiesTheTitlesBeyondThem) {
    TAnswerTable table;
    SetMessages(table);
    table.Reset();
    table.SetCell(53, 0, "beyond the reset");
    table.SetCell(0, 103, "below the reset");
    FillRows(table, WorkedExample);
    MarkTable(table, '.');

    EXPECT_EQ(table.Cell(5, 0), "Q3");
    EXPECT_EQ(table.Cell(6, 0), "Score");
    for (int column = 7; column <= 52; ++column) {
        EXPECT_EQ(table.Cell(column, 0), "") << "header of column " << column;
    }
    EXPECT_EQ(table.Cell(53, 0), "beyond the reset");
    EXPECT_EQ(table.Cell(0, 4), "2");
    EXPECT_EQ(table.Cell(0, 5), "Rate");
    for (int row = 6; row <= 102; ++row) {
        EXPECT_EQ(table.Cell(0, row), "") << "label of row " << row;
    }
    EXPECT_EQ(table.Cell(0, 103), "below the reset");
    EXPECT_EQ(table.Cell(7, 1), "Mean");
    EXPECT_EQ(table.Cell(7, 2), "SD");
    EXPECT_EQ(table.Cell(0, 1), "Key");
}

TEST(Marking, MarkingAgainChangesOnlyWhatACorrectionChanges) {
    TAnswerTable table;
    SetMessages(table);
    table.Reset();
    FillRows(table, WorkedExample);
    MarkTable(table, '.');
    const TCells marked = NonEmptyCells(table);
    MarkTable(table, '.');
    EXPECT_EQ(NonEmptyCells(table), marked);
    EXPECT_EQ(table.QuestionCount(), 3);

    table.SetCell(4, 4, "c");
    MarkTable(table, '.');
    const TCells expected = {
        {{4, 4}, "c"}, {{6, 4}, "2"}, {{4, 5}, "0%"}, {{6, 1}, "<4>"}, {{6, 2}, "<2>"}};
    EXPECT_EQ(ChangedCells(marked, NonEmptyCells(table)), expected);
}

struct TSizeCase {
    const char* name;
    int questions;
    int students;

    friend void PrintTo(const TSizeCase& c, std::ostream* os) { *os << c.name; }
};

class MarkingSizes : public testing::TestWithParam<TSizeCase> {};

// Every student answers every question right except the last, who answers all wrong.
TEST_P(MarkingSizes, MarkEveryQuestionAndStudent) {
    const int n = GetParam().questions;
    const int m = GetParam().students;
    TAnswerTable table;
    SetMessages(table);
    table.Reset();
    for (int column = 3; column < n + 3; ++column) {
        table.SetCell(column, 1, "a");
        table.SetCell(column, 2, "1");
        for (int row = 3; row < m + 3; ++row) {
            table.SetCell(column, row, row == m + 2 ? "b" : "a");
        }
    }
    for (int row = 3; row < m + 3; ++row) {
        table.SetCell(1, row, std::to_string(row));
    }
    MarkTable(table, '.');

    const int scoreColumn = n + 3;
    const int rateRow = m + 3;
    ASSERT_EQ(table.QuestionCount(), n);
    for (int row = 3; row < rateRow; ++row) {
        ASSERT_EQ(table.Cell(scoreColumn, row), row == m + 2 ? "0" : std::to_string(n))
            << "score of row " << row;
    }
    const std::string rate = std::to_string(100 * (m - 1) / m) + "%";
    for (int column = 3; column < scoreColumn; ++column) {
        ASSERT_EQ(table.Cell(column, rateRow), rate) << "rate of column " << column;
    }
    EXPECT_EQ(table.Cell(scoreColumn, 0), "Score");
    EXPECT_EQ(table.Cell(0, rateRow), "Rate");
    EXPECT_EQ(table.Cell(scoreColumn + 1, 1), "Mean");
    EXPECT_EQ(table.Cell(scoreColumn, 1).substr(0, 1), "<");
    EXPECT_EQ(table.ColumnWidth(scoreColumn + 1), TAnswerTable::StatisticsLabelWidth);
    if (n <= 50) {
        EXPECT_EQ(table.Cell(n + 2, 0), "Q" + std::to_string(n));
    }
    if (m <= 100) {
        EXPECT_EQ(table.Cell(0, m + 2), std::to_string(m));
    }
    EXPECT_TRUE(table.IsEnabled(TCommand::mmSortWithPoint));
}

INSTANTIATE_TEST_SUITE_P(Marking, MarkingSizes,
                         testing::Values(TSizeCase{"FiftyQuestionsFillTheShownColumns", 50, 2},
                                         TSizeCase{"RateRowOfNinetyNineIsLastShownRow", 3, 99},
                                         TSizeCase{"RateRowOfHundredIsBelowTheShownRows", 3, 100},
                                         TSizeCase{"SixtyQuestionsAndHundredTwentyStudents", 60,
                                                   120}),
                         TCaseName());

struct TFailureCase {
    const char* name;
    std::string rows;
    std::string error;
    /// Cells written before the failure, which stay.
    TCells written;
    /// The cell a conversion error names, for the window to show it.
    std::optional<TAddress> failedCell;

    friend void PrintTo(const TFailureCase& c, std::ostream* os) { *os << c.name; }
};

class MarkingFailure : public testing::TestWithParam<TFailureCase> {};

TEST_P(MarkingFailure, StopsAndKeepsWhatWasWritten) {
    const TFailureCase& c = GetParam();
    TAnswerTable table;
    SetMessages(table);
    table.Reset();
    FillRows(table, c.rows);
    const TCells before = NonEmptyCells(table);
    std::optional<TAddress> failedCell;
    try {
        MarkTable(table, '.');
        ADD_FAILURE() << "marking did not fail";
    } catch (const EMarkError& error) {
        EXPECT_EQ(std::string(error.what()), c.error);
        failedCell = TAddress{error.Cell().column, error.Cell().row};
    } catch (const EPelloranError& error) {
        EXPECT_EQ(std::string(error.what()), c.error);
    }
    EXPECT_EQ(failedCell, c.failedCell);
    EXPECT_EQ(ChangedCells(before, NonEmptyCells(table)), c.written);
    EXPECT_EQ(table.QuestionCount(), 3);
    EXPECT_EQ(table.ColumnWidth(7), TAnswerTable::StatisticsLabelWidth);
    EXPECT_FALSE(table.IsEnabled(TCommand::mmSortWithPoint));
    EXPECT_EQ(table.HighlightColor(), clWhite);
}

INSTANTIATE_TEST_SUITE_P(
    Marking, MarkingFailure,
    testing::Values(TFailureCase{"StudentPointsCell",
                                 "||a|#|b/||1||1/1|n|a|2|b/2|n|a|abc|b/3|n|a|1|b",
                                 "採点できません: 行 2 (学籍番号 2) の 問 2: "
                                 "'abc' は浮動小数点数ではありません",
                                 {{{6, 3}, "4"}},
                                 TAddress{4, 4}},
                    TFailureCase{"StudentPointsCellAfterAFraction",
                                 "||#|#|#/|||/1|n|1|2.5|x",
                                 "採点できません: 行 1 (学籍番号 1) の 問 3: "
                                 "'x' は浮動小数点数ではありません",
                                 {},
                                 TAddress{5, 3}},
                    TFailureCase{"PointsRowOfPointsQuestion",
                                 "||a|#|#/||1|ten|/1|n|a|1|2/2|n|b|0|",
                                 "採点できません: 問 2 の配点: "
                                 "'ten' は浮動小数点数ではありません",
                                 {{{6, 3}, "4"}, {{6, 4}, "0"}, {{3, 5}, "50%"}},
                                 TAddress{4, 2}},
                    TFailureCase{"ScoreBeyondTheRangeOfDoubles",
                                 "||a|#|#/||1||/1|n|a|1|2/2|n|b|1e308|1e308",
                                 "浮動小数点オーバーフロー",
                                 {{{6, 3}, "4"}},
                                 std::nullopt}),
    TCaseName());

TEST(Marking, KeyedPointsBeyondTheRangeOfDoublesStopBeforeAnythingIsWritten) {
    TAnswerTable table;
    table.Reset();
    FillRows(table, "||a|/||1e400|/1|n|a|");
    const TCells before = NonEmptyCells(table);
    try {
        MarkTable(table, '.');
        ADD_FAILURE() << "marking did not fail";
    } catch (const EPelloranError& error) {
        EXPECT_STREQ(error.what(), "浮動小数点オーバーフロー");
    }
    EXPECT_EQ(NonEmptyCells(table), before);
}

/// All that marking leaves behind and tells the view.
struct TMarkOutcome {
    TCells cells;
    std::vector<std::string> log;
    std::map<std::pair<int, int>, TColor> painted;
    std::string error;
};

TMarkOutcome MarkWithView(const std::string& rows) {
    TAnswerTable table;
    SetMessages(table);
    table.Reset();
    FillRows(table, rows);
    TFakeTableView view(table);
    TMarkOutcome outcome;
    try {
        MarkTable(table, '.');
    } catch (const EPelloranError& error) {
        outcome.error = error.what();
    }
    outcome.cells = NonEmptyCells(table);
    outcome.log = view.log;
    outcome.painted = view.painted;
    return outcome;
}

/// `rows` with a points question put before the first question, each student's answer to it
/// being `answer`.
std::string WithFirstPointsQuestion(const std::string& rows, const std::string& answer) {
    std::string result;
    const TRow lines = Split(rows, '/');
    for (std::size_t i = 0; i < lines.size(); ++i) {
        TRow cells = Split(lines[i]);
        cells.resize(std::max<std::size_t>(cells.size(), 2));
        cells.insert(cells.begin() + 2, i == 0 ? "#" : i == 1 ? "" : answer);
        for (std::size_t k = 0; k < cells.size(); ++k) {
            result += (k > 0 ? "|" : "") + cells[k];
        }
        result += i + 1 < lines.size() ? "/" : "";
    }
    return result;
}

struct TQuickRuleCase {
    const char* name;
    /// From the answer-key row down, as FillRows takes them.
    std::string rows;

    friend void PrintTo(const TQuickRuleCase& c, std::ostream* os) { *os << c.name; }
};

class MarkingQuickRule : public testing::TestWithParam<TQuickRuleCase> {};

// Most answers are scored by a quick rule, the rest, and every answer of a student after one
// that the quick rule leaves, by the general one. A first answer of " 0" (a points answer
// that is not plain digits) leaves every answer of its student to the general rule; "0" earns
// the same and leaves them to the quick one: both must give the same cells and tell the view
// the same, colours included.
TEST_P(MarkingQuickRule, GivesWhatTheGeneralRuleGives) {
    const TQuickRuleCase& c = GetParam();
    TMarkOutcome quick = MarkWithView(WithFirstPointsQuestion(c.rows, "0"));
    TMarkOutcome general = MarkWithView(WithFirstPointsQuestion(c.rows, " 0"));
    for (TMarkOutcome* outcome : {&quick, &general}) {
        std::erase_if(outcome->cells, [](const auto& cell) {
            return cell.first.first == 3 && cell.first.second >= TAnswerTable::FirstStudentRow;
        });
    }
    EXPECT_EQ(quick.error, general.error);
    EXPECT_EQ(quick.cells, general.cells);
    EXPECT_EQ(quick.log, general.log);
    EXPECT_EQ(quick.painted, general.painted);
}

INSTANTIATE_TEST_SUITE_P(
    Marking, MarkingQuickRule,
    testing::Values(
        TQuickRuleCase{"OneByteKeysInEitherCase",
                       "||a|B|c|1|z/||1|2|3|4|5/1|n|A|b|C|1|Z/2|n|a|B|x|2|zz/3|n||b||1|"
                       "/4|n|aa|\x82\x60|c |1.0|z"},
        // A lone lead byte, half-width kana and the ASCII backslash, which is also a trail
        // byte, as keys and answers; full-width letters and kana that lower-casing keeps.
        TQuickRuleCase{"OneByteKeysOutsideAscii", "||\x82|\xB1|\\|\x82\x60|\x83\x41/||1|2|3|4|5"
                                                  "/1|n|\x82|\xB1|\\|\x82\x81|\x83\x41"
                                                  "/2|n|\x82\x60|\xB2|\x83\x5C|\x82\x60|\x83\x61"
                                                  "/3|n|\x82\x81|\x81|\x5C\x5C|A|\x83"},
        TQuickRuleCase{"LongerKeys", "||abc|Went|\x82\x60"
                                     "b/||2|3|1/1|n|ABC|went|\x82\x81"
                                     "B"
                                     "/2|n|abc |WENT|\x82\x60"
                                     "b/3|n|ab|wen|\x82\x60"},
        TQuickRuleCase{"PointsAnswers",
                       "||#|#|#/||10||5/1|n|3|007|0/2|n|-0|2.5|-1/3|n| 4|1e1|2097152"
                       "/4|n|2097153|123456789012345678|1234567890123456789/5|n|||+2"},
        TQuickRuleCase{"KeyedPointsOfEveryKind",
                       "||a|b|c|d|e|f/||0.5|2097153|-3||x|2097152/1|n|a|b|c|d|e|f"
                       "/2|n|A|B|C|D|E|F/3|n|x|x|x|x|x|x"},
        // The first student's tenth makes the sum of the first points question fractional,
        // so that every later answer to it is scored by the general rule.
        TQuickRuleCase{"PointsSumTurnsFractional",
                       "||#|a|#/||1|1|3/1|n|0.1|a|3/2|n|2|a|3/3|n|2|b|1/4|n|0|A|2"},
        TQuickRuleCase{"ScoresOfTenthsAndBeyondWholeSums",
                       "||a|b|#/||0.1|0.2|/1|n|a|b|3/2|n|a||0.3/3|n||b|1e15/4|n|a|b|1e16"},
        TQuickRuleCase{"RowsOfEveryLength",
                       "||a|b|c|#/||1|2|3|/1|n|a|b|c|4/2|n|a/3|n/4|n|||c/5|n|a|b"},
        TQuickRuleCase{"PointsCellThatIsNoNumber",
                       "||a|#|b/||1||1/1|n|a|2|b/2|n|a|abc|b/3|n|a|1|b"},
        TQuickRuleCase{"ScoreBeyondTheRangeOfDoubles",
                       "||a|#|#/||1||/1|n|a|1|2/2|n|b|1e308|1e308/3|n|a|1|1"}),
    TCaseName());

struct THeldSumCase {
    const char* name;
    /// The addends as cells.
    std::vector<std::string> addends;

    friend void PrintTo(const THeldSumCase& c, std::ostream* os) { *os << c.name; }
};

class HeldSum : public testing::TestWithParam<THeldSumCase> {};

// A sum kept whole while it can must be, bit for bit, the sum held as a double at every step,
// and must stop where that one overflows.
TEST_P(HeldSum, IsTheSumHeldAsADoubleAfterEveryAddend) {
    double expected = 0;
    THeldSum sum;
    for (const std::string& addend : GetParam().addends) {
        const long double value = StrToFloat(addend, '.');
        bool overflows = false;
        try {
            expected = HeldAsDouble(expected + value);
        } catch (const EPelloranError&) {
            overflows = true;
        }
        if (overflows) {
            EXPECT_THROW(sum.Add(value), EPelloranError) << addend;
            return;
        }
        sum.Add(value);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(sum.Value()), std::bit_cast<std::uint64_t>(expected))
            << "after " << addend << ": " << sum.Value() << " instead of " << expected;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Marking, HeldSum,
    testing::Values(THeldSumCase{"WholeNumbers", {"3", "5", "-2", "0", "7"}},
                    THeldSumCase{"NegativeZeros", {"-0", "-0", "-0.0"}},
                    THeldSumCase{"BackToZero", {"-3", "3"}},
                    THeldSumCase{"FractionAfterWholeNumbers", {"1", "2", "0.1", "0.2", "3"}},
                    THeldSumCase{"TenthsThatDoNotAddUp",
                                 {"0.1", "0.1", "0.1", "0.1", "0.1", "0.1", "0.1", "0.1"}},
                    THeldSumCase{"AroundTheWholeLimit", {"2097152", "-2097152", "2097153", "1"}},
                    THeldSumCase{"LargestWholeAddends",
                                 {"2097152", "2097152", "2097152", "-2097152", "2097152"}},
                    THeldSumCase{"ExtendedPrecisionAddend",
                                 {"1", "0.30000000000000000001", "0.7", "2"}},
                    THeldSumCase{"HugeThenSmall", {"1e300", "1", "-1e300", "1"}},
                    THeldSumCase{"WholeAfterHeld", {"0.5", "1", "2", "-3.5"}},
                    THeldSumCase{"Overflow", {"1", "1e308", "1e308", "1"}}),
    TCaseName());

} // namespace
