#pragma once

#include "analysis/AnalysisTexts.h"
#include "paper/MarkedClass.h"
#include "paper/PaperDocument.h"
#include "shell/window/ShellServices.h"
#include "table/store/AnswerTable.h"

#include <QDialog>
#include <filesystem>
#include <functional>
#include <memory>

class QLineEdit;
class QPrinter;
class QPushButton;

/// What goes on paper.
enum class TPaperKind { Slips, ClassList };

/// What the paper dialog takes from the window.
struct TPaperSetup {
    TPaperKind kind = TPaperKind::Slips;
    const TAnswerTable& table;
    const TAnalysisTexts& texts;
    TShellServices& services;
    /// The answer file, which names the test and the PDF file; empty when untitled.
    std::filesystem::path answerFile;
    /// Where the PDF's save dialog starts.
    QString folder;
    /// Runs a command of the dialog, showing what it raises in the standard error box.
    std::function<void(const std::function<void()>&)> runCommand;
};

/// The dialog that puts the slips or the class list of a marked table on paper: the test's
/// name to print, taken from the answer file's name, and the ways out: a PDF file, the
/// printer (through the system's print dialog) or the print preview. The table was found
/// marked as the dialog was made and must not change while it is open (it is modal).
class TPaperDialog : public QDialog {
    Q_OBJECT

public:
    /// Throws EPelloranError, with the text that says why, for a table not marked as it
    /// must be: the dialog is then not made.
    TPaperDialog(TPaperSetup setup, QWidget* parent);
    ~TPaperDialog() override;

    /// The document with the name now typed.
    std::unique_ptr<TPaperDocument> Document() const;

    /// Writes the PDF file chosen in the save dialog.
    void SavePdfClick();
    /// The print dialog, then the printer.
    void PrintClick();
    void PrintPreviewClick();

    QLineEdit* Title = nullptr;
    QPushButton* SavePdf = nullptr;
    QPushButton* Print = nullptr;
    QPushButton* PrintPreview = nullptr;

private:
    QString PdfProposal() const;
    void SetUpPrinter(QPrinter& printer) const;
    /// Throws EPelloranError with PrintFailed when the printer fails.
    void PrintOn(QPrinter& printer, const TPaperDocument& document) const;

    TPaperSetup setup_;
    const char decimalSeparator_;
    const TMarkedClass marked_;
};

/// The window's caption of the command for `kind`, in the language file's words.
TAnalysisText PaperCommandText(TPaperKind kind);
