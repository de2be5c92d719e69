#include "shell/grid/CellDrawing.h"

#include "table/store/AnswerTable.h"

#include <QHash>
#include <QPainter>
#include <QStaticText>

namespace {

constexpr int TextOffset = 2;

/// CR LF, a lone CR and a lone LF each end a line, as when a Windows program draws text.
QString WithLineFeeds(QString text) {
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
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

/// Laid-out texts by text, for the font they were laid out in: most cells of a test hold
/// one of a few short answers, and laying text out is the dearest part of painting it.
class TLaidOutTexts {
public:
    const QStaticText& Of(const QString& text, const QFont& font) {
        if (font != font_ || texts_.size() > MaxTexts) {
            texts_.clear();
            font_ = font;
        }
        auto found = texts_.find(text);
        if (found == texts_.end()) {
            QStaticText laidOut(text);
            laidOut.setTextFormat(Qt::PlainText);
            laidOut.prepare(QTransform(), font);
            found = texts_.insert(text, laidOut);
        }
        return *found;
    }

private:
    static constexpr qsizetype MaxTexts = 4096;
    QFont font_;
    QHash<QString, QStaticText> texts_;
};

/// The common case, one line without access-key marks that fits its cell, laid out once;
/// false when the text needs the full layout.
bool DrawPlainLine(QPainter& painter, const QRect& textRect, const TCellPaint& cell) {
    for (const QChar character : cell.text) {
        if (character == QLatin1Char('&') || character == QLatin1Char('\r') ||
            character == QLatin1Char('\n')) {
            return false;
        }
    }
    static TLaidOutTexts laidOutTexts;
    const QStaticText& text = laidOutTexts.Of(cell.text, painter.font());
    const QSizeF size = text.size();
    if (size.width() > textRect.width() || size.height() > textRect.height() ||
        painter.transform().type() != QTransform::TxNone) {
        return false;
    }
    qreal left = textRect.left();
    if (cell.rule == TCellRule::Data) {
        left = textRect.right() + 1 - size.width();
    } else if (cell.rule == TCellRule::Fixed) {
        left += (textRect.width() - size.width()) / 2;
    }
    painter.drawStaticText(QPointF(left, textRect.top()), text);
    return true;
}

} // namespace

TCellRule CellRule(int column, int row, int questionCount) {
    if (column >= TAnswerTable::FirstQuestionColumn && row >= 1 &&
        column != TAnswerTable::StatisticsLabelColumn(questionCount)) {
        return TCellRule::Data;
    }
    if (row == 0 || column == 0) {
        return TCellRule::Fixed;
    }
    return TCellRule::Plain;
}

void TableDrawCell(QPainter& painter, const TCellPaint& cell) {
    painter.fillRect(cell.rect, cell.fill);
    if (cell.text.isEmpty()) {
        return;
    }
    QRect textRect = cell.rect.adjusted(0, TextOffset, 0, 0);
    if (cell.rule == TCellRule::Plain) {
        textRect.setLeft(textRect.left() + TextOffset);
    }
    painter.setPen(cell.textColor);
    if (!DrawPlainLine(painter, textRect, cell)) {
        // Cut off at the rectangle it is drawn in.
        painter.drawText(textRect, TextFlags(cell.rule), WithLineFeeds(cell.text));
    }
}
