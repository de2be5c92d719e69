#include "table/AnswerTable.h"

#include "FakeTableView.h"
#include "TestText.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {
using V = TFakeTableView;

std::vector<std::string> RowTexts(const TAnswerTable& table, int row, int columns) {
    std::vector<std::string> texts;
    for (int column = 0; column < columns; ++column) {
        texts.emplace_back(table.Cell(column, row));
    }
    return texts;
}

struct TRowEditCase {
    const char* name;
    std::vector<std::pair<int, std::string>> writes;
    std::vector<std::string> row;
    friend void PrintTo(const TRowEditCase& c, std::ostream* os) { *os << c.name; }
};

class CellStore : public testing::TestWithParam<TRowEditCase> {};

// Neighbour rows hold texts too, so that an edit that spills over shows.
TEST_P(CellStore, EditsOfOneRowKeepTheOtherCells) {
    TAnswerTable table;
    table.SetCell(1, 4, "above");
    table.SetCell(1, 6, "below");
    for (const auto& [column, text] : GetParam().writes) {
        table.SetCell(column, 5, text);
    }
    std::vector<std::string> expected = GetParam().row;
    expected.resize(expected.size() + 3);
    const std::vector<std::string> row = RowTexts(table, 5, static_cast<int>(expected.size()));
    EXPECT_EQ(row, expected) << "row after the writes: " << Escaped(row);
    EXPECT_EQ(table.Cell(1, 4), "above");
    EXPECT_EQ(table.Cell(1, 6), "below");
}

const TRowEditCase RowEditCases[] = {
    {"GapsReadEmpty", {{4, "d"}}, {"", "", "", "", "d"}},
    {"BlankIsNotEmpty", {{1, " "}}, {"", " "}},
    {"LongerInMiddle",
     {{1, "a"}, {2, "bb"}, {3, "ccc"}, {2, std::string(40, 'B')}},
     {"", "a", std::string(40, 'B'), "ccc"}},
    {"ShorterInMiddle", {{1, "aaa"}, {2, "bbbbbbbb"}, {3, "c"}, {2, "x"}}, {"", "aaa", "x", "c"}},
    {"SameLengthInMiddle", {{1, "ab"}, {2, "cd"}, {3, "ef"}, {2, "XY"}}, {"", "ab", "XY", "ef"}},
    {"EmptiedInMiddle", {{1, "a"}, {2, "b"}, {3, "c"}, {2, ""}}, {"", "a", "", "c"}},
    {"EmptiedLastThenFurther", {{1, "a"}, {3, "c"}, {3, ""}, {5, "e"}}, {"", "a", "", "", "", "e"}},
    {"EmptiedAllThenRewritten", {{1, "a"}, {2, "b"}, {2, ""}, {1, ""}, {2, "n"}}, {"", "", "n"}},
    {"BeyondShownColumns",
     {{54, "edge"}, {56, "out"}, {55, "x"}, {56, "o"}},
     [] {
         std::vector<std::string> row(57);
         row[54] = "edge", row[55] = "x", row[56] = "o";
         return row;
     }()},
};
INSTANTIATE_TEST_SUITE_P(AnswerTable, CellStore, testing::ValuesIn(RowEditCases), TCaseName());

TEST(AnswerTable, StoresCellsOutsideTheShownArea) {
    TAnswerTable table;
    EXPECT_EQ(table.Cell(-1, 0), "");
    table.SetCell(0, 103, "rate");
    table.SetCell(1000, 5000, "far");
    table.SetCell(1, 6000, "");
    EXPECT_EQ(table.Cell(0, 103), "rate");
    EXPECT_EQ(table.Cell(1000, 5000), "far");
    EXPECT_EQ(table.Cell(999, 5000), "");
    EXPECT_EQ(table.Cell(1000, 4999), "");
    table.SetCell(1000, 5000, "");
    EXPECT_EQ(table.Cell(1000, 5000), "");
}

