#include "platform/SystemCodePage.h"

#include "platform/CodePage.h"

#include <stdexcept>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

struct TSystemCodePage::TImpl {
    struct TConverterCloser {
        void operator()(UConverter* opened) const { ucnv_close(opened); }
    };
    std::unique_ptr<UConverter, TConverterCloser> converter;
};

TSystemCodePage::TSystemCodePage() : impl_(std::make_unique<TImpl>()) {
    UErrorCode status = U_ZERO_ERROR;
    impl_->converter.reset(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU has no converter for code page 932");
    }
    ucnv_setToUCallBack(impl_->converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    ucnv_setFromUCallBack(impl_->converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr,
                          nullptr, &status);
}

TSystemCodePage::~TSystemCodePage() = default;

std::optional<char16_t> TSystemCodePage::DecodePair(std::uint16_t code) const {
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    UChar unicode[4];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetToUnicode(impl_->converter.get());
    const std::int32_t length =
        ucnv_toUChars(impl_->converter.get(), unicode, 4, bytes, 2, &status);
    if (U_SUCCESS(status) && length == 1) {
        return static_cast<char16_t>(unicode[0]);
    }
    return std::nullopt;
}

std::optional<std::uint16_t> TSystemCodePage::EncodeDoubleByte(char16_t character) const {
    const UChar unicode[1] = {character};
    char bytes[4];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(impl_->converter.get());
    const std::int32_t length =
        ucnv_fromUChars(impl_->converter.get(), bytes, 4, unicode, 1, &status);
    if (U_SUCCESS(status) && length == 2) {
        return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                          static_cast<unsigned char>(bytes[1]));
    }
    return std::nullopt;
}

char16_t LowerCaseCharacter(char16_t character) {
    return static_cast<char16_t>(u_tolower(character));
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string text(utf8.size(), u'\0');
    std::int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(text.data()),
                         static_cast<std::int32_t>(text.size()), &length, utf8.data(),
                         static_cast<std::int32_t>(utf8.size()), ReplacementCharacter, nullptr,
                         &status);
    text.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return text;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string utf8(text.size() * 3, '\0');
    std::int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(utf8.data(), static_cast<std::int32_t>(utf8.size()), &length,
                       reinterpret_cast<const UChar*>(text.data()),
                       static_cast<std::int32_t>(text.size()), ReplacementCharacter, nullptr,
                       &status);
    utf8.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return utf8;
}
