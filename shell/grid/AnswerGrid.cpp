#include "shell/grid/AnswerGrid.h"

#include "shell/grid/CellDrawing.h"
#include "shell/grid/FixedHeader.h"
#include "shell/logic/CellRule.h"
#include "shell/window/ShellText.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr int FrameDuration = 16;
/// A column dragged narrower stays wide enough to find its border again.
constexpr int MinimumDraggedWidth = 8;
constexpr float SelectionTint = 0.35f;

QColor Tinted(const QColor& fill, const QColor& tint) {
    return QColor::fromRgbF(fill.redF() + (tint.redF() - fill.redF()) * SelectionTint,
                            fill.greenF() + (tint.greenF() - fill.greenF()) * SelectionTint,
                            fill.blueF() + (tint.blueF() - fill.blueF()) * SelectionTint);
}

/// Tab does nothing in the grid: it moves neither the focus nor the current cell.
bool IsTabKey(const QEvent& event) {
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease) {
        return false;
    }
    const int key = static_cast<const QKeyEvent&>(event).key();
    return key == Qt::Key_Tab || key == Qt::Key_Backtab;
}

TReleasedKey ReleasedKey(int key) {
    switch (key) {
    case Qt::Key_F1:
        return TReleasedKey::F1;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return TReleasedKey::Arrow;
    default:
        return TReleasedKey::Other;
    }
}

/// Paints the data cells and edits them in place; every edit is written into the cell at once.
class TCellDelegate : public QStyledItemDelegate {
public:
    explicit TCellDelegate(TAnswerGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int column = TAnswerTableModel::ColumnOf(index);
        const int row = TAnswerTableModel::RowOf(index);
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette& palette = option.palette;
        const std::string_view bytes = grid_.Table().Cell(column, row);
        TCellPaint cell;
        cell.rect = option.rect;
        cell.text = FromCodePage(bytes);
        cell.rule = CellRule(column, row, grid_.Table().QuestionCount());
        TGridPaintLog& paintLog = grid_.PaintLog();
        const TColor look = paintLog.LookOf(column, row);
        paintLog.NoteShown(column, row, look, bytes);
        if (cell.rule == TCellRule::Data) {
            // The highlight colour fills a selected cell too; a tint keeps the selection seen.
            const QColor fill = ToQColor(look);
            cell.fill = selected ? Tinted(fill, palette.color(QPalette::Highlight)) : fill;
            cell.textColor = palette.color(QPalette::Text);
        } else {
            cell.fill = palette.color(selected ? QPalette::Highlight : QPalette::Base);
            cell.textColor = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        }
        TableDrawCell(*painter, cell);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setFont(grid_.font());
        const QPersistentModelIndex cell(index);
        connect(editor, &QLineEdit::textEdited, editor,
                [this, cell](const QString& text) { grid_.Model().setData(cell, text); });
        editor->installEventFilter(&grid_);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* lineEdit = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (lineEdit->text() != text) {
            lineEdit->setText(text);
        }
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        const QString text = static_cast<QLineEdit*>(editor)->text();
        if (index.data(Qt::EditRole).toString() != text) {
            model->setData(index, text);
        }
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        editor->setGeometry(option.rect);
    }

protected:
    /// The editor keeps Enter, Tab and Esc: the cell already holds what it shows.
    bool eventFilter(QObject*, QEvent*) override { return false; }

private:
    TAnswerGrid& grid_;
};

} // namespace

TAnswerGrid::TAnswerGrid(TAnswerTable& table, QWidget* parent)
    : QTableView(parent), table_(table), model_(new TAnswerTableModel(table, this)),
      paintLog_(table, [this] { return MeasureExtent(); }) {
    setHorizontalHeader(new TFixedHeader(Qt::Horizontal, table, this));
    setVerticalHeader(new TFixedHeader(Qt::Vertical, table, this));
    setModel(model_);
    setItemDelegate(new TCellDelegate(*this));
    horizontalHeader()->setDefaultSectionSize(TAnswerTable::DefaultColumnWidth);
    horizontalHeader()->setFixedHeight(TAnswerTable::RowHeight);
    verticalHeader()->setDefaultSectionSize(TAnswerTable::RowHeight);
    verticalHeader()->setFixedWidth(TAnswerTable::DefaultColumnWidth);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    // Columns are widened by dragging a header border, as in any grid; the table keeps the width.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(MinimumDraggedWidth);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int pixels) {
                paintLog_.ForgetExtent();
                if (!settingWidths_) {
                    table_.SetColumnWidth(section + 1, pixels);
                }
            });
    sinceFlush_.start();
    table_.SetView(this);
    SetCurrentCell(1, 1);
}

