#include "FuzzSupport.h"
#include "platform/CodePage.h"
#include "platform/TextEncoding.h"
#include "table/file/AnswerFile.h"
#include "table/marking/Marking.h"
#include "table/marking/Numbers.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

/// Characters of well-formed UTF-8: the bytes that are no continuation byte.
std::size_t Utf8CharacterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char byte : utf8) {
        count += (static_cast<unsigned char>(byte) & 0xC0) == 0x80 ? 0 : 1;
    }
    return count;
}

/// The conversion follows the detection rule: code-page bytes stay as they are, only UTF-16 and
/// text of unknown encoding may fail, converted text is never longer than the file, and UTF-8
/// converts as the code page's own conversion does, losing no character when nothing was
/// replaced (a variant of a code-page character comes back as its twin).
void CheckConversion(const std::string& bytes) {
    TCodePageText converted;
    try {
        converted = ConvertToCodePage(bytes, "fuzz.csv");
    } catch (const ETextEncodingError&) {
        // Only UTF-16 and text of unknown encoding fail, which a UTF-16 mark or NUL bytes in
        // the first kilobytes tell; the code page and UTF-8 always read.
        constexpr std::size_t NulWindowBytes = 4096;
        Check(bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
              bytes.find('\0') < NulWindowBytes);
        return;
    }
    const TTextEncoding encoding = converted.encoding;
    if (converted.text.size() > bytes.size() || encoding == TTextEncoding::Unknown ||
        (encoding == TTextEncoding::CodePage && converted.text != bytes)) {
        std::abort();
    }
    if (encoding == TTextEncoding::Utf8) {
        std::string_view utf8(bytes);
        if (utf8.starts_with("\xEF\xBB\xBF")) {
            utf8.remove_prefix(3);
        }
        Check(converted.text == TCodePage::FromUtf8(utf8));
        if (converted.replacedCount == 0) {
            const std::u16string decoded = TCodePage::Decode(converted.text);
            Check(decoded.size() == Utf8CharacterCount(utf8));
            Check(TCodePage::Encode(decoded) == converted.text);
        }
    }
}

} // namespace

// Any file converts to the code page or fails as broken UTF-16 or text of unknown encoding; a saved
// table reads back as the same table, and marking any loaded table either works or stops with the
// error the user is shown (a points cell that is no number, a sum beyond the range of a double).
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
