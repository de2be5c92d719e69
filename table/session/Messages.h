#pragma once

#include "platform/ProfileFile.h"
#include "table/store/AnswerTable.h"

#include <string>
#include <string_view>

/// The language file's section that holds the main window's texts.
inline constexpr std::string_view MainSection = "Main";

/// "<br>", in any letter case, stands for a line break (CR LF).
std::string ExpandLineBreaks(std::string_view message);

/// Msg1 to Msg10 from the language file; a missing key gives an empty message. Also the
/// failure texts (keys "PasteEmptyLine", "PasteNoName", "PasteUnreadable"), where a missing key
/// leaves the built-in text.
void ReadMessages(TAnswerTable& table, const TProfileFile& languageFile);