TAnswerGrid::~TAnswerGrid() {
    table_.SetView(nullptr);
}

void TAnswerGrid::ApplyShape() {
    const int oldColumnCount = model_->ShownColumnCount();
    if (!model_->UpdateShape()) {
        return;
    }
    paintLog_.ForgetExtent();
    for (int column = oldColumnCount; column < model_->ShownColumnCount(); ++column) {
        const int width = table_.ColumnWidth(column);
        if (width != TAnswerTable::DefaultColumnWidth) {
            ResizeColumn(column, width);
        }
    }
}

void TAnswerGrid::SetCurrentCell(int column, int row) {
    ApplyShape();
    setCurrentIndex(model_->IndexOf(column, row));
}

void TAnswerGrid::AdvanceCurrentCell() {
    ApplyShape();
    // An error here would come back at every key released in the last column.
    if (currentColumn_ < model_->ShownColumnCount() - 1) {
        SetCurrentCell(currentColumn_ + 1, currentRow_);
    }
}

QLineEdit* TAnswerGrid::Editor() const {
    return qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
}

TCellRange TAnswerGrid::SelectedRange() const {
    if (!HoldsRange()) {
        return {currentColumn_, currentRow_, currentColumn_, currentRow_};
    }
    // One rectangle, as the grid selects contiguous ranges only; its ranges are walked rather
    // than its cells, which may be millions.
    const QItemSelection selection = selectionModel()->selection();
    TCellRange range{TAnswerTableModel::ColumnOf(selection.front().topLeft()),
                     TAnswerTableModel::RowOf(selection.front().topLeft()),
                     TAnswerTableModel::ColumnOf(selection.front().bottomRight()),
                     TAnswerTableModel::RowOf(selection.front().bottomRight())};
    for (const QItemSelectionRange& part : selection) {
        range.firstColumn =
            std::min(range.firstColumn, TAnswerTableModel::ColumnOf(part.topLeft()));
        range.firstRow = std::min(range.firstRow, TAnswerTableModel::RowOf(part.topLeft()));
        range.lastColumn =
            std::max(range.lastColumn, TAnswerTableModel::ColumnOf(part.bottomRight()));
        range.lastRow = std::max(range.lastRow, TAnswerTableModel::RowOf(part.bottomRight()));
    }
    return range;
}

bool TAnswerGrid::HoldsRange() const {
    const QItemSelection selection = selectionModel()->selection();
    return !selection.isEmpty() &&
           (selection.size() > 1 || selection.front().width() * selection.front().height() > 1);
}

void TAnswerGrid::SelectRange(TCellRange range) {
    ApplyShape();
    const TCellRange cells = range.Normalised();
    const int lastColumn = std::min(cells.lastColumn, model_->ShownColumnCount() - 1);
    const int lastRow = std::min(cells.lastRow, model_->ShownRowCount() - 1);
    selectionModel()->select(QItemSelection(model_->IndexOf(cells.firstColumn, cells.firstRow),
                                            model_->IndexOf(lastColumn, lastRow)),
                             QItemSelectionModel::ClearAndSelect);
}

void TAnswerGrid::CellWritten(int column, int row) {
    // Marking writes every answer back: one below the view, before the table's last rows and
    // columns and out of the current row, costs these comparisons only.
    if (paintLog_.IsQuiet(column, row) && row != currentRow_) {
        return;
    }
    NoteWrittenCell(column, row);
}

void TAnswerGrid::NoteWrittenCell(int column, int row) {
    if (column < 0 || row < 0) {
        return;
    }
    paintLog_.NoteWritten(column, row);
    if (column == currentColumn_ && row == currentRow_) {
        RefreshEditor();
    }
    ScheduleFlush();
}

void TAnswerGrid::TableReset() {
    paintLog_.NoteAllWritten();
    RefreshEditor();
    ScheduleFlush();
}

void TAnswerGrid::RowsWritten(int firstRow, int lastRow) {
    paintLog_.NoteRowsWritten(firstRow, lastRow);
    if (currentRow_ >= firstRow && currentRow_ <= lastRow) {
        RefreshEditor();
    }
    ScheduleFlush();
}

void TAnswerGrid::RowCountChanged(int) {
    // Taken when the cells are next painted: a file of many rows changes it at every row.
    ScheduleFlush();
}

