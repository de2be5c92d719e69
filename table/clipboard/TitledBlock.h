#pragma once

#include "table/clipboard/CellBlock.h"

/// The cells of `range` as CopyCellBlock takes them, with the titles a spreadsheet needs to read
/// them alone: the titles' row above (unless the range begins with it) and each row's number and
/// name before it (those of the two left of the range; the key and points rows are named by
/// their labels). Mark's mean and deviation go out as the numbers they are, without the brackets
/// that keep them apart from a key in the grid. Throws as CopyCellBlock does.
TCellBlock CopyTitledBlock(const TAnswerTable& table, TCellRange range);
