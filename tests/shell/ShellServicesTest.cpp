#include "shell/window/ShellServices.h"

#include "CellBlocks.h"
#include "ShellTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

const TDiscardWording JapaneseWording = {QStringLiteral("確認"), QStringLiteral("はい(&Y)"),
                                         QStringLiteral("いいえ(&N)"),
                                         QStringLiteral("キャンセル")};

TEST(DiscardQuestionBox, ShowsTheQuestionWithYesAsDefault) {
    TQtShellServices services;
    WhenBoxShows([](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), QStringLiteral("確認"));
        EXPECT_EQ(box.text(), QStringLiteral("保存しますか"));
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        QStringList expected{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"),
                             QStringLiteral("キャンセル")};
        expected.sort();
        EXPECT_EQ(ButtonTexts(box), expected);
        EXPECT_EQ(box.defaultButton()->text(), QStringLiteral("はい(&Y)"));
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(services.AskDiscard(nullptr, QStringLiteral("保存しますか"), JapaneseWording),
              TDiscardAnswer::Yes);
}

TEST(DiscardQuestionBox, EscapeAndTheCloseButtonAnswerCancel) {
    TQtShellServices services;
    WhenBoxShows([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(services.AskDiscard(nullptr, QString(), JapaneseWording), TDiscardAnswer::Cancel);
    WhenBoxShows([](QMessageBox& box) { box.close(); });
    EXPECT_EQ(services.AskDiscard(nullptr, QString(), JapaneseWording), TDiscardAnswer::Cancel);
}

TEST(DiscardQuestionBox, NoIsNo) {
    TQtShellServices services;
    WhenBoxShows([](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == QStringLiteral("いいえ(&N)")) {
                button->click();
            }
        }
    });
    EXPECT_EQ(services.AskDiscard(nullptr, QString(), JapaneseWording), TDiscardAnswer::No);
}

TEST(ErrorBox, CarriesTheTitleAndTheText) {
    TQtShellServices services;
    WhenBoxShows([](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), QStringLiteral("pelloran"));
        EXPECT_EQ(box.text(), QStringLiteral("ファイル x は開けません."));
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        box.accept();
    });
    services.ShowError(nullptr, QStringLiteral("pelloran"),
                       QStringLiteral("ファイル x は開けません."));
}

/// Markup in a file name or a cell's text: shown as rich text it would be a heading and a
/// picture loaded from a local file.
const QString Markup = QStringLiteral("<h1>quiz</h1><img src=\"/tmp/x.png\">.csv");

/// The text the box's label shows, as it shows it.
void ExpectPlainText(const QMessageBox& box) {
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    const auto labels = box.findChildren<QLabel*>();
    const auto shown = std::find_if(labels.begin(), labels.end(),
                                    [](const QLabel* label) { return label->text() == Markup; });
    ASSERT_NE(shown, labels.end());
    EXPECT_EQ((*shown)->textFormat(), Qt::PlainText);
}

TEST(EveryMessageBox, ShowsItsTextAsPlainText) {
    TQtShellServices services;
    WhenBoxShows([](QMessageBox& box) {
        ExpectPlainText(box);
        box.accept();
    });
    services.ShowError(nullptr, QStringLiteral("pelloran"), Markup);
    WhenBoxShows([](QMessageBox& box) {
        ExpectPlainText(box);
        box.accept();
    });
    services.ShowMessage(nullptr, Markup);
    WhenBoxShows([](QMessageBox& box) {
        ExpectPlainText(box);
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    services.AskDiscard(nullptr, Markup, JapaneseWording);
}

TEST(DiscardQuestionBox, IsCentredOnTheScreenRatherThanOnItsWindow) {
    QWidget owner;
    owner.setGeometry(0, 0, 200, 100);
    owner.show();
    TQtShellServices services;
    WhenBoxShows([&owner](QMessageBox& box) {
        EXPECT_EQ(box.parentWidget(), &owner);
        const QPoint screenCentre = box.screen()->availableGeometry().center();
        EXPECT_LE((box.frameGeometry().center() - screenCentre).manhattanLength(), 4)
            << "centre " << box.frameGeometry().center().x() << ","
            << box.frameGeometry().center().y();
        box.reject();
    });
    EXPECT_EQ(services.AskDiscard(&owner, QStringLiteral("保存しますか"), JapaneseWording),
              TDiscardAnswer::Cancel);
}

} // namespace

namespace {

// Other programs read the cells as text and as an HTML table; this program takes the cells
// back until another program puts something of its own on the clipboard.
TEST(Clipboard, HoldsCopiedCellsAsTextAndHtmlUntilAnotherProgramReplacesThem) {
    TQtShellServices services;
    services.SetClipboardCells(BlockOf({{"a\tb", "\x88\x9f"}, {"x<y"}}));
    const QMimeData* shown = QApplication::clipboard()->mimeData();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), QStringLiteral("\"a\tb\"\t亜\r\nx<y\r\n"));
    EXPECT_TRUE(shown->html().contains(QStringLiteral("<td>x&lt;y</td>")));
    EXPECT_EQ(services.ClipboardText(), shown->text());
    const std::optional<TCellBlock> cells = services.ClipboardCells();
    ASSERT_TRUE(cells.has_value());
    EXPECT_EQ(cells->Cell(0, 1), "\x88\x9f");

    QApplication::clipboard()->setText(QStringLiteral("other"));
    EXPECT_FALSE(services.ClipboardCells().has_value());
    EXPECT_EQ(services.ClipboardText(), "other");
}

} // namespace