// The reset writes default-constructed views, which point nowhere.
TEST(AnswerTable, EmptyViewIntoEmptyCellInsideRow) {
    TAnswerTable table;
    table.SetCell(1, 5, "a");
    table.SetCell(3, 5, "c");
    table.SetCell(2, 5, std::string_view());
    EXPECT_EQ(RowTexts(table, 5, 4), (std::vector<std::string>{"", "a", "", "c"}));
}

// Repainting a cell is done by writing its own text back; a text read from the table may
// also be copied into another cell, in the same row or in a row not stored yet.
TEST(AnswerTable, WritingTextsReadFromTheTable) {
    TAnswerTable table;
    TFakeTableView view(table);
    table.SetCell(1, 1, "key");
    table.SetCell(2, 1, "second");
    view.log.clear();
    table.SetCell(1, 1, table.Cell(1, 1));
    EXPECT_EQ(table.Cell(1, 1), "key");
    EXPECT_EQ(view.log, std::vector<std::string>{V::Cell(1, 1)}) << "a repaint is requested";

    table.SetCell(1, 1, table.Cell(2, 1));
    table.SetCell(3, 1, table.Cell(1, 1));
    EXPECT_EQ(RowTexts(table, 1, 4), (std::vector<std::string>{"", "second", "second", "second"}));
    table.SetCell(2, 40, table.Cell(2, 1));
    table.SetCell(2, 400, table.Cell(2, 40));
    EXPECT_EQ(std::string(table.Cell(2, 40)), "second") << "copied into a row not stored before";
    EXPECT_EQ(std::string(table.Cell(2, 400)), "second") << "copied into a row not stored before";
}

TEST(AnswerTableReset, StepsInOrder) {
    TAnswerTable table;
    table.SetEnabled(TCommand::mmMark, true);
    table.SetEnabled(TCommand::mmSortWithNumber, true);
    table.SetEnabled(TCommand::mmSortWithPoint, true);
    TFakeTableView view(table);
    table.Reset();

    std::vector<std::string> expected{V::Width(1, 60), V::Width(2, 80), V::Cell(1, 0),
                                      V::Cell(2, 0),   V::Cell(0, 1),   V::Cell(0, 2)};
    for (int column = 3; column <= 52; ++column) {
        expected.push_back(V::Cell(column, 0));
    }
    for (int row = 3; row <= 102; ++row) {
        expected.push_back(V::Cell(0, row));
    }
    for (int row = 1; row <= 103; ++row) {
        for (int column = 1; column <= 52; ++column) {
            expected.push_back(V::Cell(column, row));
        }
    }
    expected.push_back(V::Commands(true, true, false));
    expected.push_back(V::Commands(true, false, false));
    expected.push_back(V::Commands(false, false, false));
    ASSERT_EQ(view.log.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(view.log[i], expected[i]) << "call " << i << " of the reset";
    }
}

TEST(AnswerTableReset, TitlesAndLabelsFromTheMessages) {
    TAnswerTable table;
    table.SetCell(1, 0, "old title");
    table.Reset();
    EXPECT_EQ(RowTexts(table, 0, 4), (std::vector<std::string>{"", "", "", "1"}))
        << "no language file: the messages are empty";
    EXPECT_EQ(table.Cell(52, 0), "50");
    EXPECT_EQ(table.Cell(0, 1), "");
    EXPECT_EQ(table.Cell(0, 3), "1");
    EXPECT_EQ(table.Cell(0, 102), "100");

    const std::string question = "\x96\xe2";
    const std::string messages[] = {"No", "Name", "Key", "Pts", question, "6", "7", "8", "9", "10"};
    for (int number = 1; number <= 10; ++number) {
        table.SetMessage(number, messages[number - 1]);
    }
    table.Reset();
    EXPECT_EQ(RowTexts(table, 0, 4), (std::vector<std::string>{"", "No", "Name", question + "1"}));
    EXPECT_EQ(table.Cell(0, 1), "Key");
    EXPECT_EQ(table.Cell(0, 2), "Pts");
    EXPECT_EQ(table.Cell(52, 0), question + "50");
    EXPECT_EQ(table.Cell(53, 0), "") << "no title beyond the 50 question columns";
}

