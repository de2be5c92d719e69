#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

/// The three ways a cell of the grid is drawn.
enum class TCellRule {
    /// Question columns, the score column and every column after the statistics labels:
    /// right-aligned on the highlight colour, "&" marking an access key.
    Data,
    /// The header row and the label column: centred on the fixed-cell colour, "&" marking an
    /// access key.
    Fixed,
    /// Number, name and statistics label columns: the text as it is, at the top left.
    Plain,
};

/// With `questionCount` questions, the statistics labels stand in column
/// TAnswerTable::StatisticsLabelColumn(questionCount).
TCellRule CellRule(int column, int row, int questionCount);

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
