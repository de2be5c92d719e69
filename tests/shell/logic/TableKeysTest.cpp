#include "shell/logic/TableKeys.h"

#include "TableRows.h"
#include "TestText.h"

#include <gtest/gtest.h>

namespace {

struct TKeyCase {
    const char* name;
    std::string answerKey;
    std::string typed;
    int column;
    int row;
    TReleasedKey key;
    TKeyUpAction action;
    friend void PrintTo(const TKeyCase& c, std::ostream* os) { *os << c.name; }
};

class KeyRelease : public testing::TestWithParam<TKeyCase> {};

TEST_P(KeyRelease, AdvancesOnceTheAnswerIsAsLongAsItsKey) {
    const TKeyCase& c = GetParam();
    TAnswerTable table;
    table.SetCell(c.column, TAnswerTable::AnswerKeyRow, c.answerKey);
    table.SetCell(c.column, c.row, c.typed);
    EXPECT_EQ(TableKeyUpAction(table, c.column, c.row, c.key), c.action)
        << "key " << Escaped(c.answerKey) << ", typed " << Escaped(c.typed);
}

constexpr auto Other = TReleasedKey::Other;
constexpr auto None = TKeyUpAction::None;
constexpr auto Advance = TKeyUpAction::Advance;
const std::string DoubleByteKey = "\x83\x41"; // one katakana character, two bytes

const TKeyCase KeyCases[] = {
    {"ShorterThanKeyStays", "abc", "ab", 3, 3, Other, None},
    {"AsLongAsKeyAdvances", "abc", "abx", 3, 3, Other, Advance},
    {"LongerThanKeyAdvances", "a", "ab", 3, 3, Other, Advance},
    {"PointsQuestionNeverAdvances", "#", "10", 3, 3, Other, None},
    {"EmptyKeyAdvancesAtOnce", "", "", 3, 3, Other, Advance},
    {"ArrowNeverAdvances", "a", "a", 3, 3, TReleasedKey::Arrow, None},
    {"F1ShowsHelpAnywhere", "a", "", 0, 0, TReleasedKey::F1, TKeyUpAction::ShowHelp},
    {"OneByteOfADoubleByteKeyStays", DoubleByteKey, "a", 3, 3, Other, None},
    {"TwoBytesForADoubleByteKeyAdvance", DoubleByteKey, "ab", 3, 3, Other, Advance},
    {"DoubleByteAnswerForASingleByteKey", "ab", DoubleByteKey, 3, 3, Other, Advance},
    {"NameColumnNeverAdvances", "", "Sato", 2, 3, Other, None},
    {"PointsRowNeverAdvances", "", "1", 3, 2, Other, None},
    {"AnswerKeyRowNeverAdvances", "", "", 3, 1, Other, None},
    {"RateRowAndBelowAdvance", "a", "a", 3, 110, Other, Advance},
    {"ScoreColumnAndBeyondAdvance", "", "", 54, 3, Other, Advance},
};
INSTANTIATE_TEST_SUITE_P(Cases, KeyRelease, testing::ValuesIn(KeyCases), TCaseName());

struct TLastCellCase {
    const char* name;
    std::string_view rows;
    int shownColumnCount;
    int shownRowCount;
    TGridCell last;
    friend void PrintTo(const TLastCellCase& c, std::ostream* os) { *os << c.name; }
};

class LastUsedCellOf : public testing::TestWithParam<TLastCellCase> {};

TEST_P(LastUsedCellOf, TheLastRowAndColumnHoldingText) {
    const TLastCellCase& c = GetParam();
    EXPECT_EQ(LastUsedCell(TableOfRows(c.rows), c.shownColumnCount, c.shownRowCount), c.last);
}

const TLastCellCase LastCellCases[] = {
    {"EmptyTable", "", 55, 103, {1, 1}},
    {"LongestRowAboveTheLastStudent", "||a|b|c/||1/1001|Ann|a", 55, 103, {5, 3}},
    {"EmptiedCellsAfterTheLastText", "||a/1001|Ann|a||||/|||||", 55, 103, {3, 2}},
    {"WithinTheShownGrid", "||a|b|c/||1/1001|Ann/1002|Bo", 4, 4, {3, 3}},
};
INSTANTIATE_TEST_SUITE_P(Cases, LastUsedCellOf, testing::ValuesIn(LastCellCases), TCaseName());

} // namespace
