#include "table/session/Messages.h"

#include "platform/Errors.h"
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

/// `source` names the pasted text as the sentence begins with it.
std::string NulEndedPasteNotice(std::string_view source, int line) {
    return std::string(source) + "の " + std::to_string(line) +
           " 行目に NUL 文字があったため、そこから後は貼り付けていません。";
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

std::string NulEndedTextNotice(std::string_view fileName, int line) {
    return FormatMessage("ファイル %s の ", fileName) + std::to_string(line) +
           " 行目に NUL 文字があったため、そこから後は読み込まず、このまま保存するとその部分は"
           "失われます。";
}

std::string NulEndedClipboardNotice(int line) {
    return NulEndedPasteNotice("貼り付けた文字列", line);
}

std::string NulEndedPastedFileNotice(std::string_view fileName, int line) {
    return NulEndedPasteNotice(FormatMessage("ファイル %s ", fileName), line);
}

std::vector<std::string> LoadNoticeTexts(std::string_view fileName, const TLoadNotices& notices) {
    std::vector<std::string> texts;
    if (notices.replacedCount > 0) {
        texts.push_back(ReplacedCharactersNotice(fileName, notices.replacedCount));
    }
    if (notices.nulLine > 0) {
        texts.push_back(NulEndedTextNotice(fileName, notices.nulLine));
    }
    return texts;
}
