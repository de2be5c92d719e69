#include "table/session/Messages.h"

#include <array>
#include <utility>

namespace {

/// The language file's keys of the failure texts.
constexpr std::array<std::pair<TFailureText, std::string_view>, TAnswerTable::FailureTextCount>
    FailureTextKeys = {{
        {TFailureText::PasteEmptyLine, "PasteEmptyLine"},
        {TFailureText::PasteNoName, "PasteNoName"},
        {TFailureText::PasteUnreadable, "PasteUnreadable"},
    }};

bool StartsWithLineBreakTag(std::string_view text) {
    constexpr std::string_view Tag = "<br>";
    if (text.size() < Tag.size()) {
        return false;
    }
    for (std::size_t i = 0; i < Tag.size(); ++i) {
        const char byte = text[i];
        const char lower = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
        if (lower != Tag[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string ExpandLineBreaks(std::string_view message) {
    std::string expanded;
    expanded.reserve(message.size());
    for (std::size_t at = 0; at < message.size();) {
        if (StartsWithLineBreakTag(message.substr(at))) {
            expanded += "\r\n";
            at += 4;
        } else {
            expanded += message[at++];
        }
    }
    return expanded;
}

void ReadMessages(TAnswerTable& table, const TProfileFile& languageFile) {
    for (int number = 1; number <= TAnswerTable::MessageCount; ++number) {
        const std::string key = "Msg" + std::to_string(number);
        table.SetMessage(number, ExpandLineBreaks(languageFile.ReadString(MainSection, key, "")));
    }
    for (const auto& [text, key] : FailureTextKeys) {
        table.SetFailureText(text, ExpandLineBreaks(languageFile.ReadString(MainSection, key, "")));
    }
}
