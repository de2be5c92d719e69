#include "shell/logic/GridPaintLog.h"

#include "TestText.h"

#include <gtest/gtest.h>
#include <ostream>
#include <vector>

void PrintTo(const TGridCell& cell, std::ostream* os) {
    *os << "(" << cell.column << ", " << cell.row << ")";
}

namespace {

using TCells = std::vector<TGridCell>;

/// The grid with the data cells of columns 1 to 8 and rows 1 to 20 in view, 55 columns and 103
/// rows shown, painted once as the first showing does.
class GridPaintLog : public testing::Test {
protected:
    GridPaintLog() {
        table.SetQuestionCount(3);
        table.SetHighlightColor(clWhite);
        Paint();
    }

    /// Paints the cells the log asks for as the grid does: each in its look and with its text
    /// of this moment.
    TCells Paint() {
        const TCells cells = log.TakeCellsToPaint();
        for (const TGridCell& cell : cells) {
            log.NoteShown(cell.column, cell.row, log.LookOf(cell.column, cell.row),
                          table.Cell(cell.column, cell.row));
        }
        return cells;
    }

    /// A write as the table makes it: the text, then the notice.
    void Write(int column, int row, std::string_view text) {
        table.SetCell(column, row, text);
        log.NoteWritten(column, row);
    }

    /// Marks a cell as marking does: the colour set, the cell written back, messages
    /// processed, the colour set back to white.
    void PaintIn(TColor colour, int column, int row) {
        table.SetHighlightColor(colour);
        log.NoteWritten(column, row);
        log.RecordColours();
        table.SetHighlightColor(clWhite);
    }

