#include "table/AnswerFile.h"
#include "table/Marking.h"
#include "table/Numbers.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

TAnswerTable LoadedTable(const std::string& bytes) {
    TAnswerTable table;
    table.Reset();
    LoadAnswerText(table, bytes);
    return table;
}

} // namespace

// A saved table reads back as the same table, and marking any loaded table either works or
// stops with a conversion error.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TAnswerTable table = LoadedTable(std::string(reinterpret_cast<const char*>(data), size));
    const std::string saved = GetTableText(table);
    if (GetTableText(LoadedTable(saved)) != saved) {
        std::abort();
    }
    try {
        MarkTable(table, '.');
    } catch (const EConvertError&) {
    }
    return 0;
}
