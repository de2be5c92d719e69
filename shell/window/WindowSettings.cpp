#include "shell/window/WindowSettings.h"

#include "analysis/AnalysisTexts.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "shell/logic/SettingsFiles.h"
#include "shell/progress/ProgressWindow.h"
#include "shell/recent/FileNameKeeper.h"
#include "shell/window/HelpPage.h"
#include "shell/window/MainMenus.h"
#include "shell/window/ShellText.h"
#include "table/session/Messages.h"
#include "table/store/AnswerTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QTranslator>
#include <QWidget>
#include <array>

namespace {

/// A face name longer than this is cut, as a Windows font name is.
constexpr std::size_t MaxFaceNameLength = 31;
/// The language of Qt's own texts (file dialogs, standard buttons), as a locale name.
constexpr std::string_view LanguageKey = "Language";
constexpr std::string_view DefaultLanguage = "ja";

void SetCaption(QAction& action, const std::string& caption) {
    // A style that titles its separators would show the "-" on the line.
    const bool separator = caption == "-";
    action.setSeparator(separator);
    action.setText(separator ? QString() : FromCodePage(caption));
}

/// Qt's own texts follow the program's language for as long as `owner` lives; without a
/// translation for the language they stay English.
void InstallQtTranslation(QObject& owner, const std::string& language) {
    auto* translator = new QTranslator(&owner);
    if (translator->load(QLocale(FromCodePage(language)), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

} // namespace

TWindowSettings ReadSettings(const std::filesystem::path& executable, const TUserEnvironment& user,
                             TFileNameKeep& fileNameKeep) {
    const std::filesystem::path settings =
        SettingsFilePath(executable, user, FolderWritable(executable.parent_path()));
    if (!FileExists(settings)) {
        fileNameKeep.AddFileName(FromNativePath(executable.parent_path()) +
                                 QStringLiteral("/Data/Demo.csv"));
    }
    const std::string folder = ReadCurrentDir(settings, ExtractFileDrive(PathText(executable)));
    return {FromNativePath(settings), FromPathText(folder)};
}

void ApplyLanguageFile(const std::filesystem::path& executable, const TUserEnvironment& user,
                       const TLanguageTargets& targets) {
    const std::filesystem::path language = LanguageFilePath(executable, user);
    if (!FileExists(language)) {
        InstallQtTranslation(targets.window, std::string(DefaultLanguage));
        return;
    }
    const TProfileFile file(language);
    InstallQtTranslation(targets.window,
                         file.ReadString(MainSection, LanguageKey, DefaultLanguage));
    const TMainMenus& menus = targets.menus;
    const std::array<std::pair<std::string_view, QAction*>, 12> captions = {{
        {"mmFile.Caption", menus.mmFile->menuAction()},
        {"mmNew.Caption", menus.mmNew},
        {"mmOpen.Caption", menus.mmOpen},
        {"mmPaste.Caption", menus.mmPaste},
        {"mmSaveAs.Caption", menus.mmSaveAs},
        {"mmExit.Caption", menus.mmExit},
        {"mmMark.Caption", menus.mmMark},
        {"mmSortWithNumber.Caption", menus.mmSortWithNumber},
        {"mmSortwithpoint.Caption", menus.mmSortwithpoint},
        {"mmHelp.Caption", menus.mmHelp->menuAction()},
        {"mmShowHelp.Caption", menus.mmShowHelp},
        {"mmAbout.Caption", menus.mmAbout},
    }};
    for (const auto& [key, action] : captions) {
        SetCaption(*action, file.ReadString(MainSection, key, ""));
    }
    // A language file older than these captions keeps their Japanese ones.
    const std::array<std::pair<std::string_view, QAction*>, 10> laterCaptions = {{
        {"mmEdit.Caption", menus.mmEdit->menuAction()},
        {"mmSave.Caption", menus.mmSave},
        {"mmAnalysis.Caption", menus.mmAnalysis},
        {"mmUndo.Caption", menus.mmUndo},
        {"mmRedo.Caption", menus.mmRedo},
        {"mmCut.Caption", menus.mmCut},
        {"mmCopy.Caption", menus.mmCopy},
        {"mmCopyWithTitles.Caption", menus.mmCopyWithTitles},
        {"mmPasteCells.Caption", menus.mmPasteCells},
        {"mmClear.Caption", menus.mmClear},
    }};
    for (const auto& [key, action] : laterCaptions) {
        SetCaption(*action, file.ReadString(MainSection, key, ToCodePage(action->text())));
    }
    targets.analysisTexts = TAnalysisTexts::Read(file);
    SetCaption(*menus.mmSlips, targets.analysisTexts[TAnalysisText::Slips]);
    SetCaption(*menus.mmClassList, targets.analysisTexts[TAnalysisText::ClassList]);
    const std::string windowFace = file.ReadString(MainSection, "Font.Name", "");
    if (!windowFace.empty()) {
        QFont windowFont = targets.window.font();
        windowFont.setFamily(FromCodePage(windowFace.substr(0, MaxFaceNameLength)));
        targets.window.setFont(windowFont);
    }
    const std::string tableFace = file.ReadString(MainSection, "Table.Font.Name", "");
    if (!tableFace.empty()) {
        QFont tableFont = targets.table.font();
        tableFont.setFamily(FromCodePage(tableFace.substr(0, MaxFaceNameLength)));
        targets.table.setFont(tableFont);
    }
    ReadMessages(targets.answerTable, file);
    targets.helpTexts.Read(file);
    targets.languageTexts = TLanguageTexts(file);
    targets.progress.SetTexts(TProgressTexts::Read(file));
}

void WriteSettings(const QString& settingsFileName, const QString& currentDir) {
    WriteCurrentDir(ToNativePath(settingsFileName), ToPathText(currentDir));
}
