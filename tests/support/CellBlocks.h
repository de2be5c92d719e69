#pragma once

#include "RandomWork.h"
#include "table/clipboard/CellBlock.h"

#include <string>
#include <vector>

/// A block of the given rows of cells, as a paste or a copy holds it.
inline TCellBlock BlockOf(const TCells& rows) {
    TCellBlock block;
    for (const std::vector<std::string>& cells : rows) {
        block.AddRow();
        for (const std::string& cell : cells) {
            block.AppendCell(cell);
        }
    }
    return block;
}
