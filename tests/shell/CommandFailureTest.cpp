#include "ShellTestSupport.h"
#include "TestText.h"
#include "shell/window/ShellText.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

class CommandFailure : public testing::Test {
protected:
    void Show() { window = ShowWindow(folders, services); }

    void Open(std::string_view answerFile) {
        services.openAnswers.push_back(folders.CreateFile("quiz.csv", answerFile));
        window->TestFace().mmOpen->trigger();
        QApplication::processEvents();
    }

    TAnswerTable& Table() { return window->AnswerTable(); }
    TAnswerGrid& View() { return *window->TestFace().Table; }

    bool IsInView(int column, int row) {
        const QRect cell = View().visualRect(View().Model().IndexOf(column, row));
        return cell.isValid() && View().viewport()->rect().contains(cell.center());
    }

    TWindowFolders folders;
    TFakeServices services;
    std::unique_ptr<TMain> window;
};

struct TMarkFailureCase {
    const char* name;
    /// The cell of a 150-student class, whose second question is a points question, changed
    /// into what is no number.
    int column;
    int row;
    const char* text;

    friend void PrintTo(const TMarkFailureCase& c, std::ostream* os) { *os << c.name; }
};

class FailingMark : public CommandFailure, public testing::WithParamInterface<TMarkFailureCase> {};

// The teacher sees which cell is not a number: it becomes the current cell, in view, and the
// message names it before the cause it always gave.
TEST_P(FailingMark, MakesTheCellThatFailedCurrent) {
    const TMarkFailureCase& c = GetParam();
    Show();
    Open(ClassText(150, 3));
    Table().SetCell(4, TAnswerTable::AnswerKeyRow, "#");
    for (int row = TAnswerTable::FirstStudentRow; row <= 152; ++row) {
        Table().SetCell(4, row, "1");
    }
    Table().SetCell(c.column, c.row, c.text);
    View().SetCurrentCell(1, 1);
    window->TestFace().mmMark->trigger();
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_TRUE(services.errors[0].endsWith(": '" + QString::fromUtf8(c.text) +
                                            "' は浮動小数点数ではありません."))
        << services.errors[0].toStdString();
    EXPECT_EQ(View().CurrentColumn(), c.column);
    EXPECT_EQ(View().CurrentRow(), c.row);
    EXPECT_TRUE(IsInView(c.column, c.row));
    ASSERT_NE(View().Editor(), nullptr);
    EXPECT_EQ(View().Editor()->text(), QString::fromUtf8(c.text));
    EXPECT_FALSE(window->TestFace().mmSortwithpoint->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(CommandFailure, FailingMark,
                         testing::Values(TMarkFailureCase{"StudentPointsCell", 4, 140, "x"},
                                         TMarkFailureCase{"PointsRowOfAPointsQuestion", 4,
                                                          TAnswerTable::PointsRow, "ten"}),
                         TCaseName());

// The box tells the system's reason after the message, as pelloran-cli prints it.
TEST_F(CommandFailure, AFileFailureShowsTheSystemsCause) {
    Show();
    const QString name = NativeName(folders / std::string(300, 'n'));
    services.openAnswers.push_back(name);
    window->TestFace().mmOpen->trigger();
    ASSERT_EQ(services.errors.size(), 1);
    const QString told = "pelloran: ファイル " + name + " は開けません: ";
    EXPECT_TRUE(services.errors[0].startsWith(told) && services.errors[0].size() > told.size() + 1)
        << services.errors[0].toStdString();
}

TEST_F(CommandFailure, MarkWithoutAFailureLeavesTheCurrentCell) {
    Show();
    Open(ClassText(3, 3));
    View().SetCurrentCell(2, 4);
    window->TestFace().mmMark->trigger();
    EXPECT_TRUE(services.errors.isEmpty());
    EXPECT_EQ(View().CurrentColumn(), 2);
    EXPECT_EQ(View().CurrentRow(), 4);
}

struct TPasteFailureCase {
    const char* name;
    /// The language file's lines in section Main; none when empty.
    std::string languageTexts;
    QString clipboard;
    bool unreadable;
    QString message;
    /// Numbers in rows 3 to 5 afterwards; the rows held 1..3 before, and keep them.
    QStringList numbers;

    friend void PrintTo(const TPasteFailureCase& c, std::ostream* os) { *os << c.name; }
};

class FailingPaste : public CommandFailure,
                     public testing::WithParamInterface<TPasteFailureCase> {};

// The box says which line could not be used and why; no line is pasted, and Mark and Sort by
// number are offered as after any paste.
TEST_P(FailingPaste, SaysWhichLineAndWhy) {
    const TPasteFailureCase& c = GetParam();
    if (!c.languageTexts.empty()) {
        WriteTestFile(folders.LanguageFile(), "[Main]\r\n" + c.languageTexts);
    }
    Show();
    for (int row = 3; row <= 5; ++row) {
        Table().SetCell(1, row, std::to_string(row - 2));
    }
    services.clipboard = c.clipboard;
    services.clipboardUnreadable = c.unreadable;
    window->TestFace().mmPaste->trigger();
    EXPECT_EQ(services.messages, QStringList{c.message});
    EXPECT_TRUE(services.errors.isEmpty());
    QStringList numbers;
    for (int row = 3; row <= 5; ++row) {
        numbers.push_back(FromCodePage(Table().Cell(1, row)));
    }
    EXPECT_EQ(numbers, c.numbers);
    EXPECT_TRUE(window->TestFace().mmMark->isEnabled());
    EXPECT_TRUE(window->TestFace().mmSortWithNumber->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    CommandFailure, FailingPaste,
    testing::Values(TPasteFailureCase{"LineWithOneField",
                                      "",
                                      QStringLiteral("1001,佐藤\n1002\n1003,鈴木\n"),
                                      false,
                                      QStringLiteral("2 行目: 氏名がありません"),
                                      {"1", "2", "3"}},
                    TPasteFailureCase{"EmptyLineInTheMiddle",
                                      "",
                                      QStringLiteral("1001,佐藤\n\n1003,鈴木\n"),
                                      false,
                                      QStringLiteral("2 行目: 空の行です"),
                                      {"1", "2", "3"}},
                    TPasteFailureCase{"UnreadableClipboard",
                                      "",
                                      QStringLiteral("1001,佐藤\n"),
                                      true,
                                      QStringLiteral("クリップボードのテキストを読み取れません: "
                                                     "the clipboard is held by another program"),
                                      {"1", "2", "3"}},
                    TPasteFailureCase{"LanguageFilesWords",
                                      "PasteNoName=Line %s: there is no name\r\n",
                                      QStringLiteral("1001,Sato\n1002,Ito\n1003\n"),
                                      false,
                                      QStringLiteral("Line 3: there is no name"),
                                      {"1", "2", "3"}}),
    TCaseName());

} // namespace
