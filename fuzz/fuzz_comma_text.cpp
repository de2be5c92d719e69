#include "table/TextRules.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

// Every field must come from inside the line, and no line may hold a line break or NUL.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string_view line : SplitLines(text)) {
        if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
            std::abort();
        }
        std::size_t total = 0;
        ForEachCommaField(line, [&](std::string_view field) { total += field.size(); });
        if (total > line.size()) {
            std::abort();
        }
    }
    return 0;
}
