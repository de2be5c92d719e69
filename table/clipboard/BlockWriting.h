#pragma once

#include "table/clipboard/CellBlock.h"
#include "table/store/AnswerTable.h"

/// Writes the block with its first cell at (column, row), rightwards and downwards; a block
/// reaching past the stored rows and columns grows the table as writing a cell does. A row
/// written over mostly is written whole, so that the history keeps the old row rather than a
/// change per cell.
void WriteBlock(TAnswerTable& table, int column, int row, const TCellBlock& block);

/// Empties the cells of the range, row by row as WriteBlock writes them.
void EmptyRange(TAnswerTable& table, TCellRange range);
