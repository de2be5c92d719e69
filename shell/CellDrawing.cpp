#include "CellDrawing.h"

#include "table/AnswerTable.h"

#include <QPainter>

namespace {

constexpr int TextOffset = 2;

/// CR LF, a lone CR and a lone LF each end a line, as when a Windows program draws text.
QString WithLineFeeds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

int TextFlags(TCellRule rule) {
    switch (rule) {
    case TCellRule::Data:
        return Qt::AlignRight | Qt::AlignTop | Qt::TextShowMnemonic;
    case TCellRule::Fixed:
        return Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic;
    case TCellRule::Plain:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

} // namespace

TCellRule CellRule(int column, int row, int questionCount) {
    if (column >= TAnswerTable::FirstQuestionColumn && row >= 1 && column != questionCount + 4) {
        return TCellRule::Data;
    }
    if (row == 0 || column == 0) {
        return TCellRule::Fixed;
    }
    return TCellRule::Plain;
}

void TableDrawCell(QPainter& painter, const TCellPaint& cell) {
    painter.save();
    painter.setClipRect(cell.rect);
    painter.fillRect(cell.rect, cell.fill);
    QRect textRect = cell.rect.adjusted(0, TextOffset, 0, 0);
    if (cell.rule == TCellRule::Plain) {
        textRect.setLeft(textRect.left() + TextOffset);
    }
    painter.setPen(cell.textColor);
    painter.drawText(textRect, TextFlags(cell.rule), WithLineFeeds(cell.text));
    painter.restore();
}
