#include "FuzzSupport.h"
#include "platform/Collator.h"
#include "table/marking/Marking.h"
#include "table/marking/Sorting.h"

#include <cstdint>
#include <string>

// Any loaded table: both sorts keep the rows, marking either works or stops with the error the
// user is shown, and marking a marked table again changes nothing.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TCollator collator("");
    TAnswerTable table = LoadedTable(std::string(reinterpret_cast<const char*>(data), size));
    const TCells loaded = CellsOf(table);
    SortByNumber(table, collator);
    CheckSortKept(loaded, CellsOf(table));
    try {
        MarkTable(table, '.');
    } catch (const EPelloranError&) {
        return 0;
    }
    const TCells marked = CellsOf(table);
    MarkTable(table, '.');
    Check(CellsOf(table) == marked);
    SortByScore(table, collator);
    CheckSortKept(marked, CellsOf(table));
    return 0;
}
