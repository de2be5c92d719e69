#include "table/file/CellField.h"

#include "platform/CodePage.h"
#include "table/file/TextRules.h"

namespace {

/// A lead byte without a second byte that the text can hold: at the end of the cell, or before
/// NUL, which ends the text whatever comes before it.
bool IsBrokenLeadByte(std::string_view cell, std::size_t at) {
    return TCodePage::IsLeadByte(static_cast<unsigned char>(cell[at])) &&
           (at + 1 == cell.size() || cell[at + 1] == '\0');
}

/// How a cell must be written to read back as itself.
struct TCellForm {
    /// It holds a separator, a line break or NUL, or opens with a double quote.
    bool quoted = false;
    /// A broken lead byte would swallow the byte after it on reading: it is written as "?",
    /// as the code page writes a character it cannot hold.
    bool repaired = false;
};

TCellForm CellForm(std::string_view cell) {
    TCellForm form;
    form.quoted = !cell.empty() && cell.front() == '"';
    for (std::size_t at = 0; at < cell.size();) {
        const char byte = cell[at];
        const auto code = static_cast<unsigned char>(byte);
        if (code > ',' && !TCodePage::IsLeadByte(code)) {
            ++at;
            continue;
        }
        if (byte == '\0' || IsBlank(byte) || byte == ',') {
            form.quoted = true;
        }
        const bool beforeLineBreak =
            at + 1 < cell.size() && (cell[at + 1] == '\r' || cell[at + 1] == '\n');
        if (IsBrokenLeadByte(cell, at)) {
            form.repaired = true;
            ++at;
        } else if (beforeLineBreak) {
            // A line break is never the second byte of a character: it must be seen, and
            // quoted, as reading sees it.
            ++at;
        } else {
            at += TCodePage::CharLength(cell, at);
        }
    }
    return form;
}

/// Quotes doubled and NUL, which would end the text, a blank inside quotes; broken lead bytes
/// as "?". Line breaks stay as they are: inside quotes they belong to the cell.
void AppendCellText(std::string& text, std::string_view cell, bool quoted) {
    for (std::size_t at = 0; at < cell.size();) {
        const char byte = cell[at];
        if (quoted && byte == '\0') {
            text += ' ';
            ++at;
        } else if (IsBrokenLeadByte(cell, at)) {
            text += '?';
            ++at;
        } else {
            const std::size_t length = TCodePage::CharLength(cell, at);
            if (quoted && byte == '"') {
                text += '"';
            }
            text.append(cell.substr(at, length));
            at += length;
        }
    }
}

} // namespace

bool IsFieldAsItIs(std::string_view cell) {
    const TCellForm form = CellForm(cell);
    return !form.quoted && !form.repaired;
}

std::string CellFieldText(std::string_view cell) {
    const TCellForm form = CellForm(cell);
    std::string text;
    if (form.quoted) {
        text += '"';
        AppendCellText(text, cell, true);
        text += '"';
    } else if (form.repaired) {
        AppendCellText(text, cell, false);
    } else {
        text = cell;
    }
    return text;
}