TEST(AnswerTableReset, EmptiesTheDataCellsAndLeavesTheRest) {
    TAnswerTable table;
    const std::vector<std::pair<int, int>> emptied{{1, 1}, {52, 1}, {2, 50}, {1, 103}, {52, 103}};
    const std::vector<std::pair<int, int>> kept{{53, 0},  {53, 1},  {54, 2}, {53, 103},
                                                {1, 104}, {5, 500}, {55, 5}, {0, 103}};
    for (const auto& [column, row] : emptied) {
        table.SetCell(column, row, "x");
    }
    for (const auto& [column, row] : kept) {
        table.SetCell(column, row, "kept");
    }
    table.SetColumnWidth(1, 99);
    table.SetColumnWidth(54, 70);
    table.SetQuestionCount(17);
    table.SetHighlightColor(clYellow);

    table.Reset();

    for (const auto& [column, row] : emptied) {
        EXPECT_EQ(table.Cell(column, row), "") << "cell (" << column << ", " << row << ")";
    }
    for (const auto& [column, row] : kept) {
        EXPECT_EQ(table.Cell(column, row), "kept") << "cell (" << column << ", " << row << ")";
    }
    EXPECT_EQ(table.ColumnWidth(1), 60);
    EXPECT_EQ(table.ColumnWidth(54), 70);
    EXPECT_EQ(table.ColumnWidth(3), TAnswerTable::DefaultColumnWidth);
    EXPECT_EQ(table.QuestionCount(), 17);
    EXPECT_EQ(table.HighlightColor(), clYellow);
}

TEST(AnswerTableMoveRows, ReordersRowsFromTheFirstColumnOn) {
    TAnswerTable table;
    const std::vector<std::vector<std::string>> rows{
        {"1", "3", "Cy", "c", "c2", "c3", "c4"}, {"2", "1", "Al"}, {"3", "2", "Bo", "b", "", "b3"}};
    for (int row = 0; row < 3; ++row) {
        const auto& texts = rows[static_cast<std::size_t>(row)];
        for (std::size_t column = 0; column < texts.size(); ++column) {
            table.SetCell(static_cast<int>(column), row + 3, texts[column]);
        }
    }
    TFakeTableView view(table);
    table.MoveRows({4, 5, 3}, 3, 1);

    const std::vector<std::vector<std::string>> expected{
        {"1", "1", "Al", "", "", "", "", ""},
        {"2", "2", "Bo", "b", "", "b3", "", ""},
        {"3", "3", "Cy", "c", "c2", "c3", "c4", ""}};
    for (int row = 3; row <= 5; ++row) {
        EXPECT_EQ(RowTexts(table, row, 8), expected[static_cast<std::size_t>(row - 3)]);
        for (int column = 1; column <= 6; ++column) {
            EXPECT_NE(std::find(view.log.begin(), view.log.end(), V::Cell(column, row)),
                      view.log.end())
                << "no repaint of changed cell (" << column << ", " << row << ")";
        }
    }
}

TEST(AnswerTableMoveRows, RowsBeyondTheStoredOnes) {
    TAnswerTable table;
    table.SetCell(0, 3, "label");
    table.SetCell(1, 3, "a");
    table.SetCell(2, 3, "A");
    table.MoveRows({200, 3}, 3, 1);
    EXPECT_EQ(RowTexts(table, 3, 3), (std::vector<std::string>{"label", "", ""}));
    EXPECT_EQ(RowTexts(table, 4, 3), (std::vector<std::string>{"", "a", "A"}));
    table.MoveRows({4}, 150, 2);
    EXPECT_EQ(RowTexts(table, 150, 3), (std::vector<std::string>{"", "", "A"}));
    EXPECT_EQ(RowTexts(table, 4, 3), (std::vector<std::string>{"", "a", ""}));
}

} // namespace
