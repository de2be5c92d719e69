// What the answer file keeps, and the commands that must not write where it does not or where
// the teacher's text stands: cells below a gap in the numbers or right of the key, Mark's
// refusals, and a failing Mark that changes nothing.

#include "TableRows.h"
#include "TestFiles.h"
#include "table/clipboard/CellBlock.h"
#include "table/file/UnsavedCells.h"
#include "table/history/TableHistory.h"
#include "table/marking/Marking.h"
#include "table/session/TableSession.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct TKeptCase {
    const char* name;
    /// Rows from the answer key down, as TableOfRows reads them.
    std::string rows;
    /// What FindUnsavedCells reports: rows and columns holding text the file drops.
    int firstRow, lastRow, firstColumn, lastColumn;
    /// The cell Mark refuses at; (0, 0) when it marks.
    TCellPlace refusedAt;
    friend void PrintTo(const TKeptCase& value, std::ostream* out) { *out << value.name; }
};

class KeptCells : public testing::TestWithParam<TKeptCase> {};

TEST_P(KeptCells, AreFoundAndMarkRefusesToWriteOverThem) {
    const TKeptCase& c = GetParam();
    TAnswerTable table = TableOfRows(c.rows);
    const TUnsavedCells unsaved = FindUnsavedCells(table);
    EXPECT_EQ(unsaved.firstRow, c.firstRow);
    EXPECT_EQ(unsaved.lastRow, c.lastRow);
    EXPECT_EQ(unsaved.firstColumn, c.firstColumn);
    EXPECT_EQ(unsaved.lastColumn, c.lastColumn);
    const TAnswerTable before = TableOfRows(c.rows);
    try {
        MarkTable(table, '.');
        EXPECT_EQ(c.refusedAt, TCellPlace{}) << "marked";
    } catch (const EMarkError& error) {
        EXPECT_EQ(error.Cell(), c.refusedAt) << error.what();
        EXPECT_EQ(GetTableText(table), GetTableText(before)) << "a refusal writes nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeptCells,
    testing::Values(
        TKeptCase{"EverythingKept", "||a/||1/1001|A|a/1002|B|b", 0, 0, 0, 0, {}},
        TKeptCase{"StudentBelowAnEmptyRow", "||a/||1/1001|A|a//1005|E|a", 5, 5, 0, 0, {1, 4}},
        TKeptCase{"NameWithoutNumberBelowTheClass", "||a/||1/1001|A|a/|B|b", 4, 4, 0, 0, {1, 4}},
        TKeptCase{"AnswersPastTheLastQuestion", "||a/||1/1001|A|a|x|y", 0, 0, 5, 5, {4, 3}},
        TKeptCase{"KeyPastAGapInTheKey", "||a||c/||1||1/1001|A|a||c", 0, 0, 5, 5, {5, 1}},
        TKeptCase{"EarlierResultsAreMarksOwn",
                  "||a|<1>|Mean/||1|<>|Deviation/1001|A|a|1/||100%",
                  0,
                  0,
                  0,
                  0,
                  {}},
        TKeptCase{"TextUnderTheRateRowIsNot",
                  "||a|<1>/||1|<>/1001|A|a|1/||100%/1002|B|a",
                  5,
                  5,
                  0,
                  0,
                  {1, 4}},
        TKeptCase{"RowThreeWithoutNumberIsMarkedNotSaved", "||a/||1/|A|a", 3, 3, 0, 0, {}}));

// The traps a teacher met, through a session and its history as the window and pelloran-cli
// drive them.
class KeptCellsSession : public testing::Test {
protected:
    KeptCellsSession() {
        session.Start();
        WriteTestFile(folder / "class.csv",
                      ",,a,b,\r\n,,1,1,\r\n1001,Ann,a,b,\r\n1002,Bob,a,c,\r\n");
        history.Open(folder / "class.csv");
    }

    TTemporaryFolder folder;
    TTableSession session;
    TTableHistory history{session};
};

TEST_F(KeptCellsSession, ABlockPastedBelowTheClassCountsAsAChangeAndIsNotSavedInSilence) {
    history.PasteBlock(1, 6, ReadClipboardBlock("1005\tEve\ta\r\n"));
    EXPECT_TRUE(session.IsChanged());
    EXPECT_THROW(session.Save(folder / "out.csv"), EUnsavedCellsError);
    EXPECT_FALSE(std::filesystem::exists(folder / "out.csv"));
    EXPECT_THROW(history.Mark('.'), EMarkError);
    history.Undo();
    EXPECT_FALSE(session.IsChanged());
}

TEST_F(KeptCellsSession, MarksRateRowNeverCountsAsAChange) {
    history.Mark('.');
    session.Save(folder / "marked.csv");
    EXPECT_FALSE(session.IsChanged()) << "the rate row below the class is Mark's own";
    history.Mark('.');
    EXPECT_FALSE(session.IsChanged());
}

TEST_F(KeptCellsSession, AKeyFileOpenedOverTheClassLeavesItItsFile) {
    WriteTestFile(folder / "key.csv", ",,c,d,\r\n,,2,2,\r\n");
    EXPECT_FALSE(history.Open(folder / "key.csv").namesTable);
    EXPECT_EQ(session.FileName(), folder / "class.csv");
    EXPECT_TRUE(session.IsChanged());
    EXPECT_EQ(session.Table().Cell(2, 4), "Bob");
    history.Undo();
    EXPECT_FALSE(session.IsChanged());
}

TEST_F(KeptCellsSession, AFileChangedByAnotherProgramIsNotOverwritten) {
    WriteTestFile(folder / "class.csv", ",,a,b,\r\n,,1,1,\r\n1001,Ann,a,a,\r\n");
    session.Table().SetCell(2, 3, "Anne");
    EXPECT_TRUE(session.FileChangedSince(folder / "class.csv"));
    EXPECT_FALSE(session.FileChangedSince(folder / "other.csv"));
    EXPECT_THROW(session.Save(folder / "class.csv"), EFileChangedError);
    EXPECT_EQ(ReadTestFile(folder / "class.csv"), ",,a,b,\r\n,,1,1,\r\n1001,Ann,a,a,\r\n");
    session.Save(folder / "other.csv");
    EXPECT_FALSE(session.FileChangedSince(folder / "other.csv")) << "as saved here";
}

} // namespace
