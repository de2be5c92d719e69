#include "table/clipboard/CellBlock.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

/// TAB, CR and LF, which end a cell outside quotes, looked up rather than compared, as a large
/// block reads millions of bytes.
constexpr std::array<bool, 256> CellEnds = [] {
    std::array<bool, 256> ends{};
    ends['\t'] = ends['\r'] = ends['\n'] = true;
    return ends;
}();

bool IsCellEnd(char byte) {
    return CellEnds[static_cast<unsigned char>(byte)];
}

/// The bytes compared one by one: no trail byte of a double-byte character is one of these.
bool NeedsQuotes(std::string_view cell) {
    return std::any_of(cell.begin(), cell.end(), [](char byte) {
        return byte == '\t' || byte == '\r' || byte == '\n' || byte == '"';
    });
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

void AppendClipboardCell(std::string_view cell, std::string& text) {
    if (NeedsQuotes(cell)) {
        AppendQuoted(cell, text);
    } else {
        text += cell;
    }
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
    const char* const bytes = text.data();
    while (end < text.size() && !IsCellEnd(bytes[end])) {
        ++end;
    }
    if (quotedEnd == std::string_view::npos) {
        block.AppendCell(std::string_view(bytes + at, end - at));
        return end;
    }
    AppendUnquoted(text, at, quotedEnd, block);
    // Text after the closing quote, which no spreadsheet writes, is kept as it stands.
    block.ExtendLastCell(text.substr(quotedEnd, end - quotedEnd));
    return end;
}

/// Appends code page text as UTF-8: its ASCII as it is, only the runs of other characters
/// converted, as a large block's cells are mostly ASCII.
void AppendAsUtf8(std::string_view text, std::string& utf8) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) {
                ++end;
            }
            utf8.append(text, at, end - at);
        } else {
            while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x80) {
                end += TCodePage::CharLength(text, end);
            }
            utf8 += TCodePage::ToUtf8(text.substr(at, end - at));
        }
        at = end;
    }
}

/// Escapes in the code page: no trail byte of a double-byte character is one of the bytes
/// escaped.
void AppendHtmlEscaped(std::string_view cell, std::string& html) {
    for (std::size_t at = 0; at < cell.size(); ++at) {
        switch (cell[at]) {
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
            if (at + 1 < cell.size() && cell[at + 1] == '\n') {
                ++at;
            }
            html += "<br>";
            break;
        case '\n':
            html += "<br>";
            break;
        default:
            html += cell[at];
        }
    }
}

void CheckCopiedRange(TCellRange range) {
    const TCellRange cells = range.Normalised();
    const std::int64_t count = (std::int64_t{cells.lastColumn} - cells.firstColumn + 1) *
                               (std::int64_t{cells.lastRow} - cells.firstRow + 1);
    if (cells.firstColumn < 0 || cells.firstRow < 0 || count > MaxCopiedCells) {
        throw EPelloranError("コピーする範囲が大きすぎます: " + std::to_string(count) + " セル");
    }
}

/// Calls `onCell` with each cell of the range, row by row, and `onRowEnd` after each row: the
/// stored cells taken from their rows in one walk each, the empty ones after them as such.
template <typename TOnCell, typename TOnRowEnd>
void ForEachRangeCell(const TAnswerTable& table, TCellRange range, TOnCell&& onCell,
                      TOnRowEnd&& onRowEnd) {
    const TCellRange cells = range.Normalised();
    const auto first = static_cast<std::size_t>(std::max(cells.firstColumn, 0));
    const auto end = static_cast<std::size_t>(std::max(cells.lastColumn + 1, 0));
    for (int row = std::max(cells.firstRow, 0); row <= cells.lastRow; ++row) {
        std::size_t column = first;
        table.Store().Row(row).ForEachCell(first, end, [&](std::string_view cell) {
            onCell(column - first, cell);
            ++column;
        });
        for (; column < end; ++column) {
            onCell(column - first, std::string_view());
        }
        onRowEnd();
    }
}

