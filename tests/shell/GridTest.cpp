#include "ShellTestSupport.h"
#include "TestText.h"
#include "shell/grid/FixedHeader.h"
#include "shell/window/ShellText.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Grid : public testing::Test {
protected:
    void SetUp() override { window = ShowWindow(folders, services); }

    TAnswerTable& Table() { return window->AnswerTable(); }
    TAnswerGrid& View() { return *window->TestFace().Table; }

    /// Types into the editor of cell (column, row) as the keyboard does, key by key.
    void TypeInto(int column, int row, const QString& text) {
        View().SetCurrentCell(column, row);
        QLineEdit* editor = View().Editor();
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, text);
    }

    /// The colour on screen at the middle of cell (column, row).
    QColor ShownColor(int column, int row) {
        const QImage shown =
            QGuiApplication::primaryScreen()->grabWindow(window->winId()).toImage();
        const QRect cell = View().visualRect(View().Model().IndexOf(column, row));
        const QPoint point = View().viewport()->mapTo(window.get(), cell.topLeft() + QPoint(4, 3));
        return shown.pixelColor(point);
    }

    void OpenSmallClass() { Open(SmallClass); }

    /// Opens the answer file and lets the grid take its size, as the event loop does after
    /// a command.
    void Open(std::string_view answerFile) {
        services.openAnswers.push_back(folders.CreateFile("quiz.csv", answerFile));
        window->TestFace().mmOpen->trigger();
        QApplication::processEvents();
    }

    /// Whether cell (column, row) lies in the part of the grid the teacher sees.
    bool IsInView(int column, int row) {
        const QRect cell = View().visualRect(View().Model().IndexOf(column, row));
        return cell.isValid() && View().viewport()->rect().contains(cell.center());
    }

    /// The text a section of the header row or the label column shows.
    QString HeaderText(Qt::Orientation orientation, int section) {
        QHeaderView* header =
            orientation == Qt::Horizontal ? View().horizontalHeader() : View().verticalHeader();
        const auto* fixedHeader = dynamic_cast<const TFixedHeader*>(header);
        return fixedHeader == nullptr ? QStringLiteral("<no fixed header>")
                                      : FromCodePage(fixedHeader->SectionText(section));
    }

    TWindowFolders folders;
    TFakeServices services;
    std::unique_ptr<TMain> window;
};

TEST_F(Grid, TypingWritesTheCellAtOnceAndMovesOnAtTheKeysLength) {
    Table().SetCell(3, TAnswerTable::AnswerKeyRow, "abc");
    TypeInto(3, 3, QStringLiteral("ab"));
    EXPECT_EQ(Table().Cell(3, 3), "ab");
    EXPECT_EQ(View().CurrentColumn(), 3);
    QTest::keyClicks(View().Editor(), QStringLiteral("c"));
    EXPECT_EQ(Table().Cell(3, 3), "abc");
    EXPECT_EQ(View().CurrentColumn(), 4);
    EXPECT_EQ(View().CurrentRow(), 3);
}

TEST_F(Grid, ADoubleByteKeyCountsTwoBytes) {
    Table().SetCell(3, TAnswerTable::AnswerKeyRow, ToCodePage(QStringLiteral("ア")));
    TypeInto(3, 3, QStringLiteral("x"));
    EXPECT_EQ(View().CurrentColumn(), 3);
    QTest::keyClicks(View().Editor(), QStringLiteral("y"));
    EXPECT_EQ(View().CurrentColumn(), 4);
}

// A Mac keyboard layout or an input method delivers U+2212 and U+301C for what the code page
// holds.
TEST_F(Grid, TypedMinusSignAndWaveDashAreTheCodePagesCharacters) {
    TypeInto(2, 3, QString());
    for (const QString& key : {QStringLiteral("\u2212"), QStringLiteral("1"),
                               QStringLiteral("\u301C"), QStringLiteral("2")}) {
        QTest::sendKeyEvent(QTest::Click, View().Editor(), Qt::Key_unknown, key, Qt::NoModifier);
    }
    EXPECT_EQ(Table().Cell(2, 3), "\x81\x7c"
                                  "1\x81\x60"
                                  "2");
}

TEST_F(Grid, PointsQuestionsAndFixedRowsNeverMoveOn) {
    Table().SetCell(3, TAnswerTable::AnswerKeyRow, "#");
    TypeInto(3, 3, QStringLiteral("10"));
    EXPECT_EQ(View().CurrentColumn(), 3);
    TypeInto(5, 2, QStringLiteral("5"));
    EXPECT_EQ(View().CurrentColumn(), 5);
}

