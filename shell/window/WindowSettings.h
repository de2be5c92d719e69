#pragma once

#include "platform/UserFolders.h"
#include "platform/UserText.h"

#include <QString>
#include <filesystem>

class QWidget;
class TAnalysisTexts;
class TAnswerTable;
class TFileNameKeep;
struct THelpPageTexts;
class TWindowProgress;
struct TMainMenus;

/// The settings file of this run and the folder it names.
struct TWindowSettings {
    QString fileName;
    QString currentDir;
};

/// Reads the settings file beside the executable, or the user's when that folder cannot be
/// written. On the first run, before the file exists, the demo table joins the recent files.
TWindowSettings ReadSettings(const std::filesystem::path& executable, const TUserEnvironment& user,
                             TFileNameKeep& fileNameKeep);

/// What the language file changes: the window's and the grid's fonts, the menus' captions, the
/// analysis texts, the table's messages, what is said when the manual does not open, the
/// progress dialog's words and the wording of every other text.
struct TLanguageTargets {
    QWidget& window;
    const TMainMenus& menus;
    QWidget& table;
    TAnswerTable& answerTable;
    TAnalysisTexts& analysisTexts;
    THelpPageTexts& helpTexts;
    TLanguageTexts& languageTexts;
    TWindowProgress& progress;
};

/// Applies the language file, when there is one; Qt's own texts follow its language, Japanese
/// without one.
void ApplyLanguageFile(const std::filesystem::path& executable, const TUserEnvironment& user,
                       const TLanguageTargets& targets);

/// Keeps the current folder in the settings file.
void WriteSettings(const QString& settingsFileName, const QString& currentDir);
