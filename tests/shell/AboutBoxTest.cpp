#include "TestFiles.h"
#include "shell/about/About_Box.h"

#include <QCoreApplication>
#include <QFrame>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QPoint>
#include <QPushButton>
#include <QRect>
#include <QStringList>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <initializer_list>

using namespace std::string_literals;

namespace {

class AboutBoxTest : public testing::Test {
protected:
    AboutBoxTest() : box_([this](const QString& url) { opened_.append(url); }) {}

    /// Hides the box with the key and tells whether it went, once what the key started has run.
    bool HiddenBy(QWidget* target, Qt::Key key) {
        box_.ShowModeless();
        QTest::keyClick(target, key);
        QCoreApplication::processEvents();
        return box_.isHidden();
    }

    QImage Picture() const { return box_.ProgramIcon->pixmap().toImage(); }

    QStringList opened_;
    TAboutBox box_;
};

TEST_F(AboutBoxTest, ControlsFitTheFixedBoxAndOnlyOkTakesTheFocus) {
    EXPECT_EQ(box_.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(box_.minimumSize(), box_.maximumSize()) << "the box cannot be resized";
    EXPECT_FALSE(box_.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    for (QWidget* control : std::initializer_list<QWidget*>{
             box_.Panel1, box_.Shadow, box_.ProgramIcon, box_.ProductName, box_.Version,
             box_.Copyright, box_.MailAdress, box_.URL, box_.OKButton}) {
        const QRect place(control->mapTo(&box_, QPoint(0, 0)), control->size());
        EXPECT_TRUE(box_.rect().contains(place)) << control->metaObject()->className();
        EXPECT_EQ(control->focusPolicy() != Qt::NoFocus, control == box_.OKButton)
            << "only OK takes the focus";
    }
    // The version's letters are 12 pixels high; the label is a whole line high, so that their
    // lower part is not cut off.
    EXPECT_GE(box_.Version->height(), box_.Version->fontMetrics().height());
    EXPECT_LE(box_.Version->geometry().bottom(), box_.Copyright->geometry().top());
    EXPECT_EQ(box_.Shadow->parentWidget(), box_.Panel1);
    EXPECT_EQ(box_.Panel1->children().indexOf(box_.Shadow), 0) << "the shadow is painted first";
    EXPECT_TRUE(box_.OKButton->isDefault());
    EXPECT_EQ(box_.ProductName->text(), QStringLiteral("Product Name"));
    EXPECT_EQ(box_.Version->text(), QStringLiteral("Version"));
}

TEST_F(AboutBoxTest, NamesAreTimesBoldInNavyOverGrey) {
    for (const QLabel* label : {box_.Shadow, box_.ProductName}) {
        EXPECT_EQ(label->font().family(), QStringLiteral("Times New Roman"));
        EXPECT_EQ(label->font().pixelSize(), 19);
        EXPECT_TRUE(label->font().bold());
    }
    EXPECT_EQ(box_.Shadow->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_EQ(box_.ProductName->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             box_.Version, box_.Copyright, box_.MailAdress, box_.URL}) {
        EXPECT_EQ(control->font().family(), QStringLiteral("Arial"));
        EXPECT_EQ(control->font().pixelSize(), 12);
    }
    EXPECT_EQ(box_.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
}

TEST_F(AboutBoxTest, TheShadowCopiesTheNameOnEachShowingFromHidden) {
    box_.SetProductName(QStringLiteral("  Pelloran"));
    box_.SetVersion(QStringLiteral("       Version 1.22"));
    box_.ShowModeless();
    EXPECT_EQ(box_.Shadow->text(), QStringLiteral("  Pelloran"));
    EXPECT_EQ(box_.Version->text(), QStringLiteral("       Version 1.22"));
    EXPECT_EQ(box_.ProductName->size(), box_.ProductName->sizeHint()) << "sized to its text";

    box_.SetProductName(QStringLiteral("  Renamed"));
    box_.ShowModeless();
    EXPECT_EQ(box_.Shadow->text(), QStringLiteral("  Pelloran")) << "shown already: no copy";

    box_.OKButton->click();
    EXPECT_TRUE(box_.isHidden());
    box_.ShowModeless();
    EXPECT_EQ(box_.Shadow->text(), QStringLiteral("  Renamed"));
}

TEST_F(AboutBoxTest, EnterAnywhereHidesTheBoxAndEscDoesNothing) {
    EXPECT_TRUE(HiddenBy(box_.OKButton, Qt::Key_Return));
    EXPECT_TRUE(HiddenBy(box_.Version, Qt::Key_Enter));
    EXPECT_TRUE(HiddenBy(box_.URL, Qt::Key_Return));
    EXPECT_TRUE(opened_.isEmpty());
    EXPECT_FALSE(HiddenBy(&box_, Qt::Key_Escape));
    EXPECT_TRUE(box_.close());
    EXPECT_TRUE(box_.isHidden()) << "the close button hides";
}

TEST_F(AboutBoxTest, TheButtonsHandOverTheirAddresses) {
    box_.SetProductName(QStringLiteral(" \t Pelloran\r\n"));
    box_.URL->click();
    box_.MailAdress->click();
    EXPECT_EQ(opened_,
              (QStringList{QStringLiteral("https://pelloran.example.org/"),
                           QStringLiteral("mailto:pelloran@example.org?subject=Pelloran")}));
}

TEST_F(AboutBoxTest, AnIconFileReplacesThePlaceholderAndAFailedLoadKeepsThePicture) {
    TTemporaryFolder folder;
    const QImage placeholder = Picture();
    EXPECT_EQ(placeholder.size(), QSize(32, 32));
    EXPECT_TRUE(box_.ProgramIcon->hasScaledContents());

    EXPECT_THROW(box_.LoadProgramIcon(folder / "missing.ico"), EFileOpenError);
    EXPECT_THROW(box_.LoadProgramIcon(folder.Path()), EFileOpenError);
    WriteTestFile(folder / "broken.ico", "\0\0\1\0\1\0 garbage"s);
    try {
        box_.LoadProgramIcon(folder / "broken.ico");
        ADD_FAILURE() << "a broken icon loads";
    } catch (const EInvalidIconError& error) {
        EXPECT_NE(std::string(error.what()).find((folder / "broken.ico").string()),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(Picture(), placeholder);

    QImage icon(48, 48, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    ASSERT_TRUE(
        QImageWriter(QString::fromStdString((folder / "icon.ico").string()), "ico").write(icon));
    box_.LoadProgramIcon(folder / "icon.ico");
    EXPECT_EQ(Picture().size(), QSize(48, 48));
    EXPECT_THROW(box_.LoadProgramIcon(folder / "missing.ico"), EFileOpenError);
    EXPECT_EQ(Picture().size(), QSize(48, 48));
}

} // namespace