    TGridExtent extent{{.firstColumn = 1, .firstRow = 1, .lastColumn = 8, .lastRow = 20}, 103, 55};
    int measurements = 0;
    TAnswerTable table;
    TGridPaintLog log{table, [this] {
                          ++measurements;
                          return extent;
                      }};
};

TEST_F(GridPaintLog, PaintsTheWrittenCellsRowByRowEachOnce) {
    Write(4, 3, "x");
    Write(3, 3, "y");
    Write(4, 3, "z");
    Write(5, 2, "1");
    EXPECT_EQ(Paint(), (TCells{{5, 2}, {3, 3}, {4, 3}}));
    EXPECT_EQ(Paint(), TCells());
}

TEST_F(GridPaintLog, ACellThatWouldLookAsItDoesIsNotPaintedAgain) {
    Write(4, 3, "x");
    Paint();
    Write(4, 3, "x");
    EXPECT_EQ(Paint(), TCells());
    Write(4, 3, "y");
    EXPECT_EQ(Paint(), (TCells{{4, 3}}));
}

TEST_F(GridPaintLog, ACellTakesTheColourOfTheMomentMessagesAreProcessed) {
    log.NoteWritten(4, 3);
    table.SetHighlightColor(clSilver);
    log.RecordColours();
    log.NoteWritten(5, 3);
    table.SetHighlightColor(clYellow);
    EXPECT_EQ(log.FillOf(4, 3), clSilver) << "written before, processed in silver";
    EXPECT_EQ(log.FillOf(5, 3), clYellow) << "not processed yet: the colour of the painting";
    table.SetHighlightColor(clWhite);
    EXPECT_EQ(log.FillOf(4, 3), clSilver);
    EXPECT_EQ(log.FillOf(6, 3), clWhite) << "never written";
}

// The window system may ask for the whole view in the middle of a long command: the cells
// painted before must keep their colour until the command has ended.
TEST_F(GridPaintLog, AColourLastsThroughEveryPaintingUntilForgotten) {
    PaintIn(clSilver, 4, 3);
    PaintIn(clYellow, 6, 3);
    EXPECT_EQ(Paint(), (TCells{{4, 3}, {6, 3}}));
    EXPECT_EQ(log.LookOf(4, 3), clSilver);
    EXPECT_EQ(log.LookOf(6, 3), clYellow);
    log.NoteAllWritten();
    EXPECT_EQ(Paint(), TCells()) << "painted in their colours already";
    EXPECT_EQ(log.FillOf(4, 3), clSilver);

    log.ForgetColours();
    EXPECT_EQ(log.FillOf(4, 3), clWhite);
    log.NoteAllWritten();
    EXPECT_EQ(Paint(), (TCells{{4, 3}, {6, 3}})) << "white again at the next painting";
}

TEST_F(GridPaintLog, AResetLooksAtEveryCellInViewAndEveryHeader) {
    // Changed behind the log's back: only the reset's notice tells of them.
    table.SetCell(3, 3, "a");
    table.SetCell(8, 20, "b");
    table.SetCell(9, 20, "out of view");
    log.NoteAllWritten();
    EXPECT_EQ(Paint(), (TCells{{3, 3}, {8, 20}}));
    EXPECT_TRUE(log.TakeHeaderWrites().all);
    EXPECT_FALSE(log.TakeHeaderWrites().all) << "taken once";
}

TEST_F(GridPaintLog, AResetProcessedInAColourGivesItToEveryCellInView) {
    log.NoteAllWritten();
    table.SetHighlightColor(clSilver);
    log.RecordColours();
    table.SetHighlightColor(clWhite);
    EXPECT_EQ(log.FillOf(1, 1), clSilver);
    EXPECT_EQ(log.FillOf(8, 20), clSilver);
    EXPECT_EQ(log.FillOf(9, 20), clWhite);
    EXPECT_EQ(Paint().size(), 5U * 20U) << "the data columns 3 to 8 but 7, the statistics labels";
}

TEST_F(GridPaintLog, RowsWrittenAreLookedAtInEveryColumnInView) {
    table.SetCell(2, 5, "Sato");
    table.SetCell(8, 6, "x");
    table.SetCell(3, 7, "not written");
    log.NoteRowsWritten(5, 6);
    EXPECT_EQ(Paint(), (TCells{{2, 5}, {8, 6}}));
    THeaderWrites headers = log.TakeHeaderWrites();
    EXPECT_FALSE(headers.all);
    EXPECT_EQ(headers.rows, (std::vector<int>{5, 6}));

    log.NoteRowsWritten(0, 2);
    EXPECT_TRUE(log.TakeHeaderWrites().all) << "the header row is among them";
}

TEST_F(GridPaintLog, HeaderCellsInViewAreListedByColumnAndRow) {
    log.NoteWritten(5, 0);
    log.NoteWritten(0, 7);
    log.NoteWritten(9, 0);
    log.NoteWritten(0, 21);
    THeaderWrites headers = log.TakeHeaderWrites();
    EXPECT_FALSE(headers.all);
    EXPECT_EQ(headers.columns, std::vector<int>{5});
    EXPECT_EQ(headers.rows, std::vector<int>{7});
    EXPECT_EQ(Paint(), TCells()) << "header cells are no data cells";
}

TEST_F(GridPaintLog, CellsOutOfViewAreNeitherPaintedNorColoured) {
    Write(9, 3, "right of the view");
    Write(3, 21, "below the view");
    Write(3, 5000, "far below");
    table.SetHighlightColor(clSilver);
    log.RecordColours();
    table.SetHighlightColor(clWhite);
    EXPECT_EQ(log.FillOf(3, 21), clWhite);
    EXPECT_EQ(Paint(), TCells());
    EXPECT_EQ(measurements, 1) << "the grid is measured once until it changes";
}

TEST_F(GridPaintLog, AChangedQuestionCountRepaintsTheColumnsItMakesPlainOrData) {
    table.SetQuestionCount(2);
    const TCells painted = Paint();
    // The statistics labels move from column 7 to column 6: both change their look.
    EXPECT_EQ(painted.size(), 2U * 20U);
    for (const TGridCell& cell : painted) {
        EXPECT_TRUE(cell.column == 6 || cell.column == 7) << "column " << cell.column;
    }
    EXPECT_EQ(log.LookOf(6, 5), TGridPaintLog::PlainLook);
    EXPECT_EQ(log.LookOf(7, 5), clWhite);
}

TEST_F(GridPaintLog, AFloodOfWritesLosesNone) {
    for (int round = 0; round < 40; ++round) {
        for (int row = 1; row <= 20; ++row) {
            for (int column = 1; column <= 8; ++column) {
                Write(column, row, std::to_string(round));
            }
        }
    }
    EXPECT_EQ(Paint().size(), 8U * 20U);
}

TEST_F(GridPaintLog, AScrolledGridIsMeasuredAgain) {
    log.ForgetExtent();
    extent.visible = {.firstColumn = 1, .firstRow = 41, .lastColumn = 8, .lastRow = 60};
    Write(3, 50, "x");
    Write(3, 10, "y");
    EXPECT_EQ(measurements, 2);
    EXPECT_EQ(Paint(), (TCells{{3, 50}}));
}

struct TQuietCase {
    const char* name;
    int column;
    int row;
    bool quiet;
    friend void PrintTo(const TQuietCase& c, std::ostream* os) { *os << c.name; }
};

class QuietWrites : public testing::TestWithParam<TQuietCase> {};

// Marking writes every answer back: a write that can neither be seen nor change how many rows
// and columns are shown needs nothing of the grid.
TEST_P(QuietWrites, AreBelowTheViewAndBeforeTheLastRowsAndColumn) {
    const TQuietCase& c = GetParam();
    TAnswerTable table;
    TGridPaintLog log(table, [] {
        return TGridExtent{
            {.firstColumn = 1, .firstRow = 1, .lastColumn = 8, .lastRow = 20}, 103, 55};
    });
    EXPECT_FALSE(log.IsQuiet(c.column, c.row)) << "not measured yet";
    log.NoteWritten(1, 1);
    EXPECT_EQ(log.IsQuiet(c.column, c.row), c.quiet);
    log.ForgetExtent();
    EXPECT_FALSE(log.IsQuiet(c.column, c.row)) << "scrolled";
}

INSTANTIATE_TEST_SUITE_P(GridPaintLog, QuietWrites,
                         testing::Values(TQuietCase{"InView", 3, 20, false},
                                         TQuietCase{"JustBelowTheView", 3, 21, true},
                                         TQuietCase{"LabelBelowTheView", 0, 50, true},
                                         TQuietCase{"LastRowButTwo", 3, 100, true},
                                         TQuietCase{"LastRowButOne", 3, 101, false},
                                         TQuietCase{"LastRow", 3, 102, false},
                                         TQuietCase{"LastColumnButOne", 53, 30, true},
                                         TQuietCase{"LastColumn", 54, 30, false},
                                         TQuietCase{"BeyondTheTable", 3, 103, false}),
                         TCaseName());

} // namespace
