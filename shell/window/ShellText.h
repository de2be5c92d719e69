#pragma once

#include "platform/UserText.h"
#include "table/store/AnswerTable.h"

#include <QColor>
#include <QString>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

/// Where the window meets the byte strings of the table: cells, captions and messages are
/// code page 932; paths are native bytes; messages of failures are UTF-8.

/// As TCodePage::Decode.
QString FromCodePage(std::string_view bytes);
/// As TCodePage::Encode: a character the code page cannot hold becomes "?", the minus sign and
/// wave dash that Mac keyboards and web pages give become the code page's own.
std::string ToCodePage(const QString& text);
/// The same, telling how many characters became "?".
std::string ToCodePage(const QString& text, std::size_t& replacedCount);

/// A path text (platform/Paths.h) as Qt's file functions and dialogs take it, and back, with
/// native separators. On Linux the bytes of a name that is no UTF-8 come back whole, so that
/// any file the system can open opens; Qt's own file functions would change such a name, so
/// paths go to files through ToNativePath.
QString FromPathText(std::string_view text);
std::string ToPathText(const QString& fileName);
/// The same for a path.
QString FromNativePath(const std::filesystem::path& path);
std::filesystem::path ToNativePath(const QString& fileName);

QString FromUtf8(std::string_view text);

/// The text in the wording of `texts`.
QString Worded(const TUserText& text, const TLanguageTexts& texts);

/// A Windows colour value, 0x00BBGGRR.
QColor ToQColor(TColor color);
