#include "table/file/TextRecords.h"

using TextRulesDetail::ScanQuotes;
using TextRulesDetail::TQuoteOpening;
using TextRulesDetail::TQuoteScan;

std::optional<TRecordCutter::TCut> TRecordCutter::Cut(std::string_view text, bool isWhole) {
    if (stage_ == TStage::Line) {
        // Most records are lines without quotes: their end is found sixteen bytes at a time.
        const std::size_t found = FindLineBreakOrQuote(text, searchedTo_);
        if (found == std::string_view::npos && !isWhole) {
            searchedTo_ = text.size();
            return std::nullopt;
        }
        if (found == std::string_view::npos || text[found] != '"') {
            end_ = std::min(found, text.size());
            stage_ = TStage::LineBreak;
        } else {
            stage_ = TStage::Separator;
        }
    }
    if (stage_ == TStage::Separator) {
        if (!ScanQuotes(scan_, text, isWhole)) {
            return std::nullopt;
        }
        separator_ = TextRulesDetail::SeparatorOf(scan_);
        // An optimisation: where the separator's fields open the quoted fields read so far,
        // they are not read again.
        if (*separator_ == '\0' || (*separator_ == ',' && scan_.agreesWithCommaFields)) {
            end_ = scan_.at;
            stage_ = TStage::LineBreak;
        } else if (*separator_ == '\t' && scan_.agreesWithTabFields) {
            // From the TAB the first reading stopped at.
            scan_.opening = TQuoteOpening::AfterTab;
            stage_ = TStage::Fields;
        } else {
            const TQuoteOpening opening =
                *separator_ == '\t' ? TQuoteOpening::AfterTab : TQuoteOpening::AfterComma;
            scan_ = TQuoteScan{.opening = opening};
            stage_ = TStage::Fields;
        }
    }
    if (stage_ == TStage::Fields) {
        if (!ScanQuotes(scan_, text, isWhole)) {
            return std::nullopt;
        }
        end_ = scan_.at;
        stage_ = TStage::LineBreak;
    }
    return CutAtLineBreak(text, isWhole);
}

std::optional<TRecordCutter::TCut> TRecordCutter::CutAtLineBreak(std::string_view text,
                                                                 bool isWhole) {
    std::size_t next = end_;
    if (next < text.size() && text[next] == '\r') {
        // An LF may follow in what is still to come.
        if (next + 1 == text.size() && !isWhole) {
            return std::nullopt;
        }
        ++next;
    }
    if (next < text.size() && text[next] == '\n') {
        ++next;
    }
    const TCut cut{{text.substr(0, end_), separator_}, next};
    *this = TRecordCutter();
    return cut;
}

int LineOfNul(int records, std::string_view beforeNul) {
    const bool beginsLine =
        beforeNul.empty() || beforeNul.back() == '\r' || beforeNul.back() == '\n';
    return records + (beginsLine ? 1 : 0);
}
