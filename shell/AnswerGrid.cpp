#include "AnswerGrid.h"

#include "CellDrawing.h"
#include "ShellText.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr int FrameDuration = 16;
constexpr std::size_t CellCount =
    static_cast<std::size_t>(TAnswerTable::ShownColumns) * TAnswerTable::ShownRows;
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
        if (section >= static_cast<int>(shownTexts_.size()) ||
            shownTexts_[static_cast<std::size_t>(section)] != CellText(section)) {
            updateSection(section);
        }
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        const std::string_view text = CellText(logicalIndex);
        const auto section = static_cast<std::size_t>(logicalIndex);
        if (section >= shownTexts_.size()) {
            shownTexts_.resize(section + 1);
        }
        shownTexts_[section] = text;
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
    std::string_view CellText(int section) const {
        return orientation() == Qt::Horizontal ? table_.Cell(section + 1, 0)
                                               : table_.Cell(0, section + 1);
    }

    TAnswerTable& table_;
    /// What each section was last painted with.
    mutable std::vector<std::string> shownTexts_;
};

} // namespace

TAnswerGrid::TAnswerGrid(TAnswerTable& table, QWidget* parent)
    : QTableView(parent), table_(table), model_(new TAnswerTableModel(table, this)),
      written_(CellCount, 0), recorded_(CellCount, NoColor), shownLook_(CellCount, NoColor),
      shownText_(CellCount) {
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
            [this] { visibleKnown_ = false; });
    sinceFlush_.start();
    table_.SetView(this);
    SetCurrentCell(1, 1);
}

TAnswerGrid::~TAnswerGrid() {
    table_.SetView(nullptr);
}

std::size_t TAnswerGrid::CellIndex(int column, int row) {
    return static_cast<std::size_t>(row) * TAnswerTable::ShownColumns +
           static_cast<std::size_t>(column);
}

void TAnswerGrid::SetCurrentCell(int column, int row) {
    setCurrentIndex(model_->IndexOf(column, row));
}

QLineEdit* TAnswerGrid::Editor() const {
    return qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
}

TColor TAnswerGrid::FillOf(int column, int row) const {
    if (column < TAnswerTable::ShownColumns && row < TAnswerTable::ShownRows) {
        const TColor color = recorded_[CellIndex(column, row)];
        if (color != NoColor) {
            return color;
        }
    }
    return table_.HighlightColor();
}

TColor TAnswerGrid::LookOf(int column, int row) const {
    return CellRule(column, row, table_.QuestionCount()) == TCellRule::Data ? FillOf(column, row)
                                                                            : PlainLook;
}

void TAnswerGrid::NoteShown(int column, int row, TColor look, std::string_view text) {
    const std::size_t cell = CellIndex(column, row);
    shownLook_[cell] = look;
    if (shownText_[cell] != text) {
        shownText_[cell] = text;
    }
}

bool TAnswerGrid::IsShownAsIs(int cell) const {
    const int column = cell % TAnswerTable::ShownColumns;
    const int row = cell / TAnswerTable::ShownColumns;
    const auto index = static_cast<std::size_t>(cell);
    return shownLook_[index] == LookOf(column, row) &&
           shownText_[index] == table_.Cell(column, row);
}

void TAnswerGrid::MarkWritten(int column, int row) {
    const std::size_t cell = CellIndex(column, row);
    if (written_[cell] == 0) {
        written_[cell] = 1;
        writtenCells_.push_back(static_cast<int>(cell));
    }
}

void TAnswerGrid::MarkHeaderWritten(int column, int row) {
    if (row == 0) {
        headerColumnsWritten_.push_back(column - 1);
    } else {
        headerRowsWritten_.push_back(row - 1);
    }
}

