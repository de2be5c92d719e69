#include "shell/grid/FixedHeader.h"

#include "shell/grid/AnswerTableModel.h"
#include "shell/grid/CellDrawing.h"
#include "shell/logic/CellRule.h"
#include "shell/logic/GridPaintLog.h"
#include "shell/window/ShellText.h"

#include <QPainter>

TFixedHeader::TFixedHeader(Qt::Orientation orientation, const TAnswerTable& table, QWidget* parent)
    : QHeaderView(orientation, parent), table_(table) {
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(0);
    setHighlightSections(false);
    setSectionsClickable(false);
}

std::string TFixedHeader::SectionText(int section) const {
    return orientation() == Qt::Horizontal ? std::string(table_.Cell(section + 1, 0))
                                           : TAnswerTableModel::RowLabel(table_, section + 1);
}

void TFixedHeader::RefreshSection(int section) {
    const auto shown = shownTexts_.find(section);
    if (shown == shownTexts_.end() || shown->second != SectionText(section)) {
        updateSection(section);
    }
}

void TFixedHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    std::string text = SectionText(logicalIndex);
    if (shownTexts_.size() >= TGridPaintLog::MaxRememberedCells) {
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
