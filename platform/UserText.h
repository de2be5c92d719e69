#pragma once

#include "platform/ProfileFile.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TLanguageTexts;

/// A text the user reads, worded by the language file where it has a wording for the text's
/// key, else in the built-in Japanese: a pattern whose "%1" to "%9" stand for the arguments,
/// each a text of its own, so that a place or a cause is worded in the same language. A text
/// without a key (a file name, a number, a joint of texts) keeps its pattern in every language,
/// its arguments worded. UTF-8.
class TUserText {
public:
    TUserText(std::string_view key, std::string_view japanese,
              std::vector<TUserText> arguments = {});
    /// The same in every language.
    static TUserText Literal(std::string text);
    /// The texts one below the other; at most nine.
    static TUserText Lines(std::vector<TUserText> lines);
    template <typename TInteger>
    static TUserText Number(TInteger number) {
        return Literal(std::to_string(number));
    }

    std::string Render(const TLanguageTexts& texts) const;
    /// As the built-in Japanese words it.
    std::string Japanese() const;

private:
    TUserText() = default;

    std::string key_;
    std::string pattern_;
    std::vector<TUserText> arguments_;
};

/// The wordings of the language file's section "Messages", by key; without a language file, or
/// for a key it lacks, a text keeps its Japanese wording.
class TLanguageTexts {
public:
    TLanguageTexts() = default;
    explicit TLanguageTexts(TProfileFile languageFile) : file_(std::move(languageFile)) {}

    /// The file's wording of `key`, UTF-8; nothing when it has none.
    std::optional<std::string> Wording(std::string_view key) const;

private:
    std::optional<TProfileFile> file_;
};

/// Replaces "%1" to "%9" in `pattern` by the arguments in order; a marker without an argument
/// stays as it is. `pattern` and the arguments are UTF-8.
std::string FormatText(std::string_view pattern, const std::vector<std::string>& arguments);
