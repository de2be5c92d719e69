#include "cli/CliSession.h"

#include "analysis/AnalysisExport.h"
#include "analysis/AnalysisReport.h"
#include "platform/CodePage.h"
#include "platform/Collator.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/TextEncoding.h"
#include "table/clipboard/TitledBlock.h"
#include "table/file/AnswerFile.h"
#include "table/session/Messages.h"

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <utility>

const std::vector<TCliCommandInfo>& CliCommands() {
    using enum TCliArgument;
    static const std::vector<TCliCommandInfo> commands = {
        {"open", {File}, "open FILE", "load an answer file", &TCliSession::Open},
        {"new", {}, "new", "reset to an empty test", &TCliSession::New},
        {"save",
         {File},
         "save FILE",
         "save the table as an answer file (- for standard output)",
         &TCliSession::Save},
        {"save-dropping",
         {File},
         "save-dropping FILE",
         "save, dropping the cells that the answer file does not keep (save refuses them)",
         &TCliSession::SaveDropping},
        {"mark",
         {},
         "mark",
         "mark the test: scores, rates, mean and deviation",
         &TCliSession::Mark},
        {"sort-number",
         {},
         "sort-number",
         "sort the students by their rows, ascending",
         &TCliSession::SortNumber},
        {"sort-score",
         {},
         "sort-score",
         "sort the students by score, highest first (after mark)",
         &TCliSession::SortScore},
        {"paste",
         {File},
         "paste FILE",
         "paste a roster (number,name lines) from a file",
         &TCliSession::Paste},
        {"copy",
         {CellNumber, CellNumber, CellNumber, CellNumber, File},
         "copy C1 R1 C2 R2 FILE",
         "write the cells C1,R1 to C2,R2 as clipboard text (- for standard output)",
         &TCliSession::Copy},
        {"copy-titled",
         {CellNumber, CellNumber, CellNumber, CellNumber, File},
         "copy-titled C1 R1 C2 R2 FILE",
         "copy as copy does, with the titles' row and each row's number and name, Mark's mean "
         "and deviation as plain numbers",
         &TCliSession::CopyTitled},
        {"paste-block",
         {CellNumber, CellNumber, File},
         "paste-block C R FILE",
         "paste a file's clipboard text as a block of cells from C,R on",
         &TCliSession::PasteBlock},
        {"clear",
         {CellNumber, CellNumber, CellNumber, CellNumber},
         "clear C1 R1 C2 R2",
         "empty the cells C1,R1 to C2,R2 (columns and rows from 0)",
         &TCliSession::Clear},
        {"undo", {}, "undo", "undo the last change of the table", &TCliSession::Undo},
        {"redo", {}, "redo", "do the last undone change again", &TCliSession::Redo},
        {"dump",
         {},
         "dump",
         "print every non-empty cell as <col>,<row>:<text>",
         &TCliSession::Dump},
        {"state",
         {},
         "state",
         "print the question count, highlight and enabled commands",
         &TCliSession::State},
        {"analysis",
         {},
         "analysis",
         "print the question analysis: facility, discrimination, answers, flags",
         &TCliSession::Analysis},
        {"report",
         {File},
         "report FILE",
         "write the results report as one HTML page (- for standard output)",
         &TCliSession::Report},
        {"results",
         {File},
         "results FILE",
         "write scores and question figures as UTF-8 CSV (- for standard output)",
         &TCliSession::Results},
        {"slips",
         {File},
         "slips FILE.pdf",
         "write a slip for every student of the marked table as PDF",
         &TCliSession::Slips,
         true},
        {"class-list",
         {File},
         "class-list FILE.pdf",
         "write the marked table as a class list to print, as PDF",
         &TCliSession::ClassList,
         true},
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
    : languageFile_(languageFile), texts_(languageFile), session_(loadedText),
      table_(session_.Table()), history_(session_), out_(out), notify_(std::move(notify)),
      decimalSeparator_(decimalSeparator) {
    ReadMessages(table_, languageFile);
    session_.Start();
}

const TAnalysisTexts& TCliSession::AnalysisTexts() {
    if (!analysisTexts_) {
        analysisTexts_ = TAnalysisTexts::Read(languageFile_);
    }
    return *analysisTexts_;
}

void TCliSession::Run(const std::string& name, const TCliArguments& arguments) {
    const TCliCommandInfo* info = FindCliCommand(name);
    // ParseCommandLine refuses an unknown command as a usage error before anything runs.
    if (info == nullptr) {
        throw std::logic_error("unknown command " + name);
    }
    (this->*info->run)(arguments);
}

void TCliSession::Open(const TCliArguments& arguments) {
    const std::string& fileName = arguments.at(0);
    NotifyLoadNotices(fileName, history_.Open(PathFromText(fileName)).notices);
}

void TCliSession::New(const TCliArguments&) {
    history_.New();
}

void TCliSession::Save(const TCliArguments& arguments) {
    SaveTable(arguments.at(0), TUnsavedCellsChoice::Refused);
}

void TCliSession::SaveDropping(const TCliArguments& arguments) {
    SaveTable(arguments.at(0), TUnsavedCellsChoice::Dropped);
}

void TCliSession::SaveTable(const std::string& fileName, TUnsavedCellsChoice unsavedCells) {
    if (fileName != "-") {
        session_.Save(PathFromText(fileName), unsavedCells);
        return;
    }
    if (unsavedCells == TUnsavedCellsChoice::Refused) {
        session_.CheckNoUnsavedCells();
    }
    WriteTableText(table_, [&](std::string_view piece) {
        out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    });
    CheckOutput();
}

void TCliSession::Mark(const TCliArguments&) {
    history_.Mark(decimalSeparator_);
}

void TCliSession::SortNumber(const TCliArguments&) {
    history_.SortByNumber(TCollator());
}

void TCliSession::SortScore(const TCliArguments&) {
    history_.SortByScore(TCollator());
}

std::string TCliSession::ReadClipboardFile(const std::string& fileName) {
    TCodePageText text = ReadCodePageText(PathFromText(fileName));
    NotifyLoadNotices(fileName, {.replacedCount = text.replacedCount});
    return std::move(text.text);
}

void TCliSession::Paste(const TCliArguments& arguments) {
    const std::string& fileName = arguments.at(0);
    const int nulLine = history_.PasteRoster([&] { return ReadClipboardFile(fileName); });
    if (nulLine > 0) {
        Notify(NulEndedPastedFileNotice(fileName, nulLine));
    }
}

void TCliSession::Copy(const TCliArguments& arguments) {
    WriteOutput(arguments.at(4),
                BlockClipboardText(CopyCellBlock(table_, CliCellRange(arguments, 0))));
}

void TCliSession::CopyTitled(const TCliArguments& arguments) {
    WriteOutput(arguments.at(4),
                BlockClipboardText(CopyTitledBlock(table_, CliCellRange(arguments, 0))));
}

void TCliSession::PasteBlock(const TCliArguments& arguments) {
    const TCellBlock block = ReadClipboardBlock(ReadClipboardFile(arguments.at(2)));
    history_.PasteBlock(std::stoi(arguments.at(0)), std::stoi(arguments.at(1)), block);
}

void TCliSession::Clear(const TCliArguments& arguments) {
    history_.Clear(CliCellRange(arguments, 0));
}

void TCliSession::Undo(const TCliArguments&) {
    if (!history_.CanUndo()) {
        throw EPelloranError("undo: nothing to undo");
    }
    history_.Undo();
}

void TCliSession::Redo(const TCliArguments&) {
    if (!history_.CanRedo()) {
        throw EPelloranError("redo: nothing to redo");
    }
    history_.Redo();
}

void TCliSession::Dump(const TCliArguments&) {
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

void TCliSession::State(const TCliArguments&) {
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

void TCliSession::Analysis(const TCliArguments&) {
    out_ << QuestionTableText(AnalyseQuestions(), AnalysisTexts(), decimalSeparator_);
    CheckOutput();
}

void TCliSession::Report(const TCliArguments& arguments) {
    WriteOutput(arguments.at(0),
                AnalysisReportHtml(AnalyseQuestions(), table_, AnalysisTexts(),
                                   PathText(session_.FileName().filename()), decimalSeparator_));
}

void TCliSession::Results(const TCliArguments& arguments) {
    WriteOutput(arguments.at(0),
                ResultsCsv(AnalyseQuestions(), table_, AnalysisTexts(), decimalSeparator_));
}

std::string TCliSession::PaperTitle() const {
    return TCodePage::FromUtf8(paperTitle_.value_or(PathText(session_.FileName().stem())));
}

TCliPaperJob TCliSession::PaperJob() {
    return {table_, AnalysisTexts(), PaperTitle(), decimalSeparator_};
}

TCliPaperPrinter& TCliSession::PaperPrinter() const {
    // Both programs set one before a paper command can run: pelloran-cli-paper its own,
    // pelloran-cli the stand-in for a helper it cannot start.
    if (paperPrinter_ == nullptr) {
        throw std::logic_error("no paper printer");
    }
    return *paperPrinter_;
}

void TCliSession::Slips(const TCliArguments& arguments) {
    PaperPrinter().WriteSlips(PaperJob(), PathFromText(arguments.at(0)));
}

void TCliSession::ClassList(const TCliArguments& arguments) {
    PaperPrinter().WriteClassList(PaperJob(), PathFromText(arguments.at(0)));
}

void TCliSession::WriteOutput(const std::string& fileName, std::string_view bytes) {
    if (fileName == "-") {
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        CheckOutput();
        return;
    }
    WriteFileBytesAtomic(PathFromText(fileName), bytes);
}

void TCliSession::NotifyLoadNotices(const std::string& fileName, const TLoadNotices& notices) {
    for (const TUserText& notice : LoadNoticeTexts(fileName, notices)) {
        Notify(notice);
    }
}

void TCliSession::Notify(const TUserText& notice) {
    notify_(notice.Render(texts_));
}

void TCliSession::CheckOutput() {
    // A stream tells only that it failed; the write under it left the cause in errno.
    errno = 0;
    out_.flush();
    if (!out_) {
        const std::error_code cause = LastSystemError();
        out_.clear();
        throw EOutputError({"StandardOutput", "標準出力"}, cause);
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

TCellRange CliCellRange(const TCliArguments& arguments, std::size_t first) {
    return {std::stoi(arguments.at(first)), std::stoi(arguments.at(first + 1)),
            std::stoi(arguments.at(first + 2)), std::stoi(arguments.at(first + 3))};
}
