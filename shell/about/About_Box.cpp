#include "shell/about/About_Box.h"

#include "platform/Files.h"
#include "platform/Paths.h"

#include <QBuffer>
#include <QFont>
#include <QFrame>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>
#include <algorithm>
#include <utility>

namespace {

const QString CopyrightText = QStringLiteral("Copyright (C) 2026 The Pelloran developers");
const QString WebAddress = QStringLiteral("https://pelloran.example.org/");
const QString MailAddress = QStringLiteral("pelloran@example.org");

QFont PixelFont(const QString& family, int pixelSize, bool bold = false) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel* NameLabel(QWidget* panel, const QRect& geometry, const QColor& colour) {
    auto* label = new QLabel(QStringLiteral("Product Name"), panel);
    label->setGeometry(geometry);
    label->setFont(PixelFont(QStringLiteral("Times New Roman"), 19, true));
    SetTextColour(label, colour);
    return label;
}

QLabel* TextLabel(QWidget* panel, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, panel);
    label->setGeometry(geometry);
    label->setFont(PixelFont(QStringLiteral("Arial"), 12));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QToolButton* FlatButton(QWidget* panel, const QString& text, const QRect& geometry) {
    auto* button = new QToolButton(panel);
    button->setText(text);
    button->setGeometry(geometry);
    button->setFont(PixelFont(QStringLiteral("Arial"), 12));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

/// Shown until the program's icon is loaded: an answer sheet marked with a red circle.
QPixmap PlaceholderPicture() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(5, 2, 21, 27);
    painter.setPen(Qt::darkBlue);
    for (int y = 8; y <= 24; y += 4) {
        painter.drawLine(9, y, 22, y);
    }
    painter.setPen(QPen(Qt::red, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(13, 12, 16, 16);
    return picture;
}

/// The largest picture of the file, which shrinks best into the 40 x 40 area.
QPixmap LargestPicture(QByteArray bytes) {
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    QImage largest;
    const int count = std::max(reader.imageCount(), 1);
    for (int number = 0; number < count; ++number) {
        const QImage image = reader.read();
        if (image.width() * image.height() > largest.width() * largest.height()) {
            largest = image;
        }
        if (!reader.jumpToNextImage()) {
            break;
        }
    }
    return QPixmap::fromImage(largest);
}

/// The subject of the mail: the product name without blanks or control characters at its ends.
QString MailSubject(const QString& productName) {
    const auto isTrimmed = [](QChar c) {
        return c.isSpace() || c.category() == QChar::Other_Control;
    };
    qsizetype first = 0;
    qsizetype end = productName.size();
    while (first < end && isTrimmed(productName[first])) {
        ++first;
    }
    while (end > first && isTrimmed(productName[end - 1])) {
        --end;
    }
    return productName.mid(first, end - first);
}

} // namespace

EInvalidIconError::EInvalidIconError(std::string_view fileName)
    : EPelloranError(TUserText("InvalidIcon", "%1 は有効なアイコンではありません",
                               {TUserText::Literal(std::string(fileName))})) {}

TAboutBox::TAboutBox(TUrlOpener openUrl, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Panel1(new QFrame(this)),
      Shadow(NameLabel(Panel1, QRect(78, 14, 118, 22), QColor(128, 128, 128))),
      ProgramIcon(new QLabel(Panel1)),
      ProductName(NameLabel(Panel1, QRect(77, 13, 118, 22), QColor(0, 0, 128))),
      Version(TextLabel(Panel1, QStringLiteral("Version"), QRect(72, 44, 185, 12))),
      Copyright(TextLabel(Panel1, CopyrightText, QRect(24, 70, 241, 17))),
      MailAdress(FlatButton(Panel1, MailAddress, QRect(24, 94, 233, 17))),
      URL(FlatButton(Panel1, WebAddress, QRect(24, 116, 233, 17))),
      OKButton(new QPushButton(QStringLiteral("OK"), this)), openUrl_(std::move(openUrl)) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFixedSize(298, 203);
    setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);
    setAutoFillBackground(true);

    // A sunken box line is the etched double bevel: outer lowered, inner raised.
    Panel1->setGeometry(8, 8, 281, 145);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    // A label as high as its letters cuts off their lower part: it gets a whole line.
    Version->resize(Version->width(), std::max(Version->height(), Version->fontMetrics().height()));
    ProgramIcon->setGeometry(18, 16, 40, 40);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(PlaceholderPicture());
    OKButton->setGeometry(111, 164, 75, 25);
    OKButton->setDefault(true);

    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
    connect(URL, &QToolButton::clicked, this, &TAboutBox::URLClick);
    connect(MailAdress, &QToolButton::clicked, this, &TAboutBox::MailAdressClick);
    move(screen()->availableGeometry().center() - rect().center());
}

void TAboutBox::SetProductName(const QString& productName) {
    ProductName->setText(productName);
    ProductName->adjustSize();
}

void TAboutBox::SetVersion(const QString& version) {
    Version->setText(version);
}

void TAboutBox::LoadProgramIcon(const std::filesystem::path& fileName) {
    const std::string bytes = ReadFileBytes(fileName);
    const QPixmap picture = LargestPicture(QByteArray::fromStdString(bytes));
    if (picture.isNull()) {
        throw EInvalidIconError(PathText(fileName));
    }
    ProgramIcon->setPixmap(picture);
}

void TAboutBox::ShowModeless() {
    if (isVisible()) {
        raise();
        activateWindow();
    } else {
        show();
    }
}

void TAboutBox::showEvent(QShowEvent* event) {
    // A window restored by the window system was never hidden by the program.
    if (!event->spontaneous()) {
        FormShow();
    }
    QDialog::showEvent(event);
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    // Without a cancel button, Esc must not close the box as a dialog's Esc would.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::FormShow() {
    Shadow->setText(ProductName->text());
}

void TAboutBox::OKButtonClick() {
    hide();
}

void TAboutBox::URLClick() {
    OpenUrl(URL->text());
}

void TAboutBox::MailAdressClick() {
    OpenUrl(QStringLiteral("mailto:") + MailAdress->text() + QStringLiteral("?subject=") +
            MailSubject(ProductName->text()));
}

void TAboutBox::OpenUrl(const QString& url) {
    if (openUrl_) {
        openUrl_(url);
    }
}
