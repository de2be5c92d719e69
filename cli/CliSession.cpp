#include "cli/CliSession.h"

#include "analysis/AnalysisExport.h"
#include "analysis/AnalysisReport.h"
#include "platform/Collator.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/TextEncoding.h"
#include "table/file/AnswerFile.h"
#include "table/marking/Marking.h"
#include "table/marking/Sorting.h"
#include "table/roster/RosterPaste.h"
#include "table/session/Messages.h"

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <utility>

const std::vector<TCliCommandInfo>& CliCommands() {
    static const std::vector<TCliCommandInfo> commands = {
        {"open", true, "open FILE", "load an answer file", &TCliSession::Open},
        {"new", false, "new", "reset to an empty test", &TCliSession::New},
        {"save", true, "save FILE", "save the table as an answer file (- for standard output)",
         &TCliSession::Save},
        {"mark", false, "mark", "mark the test: scores, rates, mean and deviation",
         &TCliSession::Mark},
        {"sort-number", false, "sort-number", "sort the students by their rows, ascending",
         &TCliSession::SortNumber},
        {"sort-score", false, "sort-score",
         "sort the students by score, highest first (after mark)", &TCliSession::SortScore},
        {"paste", true, "paste FILE", "paste a roster (number,name lines) from a file",
         &TCliSession::Paste},
        {"dump", false, "dump", "print every non-empty cell as <col>,<row>:<text>",
         &TCliSession::Dump},
        {"state", false, "state", "print the question count, highlight and enabled commands",
         &TCliSession::State},
        {"analysis", false, "analysis",
         "print the question analysis: facility, discrimination, answers, flags",
         &TCliSession::Analysis},
        {"report", true, "report FILE",
         "write the results report as one HTML page (- for standard output)", &TCliSession::Report},
        {"results", true, "results FILE",
         "write scores and question figures as UTF-8 CSV (- for standard output)",
         &TCliSession::Results},
    };
    return commands;
}

const TCliCommandInfo* FindCliCommand(const std::string& name) {
    for (const TCliCommandInfo& info : CliCommands()) {
        if (info.name == name) {
            return &info;
        }
    }
    return nullptr;
}

TCliSession::TCliSession(std::ostream& out, std::function<void(std::string_view notice)> notify,
                         const TProfileFile& languageFile, TLoadedText loadedText,
                         char decimalSeparator)
    : languageFile_(languageFile), session_(loadedText), table_(session_.Table()), out_(out),
      notify_(std::move(notify)), decimalSeparator_(decimalSeparator) {
    ReadMessages(table_, languageFile);
    session_.Start();
}

const TAnalysisTexts& TCliSession::AnalysisTexts() {
    if (!analysisTexts_) {
        analysisTexts_ = TAnalysisTexts::Read(languageFile_);
    }
    return *analysisTexts_;
}

void TCliSession::Run(const std::string& name, const std::string& argument) {
    const TCliCommandInfo* info = FindCliCommand(name);
    // ParseCommandLine refuses an unknown command as a usage error before anything runs.
    if (info == nullptr) {
        throw std::logic_error("unknown command " + name);
    }
    (this->*info->run)(argument);
}

void TCliSession::Open(const std::string& fileName) {
    NotifyReplacedCharacters(fileName, session_.Open(PathFromText(fileName)));
}

void TCliSession::New(const std::string&) {
    session_.New();
}

void TCliSession::Save(const std::string& fileName) {
    if (fileName == "-") {
        WriteTableText(table_, [&](std::string_view piece) {
            out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        });
        CheckOutput();
        return;
    }
    session_.Save(PathFromText(fileName));
}

void TCliSession::Mark(const std::string&) {
    MarkTable(table_, decimalSeparator_);
}

void TCliSession::SortNumber(const std::string&) {
    SortByNumber(table_, TCollator());
}

void TCliSession::SortScore(const std::string&) {
    SortMarkedTableByScore(table_, TCollator());
}

void TCliSession::Paste(const std::string& fileName) {
    // The file stands in for the clipboard.
    PasteRosterFrom(table_, [&] {
        TCodePageText roster = ReadCodePageText(PathFromText(fileName));
        NotifyReplacedCharacters(fileName, roster.replacedCount);
        return std::move(roster.text);
    });
}

void TCliSession::Dump(const std::string&) {
    std::string lines;
    for (int row = 0; row < table_.StoredRowCount(); ++row) {
        for (int column = 0; column < table_.StoredColumnCount(row); ++column) {
            const std::string_view text = table_.Cell(column, row);
            if (!text.empty()) {
                lines += std::to_string(column) + "," + std::to_string(row) + ":" +
                         EscapeCellText(text) + "\n";
            }
        }
    }
    out_ << lines;
    CheckOutput();
}

void TCliSession::State(const std::string&) {
    char highlight[16];
    std::snprintf(highlight, sizeof highlight, "%06x", table_.HighlightColor());
    auto flag = [&](TCommand command) { return table_.IsEnabled(command) ? "1" : "0"; };
    out_ << "questions=" << table_.QuestionCount() << " highlight=" << highlight
         << " mark=" << flag(TCommand::mmMark)
         << " sort-number=" << flag(TCommand::mmSortWithNumber)
         << " sort-score=" << flag(TCommand::mmSortWithPoint)
         << " changed=" << (session_.IsChanged() ? "1" : "0") << "\n";
    CheckOutput();
}

TTestAnalysis TCliSession::AnalyseQuestions() {
    return AnalyseTestForOutput(table_, AnalysisTexts(), decimalSeparator_);
}

void TCliSession::Analysis(const std::string&) {
    out_ << QuestionTableText(AnalyseQuestions(), AnalysisTexts(), decimalSeparator_);
    CheckOutput();
}

void TCliSession::Report(const std::string& fileName) {
    WriteOutput(fileName,
                AnalysisReportHtml(AnalyseQuestions(), table_, AnalysisTexts(),
                                   PathText(session_.FileName().filename()), decimalSeparator_));
}

void TCliSession::Results(const std::string& fileName) {
    WriteOutput(fileName,
                ResultsCsv(AnalyseQuestions(), table_, AnalysisTexts(), decimalSeparator_));
}

void TCliSession::WriteOutput(const std::string& fileName, std::string_view bytes) {
    if (fileName == "-") {
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        CheckOutput();
        return;
    }
    WriteFileBytesAtomic(PathFromText(fileName), bytes);
}

void TCliSession::NotifyReplacedCharacters(const std::string& fileName, std::size_t replacedCount) {
    if (replacedCount > 0) {
        notify_(ReplacedCharactersNotice(fileName, replacedCount));
    }
}

void TCliSession::CheckOutput() {
    // A stream tells only that it failed; the write under it left the cause in errno.
    errno = 0;
    out_.flush();
    if (!out_) {
        const std::error_code cause = LastSystemError();
        out_.clear();
        throw EOutputError("標準出力", cause);
    }
}

std::string EscapeCellText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char byte : text) {
        const auto code = static_cast<unsigned char>(byte);
        switch (byte) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            if (code < 0x20 || code == 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", code);
                escaped += hex;
            } else {
                escaped += byte;
            }
        }
    }
    return escaped;
}
