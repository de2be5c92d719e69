#include "ShellServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

const QString AnswerFileFilter = QStringLiteral("カンマ区切りテキスト(*.csv)");
const QString AnswerFileExtension = QStringLiteral("csv");
const QString ReportFilter = QStringLiteral("HTML (*.html *.htm)");
const QString ReportExtension = QStringLiteral("html");

std::optional<QString> RunFileDialog(QFileDialog& dialog, const QString& filter,
                                     const QString& extension) {
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(extension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
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

} // namespace

std::optional<QString> TQtShellServices::GetOpenFileName(QWidget* owner, const QString& folder) {
    QFileDialog dialog(owner, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name of a missing file is accepted; opening it then reports the failure.
    dialog.setFileMode(QFileDialog::AnyFile);
    return RunFileDialog(dialog, AnswerFileFilter, AnswerFileExtension);
}

std::optional<QString> TQtShellServices::GetSaveFileName(QWidget* owner, const QString& folder,
                                                         const QString& proposedName) {
    return RunSaveDialog(owner, folder, proposedName, AnswerFileFilter, AnswerFileExtension);
}

std::optional<QString> TQtShellServices::GetSaveReportFileName(QWidget* owner,
                                                               const QString& folder,
                                                               const QString& proposedName) {
    return RunSaveDialog(owner, folder, proposedName, ReportFilter, ReportExtension);
}

TDiscardAnswer TQtShellServices::AskDiscard(QWidget* owner, const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), question, QMessageBox::NoButton,
                    owner);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) {
        return TDiscardAnswer::Yes;
    }
    return box.clickedButton() == no ? TDiscardAnswer::No : TDiscardAnswer::Cancel;
}

void TQtShellServices::ShowError(QWidget* owner, const QString& caption, const QString& text) {
    QMessageBox::critical(owner, caption, text);
}

void TQtShellServices::ShowMessage(QWidget* owner, const QString& text) {
    QMessageBox::information(owner, QApplication::applicationName(), text);
}

QString TQtShellServices::ClipboardText() {
    return QApplication::clipboard()->text();
}

void TQtShellServices::OpenUrl(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}
