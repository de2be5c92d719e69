#pragma once

#include "shell/logic/CellRule.h"

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

/// One cell's painting, as TableDrawCell needs it.
struct TCellPaint {
    QRect rect;
    QString text;
    TCellRule rule = TCellRule::Plain;
    QColor fill;
    QColor textColor;
};

/// Fills the cell and writes its text 2 pixels below its top edge (and, for plain cells, 2
/// pixels right of its left edge), cut off at the cell's edges. Line breaks start new lines.
void TableDrawCell(QPainter& painter, const TCellPaint& cell);
