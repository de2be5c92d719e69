#include "shell/grid/AnswerGrid.h"

#include "platform/Errors.h"
#include "shell/grid/CellDrawing.h"
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
constexpr float SelectionTint = 0.35f;
/// More cells than the largest screen shows: what was painted is forgotten beyond this, as the
/// cells scrolled out of view are painted anew when they come back.
constexpr std::size_t MaxRememberedCells = 1U << 15;
/// Written cells listed beyond this are all the cells in view.
constexpr std::size_t MaxListedCells = 1U << 12;

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
        const TColor look = grid_.LookOf(column, row);
        grid_.NoteShown(column, row, look, bytes);
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

/// The header row and the label column, drawn as the fixed cells they stand for.
class TFixedHeader : public QHeaderView {
public:
    TFixedHeader(Qt::Orientation orientation, TAnswerTable& table, QWidget* parent)
        : QHeaderView(orientation, parent), table_(table) {
        setSectionResizeMode(QHeaderView::Fixed);
        setMinimumSectionSize(0);
        setHighlightSections(false);
        setSectionsClickable(false);
    }

    /// Repaints the section unless it shows its cell's text already.
    void RefreshSection(int section) {
        const auto shown = shownTexts_.find(section);
        if (shown == shownTexts_.end() || shown->second != CellText(section)) {
            updateSection(section);
        }
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        std::string text = CellText(logicalIndex);
        if (shownTexts_.size() >= MaxRememberedCells) {
            shownTexts_.clear();
        }
        shownTexts_[logicalIndex] = text;
        TCellPaint cell;
        cell.rect = rect;
        cell.text = FromCodePage(text);
        cell.rule = TCellRule::Fixed;
        cell.fill = palette().color(QPalette::Button);
        cell.textColor = palette().color(QPalette::ButtonText);
        TableDrawCell(*painter, cell);
        painter->save();
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->restore();
    }

private:
    std::string CellText(int section) const {
        return orientation() == Qt::Horizontal ? std::string(table_.Cell(section + 1, 0))
                                               : TAnswerTableModel::RowLabel(table_, section + 1);
    }

    TAnswerTable& table_;
    /// What the sections painted lately were painted with.
    mutable std::unordered_map<int, std::string> shownTexts_;
};

} // namespace

TAnswerGrid::TAnswerGrid(TAnswerTable& table, QWidget* parent)
    : QTableView(parent), table_(table), model_(new TAnswerTableModel(table, this)) {
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
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this] { ForgetVisibleCells(); });
    sinceFlush_.start();
    ForgetVisibleCells();
    table_.SetView(this);
    SetCurrentCell(1, 1);
}

TAnswerGrid::~TAnswerGrid() {
    table_.SetView(nullptr);
}

TAnswerGrid::TCellKey TAnswerGrid::KeyOf(int column, int row) {
    return (static_cast<TCellKey>(static_cast<std::uint32_t>(row)) << 32) |
           static_cast<std::uint32_t>(column);
}