void TAnswerGrid::CellWritten(int column, int row) {
    if (column < 0 || column >= TAnswerTable::ShownColumns || row < 0 ||
        row >= TAnswerTable::ShownRows) {
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
    const int first = std::max(firstRow, 0);
    const int last = std::min(lastRow, TAnswerTable::ShownRows - 1);
    if (first > last) {
        return;
    }
    for (int row = std::max(first, 1); row <= last; ++row) {
        MarkHeaderWritten(0, row);
        for (int column = 1; column < TAnswerTable::ShownColumns; ++column) {
            MarkWritten(column, row);
        }
    }
    if (first == 0) {
        allHeadersWritten_ = true;
    }
    if (currentRow_ >= first && currentRow_ <= last) {
        RefreshEditor();
    }
    ScheduleFlush();
}

void TAnswerGrid::RowCountChanged(int) {}

void TAnswerGrid::ColumnWidthSet(int column, int pixels) {
    if (column == 0) {
        verticalHeader()->setFixedWidth(pixels);
    } else if (column < TAnswerTable::ShownColumns) {
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
        visible_.lastColumn = right < 0 ? TAnswerTable::ShownColumns - 1 : right + 1;
        visible_.firstRow = std::max(rowAt(0), 0) + 1;
        visible_.lastRow = bottom < 0 ? TAnswerTable::ShownRows - 1 : bottom + 1;
        visibleKnown_ = true;
    }
    return visible_;
}

bool TAnswerGrid::TCellRange::Contains(int cell) const {
    const int column = cell % TAnswerTable::ShownColumns;
    const int row = cell / TAnswerTable::ShownColumns;
    return column >= firstColumn && column <= lastColumn && row >= firstRow && row <= lastRow;
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
    auto record = [&](int cell) {
        if (!visible.Contains(cell)) {
            return;
        }
        TColor& color = recorded_[static_cast<std::size_t>(cell)];
        if (color == NoColor) {
            recordedCells_.push_back(cell);
        }
        color = highlight;
    };
    if (allWritten_) {
        for (int row = visible.firstRow; row <= visible.lastRow; ++row) {
            for (int column = visible.firstColumn; column <= visible.lastColumn; ++column) {
                record(static_cast<int>(CellIndex(column, row)));
            }
        }
    } else {
        for (const int cell : writtenCells_) {
            record(cell);
        }
    }
    ForgetWrittenCells();
}

void TAnswerGrid::ForgetWrittenCells() {
    for (const int cell : writtenCells_) {
        written_[static_cast<std::size_t>(cell)] = 0;
    }
    writtenCells_.clear();
    allWritten_ = false;
}

QRegion TAnswerGrid::RegionOf(std::vector<int>& cells) const {
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    std::vector<QRect> rects;
    rects.reserve(cells.size());
    for (const int cell : cells) {
        const QRect rect = visualRect(
            model_->IndexOf(cell % TAnswerTable::ShownColumns, cell / TAnswerTable::ShownColumns));
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
    if (commandPainting_) {
        return;
    }
    for (const int cell : recordedCells_) {
        recorded_[static_cast<std::size_t>(cell)] = NoColor;
    }
    recordedCells_.clear();
}

void TAnswerGrid::PaintChangedCells() {
    flushScheduled_ = false;
    sinceFlush_.restart();
    FlushHeaders();
    // The question count decides which column is drawn as plain text: when it changes, every
    // cell in view is looked at, not only the written ones.
    if (table_.QuestionCount() != paintedQuestionCount_) {
        paintedQuestionCount_ = table_.QuestionCount();
        allWritten_ = true;
    }
    // Only the cells in view whose look or text is not what they show are painted.
    const TCellRange& visible = VisibleCells();
    std::vector<int> cells;
    auto consider = [&](int cell) {
        if (visible.Contains(cell) && !IsShownAsIs(cell)) {
            cells.push_back(cell);
        }
    };
    if (allWritten_) {
        for (int row = visible.firstRow; row <= visible.lastRow; ++row) {
            for (int column = visible.firstColumn; column <= visible.lastColumn; ++column) {
                consider(static_cast<int>(CellIndex(column, row)));
            }
        }
    } else {
        std::for_each(writtenCells_.begin(), writtenCells_.end(), consider);
    }
    std::for_each(recordedCells_.begin(), recordedCells_.end(), consider);
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
    visibleKnown_ = false;
    QTableView::scrollContentsBy(dx, dy);
}

void TAnswerGrid::resizeEvent(QResizeEvent* event) {
    visibleKnown_ = false;
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
