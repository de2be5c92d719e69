#pragma once

#include "table/progress/Progress.h"
#include "table/store/CellStore.h"
#include "table/store/RowCells.h"
#include "table/store/TableView.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

/// A Windows colour value, 0x00BBGGRR.
using TColor = std::uint32_t;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clYellow = 0x00FFFF;

/// The three menu commands whose enabled state the table's phase decides.
enum class TCommand { mmMark, mmSortWithNumber, mmSortWithPoint };

/// The ten texts of the message table, numbered as the language file's keys "Msg1" to "Msg10".
enum class TMessage {
    NumberTitle = 1,
    NameTitle,
    AnswerKeyLabel,
    PointsLabel,
    QuestionTitlePrefix,
    DiscardQuestion,
    ScoreTitle,
    RateLabel,
    MeanTitle,
    DeviationTitle,
};

/// Failures whose texts the language file may give beside the ten messages.
enum class TFailureText { PasteEmptyLine, PasteNoName, PasteUnreadable };

/// Told of every change of a table's cells as it is made, with what the change replaced: the
/// undo history records its steps through it.
class TCellChangeRecorder {
public:
    virtual ~TCellChangeRecorder() = default;
    /// Cell (column, row) is about to change from `oldText` to `newText`.
    virtual void CellChanging(int column, int row, std::string_view oldText,
                              std::string_view newText) = 0;
    /// Row `row` was written; `oldRow` is all it held before.
    virtual void RowReplaced(int row, TRowCells oldRow) = 0;
    /// `cells.MoveRows(sourceRows, firstRow, firstColumn)` is about to run.
    virtual void RowsMoving(const TCellStore& cells, const std::vector<int>& sourceRows,
                            int firstRow, int firstColumn) = 0;
    /// Every cell was replaced; `oldCells` are the cells the table held.
    virtual void CellsReplaced(TCellStore oldCells) = 0;
};

/// The answer table: text cells addressed by (column, row) from 0, plus the program-wide
/// state that loading, marking, sorting and drawing share.
class TAnswerTable {
public:
    static constexpr int ShownColumns = 55;
    static constexpr int ShownRows = 103;
    static constexpr int DefaultColumnWidth = 45;
    static constexpr int RowHeight = 17;
    static constexpr int MessageCount = 10;
    static constexpr int FailureTextCount = 3;
    /// The question count as the program starts, before any class is marked or loaded.
    static constexpr int InitialQuestionCount = 50;

    // Roles of rows and columns.
    static constexpr int AnswerKeyRow = 1;
    static constexpr int PointsRow = 2;
    static constexpr int FirstStudentRow = 3;
    static constexpr int NumberColumn = 1;
    static constexpr int NameColumn = 2;
    static constexpr int FirstQuestionColumn = 3;
    /// Width given to the column that titles the mean and the standard deviation.
    static constexpr int StatisticsLabelWidth = 70;

    /// Marking writes the scores of a test of `questionCount` questions in the column after the
    /// last question...
    static constexpr int ScoreColumn(int questionCount) {
        return FirstQuestionColumn + questionCount;
    }
    /// ...and titles the mean and the standard deviation in the column after that.
    static constexpr int StatisticsLabelColumn(int questionCount) {
        return ScoreColumn(questionCount) + 1;
    }

    /// Empty for a cell never written. The view is valid until the next write to the table.
    std::string_view Cell(int column, int row) const { return store_.Cell(column, row); }
    /// Every write requests a repaint of the cell, also when the text is unchanged.
    void SetCell(int column, int row, std::string_view text);
    /// Writes a cell its own text back: the way to request its repaint.
    void RewriteCell(int column, int row) { NotifyCellWritten(column, row); }

    /// Writes columns 0 to cells.Size() - 1 of `row` at once, as SetCell would one by one,
    /// and requests one repaint of the whole row.
    void WriteRowCells(int row, TRowCells cells);

    /// The cells as stored, for the loops that read or build a whole table at once (loading,
    /// saving, marking, sorting, the analysis). Nothing written through it reaches the view.
    const TCellStore& Store() const { return store_; }
    TCellStore& Store() { return store_; }

