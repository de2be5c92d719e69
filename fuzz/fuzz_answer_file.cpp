#include "FuzzSupport.h"
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
// the same table, and marking any loaded table either works or stops with the error the user is
// shown (a points cell that is no number, a sum beyond the range of a double).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckConversion(bytes);
    TAnswerTable table = LoadedTable(bytes);
    const std::string saved = GetTableText(table);
    Check(GetTableText(LoadedTable(saved)) == saved);
    try {
        MarkTable(table, '.');
    } catch (const EPelloranError&) {
    }
    return 0;
}
