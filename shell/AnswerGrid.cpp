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
/// Above this many written cells, repainting the whole view is cheaper than their region.
constexpr std::size_t ManyCells = 512;
constexpr float SelectionTint = 0.35f;

QColor Tinted(const QColor& fill, const QColor& tint) {
    return QColor::fromRgbF(fill.redF() + (tint.redF() - fill.redF()) * SelectionTint,
                            fill.greenF() + (tint.greenF() - fill.greenF()) * SelectionTint,
                            fill.blueF() + (tint.blueF() - fill.blueF()) * SelectionTint);
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
        TCellPaint cell;
        cell.rect = option.rect;
        cell.text = index.data().toString();
        cell.rule = CellRule(column, row, grid_.Table().QuestionCount());
        if (cell.rule == TCellRule::Data) {
            // The highlight colour fills a selected cell too; a tint keeps the selection seen.
            const QColor fill = ToQColor(grid_.FillOf(column, row));
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

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        const bool horizontal = orientation() == Qt::Horizontal;
        TCellPaint cell;
        cell.rect = rect;
        cell.text = FromCodePage(horizontal ? table_.Cell(logicalIndex + 1, 0)
                                            : table_.Cell(0, logicalIndex + 1));
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
    TAnswerTable& table_;
};

} // namespace

