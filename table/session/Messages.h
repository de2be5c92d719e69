#pragma once

#include "platform/ProfileFile.h"
#include "platform/UserText.h"
#include "table/file/AnswerFile.h"
#include "table/store/AnswerTable.h"

#include <string>
#include <string_view>
#include <vector>

/// The language file's section that holds the main window's texts.
inline constexpr std::string_view MainSection = "Main";

/// "<br>", in any letter case, stands for a line break (CR LF).
std::string ExpandLineBreaks(std::string_view message);

/// Msg1 to Msg10 from the language file; a missing key gives an empty message. Also the
/// failure texts (keys "PasteEmptyLine", "PasteNoName", "PasteUnreadable"), where a missing key
/// leaves the built-in text.
void ReadMessages(TAnswerTable& table, const TProfileFile& languageFile);

/// Tells the user that a NUL byte ended a file's text in `line`, so that what follows it was
/// not loaded.
TUserText NulEndedTextNotice(std::string_view fileName, int line);

/// Tells the user that a NUL byte ended the text of a roster paste in `line`, so that the
/// lines from it on were not pasted. The text came from the clipboard or, for pelloran-cli,
/// from the file `fileName`.
TUserText NulEndedClipboardNotice(int line);
TUserText NulEndedPastedFileNotice(std::string_view fileName, int line);

/// What the user is told of a file that loaded, one notice for each thing it lost.
std::vector<TUserText> LoadNoticeTexts(std::string_view fileName, const TLoadNotices& notices);
