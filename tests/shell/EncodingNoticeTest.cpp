// Opening a file from another program: its text reaches the grid in the code page, and the
// teacher learns of every character the code page could not hold before saving over them.

#include "ShellTestSupport.h"
#include "shell/recent/FileNameKeeper.h"
#include "shell/window/ShellText.h"

#include <QAction>
#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

class EncodingNotice : public testing::Test {
protected:
    std::unique_ptr<TMain> Show() { return ShowWindow(folders, services); }

    static std::string Cell(TMain& window, int column, int row) {
        return std::string(window.AnswerTable().Cell(column, row));
    }

    TWindowFolders folders;
    TFakeServices services;
};

TEST_F(EncodingNotice, OpenOfAUtf8FileTellsHowManyCharactersBecameQuestionMarks) {
    const QString quiz = folders.CreateFile("quiz.csv", ",,a,\r\n,,1,\r\n"
                                                        "1001,Zo\xc3\xa9 \xf0\x9f\x98\x80,a,\r\n"
                                                        "1002,\xe4\xbd\x90\xe8\x97\xa4,a,\r\n");
    services.openAnswers.push_back(quiz);
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join("\n").toStdString();
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0], "ファイル " + quiz +
                                        " には Shift-JIS で表せない文字が 2 個あったため、「?」に"
                                        "置き換えました。このまま保存すると、それらの文字は「?」"
                                        "になります。");
    EXPECT_EQ(Cell(*window, 2, 3), "Zo? ?");
    EXPECT_EQ(Cell(*window, 2, 4), ToCodePage(QStringLiteral("佐藤")));
    EXPECT_EQ(window->LoadedText(), window->GetTableText());
}

// Both what became "?" and where a NUL ended the text are told in one box.
TEST_F(EncodingNotice, OpenOfAFileCutByANulTellsItsLine) {
    const QString quiz = folders.CreateFile("quiz.csv", ",,a,\r\n,,1,\r\n1001,Zo\xc3\xa9,a,\r\n"
                                                        "1002,B\0b,a,\r\n1003,Cy,a,\r\n"s);
    services.openAnswers.push_back(quiz);
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join("\n").toStdString();
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0], "ファイル " + quiz +
                                        " には Shift-JIS で表せない文字が 1 個あったため、「?」に"
                                        "置き換えました。このまま保存すると、それらの文字は「?」"
                                        "になります。\nファイル " +
                                        quiz +
                                        " の 4 行目に NUL 文字があったため、そこから後は読み込ま"
                                        "ず、このまま保存するとその部分は失われます。");
    EXPECT_EQ(Cell(*window, 2, 4), "B");
    EXPECT_EQ(Cell(*window, 1, 5), "");
}

TEST_F(EncodingNotice, RosterPasteCutByANulTellsItsLine) {
    services.clipboard =
        QStringLiteral("1001,Sato\r\n1002,Su") + QChar(0) + QStringLiteral("zuki\r\n1003,Kato\r\n");
    const auto window = Show();
    window->TestFace().mmPaste->trigger();
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0], "貼り付けた文字列の 2 行目に NUL 文字があったため、そこから後は"
                                    "貼り付けていません。");
    EXPECT_EQ(Cell(*window, 2, 4), "Su");
    EXPECT_EQ(Cell(*window, 1, 5), "");
}

TEST_F(EncodingNotice, RecentFileOpensThroughTheSameConversion) {
    const QString roster = folders.CreateFile(
        "list.txt", "\xff\xfe" + std::string("1\0\t\0\x3d\xd8\x00\xde\r\0\n\0", 12));
    services.openAnswers.push_back(roster);
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    services.discardAnswers.push_back(TDiscardAnswer::No);
    ASSERT_FALSE(window->TestFace().FileNameKeep->MenuItems().empty());
    window->TestFace().FileNameKeep->MenuItems()[0]->trigger();
    EXPECT_EQ(services.messages.size(), 2);
    EXPECT_EQ(Cell(*window, 2, 1), "?");
}

TEST_F(EncodingNotice, FilesTheCodePageHoldsWholeOpenWithoutABox) {
    const std::string shiftJis = ToCodePage(QStringLiteral("1001,山田　太郎,ｱ,\r\n"));
    services.openAnswers.push_back(folders.CreateFile("sjis.csv", shiftJis));
    services.openAnswers.push_back(folders.CreateFile("utf8.csv",
                                                      "\xef\xbb\xbf"
                                                      "1001,\xe5\xb1\xb1\xe7\x94\xb0,\r\n"));
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    EXPECT_EQ(Cell(*window, 2, 1), ToCodePage(QStringLiteral("山田　太郎")));
    services.discardAnswers.push_back(TDiscardAnswer::No);
    window->TestFace().mmOpen->trigger();
    EXPECT_EQ(Cell(*window, 2, 1), ToCodePage(QStringLiteral("山田")));
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(EncodingNotice, BrokenUtf16IsShownInTheErrorBox) {
    const QString odd = folders.CreateFile("odd.txt", std::string("\xff\xfe"
                                                                  "a\0b",
                                                                  5));
    services.openAnswers.push_back(odd);
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_TRUE(services.errors[0].contains("ファイル " + odd + " は UTF-16 として読めません"))
        << services.errors[0].toStdString();
    EXPECT_TRUE(services.messages.isEmpty());
}

} // namespace
