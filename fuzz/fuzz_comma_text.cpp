#include "table/file/TextRecords.h"
#include "table/file/TextRules.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

/// The records of the text cut as it grows by `step` bytes at a time, as a file is read.
std::vector<std::string_view> RecordsReadInSteps(std::string_view text, std::size_t step) {
    std::vector<std::string_view> records;
    TRecordCutter cutter;
    std::size_t start = 0;
    std::size_t readEnd = 0;
    while (start < text.size()) {
        readEnd = std::min(text.size(), readEnd + step);
        while (start < readEnd) {
            const std::optional<TRecordCutter::TCut> cut =
                cutter.Cut(text.substr(start, readEnd - start), readEnd == text.size());
            if (!cut) {
                break;
            }
            records.push_back(cut->record.text);
            start += cut->next;
        }
    }
    return records;
}

/// Records lie one after another in the text, their fields take no more bytes than they have,
/// and cutting them from a growing text gives the records of the whole text.
void CheckRecords(std::string_view text, std::size_t step) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string_view> records;
    const char* next = text.data();
    ForEachRecord(text, [&](const TRecord& record) {
        if (record.text.data() < next) {
            std::abort();
        }
        next = record.text.data() + record.text.size();
        std::size_t total = 0;
        ForEachRecordField(record, [&](std::string_view field) { total += field.size(); });
        if (total > record.text.size()) {
            std::abort();
        }
        records.push_back(record.text);
    });
    if (RecordsReadInSteps(text, step) != records) {
        std::abort();
    }
}

} // namespace

// Every field must come from inside the line, no line (a record without double quotes) may hold a
// line break or NUL, and the fast split of plain lines must give the fields the full rules give;
// records as CheckRecords.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckRecords(text, size == 0 ? 1 : data[0] % 7 + 1);
    // A record without a double quote is one line.
    ForEachRecord(text, [](const TRecord& record) {
        if (record.separator) {
            return;
        }
        const std::string_view line = record.text;
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
    });
    return 0;
}
