#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "shell/logic/SettingsFiles.h"
#include "shell/recent/FileNameKeeper.h"
#include "shell/window/MainForm.h"
#include "shell/window/ShellText.h"
#include "table/session/Messages.h"

#include <QAction>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QTranslator>
#include <array>

namespace {

constexpr std::string_view SettingSection = "Setting";
constexpr std::string_view CurrentDirKey = "CurrentDir";
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

void TMain::ReadSettings() {
    const std::filesystem::path& executable = setup_.executablePath;
    const std::filesystem::path settings =
        SettingsFilePath(executable, setup_.user, FolderWritable(executable.parent_path()));
    settingsFileName_ = FromNativePath(settings);
    if (!FileExists(settings)) {
        FileNameKeep->AddFileName(ExecutableFolder() + QStringLiteral("/Data/Demo.csv"));
    }
    const std::string folder = TProfileFile(settings).ReadString(
        SettingSection, CurrentDirKey, ExtractFileDrive(PathText(executable)));
    currentDir_ = FromPathText(folder);
}

void TMain::ApplyLanguageFile() {
    const std::filesystem::path language = LanguageFilePath(setup_.executablePath, setup_.user);
    if (!FileExists(language)) {
        InstallQtTranslation(*this, std::string(DefaultLanguage));
        return;
    }
    const TProfileFile file(language);
    InstallQtTranslation(*this, file.ReadString(MainSection, LanguageKey, DefaultLanguage));
    const std::array<std::pair<std::string_view, QAction*>, 12> captions = {{
        {"mmFile.Caption", mmFile->menuAction()},
        {"mmNew.Caption", mmNew},
        {"mmOpen.Caption", mmOpen},
        {"mmPaste.Caption", mmPaste},
        {"mmSaveAs.Caption", mmSaveAs},
        {"mmExit.Caption", mmExit},
        {"mmMark.Caption", mmMark},
        {"mmSortWithNumber.Caption", mmSortWithNumber},
        {"mmSortwithpoint.Caption", mmSortwithpoint},
        {"mmHelp.Caption", mmHelp->menuAction()},
        {"mmShowHelp.Caption", mmShowHelp},
        {"mmAbout.Caption", mmAbout},
    }};
    for (const auto& [key, action] : captions) {
        SetCaption(*action, file.ReadString(MainSection, key, ""));
    }
    // A language file older than these commands keeps their Japanese captions.
    const std::array<std::pair<std::string_view, QAction*>, 7> laterCaptions = {{
        {"mmAnalysis.Caption", mmAnalysis},
        {"mmUndo.Caption", mmUndo},
        {"mmRedo.Caption", mmRedo},
        {"mmCut.Caption", mmCut},
        {"mmCopy.Caption", mmCopy},
        {"mmPasteCells.Caption", mmPasteCells},
        {"mmClear.Caption", mmClear},
    }};
    for (const auto& [key, action] : laterCaptions) {
        SetCaption(*action, file.ReadString(MainSection, key, ToCodePage(action->text())));
    }
    analysisTexts_ = TAnalysisTexts::Read(file);
    SetCaption(*mmSlips, analysisTexts_[TAnalysisText::Slips]);
    SetCaption(*mmClassList, analysisTexts_[TAnalysisText::ClassList]);
    const std::string windowFace = file.ReadString(MainSection, "Font.Name", "");
    if (!windowFace.empty()) {
        QFont windowFont = font();
        windowFont.setFamily(FromCodePage(windowFace.substr(0, MaxFaceNameLength)));
        setFont(windowFont);
    }
    const std::string tableFace = file.ReadString(MainSection, "Table.Font.Name", "");
    if (!tableFace.empty()) {
        QFont tableFont = Table->font();
        tableFont.setFamily(FromCodePage(tableFace.substr(0, MaxFaceNameLength)));
        Table->setFont(tableFont);
    }
    ReadMessages(table_, file);
}

void TMain::WriteSettings() {
    const std::string folder = ToPathText(currentDir_);
    // A folder name with a line break would break the file's lines: the old value stays.
    if (!TProfileFile::CanWriteValue(folder)) {
        return;
    }
    const std::filesystem::path fileName = ToNativePath(settingsFileName_);
    // The configuration folder may not exist yet; a failure shows when the file is written.
    std::error_code ignored;
    std::filesystem::create_directories(fileName.parent_path(), ignored);
    TProfileFile settings(fileName);
    settings.WriteString(SettingSection, CurrentDirKey, folder);
    settings.UpdateFile();
}
