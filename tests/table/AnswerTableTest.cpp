#include "table/store/AnswerTable.h"

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

TRowCells RowOf(const std::vector<std::string>& texts) {
    TRowCells cells;
    for (const std::string& text : texts) {
        cells.Append(text);
    }
    return cells;
}

struct TNoticeCase {
    const char* name;
    void (*write)(TAnswerTable& table);
    std::vector<std::string> log;
    /// A cell whose repaint the write must have requested.
    std::pair<int, int> repainted;
    friend void PrintTo(const TNoticeCase& c, std::ostream* os) { *os << c.name; }
};

class WriteNotices : public testing::TestWithParam<TNoticeCase> {};

// A window model needs the store's new row count before it repaints; rows cost one notice
// however wide they are.
TEST_P(WriteNotices, TellTheRowCountThenRequestTheRepaint) {
    TAnswerTable table;
    table.WriteRowCells(3, RowOf({"1", "1001", "Ann", "a"}));
    table.WriteRowCells(4, RowOf({"2", "1002", "Ben", "b"}));
    TFakeTableView view(table);
    GetParam().write(table);
    EXPECT_EQ(view.log, GetParam().log) << Escaped(view.log);
    table.SetHighlightColor(clSilver);
    view.ProcessMessages();
    EXPECT_EQ(view.painted[GetParam().repainted], clSilver);
}

const TNoticeCase NoticeCases[] = {
    {"CellOfAStoredRow", [](TAnswerTable& t) { t.SetCell(2, 3, "x"); }, {V::Cell(2, 3)}, {2, 3}},
    {"CellGrowsTheStore",
     [](TAnswerTable& t) { t.SetCell(1, 7, "x"); },
     {V::RowCount(8), V::Cell(1, 7)},
     {1, 7}},
    {"EmptyCellBelowTheStore",
     [](TAnswerTable& t) { t.SetCell(1, 9, ""); },
     {V::Cell(1, 9)},
     {1, 9}},
    {"RowOfTheStore",
     [](TAnswerTable& t) {
         t.WriteRowCells(4, RowOf({"2", "9"}));
     },
     {V::Rows(4, 4)},
     {54, 4}},
    {"RowGrowsTheStore",
     [](TAnswerTable& t) {
         t.WriteRowCells(6, RowOf({"", "7"}));
     },
     {V::RowCount(7), V::Rows(6, 6)},
     {3, 6}},
    {"RowsMovedInPlace",
     [](TAnswerTable& t) {
         t.MoveRows({4, 3}, 3, 1);
     },
     {V::Rows(3, 4)},
     {54, 3}},
    {"RowsMovedBelowTheStore",
     [](TAnswerTable& t) {
         t.MoveRows({3, 4}, 10, 1);
     },
     {V::RowCount(12), V::Rows(10, 11)},
     {2, 11}},
    {"EmptyRowsMovedIn",
     [](TAnswerTable& t) {
         t.MoveRows({50, 60}, 3, 1);
     },
     {V::Rows(3, 4)},
     {1, 4}},
};
INSTANTIATE_TEST_SUITE_P(AnswerTable, WriteNotices, testing::ValuesIn(NoticeCases), TCaseName());

// The grid shows as many columns as some row holds; every way of writing a row counts, and
// the count never shrinks, so that it is known without a walk through the rows.
TEST(AnswerTable, StoredColumnCountIsTheWidestRowWrittenSinceTheReset) {
    TAnswerTable table;
    EXPECT_EQ(table.StoredColumnCount(), 0);
    table.SetCell(3, 2, "");
    EXPECT_EQ(table.StoredColumnCount(), 0) << "an empty text stores nothing";
    table.Reset();
    EXPECT_EQ(table.StoredColumnCount(), 53) << "the titles up to column 52";
    table.SetCell(60, 200, "x");
    EXPECT_EQ(table.StoredColumnCount(), 61);
    table.SetCell(60, 200, "");
    EXPECT_EQ(table.StoredColumnCount(), 61);
    std::vector<std::string> wide(70, "a");
    table.WriteRowCells(5, RowOf(wide));
    EXPECT_EQ(table.StoredColumnCount(), 70);
    table.SetCell(75, 6, "y");
    table.MoveRows({6}, 300, 1);
    EXPECT_EQ(table.Cell(75, 300), "y");
    EXPECT_EQ(table.StoredColumnCount(), 76);
    table.Reset();
    EXPECT_EQ(table.StoredColumnCount(), 53) << "nothing of the wide class stays";
    EXPECT_EQ(table.Cell(60, 5), "");
}

