#include "table/clipboard/CellBlock.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "table/clipboard/TabBlocks.h"

#include <algorithm>
#include <array>
#include <cstring>
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

/// How many cells a text may hold at the most: one more than its TABs and line breaks.
std::size_t MostCells(std::string_view text) {
    std::size_t separators = 0;
    for (const char byte : text) {
        separators += static_cast<std::size_t>(byte == '\t') +
                      static_cast<std::size_t>(byte == '\r') +
                      static_cast<std::size_t>(byte == '\n');
    }
    return separators + 1;
}

/// Reads clipboard text into buffers with room for it (what MostCells and the text's size
/// give, and a vector block beyond): the cells' bytes one after the other, where each cell
/// ends in them, and where each row's cells begin. Plain runs of cells are split a vector
/// block at a time; quoted cells and line breaks byte by byte.
class TClipboardTextReader {
public:
    TClipboardTextReader(std::string_view text, char* bytes, std::uint32_t* ends,
                         std::vector<std::size_t>& rowStarts)
        : text_(text.data()), in_(text.data()), end_(text.data() + text.size()), bytes_(bytes),
          out_(bytes), firstEnd_(ends), ends_(ends), rowStarts_(rowStarts) {}

    void Read() {
        StartRow();
        while (true) {
            in_ = TabBlocks::SplitBlocks(in_, end_, out_, bytes_, ends_);
            if (AtCellStart() && in_ < end_ && *in_ == '"') {
                ReadQuotedCell();
            }
            ReadRestOfCell();
            *ends_++ = static_cast<std::uint32_t>(out_ - bytes_);
            if (in_ == end_) {
                break;
            }
            if (*in_ == '\t') {
                ++in_;
                continue;
            }
            in_ += *in_ == '\r' && in_ + 1 < end_ && in_[1] == '\n' ? 2 : 1;
            EndRow();
            if (in_ == end_) {
                return;
            }
            StartRow();
        }
        EndRow();
    }

    std::size_t ByteCount() const { return static_cast<std::size_t>(out_ - bytes_); }
    std::size_t CellCount() const { return static_cast<std::size_t>(ends_ - firstEnd_); }
    int Width() const { return width_; }
    int LastRowColumns() const { return lastRowColumns_; }

private:
    /// Whether nothing of the current cell has been read: a quote here opens a quoted cell.
    bool AtCellStart() const { return in_ == text_ || IsCellEnd(in_[-1]); }

    /// The cell that begins with a quote, up to its closing quote, its doubled quotes read as
    /// one; one that no quote closes is read as it stands.
    void ReadQuotedCell() {
        const std::string_view text(text_, static_cast<std::size_t>(end_ - text_));
        const std::size_t quotedEnd = QuotedCellEnd(text, static_cast<std::size_t>(in_ - text_));
        if (quotedEnd == std::string_view::npos) {
            return;
        }
        const char* const closingQuote = text_ + quotedEnd - 1;
        for (const char* inner = in_ + 1; inner < closingQuote; ++inner) {
            *out_++ = *inner;
            inner += *inner == '"' ? 1 : 0;
        }
        in_ = closingQuote + 1;
    }

    /// The rest of the cell, up to a TAB, a line break or the end. Text after a closing quote,
    /// which no spreadsheet writes, is kept as it stands.
    void ReadRestOfCell() {
        while (in_ < end_ && !IsCellEnd(*in_)) {
            *out_++ = *in_++;
        }
    }

    void StartRow() { rowStarts_.push_back(CellCount()); }

    void EndRow() {
        lastRowColumns_ = static_cast<int>(CellCount() - rowStarts_.back());
        width_ = std::max(width_, lastRowColumns_);
    }

    const char* const text_;
    const char* in_;
    const char* const end_;
    const char* const bytes_;
    char* out_;
    const std::uint32_t* const firstEnd_;
    std::uint32_t* ends_;
    std::vector<std::size_t>& rowStarts_;
    int width_ = 0;
    int lastRowColumns_ = 0;
};

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
        throw EPelloranError(TUserText("CopyTooLarge", "コピーする範囲が大きすぎます: %1 セル",
                                       {TUserText::Number(count)}));
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
    return {bytes_.data() + start, ends_[index] - start};
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
    throw EPelloranError(TUserText("PasteTooLarge", "貼り付けるテキストが 4 GB を超えています"));
}

TCellBlock CopyCellBlock(const TAnswerTable& table, TCellRange range) {
    CheckCopiedRange(range);
    const std::size_t bytes = RangeBytes(table, range);
    if (bytes > TCellBlock::MaxBytes) {
        TCellBlock::ThrowTooLarge();
    }
    const auto rows = static_cast<std::size_t>(range.RowCount());
    const auto columns = static_cast<std::size_t>(range.ColumnCount());
    TCellBlock block;
    block.bytes_.resize(bytes);
    block.ends_.resize(rows * columns);
    block.rowStarts_.resize(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        block.rowStarts_[row] = row * columns;
    }
    // A stored row's cells lie one after the other: each row's are copied at once.
    const TCellRange cells = range.Normalised();
    const auto firstColumn = static_cast<std::size_t>(cells.firstColumn);
    const std::size_t endColumn = firstColumn + columns;
    char* const first = block.bytes_.data();
    std::uint32_t* end = block.ends_.data();
    auto cellEnd = std::uint32_t{0};
    for (int row = cells.firstRow; row <= cells.lastRow; ++row) {
        const TRowCells& stored = table.Store().Row(row);
        const std::string_view text = stored.Bytes(firstColumn, endColumn);
        if (!text.empty()) {
            std::memcpy(first + cellEnd, text.data(), text.size());
        }
        std::size_t column = firstColumn;
        stored.ForEachCell(firstColumn, endColumn, [&](std::string_view cell) {
            cellEnd += static_cast<std::uint32_t>(cell.size());
            *end++ = cellEnd;
            ++column;
        });
        end = std::fill_n(end, endColumn - column, cellEnd);
    }
    block.width_ = static_cast<int>(columns);
    block.lastRowColumns_ = static_cast<int>(columns);
    return block;
}

std::string BlockClipboardText(const TCellBlock& block) {
    // Room for the text of a block whose cells need no quotes, which most do not.
    std::size_t size = 0;
    for (int row = 0; row < block.RowCount(); ++row) {
        size += block.Row(row).Text().size() + 2;
    }
    std::string text;
    text.reserve(size + block.CellCount());
    for (int row = 0; row < block.RowCount(); ++row) {
        const TBlockRow cells = block.Row(row);
        for (int column = 0; column < cells.ColumnCount(); ++column) {
            if (column > 0) {
                text += '\t';
            }
            AppendClipboardCell(cells.Cell(column), text);
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
    // The cells take no more bytes than the text: ends within it fit.
    if (text.size() > TCellBlock::MaxBytes) {
        TCellBlock::ThrowTooLarge();
    }
    block.bytes_.resize(text.size() + TabBlocks::BlockSize);
    block.ends_.resize(MostCells(text) + TabBlocks::BlockSize);
    TClipboardTextReader reader(text, block.bytes_.data(), block.ends_.data(), block.rowStarts_);
    reader.Read();
    block.bytes_.resize(reader.ByteCount());
    block.ends_.resize(reader.CellCount());
    block.width_ = reader.Width();
    block.lastRowColumns_ = reader.LastRowColumns();
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
