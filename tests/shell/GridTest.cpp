#include "ShellTestSupport.h"
#include "shell/ShellText.h"

#include <QGuiApplication>
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
    TAnswerGrid& View() { return *window->Table; }

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

    void OpenSmallClass() {
        services.openAnswers.push_back(folders.CreateFile("quiz.csv", SmallClass));
        window->mmOpen->trigger();
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

TEST_F(Grid, MovingOnFromTheLastColumnIsTheGridsError) {
    View().SetCurrentCell(54, 3);
    QTest::keyClick(View().Editor(), Qt::Key_Shift);
    EXPECT_EQ(services.errors, QStringList{"pelloran: グリッドインデックス が範囲を超えています."});
    EXPECT_EQ(View().CurrentColumn(), 54);
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
    window->mmMark->trigger();
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
    window->mmOpen->trigger();
    QApplication::processEvents();
    // The last paint long enough ago that marking paints at its first look at the clock.
    QTest::qWait(40);
    // Comes in the painting that marking does after its first frame.
    QTimer::singleShot(0, View().viewport(), [&] { View().viewport()->update(); });
    window->mmMark->trigger();
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
    window->mmMark->trigger();
    View().horizontalScrollBar()->setValue(0);
    QApplication::processEvents();
    EXPECT_EQ(ShownColor(4, 3), QColor(Qt::white));
}

} // namespace