/// Bytes of the range's cells, and its rows and columns.
std::size_t RangeBytes(const TAnswerTable& table, TCellRange range) {
    const TCellRange cells = range.Normalised();
    std::size_t bytes = 0;
    for (int row = std::max(cells.firstRow, 0); row <= cells.lastRow; ++row) {
        bytes += table.Store().Row(row).ByteSize(static_cast<std::size_t>(cells.firstColumn),
                                                 static_cast<std::size_t>(cells.lastColumn) + 1);
    }
    return bytes;
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

void TCellBlock::Reserve(std::size_t bytes, std::size_t cells, std::size_t rows) {
    bytes_.reserve(bytes);
    ends_.reserve(cells);
    rowStarts_.reserve(rows);
}

void TCellBlock::AddRow() {
    rowStarts_.push_back(ends_.size());
    lastRowColumns_ = 0;
}

void TCellBlock::ThrowTooLarge() {
    throw EPelloranError("貼り付けるテキストが 4 GB を超えています");
}

void TCellBlock::ExtendLastCell(std::string_view text) {
    bytes_ += text;
    ends_.back() = NarrowedEnd(bytes_.size());
}

TCellBlock CopyCellBlock(const TAnswerTable& table, TCellRange range) {
    CheckCopiedRange(range);
    TCellBlock block;
    const auto rows = static_cast<std::size_t>(range.RowCount());
    block.Reserve(RangeBytes(table, range), rows * static_cast<std::size_t>(range.ColumnCount()),
                  rows);
    block.AddRow();
    ForEachRangeCell(
        table, range, [&](std::size_t, std::string_view cell) { block.AppendCell(cell); },
        [&] {
            if (block.RowCount() < range.RowCount()) {
                block.AddRow();
            }
        });
    return block;
}

std::string RangeClipboardText(const TAnswerTable& table, TCellRange range) {
    CheckCopiedRange(range);
    std::string text;
    const auto rows = static_cast<std::size_t>(range.RowCount());
    text.reserve(RangeBytes(table, range) +
                 rows * static_cast<std::size_t>(range.ColumnCount() + 1));
    ForEachRangeCell(
        table, range,
        [&](std::size_t column, std::string_view cell) {
            if (column > 0) {
                text += '\t';
            }
            AppendClipboardCell(cell, text);
        },
        [&] { text += "\r\n"; });
    return text;
}

std::string BlockClipboardText(const TCellBlock& block) {
    std::string text;
    for (int row = 0; row < block.RowCount(); ++row) {
        for (int column = 0; column < block.ColumnCount(row); ++column) {
            if (column > 0) {
                text += '\t';
            }
            AppendClipboardCell(block.Cell(row, column), text);
        }
        text += "\r\n";
    }
    return text;
}

std::string BlockClipboardHtml(const TCellBlock& block) {
    std::string html = "<html><head><meta charset=\"utf-8\"></head><body><table>\n";
    std::string escaped;
    for (int row = 0; row < block.RowCount(); ++row) {
        html += "<tr>";
        const TBlockRow cells = block.Row(row);
        for (int column = 0; column < cells.ColumnCount(); ++column) {
            html += "<td>";
            escaped.clear();
            AppendHtmlEscaped(cells.Cell(column), escaped);
            AppendAsUtf8(escaped, html);
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
    // Room for the cells of a text without quotes, which most are.
    const auto lineBreaks = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    const auto tabs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\t'));
    block.Reserve(text.size(), tabs + lineBreaks + 1, lineBreaks + 1);
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
    const std::size_t quotedEnd =
        text.starts_with('"') ? QuotedCellEnd(text, 0) : std::string_view::npos;
    std::size_t at = quotedEnd == std::string_view::npos ? 0 : quotedEnd;
    while (at < text.size() && !IsCellEnd(text[at])) {
        ++at;
    }
    if (at == text.size()) {
        return false;
    }
    if (text[at] == '\t') {
        return true;
    }
    at += text.substr(at).starts_with("\r\n") ? std::size_t{2} : std::size_t{1};
    return at < text.size();
}
