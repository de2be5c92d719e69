#include "platform/UserText.h"

#include "platform/CodePage.h"

namespace {

constexpr std::string_view MessagesSection = "Messages";
/// No value read from a file holds a line break: the default that tells a missing key.
constexpr std::string_view MissingValue = "\n";
constexpr std::string_view LineBreakTag = "<br>";

} // namespace

TUserText::TUserText(std::string_view key, std::string_view japanese,
                     std::vector<TUserText> arguments)
    : key_(key), pattern_(japanese), arguments_(std::move(arguments)) {}

TUserText TUserText::Literal(std::string text) {
    TUserText literal;
    literal.pattern_ = std::move(text);
    return literal;
}

TUserText TUserText::Lines(std::vector<TUserText> lines) {
    TUserText joined;
    for (std::size_t number = 1; number <= lines.size(); ++number) {
        joined.pattern_ += (number == 1 ? "%" : "\n%") + std::to_string(number);
    }
    joined.arguments_ = std::move(lines);
    return joined;
}

std::string TUserText::Render(const TLanguageTexts& texts) const {
    if (arguments_.empty() && key_.empty()) {
        return pattern_;
    }
    std::vector<std::string> arguments;
    arguments.reserve(arguments_.size());
    for (const TUserText& argument : arguments_) {
        arguments.push_back(argument.Render(texts));
    }
    const std::optional<std::string> wording = key_.empty() ? std::nullopt : texts.Wording(key_);
    return FormatText(wording ? *wording : pattern_, arguments);
}

std::string TUserText::Japanese() const {
    return Render(TLanguageTexts());
}

std::optional<std::string> TLanguageTexts::Wording(std::string_view key) const {
    if (!file_) {
        return std::nullopt;
    }
    const std::string value = file_->ReadString(MessagesSection, key, MissingValue);
    if (value == MissingValue) {
        return std::nullopt;
    }
    // A value is one line: "<br>" stands for a line break, as in the window's messages.
    std::string text = TCodePage::ToUtf8(value);
    for (std::size_t at = text.find(LineBreakTag); at != std::string::npos;
         at = text.find(LineBreakTag, at + 1)) {
        text.replace(at, LineBreakTag.size(), "\n");
    }
    return text;
}

std::string FormatText(std::string_view pattern, const std::vector<std::string>& arguments) {
    std::string formatted;
    formatted.reserve(pattern.size());
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const char next = at + 1 < pattern.size() ? pattern[at + 1] : '\0';
        const auto number = static_cast<std::size_t>(next - '0');
        if (pattern[at] == '%' && next >= '1' && next <= '9' && number <= arguments.size()) {
            formatted += arguments[number - 1];
            ++at;
            continue;
        }
        formatted += pattern[at];
    }
    return formatted;
}