// The grid's range error came back at every key released there until a click moved away.
TEST_F(Grid, MovingOnFromTheLastColumnStaysWithoutAnError) {
    ASSERT_EQ(View().Model().ShownColumnCount(), 55);
    View().SetCurrentCell(54, 3);
    QTest::keyClick(View().Editor(), Qt::Key_Shift);
    EXPECT_TRUE(services.errors.isEmpty());
    EXPECT_EQ(View().CurrentColumn(), 54);
}

TEST_F(Grid, AnEmptyTestShows55ColumnsAnd103Rows) {
    EXPECT_EQ(View().Model().ShownColumnCount(), TAnswerTable::ShownColumns);
    EXPECT_EQ(View().Model().ShownRowCount(), TAnswerTable::ShownRows);
    EXPECT_EQ(HeaderText(Qt::Vertical, 101), "100");
}

TEST_F(Grid, AClassOf150IsShownAndEditedWithOneEmptyRowBelowIt) {
    Open(ClassText(150, 3));
    // Rows 3 to 152 hold the students; row 153 is left for one more.
    EXPECT_EQ(View().Model().ShownRowCount(), 154);
    EXPECT_EQ(HeaderText(Qt::Vertical, 139), "138") << "row 140";
    EXPECT_EQ(HeaderText(Qt::Vertical, 152), "151") << "row 153";

    TypeInto(1, 140, QStringLiteral("2138"));
    EXPECT_EQ(Table().Cell(1, 140), "2138");
    EXPECT_TRUE(IsInView(1, 140));
    EXPECT_GT(View().verticalScrollBar()->maximum(), 0);

    TypeInto(1, 153, QStringLiteral("1151"));
    EXPECT_EQ(Table().Cell(1, 153), "1151");
    QApplication::processEvents();
    EXPECT_EQ(View().Model().ShownRowCount(), 155) << "the new student has a row below too";
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(Grid, MarkShowsTheRateRowOfALargeClassWithItsLabel) {
    Table().SetMessage(TMessage::RateLabel, "Rate");
    Open(ClassText(150, 3));
    Table().SetCell(3, 140, "b");
    window->TestFace().mmMark->trigger();
    QApplication::processEvents();
    constexpr int RateRow = 153;
    EXPECT_EQ(Table().Cell(3, RateRow), "99%");
    EXPECT_EQ(View().Model().ShownRowCount(), RateRow + 2);
    View().scrollTo(View().Model().IndexOf(3, RateRow));
    EXPECT_TRUE(IsInView(3, RateRow));
    EXPECT_EQ(View().Model().data(View().Model().IndexOf(3, RateRow)).toString(), "99%");
    EXPECT_EQ(HeaderText(Qt::Vertical, RateRow - 1), "Rate");
    const int labelTop = View().verticalHeader()->sectionViewportPosition(RateRow - 1);
    EXPECT_GE(labelTop, 0);
    EXPECT_LT(labelTop, View().verticalHeader()->viewport()->height());
}

TEST_F(Grid, ColumnsPast54ShowA60QuestionTest) {
    Table().SetMessage(TMessage::ScoreTitle, "Score");
    Table().SetMessage(TMessage::MeanTitle, "Mean");
    Open(ClassText(2, 60));
    // Questions in columns 3 to 62; column 63 is left for one more.
    EXPECT_EQ(View().Model().ShownColumnCount(), 64);
    EXPECT_EQ(HeaderText(Qt::Horizontal, 61), "") << "no title was stored for column 62";

    TypeInto(62, 4, QStringLiteral("b"));
    EXPECT_EQ(Table().Cell(62, 4), "b");
    EXPECT_EQ(View().CurrentColumn(), 63) << "moved on past the last question";
    EXPECT_TRUE(IsInView(63, 4));

    window->TestFace().mmMark->trigger();
    QApplication::processEvents();
    EXPECT_EQ(View().Model().ShownColumnCount(), 66) << "score 63, statistics labels 64";
    EXPECT_EQ(HeaderText(Qt::Horizontal, 62), "Score");
    EXPECT_EQ(View().horizontalHeader()->sectionSize(63), TAnswerTable::StatisticsLabelWidth);
    EXPECT_EQ(Table().Cell(63, 4), "59");
}

TEST_F(Grid, MovingOnFromTheLastColumnOfAWideTest) {
    Open(ClassText(2, 60));
    View().SetCurrentCell(63, 3);
    QTest::keyClick(View().Editor(), Qt::Key_Shift);
    EXPECT_EQ(View().CurrentColumn(), 63);
    // A text typed into the last column makes the table wider, so there is a column to go to.
    QTest::keyClicks(View().Editor(), QStringLiteral("x"));
    EXPECT_EQ(Table().Cell(63, 3), "x");
    EXPECT_EQ(View().CurrentColumn(), 64);
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(Grid, NewShowsTheEmptyTestsRowsAgain) {
    Open(ClassText(150, 3));
    View().SetCurrentCell(2, 140);
    window->TestFace().mmNew->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(services.errors.isEmpty());
    EXPECT_EQ(View().Model().ShownRowCount(), TAnswerTable::ShownRows);
    // The current cell's row is gone: another cell is current, with its editor.
    EXPECT_LT(View().CurrentRow(), TAnswerTable::ShownRows);
    TypeInto(2, 5, QStringLiteral("Ito"));
    EXPECT_EQ(Table().Cell(2, 5), "Ito");
}

struct TShownRowsCase {
    const char* name;
    /// Rows from 3 on that get a student number, and the row that gets only a label (0: none).
    int students;
    int labelOnlyRow;
    int shownRows;

    friend void PrintTo(const TShownRowsCase& c, std::ostream* os) { *os << c.name; }
};

class ShownRows : public testing::TestWithParam<TShownRowsCase> {};

// One empty row follows the content, where the teacher can add a student; the labels the reset
// writes are no content, a label below them is.
TEST_P(ShownRows, AreTheContentAndOneEmptyRow) {
    const TShownRowsCase& c = GetParam();
    TAnswerTable table;
    table.Reset();
    for (int student = 1; student <= c.students; ++student) {
        table.SetCell(TAnswerTable::NumberColumn, student + 2, std::to_string(1000 + student));
    }
    if (c.labelOnlyRow > 0) {
        table.SetCell(0, c.labelOnlyRow, "Rate");
    }
    EXPECT_EQ(TAnswerTableModel::WantedRowCount(table), c.shownRows);
}

INSTANTIATE_TEST_SUITE_P(Grid, ShownRows,
                         testing::Values(TShownRowsCase{"EmptyTest", 0, 0, 103},
                                         TShownRowsCase{"NinetyNineStudents", 99, 0, 103},
                                         TShownRowsCase{"HundredStudents", 100, 0, 104},
                                         TShownRowsCase{"RateLabelLeftByNew", 0, 103, 105},
                                         TShownRowsCase{"HundredFiftyStudents", 150, 0, 154}),
                         TCaseName());

// Below the rows the reset labels, an empty label shows the student number the row would have.
TEST(GridRowLabels, ContinueBelowTheResetOnes) {
    TAnswerTable table;
    table.Reset();
    table.SetCell(0, 50, "");
    table.SetCell(0, 104, "Rate");
    EXPECT_EQ(TAnswerTableModel::RowLabel(table, 1), "");
    EXPECT_EQ(TAnswerTableModel::RowLabel(table, 3), "1");
    EXPECT_EQ(TAnswerTableModel::RowLabel(table, 50), "") << "emptied by marking";
    EXPECT_EQ(TAnswerTableModel::RowLabel(table, 102), "100");
    EXPECT_EQ(TAnswerTableModel::RowLabel(table, 103), "101");
    EXPECT_EQ(TAnswerTableModel::RowLabel(table, 104), "Rate");
    EXPECT_EQ(TAnswerTableModel::RowLabel(table, 100'002), "100000");
}

TEST_F(Grid, F1ShowsTheHelpFromAnyCell) {
    View().SetCurrentCell(1, 1);
    QTest::keyClick(View().Editor(), Qt::Key_F1);
    EXPECT_EQ(services.urls.size(), 1);
}

TEST_F(Grid, AWriteToTheCurrentCellRefreshesItsEditor) {
    View().SetCurrentCell(2, 3);
    Table().SetCell(2, 3, ToCodePage(QStringLiteral("佐藤")));
    EXPECT_EQ(View().Editor()->text(), "佐藤");
    Table().Reset();
    EXPECT_EQ(View().Editor()->text(), "");
}

TEST_F(Grid, ArrowsLeaveTheEditorAtItsEnds) {
    // The points row, where typing never moves on by itself.
    TypeInto(4, 2, QStringLiteral("ab"));
    QTest::keyClick(View().Editor(), Qt::Key_Left);
    EXPECT_EQ(View().CurrentColumn(), 4);
    QTest::keyClick(View().Editor(), Qt::Key_Right);
    QTest::keyClick(View().Editor(), Qt::Key_Right);
    EXPECT_EQ(View().CurrentColumn(), 5);
    QTest::keyClick(View().Editor(), Qt::Key_Down);
    EXPECT_EQ(View().CurrentRow(), 3);
}

TEST_F(Grid, MarkPaintsWrongAnswersSilverAndResultsYellowUntilTheNextRepaint) {
    OpenSmallClass();
    View().SetCurrentCell(1, 1);
    window->TestFace().mmMark->trigger();
    const QColor silver(0xC0, 0xC0, 0xC0);
    const QColor yellow(0xFF, 0xFF, 0x00);
    const QColor white(0xFF, 0xFF, 0xFF);
    EXPECT_EQ(ShownColor(4, 3), silver) << "Sato's wrong answer";
    EXPECT_EQ(ShownColor(3, 3), white) << "a right answer";
    EXPECT_EQ(ShownColor(6, 3), yellow) << "a score";
    EXPECT_EQ(ShownColor(3, 5), yellow) << "a rate";
    EXPECT_EQ(ShownColor(7, 1), white) << "the statistics label column is plain";

    View().viewport()->repaint();
    EXPECT_EQ(ShownColor(4, 3), white);
    EXPECT_EQ(ShownColor(6, 3), white);
}

// A Mark that changes the question count has every cell painted again; a second Mark does not.
TEST_F(Grid, UndoAndRedoOfMarkLeaveNoCellInTheMarkingsColours) {
    OpenSmallClass();
    View().SetCurrentCell(1, 1);
    window->TestFace().mmMark->trigger();
    Table().SetCell(5, 4, "x");
    window->TestFace().mmMark->trigger();
    ASSERT_EQ(ShownColor(4, 3), QColor(0xC0, 0xC0, 0xC0));
    for (QAction* step : {window->TestFace().mmUndo, window->TestFace().mmRedo}) {
        step->trigger();
        for (const auto& [column, row] : {std::pair{4, 3}, {5, 4}, {6, 3}, {3, 5}}) {
            EXPECT_EQ(ShownColor(column, row), QColor(Qt::white))
                << step->text().toStdString() << " (" << column << "," << row << ")";
        }
    }
}

// A class whose marking lasts beyond a frame is painted while it is marked, and the window
// system may ask for the whole view then: the answers painted in the first frames must keep
// their colour, as the later ones do.
TEST_F(Grid, EveryWrongAnswerInViewIsSilverAlsoWhenTheViewIsPaintedWhileMarking) {
    constexpr int Students = 30;
    constexpr int Questions = 20;
    std::string key = ",,";
    std::string points = ",,";
    for (int question = 0; question < Questions; ++question) {
        key += "a,";
        points += "1,";
    }
    std::string text = key + "\r\n" + points + "\r\n";
    for (int student = 1; student <= Students; ++student) {
        text += std::to_string(1000 + student) + ",S,b";
        for (int question = 1; question < Questions; ++question) {
            text += ",a";
        }
        text += "\r\n";
    }
    services.openAnswers.push_back(folders.CreateFile("class.csv", text));
    window->TestFace().mmOpen->trigger();
    QApplication::processEvents();
    // The last paint long enough ago that marking paints at its first look at the clock.
    QTest::qWait(40);
    // Comes in the painting that marking does after its first frame.
    QTimer::singleShot(0, View().viewport(), [&] { View().viewport()->update(); });
    window->TestFace().mmMark->trigger();
    const int lastRowInView = View().rowAt(View().viewport()->height() - 1);
    ASSERT_GT(lastRowInView, 10);
    for (int row = TAnswerTable::FirstStudentRow; row <= lastRowInView; ++row) {
        EXPECT_EQ(ShownColor(3, row), QColor(0xC0, 0xC0, 0xC0)) << "row " << row;
        EXPECT_EQ(ShownColor(4, row), QColor(Qt::white)) << "row " << row;
    }
}

TEST_F(Grid, MarkingOutOfViewRecordsNothing) {
    OpenSmallClass();
    View().SetCurrentCell(1, 1);
    View().horizontalScrollBar()->setValue(View().horizontalScrollBar()->maximum());
    window->TestFace().mmMark->trigger();
    View().horizontalScrollBar()->setValue(0);
    QApplication::processEvents();
    EXPECT_EQ(ShownColor(4, 3), QColor(Qt::white));
}

} // namespace
