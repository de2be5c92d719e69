#pragma once

#include "platform/UserText.h"
#include "shell/window/ShellServices.h"

#include <QString>
#include <cstddef>
#include <string>

class QWidget;
class TAnswerGrid;
class TAnswerTable;
class TCellBlock;
class TTableHistory;

/// What the clipboard gives a paste, in the code page.
struct TClipboardPaste {
    /// Its text or, without text, an HTML table on it in the same form: TAB between cells,
    /// a line break after each row.
    std::string text;
    /// Characters the code page could not hold, now "?".
    std::size_t replacedCount = 0;
    /// Neither text nor a table.
    bool nothing = false;
};

/// Cut, copy and paste of cells between the grid and the clipboard, and the reading of the
/// clipboard that the roster paste shares. Every change goes through the history.
class TClipboardCommands {
public:
    /// Messages are shown over `owner`, in the wording of `texts`.
    TClipboardCommands(TShellServices& services, TTableHistory& history, TAnswerTable& table,
                       TAnswerGrid& grid, QWidget& owner, const TLanguageTexts& texts);

    /// Cut and copy take the selected range, or the current cell.
    void Cut();
    void Copy();
    /// The selected range with the titles a spreadsheet reads it by.
    void CopyWithTitles();
    /// Text of several cells fills a block from the current cell; one cell's text goes to the
    /// cell's editor as typing.
    void PasteCells();

    TClipboardPaste ReadClipboardToPaste();
    /// Tells that there was nothing to paste, or how many characters became "?".
    void TellPasted(const TClipboardPaste& pasted);

private:
    /// Writes the block from the current cell on and selects it.
    void PasteBlockHere(const TCellBlock& block);
    /// One cell's text into the current cell's editor, as typing.
    void PasteIntoEditor(const QString& text);

    TShellServices& services_;
    TTableHistory& history_;
    TAnswerTable& table_;
    TAnswerGrid* Table;
    QWidget* owner_;
    const TLanguageTexts& texts_;
};
