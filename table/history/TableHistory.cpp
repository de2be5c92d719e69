#include "table/history/TableHistory.h"

#include "table/clipboard/BlockWriting.h"
#include "table/marking/Marking.h"
#include "table/marking/Sorting.h"
#include "table/progress/Progress.h"
#include "table/roster/RosterPaste.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::array<TCommand, 3> Commands = {TCommand::mmMark, TCommand::mmSortWithNumber,
                                              TCommand::mmSortWithPoint};

/// `widths` false leaves the columns the widths the user gave them since.
void ApplyState(TAnswerTable& table, const TTableState& state, bool widths) {
    for (std::size_t index = 0; index < Commands.size(); ++index) {
        if (table.IsEnabled(Commands[index]) != state.enabled[index]) {
            table.SetEnabled(Commands[index], state.enabled[index]);
        }
    }
    table.SetQuestionCount(state.questionCount);
    table.SetHighlightColor(state.highlightColor);
    if (widths && table.ColumnWidths() != state.columnWidths) {
        table.SetColumnWidths(state.columnWidths);
    }
    if (table.StoredShape() != state.shape) {
        table.RestoreStoredShape(state.shape);
    }
}

/// Whether `sourceRows` are the rows from `firstRow` on, each once: an order that its inverse
/// order undoes.
bool IsRowOrder(const std::vector<int>& sourceRows, int firstRow) {
    std::vector<bool> seen(sourceRows.size(), false);
    for (const int source : sourceRows) {
        const auto offset = static_cast<std::size_t>(source - firstRow);
        if (source < firstRow || offset >= seen.size() || seen[offset]) {
            return false;
        }
        seen[offset] = true;
    }
    return true;
}

/// Writes each change down as it is made.
class TStepRecorder : public TCellChangeRecorder {
public:
    explicit TStepRecorder(std::vector<TRecordedChange>& changes) : changes_(changes) {}

    void CellChanging(int column, int row, std::string_view oldText,
                      std::string_view newText) override {
        if (oldText != newText) {
            changes_.emplace_back(TCellChange{column, row, std::string(oldText)});
        }
    }

    void RowReplaced(int row, TRowCells oldRow) override {
        changes_.emplace_back(TRowChange{row, std::move(oldRow)});
    }

    void RowsMoving(const TCellStore& cells, const std::vector<int>& sourceRows, int firstRow,
                    int firstColumn) override {
        if (IsRowOrder(sourceRows, firstRow)) {
            changes_.emplace_back(TRowOrder{firstRow, firstColumn, sourceRows});
            return;
        }
        for (std::size_t offset = 0; offset < sourceRows.size(); ++offset) {
            const int row = firstRow + static_cast<int>(offset);
            changes_.emplace_back(TRowChange{row, cells.Row(row)});
        }
    }

    void CellsReplaced(TCellStore oldCells) override {
        changes_.emplace_back(std::make_unique<TCellStore>(std::move(oldCells)));
    }

private:
    std::vector<TRecordedChange>& changes_;
};

/// Records the table's changes while it lives.
class TRecording {
public:
    TRecording(TAnswerTable& table, std::vector<TRecordedChange>& changes)
        : table_(table), recorder_(changes) {
        table_.SetRecorder(&recorder_);
    }
    TRecording(const TRecording&) = delete;
    TRecording& operator=(const TRecording&) = delete;
    ~TRecording() { table_.SetRecorder(nullptr); }

private:
    TAnswerTable& table_;
    TStepRecorder recorder_;
};

/// The order that puts rows moved by `order` back.
std::vector<int> InverseOrder(const TRowOrder& order) {
    std::vector<int> inverse(order.sourceRows.size());
    for (std::size_t offset = 0; offset < order.sourceRows.size(); ++offset) {
        inverse[static_cast<std::size_t>(order.sourceRows[offset] - order.firstRow)] =
            order.firstRow + static_cast<int>(offset);
    }
    return inverse;
}

/// Undoes the change, or does it again, by exchanging what it holds with the table's.
void Exchange(TAnswerTable& table, TRecordedChange& change, bool undoing) {
    if (auto* cell = std::get_if<TCellChange>(&change)) {
        std::string current(table.Cell(cell->column, cell->row));
        table.SetCell(cell->column, cell->row, cell->text);
        cell->text = std::move(current);
    } else if (auto* row = std::get_if<TRowChange>(&change)) {
        row->cells = table.ExchangeRow(row->row, std::move(row->cells));
    } else if (auto* order = std::get_if<TRowOrder>(&change)) {
        table.MoveRows(undoing ? InverseOrder(*order) : order->sourceRows, order->firstRow,
                       order->firstColumn);
    } else {
        auto& cells = std::get<std::unique_ptr<TCellStore>>(change);
        *cells = table.ExchangeCells(std::move(*cells));
    }
}

