#include "table/session/Messages.h"

#include "platform/TextEncoding.h"

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
        table.SetMessage(static_cast<TMessage>(number),
                         ExpandLineBreaks(languageFile.ReadString(MainSection, key, "")));
    }
    for (const auto& [text, key] : FailureTextKeys) {
        table.SetFailureText(text, ExpandLineBreaks(languageFile.ReadString(MainSection, key, "")));
    }
}

TUserText NulEndedTextNotice(std::string_view fileName, int line) {
    return {"NulInFile",
            "ファイル %1 の %2 行目に NUL 文字があったため、そこから後は読み込まず、このまま保存"
            "するとその部分は失われます。",
            {TUserText::Literal(std::string(fileName)), TUserText::Number(line)}};
}

TUserText NulEndedClipboardNotice(int line) {
    return {"NulInPaste",
            "貼り付けた文字列の %1 行目に NUL 文字があったため、そこから後は貼り付けていません。",
            {TUserText::Number(line)}};
}

TUserText NulEndedPastedFileNotice(std::string_view fileName, int line) {
    return {"NulInPastedFile",
            "ファイル %1 の %2 行目に NUL 文字があったため、そこから後は貼り付けていません。",
            {TUserText::Literal(std::string(fileName)), TUserText::Number(line)}};
}

std::vector<TUserText> LoadNoticeTexts(std::string_view fileName, const TLoadNotices& notices) {
    std::vector<TUserText> texts;
    if (notices.replacedCount > 0) {
        texts.push_back(ReplacedCharactersNotice(fileName, notices.replacedCount));
    }
    if (notices.nulLine > 0) {
        texts.push_back(NulEndedTextNotice(fileName, notices.nulLine));
    }
    return texts;
}
