#include "shell/window/ShellServices.h"

#include "platform/Paths.h"
#include "shell/window/CellsMimeData.h"
#include "shell/window/DialogFileName.h"
#include "shell/window/ShellText.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>
#endif

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QUrl>

namespace {

const QString AnswerFileExtension = QStringLiteral("csv");
const QString ReportExtension = QStringLiteral("html");
const QString PdfExtension = QStringLiteral("pdf");

std::optional<QString> RunFileDialog(QFileDialog& dialog, const QString& filter,
                                     const QString& extension) {
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(extension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return DialogFileName(dialog.selectedFiles().constFirst());
}

std::optional<QString> RunSaveDialog(QWidget* owner, const QString& folder,
                                     const QString& proposedName, const QString& filter,
                                     const QString& extension) {
    QFileDialog dialog(owner, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!proposedName.isEmpty()) {
        dialog.selectFile(proposedName);
    }
    return RunFileDialog(dialog, filter, extension);
}

/// A message box whose text is shown as written: a file name or a cell's text that looks like
/// markup must not become a heading or load a picture.
class TPlainMessageBox : public QMessageBox {
public:
    TPlainMessageBox(Icon icon, const QString& caption, const QString& text, QWidget* owner)
        : QMessageBox(icon, caption, text, NoButton, owner) {
        setTextFormat(Qt::PlainText);
    }
};

/// A plain message box centred on the screen rather than on its owner.
class TScreenCentredBox : public TPlainMessageBox {
public:
    using TPlainMessageBox::TPlainMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        // The box takes its final size as it is shown, before the window system maps it.
        QMessageBox::showEvent(event);
        if (const QScreen* shownOn = screen()) {
            move(shownOn->availableGeometry().center() - rect().center());
        }
    }
};

void ShowPlainBox(QMessageBox::Icon icon, QWidget* owner, const QString& caption,
                  const QString& text) {
    TPlainMessageBox box(icon, caption, text, owner);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace

std::optional<QString> TQtShellServices::GetOpenFileName(QWidget* owner, const QString& folder,
                                                         const QString& filter) {
    QFileDialog dialog(owner, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name of a missing file is accepted; opening it then reports the failure.
    dialog.setFileMode(QFileDialog::AnyFile);
    return RunFileDialog(dialog, filter, AnswerFileExtension);
}

std::optional<QString> TQtShellServices::GetSaveFileName(QWidget* owner, const QString& folder,
                                                         const QString& proposedName,
                                                         const QString& filter) {
    return RunSaveDialog(owner, folder, proposedName, filter, AnswerFileExtension);
}

std::optional<QString> TQtShellServices::GetSaveReportFileName(QWidget* owner,
                                                               const QString& folder,
                                                               const QString& proposedName,
                                                               const QString& filter) {
    return RunSaveDialog(owner, folder, proposedName, filter, ReportExtension);
}

std::optional<QString> TQtShellServices::GetSavePdfFileName(QWidget* owner, const QString& folder,
                                                            const QString& proposedName,
                                                            const QString& filter) {
    return RunSaveDialog(owner, folder, proposedName, filter, PdfExtension);
}

TDiscardAnswer TQtShellServices::AskDiscard(QWidget* owner, const QString& question,
                                            const TDiscardWording& wording) {
    TScreenCentredBox box(QMessageBox::Question, wording.caption, question, owner);
    QPushButton* yes = box.addButton(wording.yes, QMessageBox::YesRole);
    QPushButton* no = box.addButton(wording.no, QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(wording.cancel, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) {
        return TDiscardAnswer::Yes;
    }
    return box.clickedButton() == no ? TDiscardAnswer::No : TDiscardAnswer::Cancel;
}

int TQtShellServices::AskChoice(QWidget* owner, const QString& question,
                                const QStringList& choices) {
    TPlainMessageBox box(QMessageBox::Question, QApplication::applicationName(), question, owner);
    QList<QPushButton*> buttons;
    for (const QString& choice : choices) {
        buttons.push_back(box.addButton(choice, QMessageBox::ActionRole));
    }
    box.setDefaultButton(buttons.front());
    box.setEscapeButton(buttons.back());
    box.exec();
    const auto chosen = buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return chosen < 0 ? static_cast<int>(choices.size()) - 1 : static_cast<int>(chosen);
}

void TQtShellServices::ShowError(QWidget* owner, const QString& caption, const QString& text) {
    ShowPlainBox(QMessageBox::Critical, owner, caption, text);
}

void TQtShellServices::ShowMessage(QWidget* owner, const QString& text) {
    ShowPlainBox(QMessageBox::Information, owner, QApplication::applicationName(), text);
}

QString TQtShellServices::ClipboardText() {
    return QApplication::clipboard()->text();
}

QString TQtShellServices::ClipboardHtml() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data != nullptr && data->hasHtml() ? data->html() : QString();
}

void TQtShellServices::SetClipboardCells(TCellBlock cells) {
    QApplication::clipboard()->setMimeData(new TCellsMimeData(std::move(cells)));
}

std::optional<TCellBlock> TQtShellServices::ClipboardCells() {
    const auto* cells = qobject_cast<const TCellsMimeData*>(QApplication::clipboard()->mimeData());
    if (cells == nullptr) {
        return std::nullopt;
    }
    return cells->Cells();
}

#ifdef Q_OS_WIN
// Handed to the shell as Windows programs do: "open" for a file of the program's own, shown
// normally, with the file's drive as the working folder; "Open" and no folder for a web or mail
// address.
bool TQtShellServices::OpenUrl(const QString& url) {
    const QUrl target(url);
    const bool localFile = target.isLocalFile();
    const QString file = localFile ? QDir::toNativeSeparators(target.toLocalFile()) : url;
    const QString folder = localFile ? FromPathText(ExtractFileDrive(ToPathText(file))) : QString();
    // Values above 32 are success, as the function's documentation gives them.
    constexpr INT_PTR FirstSuccess = 33;
    const HINSTANCE result = ::ShellExecuteW(nullptr, localFile ? L"open" : L"Open",
                                             reinterpret_cast<LPCWSTR>(file.utf16()), nullptr,
                                             reinterpret_cast<LPCWSTR>(folder.utf16()), SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) >= FirstSuccess;
}
#else
bool TQtShellServices::OpenUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}
#endif