void UndoChanges(TAnswerTable& table, std::vector<TRecordedChange>& changes) {
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        Exchange(table, *change, true);
    }
}

void RedoChanges(TAnswerTable& table, std::vector<TRecordedChange>& changes) {
    for (TRecordedChange& change : changes) {
        Exchange(table, change, false);
    }
}

std::size_t StringMemory(const std::string& text) {
    return text.capacity() > std::string().capacity() ? text.capacity() + 1 : 0;
}

std::size_t ChangeMemory(const TRecordedChange& change) {
    if (const auto* cell = std::get_if<TCellChange>(&change)) {
        return StringMemory(cell->text);
    }
    if (const auto* row = std::get_if<TRowChange>(&change)) {
        return row->cells.MemorySize() - sizeof(TRowCells);
    }
    if (const auto* order = std::get_if<TRowOrder>(&change)) {
        return order->sourceRows.capacity() * sizeof(int);
    }
    return sizeof(TCellStore) + std::get<std::unique_ptr<TCellStore>>(change)->MemorySize();
}

std::size_t StepMemory(const THistoryStep& step) {
    std::size_t size = sizeof(THistoryStep) + step.changes.capacity() * sizeof(TRecordedChange);
    for (const TRecordedChange& change : step.changes) {
        size += ChangeMemory(change);
    }
    if (step.file) {
        size += StringMemory(step.file->loadedText) + step.file->fileName.native().size();
    }
    return size;
}

} // namespace

TTableState TableState(const TAnswerTable& table) {
    TTableState state;
    for (std::size_t index = 0; index < Commands.size(); ++index) {
        state.enabled[index] = table.IsEnabled(Commands[index]);
    }
    state.questionCount = table.QuestionCount();
    state.highlightColor = table.HighlightColor();
    state.columnWidths = table.ColumnWidths();
    state.shape = table.StoredShape();
    return state;
}

TTableHistory::TTableHistory(TTableSession& session, THistoryLimits limits)
    : session_(session), limits_(limits) {}

TTableHistory::~TTableHistory() = default;

THistoryStep TTableHistory::RunStep(TStepKind kind,
                                    const std::function<void(TAnswerTable&)>& command,
                                    std::size_t expectedChanges) {
    TAnswerTable& table = session_.Table();
    THistoryStep step;
    step.kind = kind;
    step.changes.reserve(expectedChanges);
    step.before = TableState(table);
    try {
        const TRecording recording(table, step.changes);
        command(table);
    } catch (const ECancelledError&) {
        // The user stopped it: nothing of the command stays, not even the state a failure keeps.
        UndoChanges(table, step.changes);
        ApplyState(table, step.before, true);
        throw;
    } catch (...) {
        UndoChanges(table, step.changes);
        table.RestoreStoredShape(step.before.shape);
        KeepStateOfFailure(TableState(table));
        throw;
    }
    step.after = TableState(table);
    return step;
}

void TTableHistory::KeepStateOfFailure(const TTableState& state) {
    if (done_ > 0) {
        steps_[done_ - 1].after = state;
    }
    if (done_ < steps_.size()) {
        steps_[done_].before = state;
    }
}

void TTableHistory::Record(TStepKind kind, const std::function<void(TAnswerTable&)>& command) {
    RecordStep(kind, command, 0);
}

void TTableHistory::RecordStep(TStepKind kind, const std::function<void(TAnswerTable&)>& command,
                               std::size_t expectedChanges) {
    THistoryStep step = RunStep(kind, command, expectedChanges);
    if (!step.changes.empty() || step.before != step.after) {
        Push(std::move(step));
    }
}

void TTableHistory::RecordWithFile(TStepKind kind, const std::function<bool()>& command) {
    TSessionFile previous = session_.ExchangeFile({});
    THistoryStep step;
    bool replacedFile = false;
    try {
        step = RunStep(kind, [&](TAnswerTable&) { replacedFile = command(); });
    } catch (...) {
        session_.ExchangeFile(std::move(previous));
        throw;
    }
    if (replacedFile) {
        step.file = std::move(previous);
    } else {
        session_.ExchangeFile(std::move(previous));
    }
    Push(std::move(step));
}

