#include "shell/window/ClipboardCommands.h"

#include "platform/TextEncoding.h"
#include "shell/grid/AnswerGrid.h"
#include "shell/window/HtmlTable.h"
#include "shell/window/ShellText.h"
#include "table/clipboard/CellBlock.h"
#include "table/clipboard/TitledBlock.h"
#include "table/history/TableHistory.h"
#include "table/store/AnswerTable.h"

#include <QLineEdit>
#include <QStringList>
#include <optional>
#include <string_view>
#include <vector>

TClipboardCommands::TClipboardCommands(TShellServices& services, TTableHistory& history,
                                       TAnswerTable& table, TAnswerGrid& grid, QWidget& owner,
                                       const TLanguageTexts& texts)
    : services_(services), history_(history), table_(table), Table(&grid), owner_(&owner),
      texts_(texts) {}

void TClipboardCommands::Cut() {
    services_.SetClipboardCells(history_.Cut(Table->SelectedRange()));
}

void TClipboardCommands::Copy() {
    services_.SetClipboardCells(CopyCellBlock(table_, Table->SelectedRange()));
}

void TClipboardCommands::CopyWithTitles() {
    services_.SetClipboardCells(CopyTitledBlock(table_, Table->SelectedRange()));
}

void TClipboardCommands::PasteBlockHere(const TCellBlock& block) {
    const int column = Table->CurrentColumn();
    const int row = Table->CurrentRow();
    history_.PasteBlock(column, row, block);
    Table->SelectRange({column, row, column + block.Width() - 1, row + block.RowCount() - 1});
}

void TClipboardCommands::PasteIntoEditor(const QString& text) {
    if (QLineEdit* editor = Table->Editor()) {
        editor->insert(text);
    } else {
        history_.SetCell(Table->CurrentColumn(), Table->CurrentRow(), ToCodePage(text));
    }
}

TClipboardPaste TClipboardCommands::ReadClipboardToPaste() {
    TClipboardPaste pasted;
    if (const QString text = services_.ClipboardText(); !text.isEmpty()) {
        pasted.text = ToCodePage(text, pasted.replacedCount);
        return pasted;
    }
    const std::vector<QStringList> rows = ReadHtmlTable(services_.ClipboardHtml());
    pasted.nothing = rows.empty();
    TCellBlock block;
    for (const QStringList& cells : rows) {
        block.AddRow();
        for (const QString& cell : cells) {
            std::size_t replacedCount = 0;
            block.AppendCell(ToCodePage(cell, replacedCount));
            pasted.replacedCount += replacedCount;
        }
    }
    pasted.text = BlockClipboardText(block);
    return pasted;
}

void TClipboardCommands::TellPasted(const TClipboardPaste& pasted) {
    if (pasted.nothing) {
        services_.ShowMessage(
            owner_,
            Worded({"NothingToPaste", "クリップボードに貼り付けられるものがありません"}, texts_));
    } else if (pasted.replacedCount > 0) {
        Table->FlushPaints();
        services_.ShowMessage(
            owner_, Worded(ReplacedClipboardCharactersNotice(pasted.replacedCount), texts_));
    }
}

void TClipboardCommands::PasteCells() {
    // Cells copied here are taken as they are, without a round trip through text.
    if (const std::optional<TCellBlock> cells = services_.ClipboardCells()) {
        if (cells->CellCount() > 1) {
            PasteBlockHere(*cells);
        } else {
            PasteIntoEditor(FromCodePage(cells->Cell(0, 0)));
        }
        return;
    }
    const TClipboardPaste pasted = ReadClipboardToPaste();
    if (pasted.nothing) {
        // Pasting nothing into the editor would empty the cell.
        TellPasted(pasted);
        return;
    }
    if (HoldsSeveralCells(pasted.text)) {
        PasteBlockHere(ReadClipboardBlock(pasted.text));
    } else {
        // One cell's text, as a spreadsheet copies it: the line break after it ends it.
        std::string_view cellText = pasted.text;
        if (cellText.ends_with('\n')) {
            cellText.remove_suffix(1);
        }
        if (cellText.ends_with('\r')) {
            cellText.remove_suffix(1);
        }
        PasteIntoEditor(FromCodePage(cellText));
    }
    TellPasted(pasted);
}
