#include "ShellTestSupport.h"
#include "platform/TextEncoding.h"
#include "shell/window/ShellText.h"

#include <gtest/gtest.h>

namespace {

const QString NothingToPaste = QStringLiteral("クリップボードに貼り付けられるものがありません");

class ClipboardPaste : public TWindowInUse {
protected:
    std::string Cell(int column, int row) { return std::string(Table().Cell(column, row)); }

    static QString Notice(std::size_t replacedCount) {
        return FromUtf8(ReplacedClipboardCharactersNotice(replacedCount).Japanese());
    }
};

// Ctrl+V emptied the current cell; the roster paste did nothing and said nothing.
TEST_F(ClipboardPaste, AClipboardWithoutTextOrTableChangesNoCellAndSaysSo) {
    Table().SetCell(1, 3, "1001");
    services.clipboardHtml = QStringLiteral("<p><img src=\"photo.png\"></p>");
    Enter(1, 3);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(1, 3), "1001");
    window->TestFace().mmPaste->trigger();
    EXPECT_EQ(Cell(1, 3), "1001");
    EXPECT_EQ(services.messages, (QStringList{NothingToPaste, NothingToPaste}));
}

TEST_F(ClipboardPaste, AnHtmlTableAloneIsPastedAsCellsAndAsTheRoster) {
    services.clipboardHtml = QStringLiteral(
        "<table><tr><td>1001</td><td>佐藤　花子</td></tr><tr><td>1002</td><td>Tom ☃</td></tr>"
        "</table>");
    Enter(1, 3);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(1, 3), "1001");
    EXPECT_EQ(Cell(2, 3), ToCodePage(QStringLiteral("佐藤　花子")));
    EXPECT_EQ(Cell(2, 4), "Tom ?");
    window->TestFace().mmNew->trigger();
    window->TestFace().mmPaste->trigger();
    EXPECT_EQ(Cell(1, 4), "1002");
    EXPECT_EQ(Cell(2, 3), ToCodePage(QStringLiteral("佐藤　花子")));
    EXPECT_EQ(services.messages, (QStringList{Notice(1), Notice(1)}));
}

TEST_F(ClipboardPaste, TheRosterPasteTellsHowManyCharactersBecameQuestionMarks) {
    services.clipboard = QStringLiteral("1001\tSato ☃☃\r\n");
    window->TestFace().mmPaste->trigger();
    EXPECT_EQ(Cell(2, 3), "Sato ??");
    EXPECT_EQ(services.messages, QStringList{Notice(2)});
}

} // namespace