int TAnswerGrid::ColumnOf(TCellKey cell) {
    return static_cast<int>(cell & 0xFFFF'FFFFu);
}

int TAnswerGrid::RowOf(TCellKey cell) {
    return static_cast<int>(cell >> 32);
}

void TAnswerGrid::ApplyShape() {
    const int oldColumnCount = model_->ShownColumnCount();
    if (!model_->UpdateShape()) {
        return;
    }
    ForgetVisibleCells();
    for (int column = oldColumnCount; column < model_->ShownColumnCount(); ++column) {
        const int width = table_.ColumnWidth(column);
        if (width != TAnswerTable::DefaultColumnWidth) {
            horizontalHeader()->resizeSection(column - 1, width);
        }
    }
}

void TAnswerGrid::SetCurrentCell(int column, int row) {
    ApplyShape();
    setCurrentIndex(model_->IndexOf(column, row));
}

void TAnswerGrid::AdvanceCurrentCell() {
    ApplyShape();
    if (currentColumn_ >= model_->ShownColumnCount() - 1) {
        throw EPelloranError("グリッドインデックス が範囲を超えています");
    }
    SetCurrentCell(currentColumn_ + 1, currentRow_);
}

QLineEdit* TAnswerGrid::Editor() const {
    return qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
}

TColor TAnswerGrid::FillOf(int column, int row) const {
    if (!recorded_.empty()) {
        const auto recorded = recorded_.find(KeyOf(column, row));
        if (recorded != recorded_.end()) {
            return recorded->second;
        }
    }
    return table_.HighlightColor();
}

TColor TAnswerGrid::LookOf(int column, int row) const {
    return CellRule(column, row, table_.QuestionCount()) == TCellRule::Data ? FillOf(column, row)
                                                                            : PlainLook;
}

void TAnswerGrid::NoteShown(int column, int row, TColor look, std::string_view text) {
    const TCellKey cell = KeyOf(column, row);
    auto shown = shown_.find(cell);
    if (shown == shown_.end()) {
        if (shown_.size() >= MaxRememberedCells) {
            shown_.clear();
        }
        shown = shown_.emplace(cell, TShownCell()).first;
    }
    shown->second.look = look;
    if (shown->second.text != text) {
        shown->second.text = text;
    }
}

bool TAnswerGrid::IsShownAsIs(TCellKey cell) const {
    const auto shown = shown_.find(cell);
    if (shown == shown_.end()) {
        return false;
    }
    const int column = ColumnOf(cell);
    const int row = RowOf(cell);
    return shown->second.look == LookOf(column, row) &&
           shown->second.text == table_.Cell(column, row);
}

void TAnswerGrid::MarkWritten(int column, int row) {
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

void TAnswerGrid::MarkHeaderWritten(int column, int row) {
    const TCellRange& visible = VisibleCells();
    if (row == 0 && column >= visible.firstColumn && column <= visible.lastColumn) {
        headerColumnsWritten_.push_back(column - 1);
    } else if (column == 0 && row >= visible.firstRow && row <= visible.lastRow) {
        headerRowsWritten_.push_back(row - 1);
    }
}

void TAnswerGrid::CellWritten(int column, int row) {
    // Marking writes every answer back: one below the view, before the table's last rows and
    // columns and out of the current row, costs these comparisons only.
    if (quietRows_.Contains(column, row) && row != currentRow_) {
        return;
    }
    NoteWrittenCell(column, row);
}

void TAnswerGrid::NoteWrittenCell(int column, int row) {
    if (column < 0 || row < 0) {
        return;
    }
    if (row == 0 || column == 0) {
        MarkHeaderWritten(column, row);
    } else {
        MarkWritten(column, row);
    }
    if (column == currentColumn_ && row == currentRow_) {
        RefreshEditor();
    }
    ScheduleFlush();
}

void TAnswerGrid::TableReset() {
    allWritten_ = true;
    allHeadersWritten_ = true;
    RefreshEditor();
    ScheduleFlush();
}

void TAnswerGrid::RowsWritten(int firstRow, int lastRow) {
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
        allHeadersWritten_ = true;
    }
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
        horizontalHeader()->resizeSection(column - 1, pixels);
    }
}

void TAnswerGrid::CommandsChanged() {
    emit EnabledCommandsChanged();
}

const TAnswerGrid::TCellRange& TAnswerGrid::VisibleCells() {
    if (!visibleKnown_) {
        const int right = columnAt(viewport()->width() - 1);
        const int bottom = rowAt(viewport()->height() - 1);
        visible_.firstColumn = std::max(columnAt(0), 0) + 1;
        visible_.lastColumn = right < 0 ? model_->ShownColumnCount() - 1 : right + 1;
        visible_.firstRow = std::max(rowAt(0), 0) + 1;
        visible_.lastRow = bottom < 0 ? model_->ShownRowCount() - 1 : bottom + 1;
        visibleKnown_ = true;
        // A write to the last two rows or the last column shown may change how many there are.
        quietRows_.firstColumn = 0;
        quietRows_.firstRow = visible_.lastRow + 1;
        quietRows_.lastRow = model_->ShownRowCount() - 3;
        quietRows_.lastColumn = model_->ShownColumnCount() - 2;
    }
    return visible_;
}

void TAnswerGrid::ForgetVisibleCells() {
    visibleKnown_ = false;
    quietRows_.firstRow = 1;
    quietRows_.lastRow = 0;
}

