#include "AnswerFile.h"

#include "TextRules.h"
#include "platform/CodePage.h"
#include "platform/Files.h"

#include <algorithm>

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
        const auto code = static_cast<unsigned char>(byte);
        if (code > ',' && !TCodePage::IsLeadByte(code)) {
            ++at;
            continue;
        }
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

/// Writes the fields of the first line one by one: each may be the result marker.
void LoadAnswerKeyLine(TAnswerTable& table, std::string_view line) {
    constexpr int row = TAnswerTable::AnswerKeyRow;
    int column = 0;
    ForEachCommaField(line, [&](std::string_view field) {
        ++column;
        table.SetCell(column, row, field);
        if (column > TAnswerTable::FirstQuestionColumn &&
            ContainsResultMarker(table.Cell(column, row))) {
            table.SetQuestionCount(column - TAnswerTable::FirstQuestionColumn);
            table.SetHighlightColor(clWhite);
            table.ProcessMessages();
            table.SetColumnWidth(column + 1, TAnswerTable::StatisticsLabelWidth);
            table.ProcessMessages();
        }
    });
}

/// Loads one line per row, building each row whole rather than cell by cell.
class TLineLoader {
public:
    explicit TLineLoader(TAnswerTable& table) : table_(table) {}

    void Load(std::string_view line) {
        ++row_;
        if (row_ == TAnswerTable::AnswerKeyRow) {
            LoadAnswerKeyLine(table_, line);
            return;
        }
        TRowCells cells;
        cells.Reserve(table_.Cell(0, row_).size() + line.size(), expectedCells_);
        cells.Append(table_.Cell(0, row_));
        ForEachCommaField(line, [&](std::string_view field) { cells.Append(field); });
        expectedCells_ = cells.Size();
        if (cells.Size() > 1) {
            table_.WriteRowCells(row_, std::move(cells));
        }
    }

private:
    TAnswerTable& table_;
    int row_ = 0;
    std::size_t expectedCells_ = 0;
};

} // namespace

int WrittenWidth(const TAnswerTable& table) {
    int width = TAnswerTable::FirstQuestionColumn;
    while (!table.Cell(width, TAnswerTable::AnswerKeyRow).empty()) {
        ++width;
    }
    return width;
}

std::string GetTableText(const TAnswerTable& table) {
    const auto width = static_cast<std::size_t>(WrittenWidth(table));
    int lastRow = TAnswerTable::PointsRow;
    std::size_t size = 0;
    for (int row = TAnswerTable::AnswerKeyRow; row <= lastRow; ++row) {
        const TRowCells& cells = table.Row(row);
        size += cells.ByteSize(1, width + 1) + width + 2;
        if (!table.Cell(TAnswerTable::NumberColumn, row + 1).empty()) {
            lastRow = std::max(lastRow, row + 1);
        }
    }
    std::string text;
    text.reserve(size);
    for (int row = TAnswerTable::AnswerKeyRow; row <= lastRow; ++row) {
        const TRowCells& cells = table.Row(row);
        for (std::size_t column = 1; column <= width; ++column) {
            AppendCell(text, cells.Cell(column));
        }
        text += "\r\n";
    }
    return text;
}

std::string LoadAnswerText(TAnswerTable& table, std::string bytes) {
    table.ReserveRows(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 2);
    TLineLoader loader(table);
    std::size_t joinedSize = 0;
    ForEachLine(bytes, [&](std::string_view line) {
        joinedSize += line.size() + 2;
        loader.Load(line);
    });
    // Usually the file is already in that form and its bytes are the loaded text.
    if (joinedSize == bytes.size() && bytes.find('\0') == std::string::npos) {
        return bytes;
    }
    std::string joined;
    joined.reserve(joinedSize);
    ForEachLine(bytes, [&](std::string_view line) {
        joined += line;
        joined += "\r\n";
    });
    return joined;
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