void TTableHistory::Push(THistoryStep step) {
    typingCell_.reset();
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
    step.memorySize = StepMemory(step);
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    DropOldSteps();
}

void TTableHistory::DropOldSteps() {
    while (steps_.size() > 1 &&
           (steps_.size() > limits_.maxSteps || MemorySize() > limits_.maxBytes)) {
        steps_.pop_front();
        --done_;
    }
}

void TTableHistory::SetCell(int column, int row, std::string_view text) {
    Record(TStepKind::Typing, [&](TAnswerTable& table) { table.SetCell(column, row, text); });
}

void TTableHistory::Type(int column, int row, std::string_view text) {
    const std::pair<int, int> cell{column, row};
    if (typingCell_ == cell && done_ == steps_.size()) {
        // The step holds the text the cell had before the first keystroke, all undo needs.
        session_.Table().SetCell(column, row, text);
        return;
    }
    THistoryStep step =
        RunStep(TStepKind::Typing, [&](TAnswerTable& table) { table.SetCell(column, row, text); });
    if (!step.changes.empty()) {
        Push(std::move(step));
        typingCell_ = cell;
    }
}

void TTableHistory::PasteBlock(int column, int row, const TCellBlock& block) {
    // A row written whole is one change.
    RecordStep(
        TStepKind::BlockPaste, [&](TAnswerTable& table) { WriteBlock(table, column, row, block); },
        static_cast<std::size_t>(block.RowCount()));
}

void TTableHistory::Clear(TCellRange range) {
    Record(TStepKind::Clear, [&](TAnswerTable& table) { EmptyRange(table, range); });
}

TCellBlock TTableHistory::Cut(TCellRange range) {
    TCellBlock block = CopyCellBlock(session_.Table(), range);
    Record(TStepKind::Cut, [&](TAnswerTable& table) { EmptyRange(table, range); });
    return block;
}

int TTableHistory::PasteRoster(const std::function<std::string()>& readText) {
    int nulLine = 0;
    Record(TStepKind::RosterPaste,
           [&](TAnswerTable& table) { nulLine = PasteRosterFrom(table, readText); });
    return nulLine;
}

void TTableHistory::Mark(char decimalSeparator) {
    Record(TStepKind::Mark, [&](TAnswerTable& table) { MarkTable(table, decimalSeparator); });
}

void TTableHistory::SortByNumber(const TCollator& collator) {
    Record(TStepKind::SortByNumber, [&](TAnswerTable& table) { ::SortByNumber(table, collator); });
}

void TTableHistory::SortByScore(const TCollator& collator) {
    Record(TStepKind::SortByScore,
           [&](TAnswerTable& table) { SortMarkedTableByScore(table, collator); });
}

void TTableHistory::New() {
    RecordWithFile(TStepKind::New, [&] {
        session_.New();
        return true;
    });
}

TOpenedFile TTableHistory::Open(const std::filesystem::path& fileName) {
    TOpenedFile opened;
    RecordWithFile(TStepKind::Open, [&] {
        opened = session_.Open(fileName);
        return opened.namesTable;
    });
    return opened;
}

void TTableHistory::Undo() {
    if (CanUndo()) {
        Revisit(steps_[--done_], true);
    }
}

void TTableHistory::Redo() {
    if (CanRedo()) {
        Revisit(steps_[done_++], false);
    }
}

void TTableHistory::Revisit(THistoryStep& step, bool back) {
    typingCell_.reset();
    TAnswerTable& table = session_.Table();
    // A column widened by hand after the step keeps its width, unless the step set widths.
    const bool widths = step.before.columnWidths != step.after.columnWidths;
    if (back) {
        UndoChanges(table, step.changes);
        ApplyState(table, step.before, widths);
    } else {
        RedoChanges(table, step.changes);
        ApplyState(table, step.after, widths);
    }
    // The file the step replaced and the one it brought trade places either way.
    if (step.file) {
        step.file = session_.ExchangeFile(std::move(*step.file));
    }
    step.memorySize = StepMemory(step);
}

void TTableHistory::Forget() {
    typingCell_.reset();
    steps_.clear();
    done_ = 0;
}

std::size_t TTableHistory::MemorySize() const {
    std::size_t size = 0;
    for (const THistoryStep& step : steps_) {
        size += step.memorySize;
    }
    return size;
}
