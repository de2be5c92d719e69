#pragma once

#include "analysis/AnalysisTexts.h"
#include "analysis/ItemAnalysis.h"
#include "platform/ProfileFile.h"
#include "table/file/AnswerFile.h"
#include "table/session/TableSession.h"
#include "table/store/AnswerTable.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

class TCliSession;

/// One command of pelloran-cli.
struct TCliCommandInfo {
    std::string name;
    bool takesArgument;
    std::string synopsis;
    std::string summary;
    void (TCliSession::*run)(const std::string& argument);
};

const std::vector<TCliCommandInfo>& CliCommands();
const TCliCommandInfo* FindCliCommand(const std::string& name);

/// One answer table, started as the window starts it, and the commands run on it.
class TCliSession {
public:
    /// `out` receives what dump, state and "save -" print; `notify` what the user should know
    /// of a command that succeeded (characters a file's encoding could not bring over); the
    /// messages come from the language file. `loadedText` Kept keeps the text of each file
    /// opened, which `state` needs to tell whether the table has changed since. Numbers are
    /// read and written with `decimalSeparator`.
    TCliSession(std::ostream& out, std::function<void(std::string_view notice)> notify,
                const TProfileFile& languageFile, TLoadedText loadedText, char decimalSeparator);

    /// Throws what the command raises; `name` must be one of CliCommands().
    void Run(const std::string& name, const std::string& argument);

    void Open(const std::string& fileName);
    void New(const std::string&);
    void Save(const std::string& fileName);
    void Mark(const std::string&);
    void SortNumber(const std::string&);
    void SortScore(const std::string&);
    void Paste(const std::string& fileName);
    void Dump(const std::string&);
    void State(const std::string&);
    void Analysis(const std::string&);
    void Report(const std::string& fileName);
    void Results(const std::string& fileName);

private:
    TTestAnalysis AnalyseQuestions();
    /// Writes to the file, or to `out` for "-".
    void WriteOutput(const std::string& fileName, std::string_view bytes);
    /// What is printed must have arrived: a full disk is a failure, not a success.
    void CheckOutput();
    void NotifyReplacedCharacters(const std::string& fileName, std::size_t replacedCount);

    /// Read when an analysis first needs them: their defaults take the code page's tables,
    /// which a command that only opens, marks or saves a code-page file may never need.
    const TAnalysisTexts& AnalysisTexts();

    TProfileFile languageFile_;
    TTableSession session_;
    TAnswerTable& table_;
    std::optional<TAnalysisTexts> analysisTexts_;
    std::ostream& out_;
    std::function<void(std::string_view notice)> notify_;
    char decimalSeparator_;
};

/// A cell's bytes as dump prints them: backslash, CR, LF and TAB escaped as in C, other
/// control bytes as \xhh, bytes from 0x80 up unchanged.
std::string EscapeCellText(std::string_view text);
