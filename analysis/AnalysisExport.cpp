#include "analysis/AnalysisExport.h"

#include "analysis/AnalysisFormat.h"
#include "platform/CodePage.h"
#include "table/marking/Numbers.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view CsvLineEnd = "\r\n";
/// Columns of QuestionCells that hold texts of the table rather than figures: they are
/// written left-aligned, and guarded in a CSV file.
constexpr std::size_t KeyColumn = 1;
constexpr std::size_t FlagsColumn = 7;
constexpr std::size_t AnswersColumn = 8;

/// A control byte would break the line or the alignment; a double-byte character's second
/// byte is never one.
std::string WithoutControls(std::string text) {
    std::replace_if(
        text.begin(), text.end(),
        [](char byte) { return static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F; }, ' ');
    return text;
}

bool IsLeftAligned(std::size_t column) {
    return column == KeyColumn || column >= FlagsColumn;
}

/// Code-page lines of cells, each column as wide as its widest cell: a code-page character
/// takes as many places on a terminal as it has bytes. The last column is not padded.
std::string AlignedLines(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const std::vector<std::string>& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    std::string lines;
    for (const std::vector<std::string>& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::string& cell = row[column];
            const std::size_t padding = widths[column] - cell.size();
            line += column == 0 ? "" : "  ";
            if (IsLeftAligned(column)) {
                line += cell;
                if (column + 1 < row.size()) {
                    line.append(padding, ' ');
                }
            } else {
                line.append(padding, ' ');
                line += cell;
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        lines += TCodePage::ToUtf8(line) + "\n";
    }
    return lines;
}

/// `isText` tells the texts, which are guarded against being taken for a formula, from the
/// figures, which are not: a negative number must stay a number.
std::string CsvLine(const std::vector<std::string>& codePageCells,
                    const std::vector<bool>& isText) {
    std::string line;
    for (std::size_t column = 0; column < codePageCells.size(); ++column) {
        line += column == 0 ? "" : ",";
        line += CsvField(TCodePage::ToUtf8(codePageCells[column]), isText[column]);
    }
    return line + std::string(CsvLineEnd);
}

bool MayBeTakenForAFormula(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    const auto first = static_cast<unsigned char>(text.front());
    return first == '=' || first == '+' || first == '-' || first == '@' || first < 0x20;
}

} // namespace

std::string CsvField(std::string_view utf8, bool fromTable) {
    std::string field = fromTable && MayBeTakenForAFormula(utf8) ? "'" : "";
    field += utf8;
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char character : field) {
        if (character == '"') {
            quoted += '"';
        }
        quoted += character;
    }
    return quoted + "\"";
}

std::string QuestionTableText(const TTestAnalysis& analysis, const TAnalysisTexts& texts,
                              char decimalSeparator) {
    std::vector<std::vector<std::string>> rows;
    rows.push_back(QuestionColumns(texts));
    std::string reasons;
    for (const TQuestionAnalysis& question : analysis.questions) {
        std::vector<std::string> cells = QuestionCells(question, texts, decimalSeparator);
        for (std::string& cell : cells) {
            cell = WithoutControls(std::move(cell));
        }
        rows.push_back(std::move(cells));
        for (const TItemFlag flag : question.flags) {
            reasons += TCodePage::ToUtf8(WithoutControls(
                           texts[TAnalysisText::Question] + " " + std::to_string(question.number) +
                           ": " + FlagName(flag, texts) + ": " +
                           FlagReason(question, flag, texts, decimalSeparator))) +
                       "\n";
        }
    }
    std::string text = AlignedLines(rows);
    if (!reasons.empty()) {
        text += "\n" + reasons;
    }
    return text;
}

std::string ResultsCsv(const TTestAnalysis& analysis, const TAnswerTable& table,
                       const TAnalysisTexts& texts, char decimalSeparator) {
    // The titles come from the language file, which is as free as the table's cells.
    std::string csv(ByteOrderMark);
    csv += CsvLine(
        {texts[TAnalysisText::Number], texts[TAnalysisText::Name], texts[TAnalysisText::Score]},
        {true, true, true});
    int row = TAnswerTable::FirstStudentRow;
    for (const double score : analysis.scores) {
        csv += CsvLine({std::string(table.Cell(TAnswerTable::NumberColumn, row)),
                        std::string(table.Cell(TAnswerTable::NameColumn, row)),
                        FloatToStr(score, decimalSeparator)},
                       {true, true, false});
        ++row;
    }
    csv += CsvLineEnd;
    const std::vector<std::string> titles = QuestionColumns(texts);
    csv += CsvLine(titles, std::vector<bool>(titles.size(), true));
    std::vector<bool> isText(titles.size(), false);
    isText[KeyColumn] = true;
    isText[FlagsColumn] = true;
    isText[AnswersColumn] = true;
    for (const TQuestionAnalysis& question : analysis.questions) {
        csv += CsvLine(QuestionCells(question, texts, decimalSeparator), isText);
    }
    return csv;
}
