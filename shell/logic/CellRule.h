#pragma once

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