void TAnswerGrid::ProcessMessages() {
    if (!writtenCells_.empty() || allWritten_) {
        RecordWrittenCells();
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

void TAnswerGrid::RecordWrittenCells() {
    const TColor highlight = table_.HighlightColor();
    const TCellRange& visible = VisibleCells();
    auto record = [&](TCellKey cell) {
        if (visible.Contains(cell)) {
            recorded_[cell] = highlight;
        }
    };
    if (allWritten_) {
        for (int row = visible.firstRow; row <= visible.lastRow; ++row) {
            for (int column = visible.firstColumn; column <= visible.lastColumn; ++column) {
                record(KeyOf(column, row));
            }
        }
    } else {
        std::for_each(writtenCells_.begin(), writtenCells_.end(), record);
    }
    ForgetWrittenCells();
}

void TAnswerGrid::ForgetWrittenCells() {
    writtenCells_.clear();
    allWritten_ = false;
}

QRegion TAnswerGrid::RegionOf(std::vector<TCellKey>& cells) const {
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    std::vector<QRect> rects;
    rects.reserve(cells.size());
    for (const TCellKey cell : cells) {
        const QRect rect = visualRect(model_->IndexOf(ColumnOf(cell), RowOf(cell)));
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
    if (allHeadersWritten_) {
        horizontalHeader()->viewport()->update();
        verticalHeader()->viewport()->update();
    } else {
        for (const int section : headerColumnsWritten_) {
            static_cast<TFixedHeader*>(horizontalHeader())->RefreshSection(section);
        }
        for (const int section : headerRowsWritten_) {
            static_cast<TFixedHeader*>(verticalHeader())->RefreshSection(section);
        }
    }
    allHeadersWritten_ = false;
    headerColumnsWritten_.clear();
    headerRowsWritten_.clear();
}

void TAnswerGrid::FlushPaints() {
    PaintChangedCells();
    if (!commandPainting_) {
        recorded_.clear();
    }
}

void TAnswerGrid::PaintChangedCells() {
    flushScheduled_ = false;
    sinceFlush_.restart();
    ApplyShape();
    FlushHeaders();
    // The question count decides which column is drawn as plain text: when it changes, every
    // cell in view is looked at, not only the written ones.
    if (table_.QuestionCount() != paintedQuestionCount_) {
        paintedQuestionCount_ = table_.QuestionCount();
        allWritten_ = true;
    }
    // Only the cells in view whose look or text is not what they show are painted.
    const TCellRange& visible = VisibleCells();
    std::vector<TCellKey> cells;
    auto consider = [&](TCellKey cell) {
        if (visible.Contains(cell) && !IsShownAsIs(cell)) {
            cells.push_back(cell);
        }
    };
    if (allWritten_) {
        for (int row = visible.firstRow; row <= visible.lastRow; ++row) {
            for (int column = visible.firstColumn; column <= visible.lastColumn; ++column) {
                consider(KeyOf(column, row));
            }
        }
    } else {
        std::for_each(writtenCells_.begin(), writtenCells_.end(), consider);
    }
    for (const auto& recorded : recorded_) {
        consider(recorded.first);
    }
    if (!cells.empty()) {
        viewport()->repaint(RegionOf(cells));
    }
    ForgetWrittenCells();
}

void TAnswerGrid::ScheduleFlush() {
    if (!flushScheduled_) {
        flushScheduled_ = true;
        QMetaObject::invokeMethod(this, &TAnswerGrid::FlushPaints, Qt::QueuedConnection);
    }
}

void TAnswerGrid::scrollContentsBy(int dx, int dy) {
    ForgetVisibleCells();
    QTableView::scrollContentsBy(dx, dy);
}

void TAnswerGrid::resizeEvent(QResizeEvent* event) {
    ForgetVisibleCells();
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
    return QTableView::event(event);
}

void TAnswerGrid::keyReleaseEvent(QKeyEvent* event) {
    QTableView::keyReleaseEvent(event);
    ReportRelease(*event);
}

void TAnswerGrid::ReportRelease(const QKeyEvent& event) {
    if (event.isAutoRepeat()) {
        return;
    }
    // Moving on would drop the range that Shift has just selected.
    if (event.key() == Qt::Key_Shift && selectionModel()->selectedIndexes().size() > 1) {
        return;
    }
    emit KeyReleased(ReleasedKey(event.key()));
}

bool TAnswerGrid::LeavesEditor(const QKeyEvent& event, const QLineEdit& editor) {
    const bool wholeSelected = editor.selectedText() == editor.text();
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
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
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
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
