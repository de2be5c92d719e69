#include "platform/CodePage.h"
#include "platform/TextEncoding.h"
#include "table/AnswerFile.h"
#include "table/Marking.h"
#include "table/Numbers.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

TAnswerTable LoadedTable(const std::string& bytes) {
    TAnswerTable table;
    table.Reset();
    LoadAnswerText(table, bytes);
    return table;
}

/// The conversion follows the detection rule: code-page bytes stay as they are, converted text
/// is never longer than the file, and UTF-8 with nothing replaced comes back whole when decoded
/// again.
void CheckConversion(const std::string& bytes) {
    const TTextEncoding encoding = DetectTextEncoding(bytes);
    TCodePageText converted;
    try {
        converted = ConvertToCodePage(bytes, "fuzz.csv");
    } catch (const ETextEncodingError&) {
        if (encoding == TTextEncoding::Utf16LittleEndian ||
            encoding == TTextEncoding::Utf16BigEndian) {
            return;
        }
        std::abort();
    }
    if (converted.text.size() > bytes.size() ||
        (encoding == TTextEncoding::CodePage && converted.text != bytes)) {
        std::abort();
    }
    if (encoding == TTextEncoding::Utf8 && converted.replacedCount == 0) {
        std::string_view utf8(bytes);
        if (utf8.starts_with("\xEF\xBB\xBF")) {
            utf8.remove_prefix(3);
        }
        if (TCodePage::ToUtf8(converted.text) != utf8) {
            std::abort();
        }
    }
}

} // namespace

// Any file converts to the code page or fails as broken UTF-16; a saved table reads back as
// the same table, and marking any loaded table either works or stops with a conversion error.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckConversion(bytes);
    TAnswerTable table = LoadedTable(bytes);
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