TAnswerGrid::TAnswerGrid(TAnswerTable& table, QWidget* parent)
    : QTableView(parent), table_(table), model_(new TAnswerTableModel(table, this)),
      written_(CellIndex(0, TAnswerTable::ShownRows), 0),
      recorded_(CellIndex(0, TAnswerTable::ShownRows), NoColor) {
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

int TAnswerGrid::CurrentColumn() const {
    return currentIndex().isValid() ? TAnswerTableModel::ColumnOf(currentIndex()) : 0;
}

int TAnswerGrid::CurrentRow() const {
    return currentIndex().isValid() ? TAnswerTableModel::RowOf(currentIndex()) : 0;
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

void TAnswerGrid::MarkWritten(int column, int row) {
    const std::size_t cell = CellIndex(column, row);
    if (written_[cell] == 0) {
        written_[cell] = 1;
        writtenCells_.push_back(static_cast<int>(cell));
    }
}

void TAnswerGrid::CellWritten(int column, int row) {
    if (column < 0 || column >= TAnswerTable::ShownColumns || row < 0 ||
        row >= TAnswerTable::ShownRows) {
        return;
    }
    if (row == 0 || column == 0) {
        headersWritten_ = true;
    } else {
        MarkWritten(column, row);
    }
    if (column == CurrentColumn() && row == CurrentRow()) {
        RefreshEditor();
    }
    ScheduleFlush();
}

void TAnswerGrid::TableReset() {
    allWritten_ = true;
    headersWritten_ = true;
    RefreshEditor();
    ScheduleFlush();
}

void TAnswerGrid::RowsWritten(int firstRow, int lastRow) {
    const int first = std::max(firstRow, 0);
    const int last = std::min(lastRow, TAnswerTable::ShownRows - 1);
    if (first > last) {
        return;
    }
    headersWritten_ = true;
    for (int row = std::max(first, 1); row <= last; ++row) {
        for (int column = 1; column < TAnswerTable::ShownColumns; ++column) {
            MarkWritten(column, row);
        }
    }
    if (CurrentRow() >= first && CurrentRow() <= last) {
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

void TAnswerGrid::ProcessMessages() {
    const TColor highlight = table_.HighlightColor();
    const int firstColumn = std::max(columnAt(0), 0) + 1;
    const int lastColumn = columnAt(viewport()->width() - 1) < 0
                               ? TAnswerTable::ShownColumns - 1
                               : columnAt(viewport()->width() - 1) + 1;
    const int firstRow = std::max(rowAt(0), 0) + 1;
    const int lastRow = rowAt(viewport()->height() - 1) < 0 ? TAnswerTable::ShownRows - 1
                                                            : rowAt(viewport()->height() - 1) + 1;
    auto record = [&](int cell) {
        const int column = cell % TAnswerTable::ShownColumns;
        const int row = cell / TAnswerTable::ShownColumns;
        if (column >= firstColumn && column <= lastColumn && row >= firstRow && row <= lastRow) {
            if (recorded_[static_cast<std::size_t>(cell)] == NoColor) {
                recordedCells_.push_back(cell);
            }
            recorded_[static_cast<std::size_t>(cell)] = highlight;
        }
    };
    if (allWritten_) {
        for (int row = firstRow; row <= lastRow; ++row) {
            for (int column = firstColumn; column <= lastColumn; ++column) {
                record(static_cast<int>(CellIndex(column, row)));
            }
        }
    } else {
        for (const int cell : writtenCells_) {
            record(cell);
        }
    }
    for (const int cell : writtenCells_) {
        written_[static_cast<std::size_t>(cell)] = 0;
    }
    writtenCells_.clear();
    allWritten_ = false;
    if (sinceFlush_.elapsed() >= FrameDuration) {
        FlushPaints();
        // Input waits until the command has ended, so that no command runs inside another.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

QRegion TAnswerGrid::RegionOf(const std::vector<int>& cells) const {
    std::vector<int> sorted(cells);
    std::sort(sorted.begin(), sorted.end());
    std::vector<QRect> rects;
    rects.reserve(sorted.size());
    for (const int cell : sorted) {
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

void TAnswerGrid::FlushPaints() {
    flushScheduled_ = false;
    sinceFlush_.restart();
    if (headersWritten_) {
        horizontalHeader()->viewport()->update();
        verticalHeader()->viewport()->update();
        headersWritten_ = false;
    }
    QRegion region;
    if (allWritten_ || writtenCells_.size() + recordedCells_.size() > ManyCells) {
        region = viewport()->rect();
    } else {
        std::vector<int> cells(writtenCells_);
        cells.insert(cells.end(), recordedCells_.begin(), recordedCells_.end());
        region = RegionOf(cells);
    }
    if (!region.isEmpty()) {
        // Painted now, while the recorded colours are there to be painted.
        viewport()->repaint(region);
    }
    for (const int cell : recordedCells_) {
        recorded_[static_cast<std::size_t>(cell)] = NoColor;
    }
    recordedCells_.clear();
    for (const int cell : writtenCells_) {
        written_[static_cast<std::size_t>(cell)] = 0;
    }
    writtenCells_.clear();
    allWritten_ = false;
}

void TAnswerGrid::ScheduleFlush() {
    if (!flushScheduled_) {
        flushScheduled_ = true;
        QMetaObject::invokeMethod(this, &TAnswerGrid::FlushPaints, Qt::QueuedConnection);
    }
}

void TAnswerGrid::RefreshEditor() {
    if (QLineEdit* editor = Editor()) {
        itemDelegate()->setEditorData(editor, currentIndex());
    }
}

void TAnswerGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    const bool editorHadFocus = Editor() == nullptr ? hasFocus() : Editor()->hasFocus();
    QTableView::currentChanged(current, previous);
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

void TAnswerGrid::keyReleaseEvent(QKeyEvent* event) {
    QTableView::keyReleaseEvent(event);
    if (!event->isAutoRepeat()) {
        emit KeyReleased(ReleasedKey(event->key()));
    }
}

bool TAnswerGrid::MoveFromEditor(const QKeyEvent& event, const QLineEdit& editor) {
    const bool wholeSelected = editor.selectedText() == editor.text();
    CursorAction action;
    switch (event.key()) {
    case Qt::Key_Up:
        action = MoveUp;
        break;
    case Qt::Key_Down:
        action = MoveDown;
        break;
    case Qt::Key_PageUp:
        action = MovePageUp;
        break;
    case Qt::Key_PageDown:
        action = MovePageDown;
        break;
    case Qt::Key_Left:
        if (editor.cursorPosition() != 0 && !wholeSelected) {
            return false;
        }
        action = MoveLeft;
        break;
    case Qt::Key_Right:
        if (editor.cursorPosition() != editor.text().size() && !wholeSelected) {
            return false;
        }
        action = MoveRight;
        break;
    default:
        return false;
    }
    const QModelIndex next = moveCursor(action, event.modifiers());
    if (next.isValid() && next != currentIndex()) {
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect);
    }
    return true;
}

bool TAnswerGrid::eventFilter(QObject* watched, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(watched);
    if (editor != nullptr && event->type() == QEvent::KeyPress) {
        return MoveFromEditor(*static_cast<QKeyEvent*>(event), *editor);
    }
    if (editor != nullptr && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            emit KeyReleased(ReleasedKey(key->key()));
        }
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
