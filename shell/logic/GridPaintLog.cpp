#include "shell/logic/GridPaintLog.h"

#include "shell/logic/CellRule.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

/// Written cells listed beyond this are all the cells in view.
constexpr std::size_t MaxListedCells = std::size_t{1} << 12;

} // namespace

TGridPaintLog::TGridPaintLog(const TAnswerTable& table, std::function<TGridExtent()> measure)
    : table_(table), measure_(std::move(measure)) {}

TGridPaintLog::TCellKey TGridPaintLog::KeyOf(int column, int row) {
    return (static_cast<TCellKey>(static_cast<std::uint32_t>(row)) << 32) |
           static_cast<std::uint32_t>(column);
}

TGridCell TGridPaintLog::CellOf(TCellKey key) {
    return {static_cast<int>(key & 0xFFFF'FFFFu), static_cast<int>(key >> 32)};
}

const TCellRange& TGridPaintLog::VisibleCells() {
    if (!visibleKnown_) {
        const TGridExtent extent = measure_();
        visible_ = extent.visible;
        visibleKnown_ = true;
        // A write to the last two rows or the last column shown may change how many there are.
        quietCells_.firstColumn = 0;
        quietCells_.lastColumn = extent.shownColumnCount - 2;
        quietCells_.firstRow = visible_.lastRow + 1;
        quietCells_.lastRow = extent.shownRowCount - 3;
    }
    return visible_;
}

void TGridPaintLog::ForgetExtent() {
    visibleKnown_ = false;
    quietCells_ = TCellRange{.firstColumn = 0, .firstRow = 0, .lastColumn = -1, .lastRow = -1};
}

void TGridPaintLog::NoteWritten(int column, int row) {
    if (row == 0 || column == 0) {
        MarkHeaderWritten(column, row);
    } else {
        MarkWritten(column, row);
    }
}

void TGridPaintLog::MarkWritten(int column, int row) {
    if (allWritten_ || !VisibleCells().Contains(column, row)) {
        return;
    }
    if (writtenCells_.size() >= MaxListedCells) {
        allWritten_ = true;
        writtenCells_.clear();
        return;
    }
    writtenCells_.push_back(KeyOf(column, row));
}

void TGridPaintLog::MarkHeaderWritten(int column, int row) {
    const TCellRange& visible = VisibleCells();
    if (row == 0 && column >= visible.firstColumn && column <= visible.lastColumn) {
        headerWrites_.columns.push_back(column);
    } else if (column == 0 && row >= visible.firstRow && row <= visible.lastRow) {
        headerWrites_.rows.push_back(row);
    }
}

void TGridPaintLog::NoteAllWritten() {
    allWritten_ = true;
    headerWrites_.all = true;
}

void TGridPaintLog::NoteRowsWritten(int firstRow, int lastRow) {
    const TCellRange& visible = VisibleCells();
    const int first = std::max({firstRow, visible.firstRow, 1});
    const int last = std::min(lastRow, visible.lastRow);
    for (int row = first; row <= last; ++row) {
        MarkHeaderWritten(0, row);
        for (int column = visible.firstColumn; column <= visible.lastColumn; ++column) {
            MarkWritten(column, row);
        }
    }
    if (firstRow <= 0 && lastRow >= 0) {
        headerWrites_.all = true;
    }
}

template <typename TAct>
void TGridPaintLog::ForEachWrittenCellInView(TAct act) {
    const TCellRange& visible = VisibleCells();
    if (allWritten_) {
        for (int row = visible.firstRow; row <= visible.lastRow; ++row) {
            for (int column = visible.firstColumn; column <= visible.lastColumn; ++column) {
                act(KeyOf(column, row));
            }
        }
        return;
    }
    for (const TCellKey key : writtenCells_) {
        const TGridCell cell = CellOf(key);
        if (visible.Contains(cell.column, cell.row)) {
            act(key);
        }
    }
}

void TGridPaintLog::RecordColours() {
    const TColor highlight = table_.HighlightColor();
    ForEachWrittenCellInView([&](TCellKey key) { recorded_[key] = highlight; });
    ForgetWrittenCells();
}

void TGridPaintLog::ForgetWrittenCells() {
    writtenCells_.clear();
    allWritten_ = false;
}

std::vector<TGridCell> TGridPaintLog::TakeCellsToPaint() {
    // The question count decides which column is drawn as plain text: when it changes, every
    // cell in view is looked at, not only the written ones.
    if (table_.QuestionCount() != paintedQuestionCount_) {
        paintedQuestionCount_ = table_.QuestionCount();
        allWritten_ = true;
    }
    std::vector<TCellKey> keys;
    auto consider = [&](TCellKey key) {
        if (!IsShownAsIs(key)) {
            keys.push_back(key);
        }
    };
    ForEachWrittenCellInView(consider);
    const TCellRange& visible = VisibleCells();
    for (const auto& recorded : recorded_) {
        const TGridCell cell = CellOf(recorded.first);
        if (visible.Contains(cell.column, cell.row)) {
            consider(recorded.first);
        }
    }
    ForgetWrittenCells();
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    std::vector<TGridCell> cells;
    cells.reserve(keys.size());
    std::transform(keys.begin(), keys.end(), std::back_inserter(cells), CellOf);
    return cells;
}

THeaderWrites TGridPaintLog::TakeHeaderWrites() {
    return std::exchange(headerWrites_, THeaderWrites());
}

TColor TGridPaintLog::FillOf(int column, int row) const {
    if (!recorded_.empty()) {
        const auto recorded = recorded_.find(KeyOf(column, row));
        if (recorded != recorded_.end()) {
            return recorded->second;
        }
    }
    return table_.HighlightColor();
}

TColor TGridPaintLog::LookOf(int column, int row) const {
    return CellRule(column, row, table_.QuestionCount()) == TCellRule::Data ? FillOf(column, row)
                                                                            : PlainLook;
}

void TGridPaintLog::NoteShown(int column, int row, TColor look, std::string_view text) {
    const TCellKey key = KeyOf(column, row);
    auto shown = shown_.find(key);
    if (shown == shown_.end()) {
        if (shown_.size() >= MaxRememberedCells) {
            shown_.clear();
        }
        shown = shown_.emplace(key, TShownCell()).first;
    }
    shown->second.look = look;
    if (shown->second.text != text) {
        shown->second.text = text;
    }
}

bool TGridPaintLog::IsShownAsIs(TCellKey key) const {
    const auto shown = shown_.find(key);
    if (shown == shown_.end()) {
        return false;
    }
    const TGridCell cell = CellOf(key);
    return shown->second.look == LookOf(cell.column, cell.row) &&
           shown->second.text == table_.Cell(cell.column, cell.row);
}
