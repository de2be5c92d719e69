#pragma once

#include "table/clipboard/CellBlock.h"

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

/// The answer to the question asked before unsaved changes are dropped.
enum class TDiscardAnswer { Yes, No, Cancel };

/// The caption of the question asked before unsaved changes are dropped, and of its buttons.
struct TDiscardWording {
    QString caption;
    QString yes;
    QString no;
    QString cancel;
};

/// What the window asks of the desktop: dialogs, message boxes, the clipboard and the URL
/// handler. Tests put answers of their own in its place.
class TShellServices {
public:
    virtual ~TShellServices() = default;

    /// The chosen file, or nothing when the dialog was cancelled. `filter` names the answer
    /// files, as "Description (*.csv)".
    virtual std::optional<QString> GetOpenFileName(QWidget* owner, const QString& folder,
                                                   const QString& filter) = 0;
    /// Starts in `folder` with `proposedName` (a full name, possibly empty) filled in; asks
    /// before an existing file is overwritten.
    virtual std::optional<QString> GetSaveFileName(QWidget* owner, const QString& folder,
                                                   const QString& proposedName,
                                                   const QString& filter) = 0;
    /// The save dialog for the results report, with `filter` naming HTML pages; the same
    /// otherwise.
    virtual std::optional<QString> GetSaveReportFileName(QWidget* owner, const QString& folder,
                                                         const QString& proposedName,
                                                         const QString& filter) = 0;
    /// The save dialog for a PDF file, with `filter` naming PDF files; the same otherwise.
    virtual std::optional<QString> GetSavePdfFileName(QWidget* owner, const QString& folder,
                                                      const QString& proposedName,
                                                      const QString& filter) = 0;
    virtual TDiscardAnswer AskDiscard(QWidget* owner, const QString& question,
                                      const TDiscardWording& wording) = 0;
    /// Asks `question` with a button per choice, the first the default and the last the one
    /// that closing the box or Escape stands for; returns the index of the choice.
    virtual int AskChoice(QWidget* owner, const QString& question, const QStringList& choices) = 0;
    /// The standard error box.
    virtual void ShowError(QWidget* owner, const QString& caption, const QString& text) = 0;
    /// A plain box with the text and an OK button.
    virtual void ShowMessage(QWidget* owner, const QString& text) = 0;
    /// Plain text on the clipboard; empty when it holds none.
    virtual QString ClipboardText() = 0;
    /// HTML on the clipboard, as spreadsheets and web pages put a copied table there; empty when
    /// it holds none.
    virtual QString ClipboardHtml() = 0;
    /// Puts cells on the clipboard as spreadsheets take them: as plain text and as an HTML table.
    virtual void SetClipboardCells(TCellBlock cells) = 0;
    /// A copy of the cells this program put on the clipboard, while they are still there: the
    /// clipboard may drop them whenever events are processed, a long paste's included.
    virtual std::optional<TCellBlock> ClipboardCells() = 0;
    /// False when the system found nothing to open the address with.
    virtual bool OpenUrl(const QString& url) = 0;
};

/// The real desktop.
class TQtShellServices : public TShellServices {
public:
    std::optional<QString> GetOpenFileName(QWidget* owner, const QString& folder,
                                           const QString& filter) override;
    std::optional<QString> GetSaveFileName(QWidget* owner, const QString& folder,
                                           const QString& proposedName,
                                           const QString& filter) override;
    std::optional<QString> GetSaveReportFileName(QWidget* owner, const QString& folder,
                                                 const QString& proposedName,
                                                 const QString& filter) override;
    std::optional<QString> GetSavePdfFileName(QWidget* owner, const QString& folder,
                                              const QString& proposedName,
                                              const QString& filter) override;
    TDiscardAnswer AskDiscard(QWidget* owner, const QString& question,
                              const TDiscardWording& wording) override;
    int AskChoice(QWidget* owner, const QString& question, const QStringList& choices) override;
    void ShowError(QWidget* owner, const QString& caption, const QString& text) override;
    void ShowMessage(QWidget* owner, const QString& text) override;
    QString ClipboardText() override;
    QString ClipboardHtml() override;
    void SetClipboardCells(TCellBlock cells) override;
    std::optional<TCellBlock> ClipboardCells() override;
    bool OpenUrl(const QString& url) override;
};
