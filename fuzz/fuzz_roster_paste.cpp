#include "FuzzSupport.h"
#include "table/roster/RosterPaste.h"

#include <cstdint>
#include <string>

// Any pasted text writes only numbers and names of student rows, stops with the line error
// the user is shown, and the pasted roster saves and opens again as the same cells.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TAnswerTable empty;
    empty.Reset();
    const TCells before = CellsOf(empty);
    TAnswerTable table;
    table.Reset();
    try {
        PasteRoster(table, std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const ERosterPasteError& error) {
        Check(error.LineNumber() >= 1);
    }
    Check(table.IsEnabled(TCommand::mmMark) && table.IsEnabled(TCommand::mmSortWithNumber));
    const TCells pasted = CellsOf(table);
    for (std::size_t row = 0; row < pasted.size(); ++row) {
        for (std::size_t column = 0; column < pasted[row].size(); ++column) {
            const bool roster = row >= std::size_t{TAnswerTable::FirstStudentRow} &&
                                (column == std::size_t{TAnswerTable::NumberColumn} ||
                                 column == std::size_t{TAnswerTable::NameColumn});
            Check(roster || CellOf(pasted, column, row) == CellOf(before, column, row));
        }
    }
    const std::string saved = GetTableText(table);
    Check(GetTableText(LoadedTable(saved)) == saved);
    return 0;
}
