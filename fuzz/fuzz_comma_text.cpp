#include "table/TextRules.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// Every field must come from inside the line, no line may hold a line break or NUL, and the
// fast split of plain lines must give the fields the full rules give.
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
        std::string bytes;
        std::vector<std::uint32_t> ends;
        if (SplitPlainCommaLine(line, bytes, ends)) {
            const std::vector<std::string> fields = SplitCommaText(line);
            if (fields.size() != ends.size()) {
                std::abort();
            }
            std::uint32_t start = 0;
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (bytes.substr(start, ends[i] - start) != fields[i]) {
                    std::abort();
                }
                start = ends[i];
            }
        }
    }
    return 0;
}
