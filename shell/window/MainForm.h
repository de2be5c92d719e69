#pragma once

#include "analysis/AnalysisTexts.h"
#include "platform/UserFolders.h"
#include "shell/grid/AnswerGrid.h"
#include "shell/logic/TableKeys.h"
#include "shell/paper/PaperDialog.h"
#include "shell/progress/ProgressWindow.h"
#include "shell/window/ClipboardCommands.h"
#include "shell/window/HelpPage.h"
#include "shell/window/MainMenus.h"
#include "shell/window/ShellServices.h"
#include "table/history/TableHistory.h"
#include "table/session/TableSession.h"
#include "table/store/AnswerTable.h"

#include <QMainWindow>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class TAboutBox;
class TAnalysisWindow;
class TFileNameKeep;

/// What the window takes from the process it runs in; tests give their own.
struct TMainSetup {
    std::filesystem::path executablePath;
    TUserEnvironment user;
    /// How long a job runs before its progress shows: tests show it at once.
    std::chrono::milliseconds progressDelay{500};
};

/// The window's grid, commands, recent files and analysis window, for tests to drive and
/// inspect.
struct TMainTestFace : TMainMenus {
    TAnswerGrid* Table = nullptr;
    TFileNameKeep* FileNameKeep = nullptr;
    /// Null until the analysis is first shown.
    TAnalysisWindow* AnalysisWindow = nullptr;
};

/// The program's window: the answer table in the grid `Table`, the menus, the toolbar, and a
/// handler per command. Commands run to their end; a failure ends the command where it
/// happened and is shown in the standard error box.
class TMain : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int Width = 700;
    static constexpr int Height = 492;

    TMain(TMainSetup setup, TShellServices& services, QWidget* parent = nullptr);
    ~TMain() override;

    /// The about box is created after the window, as the program starts.
    void SetAboutBox(TAboutBox* aboutBox) { aboutBox_ = aboutBox; }

    /// Title, recent-files list and the name the save dialog proposes next.
    void SetFileName(const QString& fileName);
    void LoadAnswerFile(const QString& fileName);
    std::string GetTableText() const;
    /// True when written, false when the save dialog was cancelled.
    bool SaveTextAs(std::string text);
    /// True when the caller may drop the table: nothing would be lost, or the user saved it or
    /// chose to drop it.
    bool ConfirmDiscard();
    /// Opens a file named on the command line as Open opens the file chosen in its dialog.
    void OpenGivenFile(const QString& fileName);

    // Handlers, one per command.
    void FormShow();
    void mmNewClick();
    void mmOpenClick();
    /// Saves into the file the table was opened from or saved to, without a dialog; an untitled
    /// table is saved as Save As does.
    void mmSaveClick();
    void mmSaveAsClick();
    void mmExitClick();
    void mmPasteClick();
    void mmSortWithNumberClick();
    void SortWithPointClick();
    void mmMarkClick();
    /// Shows the analysis window, made on first use.
    void mmAnalysisClick();
    void mmUndoClick();
    void mmRedoClick();
    /// Cut, copy and clear take the selected range, or the current cell.
    void mmCutClick();
    void mmCopyClick();
    void mmCopyWithTitlesClick();
    /// Text of several cells fills a block from the current cell; one cell's text goes to the
    /// cell's editor as typing.
    void mmPasteCellsClick();
    void mmClearClick();
    /// Writes the results report to the file chosen in the report's save dialog.
    void SaveReportClick();
    /// The paper dialog of the slips or the class list, over `owner`; a table not marked is
    /// refused before it shows.
    void PaperClick(TPaperKind kind, QWidget* owner);
    void mmShowHelpClick();
    void mmAboutClick();
    void FileNameKeepSelect(const QString& fileName);
    void TableKeyUp(TReleasedKey key);

    TAnswerTable& AnswerTable() { return table_; }
    const TTableHistory& History() const { return history_; }
    const QString& CurrentDir() const { return currentDir_; }
    const std::string& LoadedText() const { return session_.LoadedText(); }
    /// The application title: the executable's name up to its first ".", the letters after
    /// the first in lower case.
    QString ApplicationTitle() const;

    /// Only for tests: what they drive and inspect inside the window, as it is now.
    TMainTestFace TestFace() const;

signals:
    /// A command or an edit may have changed the table.
    void TableChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectCommands();
    void ConnectCommand(QAction* action, void (TMain::*handler)());
    void UpdateEnabledCommands();
    void UpdateHistoryCommands();
    /// The session's file name without folder and extension, or the program's name alone.
    void ShowFileNameInTitle();
    /// Opens the file as a step of the history.
    TOpenedFile LoadTable(const QString& fileName);
    /// The window takes the opened file's name, unless it was a key file loaded over a class.
    void NameOpenedTable(const QString& fileName, const TOpenedFile& opened);
    /// Names the cells that saving would drop and asks whether to save without them.
    bool ConfirmUnsavedCells();
    /// Writes the text into the file chosen in the save dialog; false when it was cancelled.
    bool ChooseFileAndSave(std::string text);
    enum class TOverwriteAnswer { Overwrite, ChooseAnother, Cancel };
    /// Asks before a file that another program changed since it was opened or saved here is
    /// overwritten.
    TOverwriteAnswer ConfirmOverwrite(const QString& fileName);
    /// Asks before a roster goes over students with answers: over them, or as a new class after
    /// New. False when the paste is not to happen.
    bool ChooseRosterClass(const std::function<std::string()>& readClipboard);
    void TellLoadNotices(const QString& fileName, const TLoadNotices& notices);
    /// Runs a command, showing what it raises in the standard error box; true when it ended
    /// without a failure. A command the user stopped ends silently, and not as a success.
    bool RunCommand(const std::function<void()>& command);
    void ShowError(const QString& message);
    /// The file the report is proposed under: the answer file's name with ".html".
    QString ReportProposal() const;
    /// The file that the save dialog proposes: the session's, empty when untitled.
    QString SaveProposal() const;
    /// The text in the language file's wording.
    QString Worded(const TUserText& text) const;
    QString AnswerFileFilter() const;
    QString ExecutableFolder() const;
    void OpenChosenFile(const QString& fileName);
    /// Beside the window, never over its key and points rows.
    void PlaceAnalysisWindow();

    void FormClose(QCloseEvent& event);

    TAnswerGrid* Table = nullptr;
    TMainMenus menus_;
    TFileNameKeep* FileNameKeep = nullptr;
    /// Null until the analysis is first shown.
    TAnalysisWindow* AnalysisWindow = nullptr;
    TMainSetup setup_;
    TShellServices& services_;
    TTableSession session_;
    TAnswerTable& table_ = session_.Table();
    TTableHistory history_{session_};
    /// Made with the grid, which it works on.
    std::optional<TClipboardCommands> clipboard_;
    TWindowProgress progress_{*this, setup_.progressDelay};
    TAboutBox* aboutBox_ = nullptr;
    TAnalysisTexts analysisTexts_;
    THelpPageTexts helpTexts_;
    TLanguageTexts languageTexts_;
    QString currentDir_;
    QString openDialogFolder_;
    QString settingsFileName_;
    bool shown_ = false;
};