void TAnswerGrid::ColumnWidthSet(int column, int pixels) {
    if (column == 0) {
        verticalHeader()->setFixedWidth(pixels);
    } else if (column < model_->ShownColumnCount()) {
        ResizeColumn(column, pixels);
    }
}

void TAnswerGrid::ResizeColumn(int column, int pixels) {
    settingWidths_ = true;
    horizontalHeader()->resizeSection(column - 1, pixels);
    settingWidths_ = false;
}

void TAnswerGrid::CommandsChanged() {
    emit EnabledCommandsChanged();
}

TGridExtent TAnswerGrid::MeasureExtent() const {
    const int right = columnAt(viewport()->width() - 1);
    const int bottom = rowAt(viewport()->height() - 1);
    TGridExtent extent;
    extent.visible.firstColumn = std::max(columnAt(0), 0) + 1;
    extent.visible.lastColumn = right < 0 ? model_->ShownColumnCount() - 1 : right + 1;
    extent.visible.firstRow = std::max(rowAt(0), 0) + 1;
    extent.visible.lastRow = bottom < 0 ? model_->ShownRowCount() - 1 : bottom + 1;
    extent.shownRowCount = model_->ShownRowCount();
    extent.shownColumnCount = model_->ShownColumnCount();
    return extent;
}

void TAnswerGrid::ProcessMessages() {
    if (paintLog_.HasWrittenCells()) {
        paintLog_.RecordColours();
    }
    // The clock is read now and then only: this runs after every answer marked.
    if (--callsUntilClock_ > 0) {
        return;
    }
    callsUntilClock_ = CallsBetweenClockReadings;
    if (sinceFlush_.elapsed() >= FrameDuration) {
        // Input waits until the command has ended, so that no command runs inside another.
        commandPainting_ = true;
        PaintChangedCells();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        commandPainting_ = false;
    }
}

QRegion TAnswerGrid::RegionOf(const std::vector<TGridCell>& cells) const {
    std::vector<QRect> rects;
    rects.reserve(cells.size());
    for (const TGridCell& cell : cells) {
        const QRect rect = visualRect(model_->IndexOf(cell.column, cell.row));
        // Cells side by side in a row join into one band, which the region needs sorted.
        if (!rects.empty() && rects.back().top() == rect.top() &&
            rects.back().right() + 1 >= rect.left() - 1) {
            rects.back().setRight(rect.right());
        } else {
            rects.push_back(rect);
        }
    }
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

void TAnswerGrid::FlushHeaders() {
    const THeaderWrites written = paintLog_.TakeHeaderWrites();
    if (written.all) {
        horizontalHeader()->viewport()->update();
        verticalHeader()->viewport()->update();
        return;
    }
    for (const int column : written.columns) {
        static_cast<TFixedHeader*>(horizontalHeader())->RefreshSection(column - 1);
    }
    for (const int row : written.rows) {
        static_cast<TFixedHeader*>(verticalHeader())->RefreshSection(row - 1);
    }
}

void TAnswerGrid::FlushPaints() {
    PaintChangedCells();
    if (!commandPainting_) {
        paintLog_.ForgetColours();
    }
}

void TAnswerGrid::RepaintChangedLooks() {
    paintLog_.NoteAllWritten();
    ScheduleFlush();
}

void TAnswerGrid::PaintChangedCells() {
    flushScheduled_ = false;
    sinceFlush_.restart();
    ApplyShape();
    FlushHeaders();
    const std::vector<TGridCell> cells = paintLog_.TakeCellsToPaint();
    if (!cells.empty()) {
        viewport()->repaint(RegionOf(cells));
    }
}

void TAnswerGrid::ScheduleFlush() {
    if (!flushScheduled_) {
        flushScheduled_ = true;
        QMetaObject::invokeMethod(this, &TAnswerGrid::FlushPaints, Qt::QueuedConnection);
    }
}

void TAnswerGrid::scrollContentsBy(int dx, int dy) {
    paintLog_.ForgetExtent();
    QTableView::scrollContentsBy(dx, dy);
}

void TAnswerGrid::resizeEvent(QResizeEvent* event) {
    paintLog_.ForgetExtent();
    QTableView::resizeEvent(event);
}

void TAnswerGrid::RefreshEditor() {
    if (QLineEdit* editor = Editor()) {
        itemDelegate()->setEditorData(editor, currentIndex());
    }
}

void TAnswerGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    const bool editorHadFocus = Editor() == nullptr ? hasFocus() : Editor()->hasFocus();
    QTableView::currentChanged(current, previous);
    currentColumn_ = current.isValid() ? TAnswerTableModel::ColumnOf(current) : 0;
    currentRow_ = current.isValid() ? TAnswerTableModel::RowOf(current) : 0;
    if (previous.isValid()) {
        closePersistentEditor(previous);
    }
    if (current.isValid()) {
        openPersistentEditor(current);
        if (QLineEdit* editor = Editor()) {
            editor->selectAll();
            if (editorHadFocus || hasFocus()) {
                editor->setFocus();
            }
        }
    }
}

