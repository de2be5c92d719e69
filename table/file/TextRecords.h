#pragma once

#include "table/file/TextRules.h"

#include <cstddef>
#include <optional>
#include <string_view>

/// A record of a comma-separated text: one line, or several when line breaks stand inside its
/// quoted fields, as spreadsheets write a cell that holds them.
struct TRecord {
    std::string_view text;
    /// How the fields of a record that holds a double quote are separated, found while it was
    /// cut: TAB, comma, or NUL when blanks separate them. Unset for a record without one, which
    /// is a line whose fields ForEachCommaField finds.
    std::optional<char> separator;
};

/// Cuts the record that a text begins with, as ForEachRecord cuts them, from a text that may
/// still grow as it is read.
class TRecordCutter {
public:
    struct TCut {
        TRecord record;
        /// Where the text after the record and its line break begins.
        std::size_t next = 0;
    };

    /// The record that `text` begins with. While the text may still grow (`isWhole` false) and
    /// what follows could change the record, returns nothing: called again with the longer text
    /// (the same start), it goes on from where it stopped, so that a record read in many pieces
    /// is read once. After returning a record it is ready for the text that follows it.
    std::optional<TCut> Cut(std::string_view text, bool isWhole);

private:
    enum class TStage {
        /// Looking for the line's end, which ends the record when no double quote comes first.
        Line,
        /// Reading the quoted fields as the search for the separator finds them.
        Separator,
        /// Reading the quoted fields as the separator's own fields start.
        Fields,
        /// Skipping the line break after the record.
        LineBreak,
    };

    std::optional<TCut> CutAtLineBreak(std::string_view text, bool isWhole);

    TStage stage_ = TStage::Line;
    /// Where the search for the line's end goes on.
    std::size_t searchedTo_ = 0;
    TextRulesDetail::TQuoteScan scan_;
    std::optional<char> separator_;
    std::size_t end_ = 0;
};

/// Calls `onRecord` with each record of `text`. Records are cut as the line-break rules cut
/// lines, except that a CR or LF inside a quoted field belongs to its field. The record's
/// separator is found as ForEachCommaField finds a line's, reading on over the line breaks inside
/// quoted fields to the first one outside them; the record then ends at the first line break
/// outside the quoted fields that its separator's fields hold (a double quote opens one only
/// where such a field starts). A quoted field that does not close before the end of the text
/// runs to the end of its line, and the next line is a record of its own. A NUL byte ends the
/// text. Views passed to `onRecord` point into `text`. Returns the line where a NUL ended the
/// text (see LineOfNul), 0 when none did.
template <typename TOnRecord>
int ForEachRecord(std::string_view text, TOnRecord&& onRecord);

/// The line, counted from 1, where a NUL byte ends a text after `records` records of it;
/// `beforeNul` holds the bytes before the NUL from a record's start on. A line is a record, as a
/// row of the table; a NUL right after a line break begins a line of its own.
int LineOfNul(int records, std::string_view beforeNul);

/// Calls `onRecord` with each record that `text` begins with, as far as what may still follow
/// it cannot change them (all of them when `isWhole`), until `onRecord` returns false. Returns
/// where the first record not passed begins. `cutter` keeps what it has read of a record not
/// complete yet: the next call's text must begin where this one stopped. The text holds no NUL.
template <typename TOnRecord>
std::size_t CutRecords(TRecordCutter& cutter, std::string_view text, bool isWhole,
                       TOnRecord&& onRecord) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::optional<TRecordCutter::TCut> cut = cutter.Cut(text.substr(at), isWhole);
        if (!cut) {
            break;
        }
        at += cut->next;
        if (!onRecord(cut->record)) {
            break;
        }
    }
    return at;
}

template <typename TOnRecord>
int ForEachRecord(std::string_view text, TOnRecord&& onRecord) {
    const std::size_t nul = text.find('\0');
    const std::string_view lines = text.substr(0, nul);
    TRecordCutter cutter;
    int records = 0;
    CutRecords(cutter, lines, true, [&](const TRecord& record) {
        ++records;
        onRecord(record);
        return true;
    });
    return nul == std::string_view::npos ? 0 : LineOfNul(records, lines);
}

/// Calls `onField` with each field of the record, as ForEachCommaField does with a line. A
/// view passed to `onField` is valid only during that call.
template <typename TOnField>
void ForEachRecordField(const TRecord& record, TOnField&& onField) {
    if (record.separator) {
        ForEachSeparatedField(record.text, *record.separator, onField);
    } else {
        ForEachCommaField(record.text, onField);
    }
}