// Undo and redo take the table back to a size it had: the empty rows beyond it go and the view
// is told, rows up to it come back; a row beyond it that holds a cell stays with its columns.
TEST(AnswerTable, RestoredShapeDropsOnlyEmptyRows) {
    TAnswerTable table;
    table.Reset();
    const TStoreShape reset = table.StoredShape();
    TFakeTableView view(table);
    table.SetCell(60, 200, "x");
    table.SetCell(60, 200, "");
    view.log.clear();
    table.RestoreStoredShape(reset);
    EXPECT_EQ(table.StoredShape(), reset);
    EXPECT_EQ(view.log, std::vector<std::string>{V::RowCount(reset.rowCount)});
    table.SetCell(70, 150, "kept");
    table.RestoreStoredShape(reset);
    EXPECT_EQ(table.StoredShape(), (TStoreShape{151, 71}));
    EXPECT_EQ(table.Cell(70, 150), "kept");
    table.RestoreStoredShape({300, 80});
    EXPECT_EQ(table.StoredShape(), (TStoreShape{300, 80}));
}

TEST(AnswerTableReset, StepsInOrder) {
    TAnswerTable table;
    table.SetEnabled(TCommand::mmMark, true);
    table.SetEnabled(TCommand::mmSortWithNumber, true);
    table.SetEnabled(TCommand::mmSortWithPoint, true);
    TFakeTableView view(table);
    table.Reset();

    // The titles and labels grow the store to the shown rows before the one repaint notice.
    const std::vector<std::string> expected{V::Width(1, 60),
                                            V::Width(2, 80),
                                            V::RowCount(TAnswerTable::ShownRows),
                                            "reset",
                                            V::Commands(true, true, false),
                                            V::Commands(true, false, false),
                                            V::Commands(false, false, false)};
    EXPECT_EQ(view.log, expected) << Escaped(view.log);

    table.SetHighlightColor(clSilver);
    view.ProcessMessages();
    EXPECT_EQ(view.painted.size(),
              static_cast<std::size_t>(TAnswerTable::ShownColumns * TAnswerTable::ShownRows));
    EXPECT_EQ(view.painted.at({54, 102}), clSilver) << "the whole shown area is repainted";
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
        table.SetMessage(static_cast<TMessage>(number), messages[number - 1]);
    }
    table.Reset();
    EXPECT_EQ(RowTexts(table, 0, 4), (std::vector<std::string>{"", "No", "Name", question + "1"}));
    EXPECT_EQ(table.Cell(0, 1), "Key");
    EXPECT_EQ(table.Cell(0, 2), "Pts");
    EXPECT_EQ(table.Cell(52, 0), question + "50");
    EXPECT_EQ(table.Cell(53, 0), "") << "no title beyond the 50 question columns";
}

// Nothing of the previous class may stay: its scores and statistics beside the questions,
// their titles, cells right of column 54 and the rate row's label below the shown rows.
TEST(AnswerTableReset, EmptiesEveryCellButTheTitlesAndLabels) {
    TAnswerTable table;
    const std::vector<std::pair<int, int>> emptied{
        {1, 1},     {52, 1},  {2, 50},   {1, 103},  {52, 103}, {1, 104},  {5, 500},
        {52, 9000}, {53, 0},  {60, 0},   {53, 1},   {54, 2},   {53, 103}, {55, 5},
        {0, 103},   {0, 500}, {53, 500}, {54, 600}, {56, 700}, {60, 8000}};
    for (const auto& [column, row] : emptied) {
        table.SetCell(column, row, "x");
    }
    table.SetColumnWidth(1, 99);
    table.SetColumnWidth(54, 70);
    table.SetQuestionCount(17);
    table.SetHighlightColor(clYellow);

    table.Reset();

    for (const auto& [column, row] : emptied) {
        EXPECT_EQ(table.Cell(column, row), "") << "cell (" << column << ", " << row << ")";
    }
    EXPECT_EQ(table.Cell(52, 0), "50");
    EXPECT_EQ(table.Cell(0, 102), "100");
    EXPECT_EQ(table.StoredRowCount(), TAnswerTable::ShownRows);
    EXPECT_EQ(table.ColumnWidth(1), 60);
    EXPECT_EQ(table.ColumnWidth(54), 70) << "the statistics label column keeps its width";
    EXPECT_EQ(table.ColumnWidth(3), TAnswerTable::DefaultColumnWidth);
    EXPECT_EQ(table.QuestionCount(), 17);
    EXPECT_EQ(table.HighlightColor(), clYellow);
}

