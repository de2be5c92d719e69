#pragma once

#include "platform/Errors.h"

#include <QDialog>
#include <QString>
#include <filesystem>
#include <functional>
#include <string_view>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

/// A file that opens but holds no picture that can be shown as the program's icon.
class EInvalidIconError : public EPelloranError {
public:
    explicit EInvalidIconError(std::string_view fileName);
};

/// The modeless about box: icon, product name with a drop shadow, version, copyright line and
/// two flat buttons with the web and mail addresses. Closing it only hides it; Esc does
/// nothing.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    /// Opens a web or mailto address; the window passes its desktop services' URL opener.
    using TUrlOpener = std::function<void(const QString& url)>;

    explicit TAboutBox(TUrlOpener openUrl, QWidget* parent = nullptr);

    void SetProductName(const QString& productName);
    void SetVersion(const QString& version);
    /// Shows the icon file's picture. Throws EFileOpenError when the file cannot be opened
    /// and EInvalidIconError when it holds no picture; the picture stays as it was then.
    void LoadProgramIcon(const std::filesystem::path& fileName);
    /// Shows the box, or brings it to the front when it is shown already.
    void ShowModeless();

    // The controls, in painting order: later ones lie on top.
    QFrame* const Panel1;
    QLabel* const Shadow;
    QLabel* const ProgramIcon;
    QLabel* const ProductName;
    QLabel* const Version;
    QLabel* const Copyright;
    QToolButton* const MailAdress;
    QToolButton* const URL;
    QPushButton* const OKButton;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void OKButtonClick();
    void URLClick();
    void MailAdressClick();
    void OpenUrl(const QString& url);

    TUrlOpener openUrl_;
};
