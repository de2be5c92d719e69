#include "ShellTestSupport.h"
#include "shell/window/ShellText.h"

#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

class WindowUse : public TWindowInUse {};

TEST_F(WindowUse, TabDoesNothingAndEveryTypedCharacterReachesTheCell) {
    Enter(2, 3);
    Type(QStringLiteral("Sa"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("to"));
    Press(Qt::Key_Backtab);
    Type(QStringLiteral("u"));
    EXPECT_EQ(Table().Cell(2, 3), "Satou");
    EXPECT_EQ(View().CurrentColumn(), 2);
    EXPECT_EQ(QApplication::focusWidget(), View().Editor());

    // In a question column Tab neither moves on by itself nor stops the typing from moving on.
    Table().SetCell(3, TAnswerTable::AnswerKeyRow, "abc");
    Enter(3, 3);
    Type(QStringLiteral("ab"));
    Press(Qt::Key_Tab);
    Type(QStringLiteral("c"));
    EXPECT_EQ(Table().Cell(3, 3), "abc");
    EXPECT_EQ(View().CurrentColumn(), 4) << "the third letter moved on";
    Press(Qt::Key_Tab);
    EXPECT_EQ(View().CurrentColumn(), 4) << "an empty answer key moves on at any key but Tab";
    Type(QStringLiteral("x"));
    EXPECT_EQ(Table().Cell(4, 3), "x");
}

TEST_F(WindowUse, ShiftAndTheArrowsSelectARangeThatShows) {
    const QColor unselectedData = ShownColor(3, 8);
    const QColor unselectedPlain = ShownColor(1, 8);
    Enter(3, 3);
    Press(Qt::Key_Down, Qt::ShiftModifier);
    Press(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(SelectedCount(), 4);
    EXPECT_EQ(View().CurrentColumn(), 4) << "releasing Shift keeps the range and the cell";
    EXPECT_EQ(View().CurrentRow(), 4);
    EXPECT_NE(ShownColor(3, 3), unselectedData);
    EXPECT_NE(ShownColor(3, 4), unselectedData);
    EXPECT_NE(ShownColor(4, 3), unselectedData);

    Enter(1, 3);
    EXPECT_EQ(SelectedCount(), 1) << "moving without Shift drops the range";
    Press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(SelectedCount(), 2);
    EXPECT_NE(ShownColor(1, 3), unselectedPlain);
}

TEST_F(WindowUse, ACapitalLetterMovesOnWithoutSelectingARange) {
    Table().SetCell(3, TAnswerTable::AnswerKeyRow, "A");
    Table().SetCell(4, TAnswerTable::AnswerKeyRow, "B");
    Enter(3, 3);
    QTest::keyClick(QApplication::focusWidget(), 'A', Qt::ShiftModifier);
    EXPECT_EQ(Table().Cell(3, 3), "A");
    EXPECT_EQ(View().CurrentColumn(), 4);
    EXPECT_EQ(SelectedCount(), 1);
}

TEST_F(WindowUse, AShiftClickAndADragSelectARangeThatShows) {
    const QColor unselected = ShownColor(8, 8);
    Enter(3, 3);
    QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::ShiftModifier, CentreOf(5, 5));
    EXPECT_EQ(SelectedCount(), 9);
    EXPECT_EQ(View().CurrentColumn(), 5);
    EXPECT_NE(ShownColor(3, 3), unselected);
    EXPECT_NE(ShownColor(4, 5), unselected);

    QTest::mousePress(View().viewport(), Qt::LeftButton, Qt::NoModifier, CentreOf(2, 6));
    QTest::mouseMove(View().viewport(), CentreOf(3, 7));
    QTest::mouseRelease(View().viewport(), Qt::LeftButton, Qt::NoModifier, CentreOf(3, 7));
    EXPECT_EQ(SelectedCount(), 4);
    EXPECT_NE(ShownColor(2, 6), ShownColor(2, 8));
    EXPECT_NE(ShownColor(3, 6), unselected);
}

TEST_F(WindowUse, TheOuterSizeIsTheWindowsAndTheToolButtonsLieSideBySide) {
    // A window system with a window manager frames the window after it is shown.
    const QSize outer(TMain::Width, TMain::Height);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().size() == outer; }, 5000))
        << window->frameGeometry().width() << " x " << window->frameGeometry().height();
    int left = 0;
    for (QAction* button : {window->TestFace().ToolButton1, window->TestFace().ToolButton2,
                            window->TestFace().ToolButton3, window->TestFace().ToolButton4,
                            window->TestFace().ToolButton5}) {
        const QWidget* shown = window->TestFace().ToolBar->widgetForAction(button);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->mapTo(window.get(), QPoint()).x(), left);
        EXPECT_EQ(shown->width(), 23);
        left += 23;
    }
}

// The demo is shipped as the program saves it: opened and closed unchanged, it asks nothing.
TEST_F(WindowUse, TheShippedDemoIsKeptByteForByte) {
    const std::string demo = ReadTestFile(PELLORAN_RESOURCES_FOLDER "/Data/Demo.csv");
    services.openAnswers.push_back(QStringLiteral(PELLORAN_RESOURCES_FOLDER "/Data/Demo.csv"));
    window->TestFace().mmOpen->trigger();
    EXPECT_EQ(window->GetTableText(), demo);
    EXPECT_TRUE(CloseWindow(*window));
    EXPECT_TRUE(services.questions.isEmpty());
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(WindowUse, AColumnIsWidenedByDraggingItsTitlesBorderAndKeptUntilNewOrOpen) {
    QWidget* titles = View().horizontalHeader()->viewport();
    const auto drag = [&](int border, int pixels) {
        QTest::mousePress(titles, Qt::LeftButton, {}, QPoint(border, 5));
        QTest::mouseMove(titles, QPoint(border + pixels, 5));
        QTest::mouseRelease(titles, Qt::LeftButton, {}, QPoint(border + pixels, 5));
    };
    Enter(3, 3);
    Type(QStringLiteral("x"));
    drag(60 + 80 - 1, 70);
    drag(60 + 150 + 45 + 45 + 45 - 1, 30);
    EXPECT_EQ(Table().ColumnWidth(5), 75);
    window->TestFace().mmUndo->trigger();
    EXPECT_EQ(View().columnWidth(1), 150) << "undoing the typing keeps the widths";

    window->TestFace().mmNew->trigger();
    EXPECT_EQ(View().columnWidth(1), 80);
    EXPECT_EQ(View().columnWidth(4), 75) << "New sets the number and name columns only";
    Open(SmallClass);
    Open(SmallClass);
    EXPECT_EQ(Table().ColumnWidths(), (std::map<int, int>{{1, 60}, {2, 80}})) << "another class";
}

} // namespace