/// `students` rows from row 3 on, each with a number, a name and an answer, as a loaded
/// class of that size holds them; a marked class also holds its scores and its rate row.
void FillClass(TAnswerTable& table, int students, bool marked) {
    for (int student = 1; student <= students; ++student) {
        const int row = student + 2;
        const std::string number = std::to_string(1000 + student);
        const std::string label(table.Cell(0, row));
        table.WriteRowCells(row, RowOf({label, number, "Name" + number, "a"}));
        if (marked) {
            table.SetCell(53, row, "10");
        }
    }
    if (marked) {
        table.SetCell(0, students + 3, "Rate");
        table.SetCell(3, students + 3, "100");
    }
}

struct TLargerClassCase {
    const char* name;
    bool marked;
    std::vector<std::string> log;
    int storedRows;
    friend void PrintTo(const TLargerClassCase& c, std::ostream* os) { *os << c.name; }
};

class ResetOfALargerClass : public testing::TestWithParam<TLargerClassCase> {};

// A class of 200 students left below the shown rows would be saved again under the next one.
TEST_P(ResetOfALargerClass, EmptiesEveryStudentRow) {
    const TLargerClassCase& c = GetParam();
    TAnswerTable table;
    table.Reset();
    FillClass(table, 200, c.marked);
    TFakeTableView view(table);
    table.Reset();

    EXPECT_EQ(view.log, c.log) << Escaped(view.log);
    EXPECT_EQ(table.StoredRowCount(), c.storedRows);
    for (const int row : {3, 102, 103, 150, 202, 203}) {
        for (const int column : {1, 2, 3, 53}) {
            EXPECT_EQ(table.Cell(column, row), "") << "cell (" << column << ", " << row << ")";
        }
    }
    EXPECT_EQ(table.Cell(0, 203), "") << "the rate row's label";
    EXPECT_EQ(table.Cell(0, 102), "100");
}

INSTANTIATE_TEST_SUITE_P(
    AnswerTableReset, ResetOfALargerClass,
    testing::Values(
        TLargerClassCase{"RowsLeftEmptyAreDropped",
                         false,
                         {V::Width(1, 60), V::Width(2, 80), V::RowCount(103), "reset",
                          V::Commands(false, false, false), V::Commands(false, false, false),
                          V::Commands(false, false, false)},
                         103},
        TLargerClassCase{"RowsOfAMarkedClassAreDroppedWithItsResults",
                         true,
                         {V::Width(1, 60), V::Width(2, 80), V::RowCount(103), "reset",
                          V::Commands(false, false, false), V::Commands(false, false, false),
                          V::Commands(false, false, false)},
                         103}),
    TCaseName());

TEST(AnswerTableReset, HundredThousandRowsCostOneNoticeEach) {
    TAnswerTable table;
    table.Reset();
    FillClass(table, 100'000, false);
    TFakeTableView view(table);
    table.Reset();
    EXPECT_EQ(view.log.size(), 7U) << Escaped(view.log);
    EXPECT_EQ(table.StoredRowCount(), TAnswerTable::ShownRows);
    EXPECT_EQ(table.Cell(1, 100'002), "");
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
    EXPECT_EQ(view.log, std::vector<std::string>{V::Rows(3, 5)});
    table.SetHighlightColor(clYellow);
    view.ProcessMessages();

    const std::vector<std::vector<std::string>> expected{
        {"1", "1", "Al", "", "", "", "", ""},
        {"2", "2", "Bo", "b", "", "b3", "", ""},
        {"3", "3", "Cy", "c", "c2", "c3", "c4", ""}};
    for (int row = 3; row <= 5; ++row) {
        EXPECT_EQ(RowTexts(table, row, 8), expected[static_cast<std::size_t>(row - 3)]);
        for (int column = 1; column <= 6; ++column) {
            EXPECT_EQ(view.painted[std::make_pair(column, row)], clYellow)
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