QItemSelectionModel::SelectionFlags TAnswerGrid::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    // A move made by the program, such as moving on after typing, is no range selection, even
    // when Shift is held for a capital letter.
    if (event == nullptr) {
        return QItemSelectionModel::ClearAndSelect;
    }
    return QTableView::selectionCommand(index, event);
}

bool TAnswerGrid::event(QEvent* event) {
    if (IsTabKey(*event)) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        NoteKeyPress(*static_cast<QKeyEvent*>(event));
    }
    return QTableView::event(event);
}

void TAnswerGrid::NoteKeyPress(const QKeyEvent& event) {
    const TEditCommand command = EditCommandOf(event);
    // Delete in one cell is the editor's, and typing.
    if ((command != TEditCommand::None && (command != TEditCommand::Clear || HoldsRange())) ||
        IsFileCommandKey(event)) {
        commandKeysHeld_ = true;
        return;
    }
    switch (event.key()) {
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        return;
    default:
        commandKeysHeld_ = false;
    }
}

bool TAnswerGrid::LeavesKeyToWindow(TEditCommand command, const QLineEdit& editor) const {
    switch (command) {
    case TEditCommand::Undo:
    case TEditCommand::Redo:
    case TEditCommand::CopyWithTitles:
    case TEditCommand::Paste:
        return true;
    case TEditCommand::Cut:
    case TEditCommand::Copy:
        return HoldsRange() || !editor.hasSelectedText() || editor.selectedText() == editor.text();
    case TEditCommand::Clear:
        return HoldsRange();
    case TEditCommand::None:
        break;
    }
    return false;
}

void TAnswerGrid::keyReleaseEvent(QKeyEvent* event) {
    QTableView::keyReleaseEvent(event);
    ReportRelease(*event);
}

void TAnswerGrid::ReportRelease(const QKeyEvent& event) {
    if (event.isAutoRepeat() || commandKeysHeld_) {
        return;
    }
    // Moving on would drop the range that Shift has just selected.
    if (event.key() == Qt::Key_Shift && HoldsRange()) {
        return;
    }
    emit KeyReleased(ReleasedKey(event.key()));
}

QModelIndex TAnswerGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    commandKeysHeld_ = true;
    if (action == MoveEnd && modifiers.testFlag(Qt::ControlModifier)) {
        ApplyShape();
        const TGridCell last =
            LastUsedCell(table_, model_->ShownColumnCount(), model_->ShownRowCount());
        return model_->IndexOf(last.column, last.row);
    }
    return QTableView::moveCursor(action, modifiers);
}

bool TAnswerGrid::LeavesEditor(const QKeyEvent& event, const QLineEdit& editor) {
    const bool wholeSelected = editor.selectedText() == editor.text();
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        return event.modifiers().testFlag(Qt::ControlModifier);
    case Qt::Key_Left:
        return editor.cursorPosition() == 0 || wholeSelected;
    case Qt::Key_Right:
        return editor.cursorPosition() == editor.text().size() || wholeSelected;
    default:
        return false;
    }
}

bool TAnswerGrid::eventFilter(QObject* watched, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(watched);
    if (editor == nullptr) {
        return QTableView::eventFilter(watched, event);
    }
    if (IsTabKey(*event)) {
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        // A key the window's shortcut takes reaches the editor no further.
        NoteKeyPress(*key);
        const TEditCommand command = EditCommandOf(*key);
        if (command == TEditCommand::None || !LeavesKeyToWindow(command, *editor)) {
            return false;
        }
        // Not taken by the editor, so that the window's shortcut runs.
        key->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        NoteKeyPress(*key);
        if (!LeavesEditor(*key, *editor)) {
            return false;
        }
        // The grid's own handling moves the current cell and, with Shift, extends the range
        // from where it began.
        QTableView::keyPressEvent(key);
        return true;
    }
    if (event->type() == QEvent::KeyRelease) {
        ReportRelease(*static_cast<QKeyEvent*>(event));
        return true;
    }
    return false;
}
