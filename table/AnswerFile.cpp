#include "AnswerFile.h"

#include "TextRules.h"
#include "platform/CodePage.h"
#include "platform/Files.h"

namespace {

bool IsLineBreakOrNul(char byte) {
    return byte == '\r' || byte == '\n' || byte == '\0';
}

/// A lead byte without a second byte that a line can hold: at the end of the cell, or before
/// a line break or NUL, which end a line whatever comes before them.
bool IsBrokenLeadByte(std::string_view cell, std::size_t at) {
    return TCodePage::IsLeadByte(static_cast<unsigned char>(cell[at])) &&
           (at + 1 == cell.size() || IsLineBreakOrNul(cell[at + 1]));
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
        if (IsLineBreakOrNul(byte) || IsBlank(byte) || byte == ',') {
            form.quoted = true;
        }
        if (IsBrokenLeadByte(cell, at)) {
            form.repaired = true;
            ++at;
        } else {
            at += TCodePage::CharLength(cell, at);
        }
    }
    return form;
}

/// Quotes doubled and each line break (and NUL) one blank inside quotes, broken lead bytes
/// as "?".
void AppendCellText(std::string& text, std::string_view cell, bool quoted) {
    for (std::size_t at = 0; at < cell.size();) {
        const char byte = cell[at];
        if (quoted && IsLineBreakOrNul(byte)) {
            text += ' ';
            at += byte == '\r' && at + 1 < cell.size() && cell[at + 1] == '\n' ? 2U : 1U;
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

void AppendCell(std::string& text, std::string_view cell) {
    const TCellForm form = CellForm(cell);
    if (form.quoted) {
        text += '"';
        AppendCellText(text, cell, true);
        text += '"';
    } else if (form.repaired) {
        AppendCellText(text, cell, false);
    } else {
        text += cell;
    }
    text += ',';
}

bool ContainsResultMarker(std::string_view cell) {
    return cell.find('<') != std::string_view::npos;
}

/// The file has CR LF after every line and no NUL byte: its bytes are already its lines
/// joined with CR LF.
bool IsJoinedForm(std::string_view bytes) {
    std::size_t joinedSize = 0;
    ForEachLine(bytes, [&](std::string_view line) { joinedSize += line.size() + 2; });
    return joinedSize == bytes.size();
}

std::string ToJoinedForm(std::string bytes) {
    if (IsJoinedForm(bytes)) {
        return bytes;
    }
    std::string joined;
    ForEachLine(bytes, [&](std::string_view line) {
        joined += line;
        joined += "\r\n";
    });
    return joined;
}

void LoadLine(TAnswerTable& table, std::string_view line, int row) {
    int column = 0;
    ForEachCommaField(line, [&](std::string_view field) {
        ++column;
        table.SetCell(column, row, field);
        if (row == TAnswerTable::AnswerKeyRow && column > TAnswerTable::FirstQuestionColumn &&
            ContainsResultMarker(table.Cell(column, TAnswerTable::AnswerKeyRow))) {
            table.SetQuestionCount(column - TAnswerTable::FirstQuestionColumn);
            table.SetHighlightColor(clWhite);
            table.ProcessMessages();
            table.SetColumnWidth(column + 1, TAnswerTable::StatisticsLabelWidth);
            table.ProcessMessages();
        }
    });
}

} // namespace

int WrittenWidth(const TAnswerTable& table) {
    int width = TAnswerTable::FirstQuestionColumn;
    while (!table.Cell(width, TAnswerTable::AnswerKeyRow).empty()) {
        ++width;
    }
    return width;
}

void AppendRowLine(std::string& text, const TAnswerTable& table, int row, int width) {
    for (int column = 1; column <= width; ++column) {
        AppendCell(text, table.Cell(column, row));
    }
}

std::string GetTableText(const TAnswerTable& table) {
    const int width = WrittenWidth(table);
    std::string text;
    for (int row = TAnswerTable::AnswerKeyRow; row < TAnswerTable::FirstStudentRow ||
                                               !table.Cell(TAnswerTable::NumberColumn, row).empty();
         ++row) {
        AppendRowLine(text, table, row, width);
        text += "\r\n";
    }
    return text;
}

std::string LoadAnswerText(TAnswerTable& table, std::string bytes) {
    std::string loadedText = ToJoinedForm(std::move(bytes));
    int row = 0;
    ForEachLine(loadedText, [&](std::string_view line) { LoadLine(table, line, ++row); });
    return loadedText;
}

std::string LoadAnswerFile(TAnswerTable& table, const std::filesystem::path& fileName) {
    if (!table.Cell(TAnswerTable::FirstQuestionColumn, TAnswerTable::FirstStudentRow).empty()) {
        table.Reset();
    }
    try {
        std::string loadedText = LoadAnswerText(table, ReadFileBytes(fileName));
        table.EnableMarkAndSortByNumber();
        return loadedText;
    } catch (...) {
        table.EnableMarkAndSortByNumber();
        throw;
    }
}

bool IsTableTextChanged(const TAnswerTable& table, std::string_view loadedText) {
    return !loadedText.empty() && GetTableText(table) != loadedText;
}
