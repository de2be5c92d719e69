#include "table/clipboard/CellBlock.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace {

bool IsRowEnd(char byte) {
    return byte == '\r' || byte == '\n';
}

bool IsCellEnd(char byte) {
    return byte == '\t' || IsRowEnd(byte);
}

bool NeedsQuotes(std::string_view cell) {
    return cell.find_first_of("\t\r\n\"") != std::string_view::npos;
}

void AppendQuoted(std::string_view cell, std::string& text) {
    text += '"';
    for (const char byte : cell) {
        if (byte == '"') {
            text += '"';
        }
        text += byte;
    }
    text += '"';
}

/// Where the quoted cell that begins at `at` ends, just after its closing quote; npos when
/// no quote closes it.
std::size_t QuotedCellEnd(std::string_view text, std::size_t at) {
    for (std::size_t next = at + 1; next < text.size(); ++next) {
        if (text[next] != '"') {
            continue;
        }
        if (next + 1 < text.size() && text[next + 1] == '"') {
            ++next;
            continue;
        }
        return next + 1;
    }
    return std::string_view::npos;
}

/// Appends the quoted cell between `at` and `end` to the block, its quotes taken off and its
/// doubled quotes read as one.
void AppendUnquoted(std::string_view text, std::size_t at, std::size_t end, TCellBlock& block) {
    block.AppendCell({});
    const std::string_view inner = text.substr(at + 1, end - at - 2);
    for (std::size_t from = 0; from < inner.size();) {
        const std::size_t quote = inner.find('"', from);
        const std::size_t pieceEnd = quote == std::string_view::npos ? inner.size() : quote + 1;
        block.ExtendLastCell(inner.substr(from, pieceEnd - from));
        from = pieceEnd + (quote == std::string_view::npos ? 0 : 1);
    }
}

/// Reads the cell that begins at `at` into the block and returns where it ends: at a TAB, a
/// line break or the end of the text.
std::size_t ReadCell(std::string_view text, std::size_t at, TCellBlock& block) {
    const std::size_t quotedEnd =
        at < text.size() && text[at] == '"' ? QuotedCellEnd(text, at) : std::string_view::npos;
    std::size_t end = quotedEnd == std::string_view::npos ? at : quotedEnd;
    while (end < text.size() && !IsCellEnd(text[end])) {
        ++end;
    }
    if (quotedEnd == std::string_view::npos) {
        block.AppendCell(text.substr(at, end - at));
        return end;
    }
    AppendUnquoted(text, at, quotedEnd, block);
    // Text after the closing quote, which no spreadsheet writes, is kept as it stands.
    block.ExtendLastCell(text.substr(quotedEnd, end - quotedEnd));
    return end;
}

void AppendHtmlEscaped(std::string_view utf8, std::string& html) {
    for (std::size_t at = 0; at < utf8.size(); ++at) {
        switch (utf8[at]) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        case '\r':
            if (at + 1 < utf8.size() && utf8[at + 1] == '\n') {
                ++at;
            }
            html += "<br>";
            break;
        case '\n':
            html += "<br>";
            break;
        default:
            html += utf8[at];
        }
    }
}

} // namespace

TCellRange TCellRange::Normalised() const {
    return {std::min(firstColumn, lastColumn), std::min(firstRow, lastRow),
            std::max(firstColumn, lastColumn), std::max(firstRow, lastRow)};
}

int TCellBlock::ColumnCount(int row) const {
    const auto index = static_cast<std::size_t>(row);
    const std::size_t end = index + 1 < rowStarts_.size() ? rowStarts_[index + 1] : ends_.size();
    return static_cast<int>(end - rowStarts_[index]);
}

std::string_view TCellBlock::Cell(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount(row)) {
        return {};
    }
    const std::size_t index =
        rowStarts_[static_cast<std::size_t>(row)] + static_cast<std::size_t>(column);
    const std::size_t start = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(bytes_).substr(start, ends_[index] - start);
}

void TCellBlock::AddRow() {
    rowStarts_.push_back(ends_.size());
}

void TCellBlock::AppendCell(std::string_view text) {
    bytes_ += text;
    ends_.push_back(bytes_.size());
    width_ = std::max(width_, ColumnCount(RowCount() - 1));
}

void TCellBlock::ExtendLastCell(std::string_view text) {
    bytes_ += text;
    ends_.back() = bytes_.size();
}

TCellBlock CopyCellBlock(const TAnswerTable& table, TCellRange range) {
    const TCellRange cells = range.Normalised();
    TCellBlock block;
    for (int row = cells.firstRow; row <= cells.lastRow; ++row) {
        block.AddRow();
        for (int column = cells.firstColumn; column <= cells.lastColumn; ++column) {
            block.AppendCell(table.Cell(column, row));
        }
    }
    return block;
}

std::string BlockClipboardText(const TCellBlock& block) {
    std::string text;
    for (int row = 0; row < block.RowCount(); ++row) {
        for (int column = 0; column < block.ColumnCount(row); ++column) {
            if (column > 0) {
                text += '\t';
            }
            const std::string_view cell = block.Cell(row, column);
            if (NeedsQuotes(cell)) {
                AppendQuoted(cell, text);
            } else {
                text += cell;
            }
        }
        text += "\r\n";
    }
    return text;
}

std::string BlockClipboardHtml(const TCellBlock& block) {
    std::string html = "<html><head><meta charset=\"utf-8\"></head><body><table>\n";
    for (int row = 0; row < block.RowCount(); ++row) {
        html += "<tr>";
        for (int column = 0; column < block.ColumnCount(row); ++column) {
            html += "<td>";
            AppendHtmlEscaped(TCodePage::ToUtf8(block.Cell(row, column)), html);
            html += "</td>";
        }
        html += "</tr>\n";
    }
    html += "</table></body></html>\n";
    return html;
}

TCellBlock ReadClipboardBlock(std::string_view text) {
    TCellBlock block;
    if (text.empty()) {
        return block;
    }
    block.AddRow();
    std::size_t at = 0;
    while (true) {
        at = ReadCell(text, at, block);
        if (at == text.size()) {
            break;
        }
        if (text[at] == '\t') {
            ++at;
            continue;
        }
        at += text.substr(at).starts_with("\r\n") ? std::size_t{2} : std::size_t{1};
        if (at == text.size()) {
            break;
        }
        block.AddRow();
    }
    return block;
}

bool HoldsSeveralCells(std::string_view text) {
    return ReadClipboardBlock(text).CellCount() > 1;
}