    /// Rows that may hold a non-empty cell; every row from here on is empty.
    int StoredRowCount() const { return store_.RowCount(); }
    /// Columns of `row` that may hold a non-empty cell.
    int StoredColumnCount(int row) const { return store_.ColumnCount(row); }
    /// Columns that may hold a non-empty cell in some row: every column from here on is empty
    /// in every row. It shrinks only when every cell is replaced (the reset, a class loaded),
    /// so that it costs no walk through the rows.
    int StoredColumnCount() const { return store_.ColumnCount(); }
    /// The stored rows and columns.
    TStoreShape StoredShape() const { return store_.Shape(); }
    /// TCellStore::RestoreShape, telling the view of a new row count: for undo and redo, which
    /// bring back the cells first. Not recorded.
    void RestoreStoredShape(TStoreShape shape);

    /// Puts the cells from `firstColumn` on of rows `sourceRows[i]` into row `firstRow + i`,
    /// all rows being read before any is written, and requests one repaint of the rows written.
    void MoveRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn);

    /// Back to an empty test: titles and labels from the messages and nothing else, so that no
    /// text of the previous class stays (its scores, statistics and their titles included); the
    /// three commands disabled.
    void Reset();

    /// An empty test as Reset leaves one, with this table's messages and no view: loading
    /// builds a class in it aside, so that a failure leaves this table as it was.
    TAnswerTable EmptyTest() const;
    /// Takes the cells of `loaded`, an EmptyTest that a class was loaded into, in place of every
    /// cell of this table, as a Reset followed by the same writes would leave it.
    void ReplaceCells(TAnswerTable&& loaded);

    /// Puts `cells` in place of the whole row, as a repaint of it, and returns what it held:
    /// for undoing a recorded change. Not recorded.
    TRowCells ExchangeRow(int row, TRowCells cells);
    /// Puts `cells` in place of every cell, as a repaint of all, and returns the cells the
    /// table held: for undoing a recorded change. Not recorded; the commands keep their state.
    TCellStore ExchangeCells(TCellStore cells);

    /// Every change of a cell from now on is told to `recorder` (not owned; null for none).
    void SetRecorder(TCellChangeRecorder* recorder) { recorder_ = recorder; }

    const std::string& Message(TMessage message) const;
    void SetMessage(TMessage message, std::string text);

    /// The language file's text for a failure, in the code page; empty when it gave none, so
    /// that the failure takes its built-in text.
    const std::string& FailureText(TFailureText text) const;
    void SetFailureText(TFailureText text, std::string value);

    int QuestionCount() const { return questionCount_; }
    void SetQuestionCount(int count) { questionCount_ = count; }

    TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor color) { highlightColor_ = color; }

    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int pixels);
    /// The widths set, by column; every other column has DefaultColumnWidth.
    const std::map<int, int>& ColumnWidths() const { return columnWidths_; }
    /// Sets these widths and gives every other column DefaultColumnWidth again.
    void SetColumnWidths(const std::map<int, int>& widths);

    bool IsEnabled(TCommand command) const;
    void SetEnabled(TCommand command, bool enabled);
    /// A loaded or pasted table can be marked and sorted by number.
    void EnableMarkAndSortByNumber();

    /// Inline, as marking calls it for every answer.
    void ProcessMessages() {
        if (view_ != nullptr) {
            view_->ProcessMessages();
        }
    }

    /// The view is not owned; null for none.
    void SetView(TTableView* view) { view_ = view; }

    /// Who is told how far the long jobs on this table have come (loading, marking, sorting,
    /// pasting, the analysis, paper): not owned; null for nobody.
    TProgressListener* ProgressListener() const { return progressListener_; }
    void SetProgressListener(TProgressListener* listener) { progressListener_ = listener; }

private:
    /// The titles and labels of an empty test, into a table without cells.
    void StoreTitlesAndLabels();
    void NotifyCellWritten(int column, int row) {
        if (view_ != nullptr) {
            view_->CellWritten(column, row);
        }
    }
    void NotifyRowCountChange(int oldRowCount);

    TCellStore store_;
    std::array<std::string, MessageCount> messages_;
    std::array<std::string, FailureTextCount> failureTexts_;
    std::map<int, int> columnWidths_;
    int questionCount_ = InitialQuestionCount;
    TColor highlightColor_ = clWhite;
    std::array<bool, 3> enabled_{};
    TTableView* view_ = nullptr;
    TCellChangeRecorder* recorder_ = nullptr;
    TProgressListener* progressListener_ = nullptr;
};
