#include "shell/ShellServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

/// Runs `act` on the modal box once it is shown.
void WhenBoxShows(const std::function<void(QMessageBox&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(*box);
    });
}

QStringList ButtonTexts(const QMessageBox& box) {
    QStringList texts;
    for (const QAbstractButton* button : box.buttons()) {
        texts.push_back(button->text());
    }
    texts.sort();
    return texts;
}

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
    EXPECT_EQ(services.AskDiscard(nullptr, QStringLiteral("保存しますか")), TDiscardAnswer::Yes);
}

TEST(DiscardQuestionBox, EscapeAndTheCloseButtonAnswerCancel) {
    TQtShellServices services;
    WhenBoxShows([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(services.AskDiscard(nullptr, QString()), TDiscardAnswer::Cancel);
    WhenBoxShows([](QMessageBox& box) { box.close(); });
    EXPECT_EQ(services.AskDiscard(nullptr, QString()), TDiscardAnswer::Cancel);
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
    EXPECT_EQ(services.AskDiscard(nullptr, QString()), TDiscardAnswer::No);
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

} // namespace
