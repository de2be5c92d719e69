#pragma once

#include "analysis/AnalysisTexts.h"
#include "analysis/ItemAnalysis.h"
#include "cli/CliPaperPrinter.h"
#include "platform/ProfileFile.h"
#include "platform/UserText.h"
#include "table/clipboard/CellBlock.h"
#include "table/file/AnswerFile.h"
#include "table/history/TableHistory.h"
#include "table/session/TableSession.h"
#include "table/store/AnswerTable.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TCliSession;

/// What one of a command's arguments is.
enum class TCliArgument {
    File,
    /// A cell's column or row, counted from 0 as dump prints them.
    CellNumber,
};

/// The arguments of one command, in order.
using TCliArguments = std::vector<std::string>;

/// One command of pelloran-cli.
struct TCliCommandInfo {
    std::string name;
    std::vector<TCliArgument> arguments;
    std::string synopsis;
    std::string summary;
    void (TCliSession::*run)(const TCliArguments& arguments);
    /// Needs the session's paper printer.
    bool paintsOnPaper = false;
};

/// The largest column or row a command takes.
inline constexpr int MaxCliCellNumber = 9'999'999;

const std::vector<TCliCommandInfo>& CliCommands();
const TCliCommandInfo* FindCliCommand(const std::string& name);

/// One answer table, started as the window starts it, and the commands run on it.
class TCliSession {
public:
    /// `out` receives what dump, state and "save -" print; `notify` what the user should know
    /// of a command that succeeded (characters a file's encoding could not bring over, a NUL
    /// byte that ended a file's text); the messages come from the language file. `loadedText`
    /// Kept keeps the text of each file opened, which `state` needs to tell whether the table
    /// has changed since. Numbers are read and written with `decimalSeparator`.
    TCliSession(std::ostream& out, std::function<void(std::string_view notice)> notify,
                const TProfileFile& languageFile, TLoadedText loadedText, char decimalSeparator);

    /// Throws what the command raises; `name` must be one of CliCommands() and `arguments`
    /// what it takes, cell numbers from 0 to MaxCliCellNumber.
    void Run(const std::string& name, const TCliArguments& arguments);

    void Open(const TCliArguments& arguments);
    void New(const TCliArguments&);
    void Save(const TCliArguments& arguments);
    void SaveDropping(const TCliArguments& arguments);
    void Mark(const TCliArguments&);
    void SortNumber(const TCliArguments&);
    void SortScore(const TCliArguments&);
    void Paste(const TCliArguments& arguments);
    void Copy(const TCliArguments& arguments);
    void CopyTitled(const TCliArguments& arguments);
    void PasteBlock(const TCliArguments& arguments);
    void Clear(const TCliArguments& arguments);
    void Undo(const TCliArguments&);
    void Redo(const TCliArguments&);
    void Dump(const TCliArguments&);
    void State(const TCliArguments&);
    void Analysis(const TCliArguments&);
    void Report(const TCliArguments& arguments);
    void Results(const TCliArguments& arguments);
    void Slips(const TCliArguments& arguments);
    void ClassList(const TCliArguments& arguments);

    /// The test's name on the slips and the class list, UTF-8; without one, the name of the
    /// file opened last without its folder and extension.
    void SetPaperTitle(std::string utf8) { paperTitle_ = std::move(utf8); }
    /// Who is told how far the long commands have come: not owned; null for nobody.
    void SetProgressListener(TProgressListener* listener) { table_.SetProgressListener(listener); }
    /// What slips and class-list print with; without one they cannot run.
    void SetPaperPrinter(TCliPaperPrinter& printer) { paperPrinter_ = &printer; }

private:
    /// Saves to the file, or to standard output for "-".
    void SaveTable(const std::string& fileName, TUnsavedCellsChoice unsavedCells);
    TTestAnalysis AnalyseQuestions();
    /// In the code page.
    std::string PaperTitle() const;
    TCliPaperJob PaperJob();
    TCliPaperPrinter& PaperPrinter() const;
    /// Writes to the file, or to `out` for "-".
    void WriteOutput(const std::string& fileName, std::string_view bytes);
    /// What is printed must have arrived: a full disk is a failure, not a success.
    void CheckOutput();
    void NotifyLoadNotices(const std::string& fileName, const TLoadNotices& notices);
    void Notify(const TUserText& notice);
    /// A file standing in for the clipboard: its text in the code page, the characters it
    /// could not hold told.
    std::string ReadClipboardFile(const std::string& fileName);

    /// Read when an analysis first needs them: their defaults take the code page's tables,
    /// which a command that only opens, marks or saves a code-page file may never need.
    const TAnalysisTexts& AnalysisTexts();

    TProfileFile languageFile_;
    TLanguageTexts texts_;
    TTableSession session_;
    TAnswerTable& table_;
    TTableHistory history_;
    std::optional<TAnalysisTexts> analysisTexts_;
    std::optional<std::string> paperTitle_;
    TCliPaperPrinter* paperPrinter_ = nullptr;
    std::ostream& out_;
    std::function<void(std::string_view notice)> notify_;
    char decimalSeparator_;
};

/// A cell's bytes as dump prints them: backslash, CR, LF and TAB escaped as in C, other
/// control bytes as \xhh, bytes from 0x80 up unchanged.
std::string EscapeCellText(std::string_view text);

/// The cells from (arguments[first], arguments[first + 1]) to (arguments[first + 2],
/// arguments[first + 3]), columns and rows as the command line gives them.
TCellRange CliCellRange(const TCliArguments& arguments, std::size_t first);
