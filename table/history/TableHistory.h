#pragma once

#include "platform/Collator.h"
#include "table/clipboard/CellBlock.h"
#include "table/session/TableSession.h"
#include "table/store/AnswerTable.h"

#include <array>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

/// The changes of the table that can be undone, one step each.
enum class TStepKind {
    Typing,
    BlockPaste,
    Cut,
    Clear,
    RosterPaste,
    Mark,
    SortByNumber,
    SortByScore,
    New,
    Open,
};

/// What the history keeps at the most; past either bound the oldest steps are forgotten, but
/// never the last one done.
struct THistoryLimits {
    std::size_t maxSteps = 100;
    std::size_t maxBytes = std::size_t{512} << 20;
};

/// The table's state beside its cells that a step may change.
struct TTableState {
    std::array<bool, 3> enabled{};
    int questionCount = 0;
    TColor highlightColor = clWhite;
    std::map<int, int> columnWidths;
    /// The stored rows and columns: a command that grew the table is undone to its size before.
    TStoreShape shape;

    bool operator==(const TTableState& other) const = default;
};

/// One recorded change, holding what the table held before it (after an undo, what it held
/// after): each is undone by exchanging what it holds with the table's.
struct TCellChange {
    int column = 0;
    int row = 0;
    std::string text;
};
struct TRowChange {
    int row = 0;
    TRowCells cells;
};
/// Rows put in another order: `sourceRows[i]` went to `firstRow + i`, from `firstColumn` on.
struct TRowOrder {
    int firstRow = 0;
    int firstColumn = 0;
    std::vector<int> sourceRows;
};
using TRecordedChange =
    std::variant<TCellChange, TRowChange, TRowOrder, std::unique_ptr<TCellStore>>;

/// A step: what one command changed, in order, and the state before and after it.
struct THistoryStep {
    TStepKind kind = TStepKind::Typing;
    TTableState before;
    TTableState after;
    std::vector<TRecordedChange> changes;
    /// For Open and New: what the session knew of its file on the other side of the step.
    std::optional<TSessionFile> file;
    std::size_t memorySize = 0;
};

/// The undo and redo history of a session's table, the same for the window and for
/// pelloran-cli: every command that changes cells runs through it as one step. A step keeps
/// what the command changed, not a copy of the table: a sort its order of rows, Mark the cells
/// it wrote, a paste the cells or rows it overwrote, Open and New the cells they replaced. A
/// command that fails leaves no step and no cell changed, but the commands' state that its own
/// rules set on failure stays, and undo coming back to that point brings it back.
/// Undo and redo bring back the cells, the stored rows and columns, the enabled commands, the
/// question count, highlight and column widths, and for Open and New the session's file, so that
/// after undoing back to the table as saved or opened, TTableSession::IsChanged is false.
class TTableHistory {
public:
    explicit TTableHistory(TTableSession& session, THistoryLimits limits = {});
    TTableHistory(const TTableHistory&) = delete;
    TTableHistory& operator=(const TTableHistory&) = delete;
    ~TTableHistory();

    /// One cell's text as one step.
    void SetCell(int column, int row, std::string_view text);
    /// Typing: a keystroke's text of the cell. Keystrokes in the same cell, one after the
    /// other with no other step or EndTyping between them, make one step.
    void Type(int column, int row, std::string_view text);
    /// The cell being typed in is left: the next keystroke starts a step of its own.
    void EndTyping() { typingCell_.reset(); }
    /// Writes the block with its first cell at (column, row), rightwards and downwards; a block
    /// reaching past the stored rows and columns grows the table as writing a cell does.
    void PasteBlock(int column, int row, const TCellBlock& block);
    /// Empties the cells of the range.
    void Clear(TCellRange range);
    /// Copies the range and empties it, one step; returns the copy for the clipboard.
    TCellBlock Cut(TCellRange range);
    /// PasteRosterFrom; returns the line where a NUL byte ended the text, 0 when none did.
    int PasteRoster(const std::function<std::string()>& readText);
    /// MarkTable; a failing Mark writes back every cell it wrote.
    void Mark(char decimalSeparator);
    void SortByNumber(const TCollator& collator);
    /// SortMarkedTableByScore.
    void SortByScore(const TCollator& collator);
    /// TTableSession::New.
    void New();
    /// TTableSession::Open.
    TOpenedFile Open(const std::filesystem::path& fileName);

    /// Runs `command` on the table as one step of `kind`: for commands the window builds
    /// itself, such as a roster paste from the clipboard. A command that changes nothing
    /// leaves no step; one that throws has the cells it wrote written back, leaves no step and
    /// rethrows.
    void Record(TStepKind kind, const std::function<void(TAnswerTable&)>& command);

    bool CanUndo() const { return done_ > 0; }
    /// Steps that can be undone, one after the other.
    std::size_t UndoCount() const { return done_; }
    bool CanRedo() const { return done_ < steps_.size(); }
    /// Does nothing when there is nothing to undo.
    void Undo();
    /// Does nothing when there is nothing to redo.
    void Redo();
    /// Forgets every step.
    void Forget();

    std::size_t StepCount() const { return steps_.size(); }
    /// Bytes the steps take beyond the table.
    std::size_t MemorySize() const;

private:
    /// Record, with room made for this many changes, as a block paste knows them beforehand.
    void RecordStep(TStepKind kind, const std::function<void(TAnswerTable&)>& command,
                    std::size_t expectedChanges);
    /// Runs `command` and returns what it changed; throws as Record does.
    THistoryStep RunStep(TStepKind kind, const std::function<void(TAnswerTable&)>& command,
                         std::size_t expectedChanges = 0);
    /// A failed command may leave the commands' state as its own rules say (Mark and Sort by
    /// number enabled after an Open that failed, the question count after a failed Mark): that
    /// state is where undo and redo come back to this point.
    void KeepStateOfFailure(const TTableState& state);
    /// A command that may replace the session's file as well as cells: `command` tells whether
    /// it did.
    void RecordWithFile(TStepKind kind, const std::function<bool()>& command);
    void Push(THistoryStep step);
    /// Takes the table to the step's state before it (`back`) or after it.
    void Revisit(THistoryStep& step, bool back);
    void DropOldSteps();

    TTableSession& session_;
    THistoryLimits limits_;
    std::deque<THistoryStep> steps_;
    /// Steps done, from the first: the steps after them are undone and can be redone.
    std::size_t done_ = 0;
    /// The cell whose typing the last step holds, while keystrokes in it join that step.
    std::optional<std::pair<int, int>> typingCell_;
};

/// The state beside the cells that steps bring back.
TTableState TableState(const TAnswerTable& table);
