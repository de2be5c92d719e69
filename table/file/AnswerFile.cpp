#include "table/file/AnswerFile.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/TextEncoding.h"
#include "table/file/CellField.h"
#include "table/file/TextRecords.h"
#include "table/file/WordBytes.h"
#include "table/marking/TableWalks.h"
#include "table/progress/Progress.h"
#include "table/store/RowCells.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

namespace {

/// Writes the rows of the table text straight into a buffer with room for them.
class TTableTextWriter {
public:
    explicit TTableTextWriter(const TAnswerTable& table)
        : table_(table), width_(static_cast<std::size_t>(WrittenWidth(table))),
          lastRow_(LastSavedRow(table)) {}

    int LastRow() const { return lastRow_; }

    /// Bytes of the row as written when no cell needs quotes: the size of most tables' text.
    std::size_t PlainRowSize(int row) const {
        return table_.Store().Row(row).ByteSize(1, width_ + 1) + width_ + 2;
    }

    /// Room that the row needs at the most: quotes around every cell and every byte a
    /// doubled quote, and a word beyond, which a short cell is copied as.
    std::size_t MaxRowSize(int row) const {
        return 2 * table_.Store().Row(row).ByteSize(1, width_ + 1) + 3 * width_ + 2 +
               sizeof(std::uint64_t);
    }

    char* WriteRow(char* out, int row) const {
        const TRowCells& cells = table_.Store().Row(row);
        const std::size_t endColumn = width_ + 1;
        // The answers are usually one-byte characters that need no quotes, while a name
        // rarely is: the answers are then checked once for the whole row.
        const std::size_t answersStart = std::min(FirstQuestionColumn, endColumn);
        out = WriteCheckedCells(cells, 1, answersStart, out);
        out = IsPlainText(cells.Bytes(answersStart, endColumn)) &&
                      cells.ByteSize(0, cells.Size()) >= WordSize
                  ? WritePlainCells(cells, answersStart, endColumn, out)
                  : WriteCheckedCells(cells, answersStart, endColumn, out);
        const std::size_t writtenCells = std::clamp<std::size_t>(cells.Size(), 1, endColumn) - 1;
        out = std::fill_n(out, width_ - writtenCells, ',');
        *out++ = '\r';
        *out++ = '\n';
        return out;
    }

    /// Rows ahead of the one being written whose cells are fetched into the cache meanwhile.
    static constexpr int PrefetchDistance = 8;

private:
    static constexpr std::ptrdiff_t WordSize = sizeof(std::uint64_t);
    static constexpr std::size_t FirstQuestionColumn = TAnswerTable::FirstQuestionColumn;

    /// A one-byte character that needs no quotes: above the comma (which also leaves out
    /// blanks, control bytes and the double quote) and below 0x80.
    static bool IsPlainByte(char byte) {
        const auto code = static_cast<unsigned char>(byte);
        return code > ',' && code < 0x80;
    }
    static bool IsPlainWord(std::uint64_t word) {
        using namespace WordBytes;
        return !HasHighByte(word) && !HasByteBelow(word, ',' + 1);
    }

    /// Whether every byte is plain, checked a word at a time.
    static bool IsPlainText(std::string_view text) {
        std::size_t at = 0;
        for (; at + sizeof(std::uint64_t) <= text.size(); at += sizeof(std::uint64_t)) {
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + at, sizeof word);
            if (!IsPlainWord(word)) {
                return false;
            }
        }
        return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(), IsPlainByte);
    }

    static char* WriteCheckedCells(const TRowCells& cells, std::size_t firstColumn,
                                   std::size_t endColumn, char* out) {
        const std::string_view stored = cells.Bytes(0, cells.Size());
        const char* const storedEnd = stored.data() + stored.size();
        cells.ForEachCell(firstColumn, endColumn, [&](std::string_view cell) {
            out = storedEnd - cell.data() >= WordSize && cell.size() <= WordSize
                      ? WriteShortField(cell, out)
                      : WriteField(cell, out);
            *out++ = ',';
        });
        return out;
    }

    /// Cells that need no quotes, of a row of a word at least: each is copied as the word it
    /// starts, the last few from a copy of the row's last word with room after it.
    static char* WritePlainCells(const TRowCells& cells, std::size_t firstColumn,
                                 std::size_t endColumn, char* out) {
        const std::string_view stored = cells.Bytes(0, cells.Size());
        const char* const lastWord = stored.data() + stored.size() - WordSize;
        std::array<char, 2 * WordSize> tail{};
        std::memcpy(tail.data(), lastWord, WordSize);
        cells.ForEachCell(firstColumn, endColumn, [&](std::string_view cell) {
            const char* const from =
                cell.data() <= lastWord ? cell.data() : tail.data() + (cell.data() - lastWord);
            if (cell.size() <= WordSize) {
                std::memcpy(out, from, WordSize);
                out += cell.size();
            } else {
                out = std::copy_n(from, cell.size(), out);
            }
            *out++ = ',';
        });
        return out;
    }

    /// A cell of at most a word, with a word of the row's storage from its start: copied as
    /// that word and checked with it, without a loop or a branch on its bytes, as most cells
    /// are a byte or two.
    static char* WriteShortField(std::string_view cell, char* out) {
        if constexpr (std::endian::native != std::endian::little) {
            return WriteField(cell, out);
        }
        using namespace WordBytes;
        std::uint64_t word = 0;
        std::memcpy(&word, cell.data(), sizeof word);
        const std::uint64_t cellBytes = cell.size() == sizeof word
                                            ? ~std::uint64_t{0}
                                            : (std::uint64_t{1} << 8 * cell.size()) - 1;
        // Bytes beyond the cell count as plain ones.
        const std::uint64_t checked = (word & cellBytes) | (~cellBytes & Ones * 0x7F);
        if (!IsPlainWord(checked)) {
            return WriteField(cell, out);
        }
        std::memcpy(out, &word, sizeof word);
        return out + cell.size();
    }

    /// Copies the cell while checking it, byte by byte and without a branch. Only a cell
    /// with a byte that may need quotes or a closer look is written again.
    static char* WriteField(std::string_view cell, char* out) {
        char* const fieldStart = out;
        bool plain = true;
        for (const char byte : cell) {
            plain &= IsPlainByte(byte);
            *out++ = byte;
        }
        if (plain || IsFieldAsItIs(cell)) {
            return out;
        }
        const std::string field = CellFieldText(cell);
        return std::copy(field.begin(), field.end(), fieldStart);
    }

    /// Rows 1 and 2 always, then the student rows up to the first empty number cell.
    static int LastSavedRow(const TAnswerTable& table) {
        int lastRow = TAnswerTable::PointsRow;
        while (HasStudentAfter(table, lastRow)) {
            table.Store().Row(lastRow + PrefetchDistance).Prefetch();
            ++lastRow;
        }
        return lastRow;
    }

    const TAnswerTable& table_;
    const std::size_t width_;
    const int lastRow_;
};

/// A marked table's mean, the result marker, in the first line's cell of `column`: the
/// questions end before it and the column after it titles the statistics.
void ApplyResultMarker(TAnswerTable& table, int column) {
    const int questionCount = column - TAnswerTable::FirstQuestionColumn;
    table.SetQuestionCount(questionCount);
    table.SetHighlightColor(clWhite);
    table.ProcessMessages();
    table.SetColumnWidth(TAnswerTable::StatisticsLabelColumn(questionCount),
                         TAnswerTable::StatisticsLabelWidth);
    table.ProcessMessages();
}

/// Writes the fields of the first record one by one: each may be the result marker, whose
/// column goes to `onMarker`.
template <typename TOnMarker>
void LoadAnswerKeyRecord(TAnswerTable& table, const TRecord& record, TOnMarker&& onMarker) {
    constexpr int row = TAnswerTable::AnswerKeyRow;
    int column = 0;
    ForEachRecordField(record, [&](std::string_view field) {
        ++column;
        table.SetCell(column, row, field);
        if (column > TAnswerTable::FirstQuestionColumn && IsResultMarker(table.Cell(column, row))) {
            onMarker(column);
        }
    });
}

/// Whether a text holds a line (a record) from the third on, a student's: such a file is a
/// class of its own and replaces the whole table. A file of the key and points lines only is
/// loaded over the table as it is, so that a roster pasted before it stays. A text that is not
/// `isWhole` holds one when a third record begins in it. The text holds no NUL.
bool HoldsStudentLine(std::string_view text, bool isWhole) {
    TRecordCutter cutter;
    int records = 0;
    const std::size_t afterPoints = CutRecords(
        cutter, text, isWhole, [&](const TRecord&) { return ++records < TAnswerTable::PointsRow; });
    return records == TAnswerTable::PointsRow && afterPoints < text.size();
}

/// Where a text's lines are written. A class that replaces the table is loaded aside into an
/// empty test and taken in only once every line has loaded, so that a failure on the way (a
/// file that cannot be read to its end, memory running out) leaves the table as it was.
class TLoadTarget {
public:
    TLoadTarget(TAnswerTable& table, bool replacesClass) : table_(table) {
        if (replacesClass) {
            aside_.emplace(table.EmptyTest());
        }
    }

    TAnswerTable& Table() { return aside_ ? *aside_ : table_; }

    /// A result marker of the first line: over the table it takes effect at once, as the
    /// cells do; aside it waits for the class.
    void MarkerFound(int column) {
        if (aside_) {
            markerColumns_.push_back(column);
        } else {
            ApplyResultMarker(table_, column);
        }
    }

    /// Every line has loaded: the class aside takes the table's place.
    void Complete() {
        if (!aside_) {
            return;
        }
        table_.ReplaceCells(std::move(*aside_));
        aside_.reset();
        // Nothing of the previous class stays in view either: its statistics column's width,
        // and its question count, by which the grid draws that column as a label.
        table_.SetColumnWidths({{TAnswerTable::NumberColumn, 60}, {TAnswerTable::NameColumn, 80}});
        table_.SetQuestionCount(TAnswerTable::InitialQuestionCount);
        for (const int column : markerColumns_) {
            ApplyResultMarker(table_, column);
        }
    }

private:
    TAnswerTable& table_;
    std::optional<TAnswerTable> aside_;
    std::vector<int> markerColumns_;
};

/// Loads one record per row, building each row whole rather than cell by cell.
class TRecordLoader {
public:
    explicit TRecordLoader(TLoadTarget& target) : target_(target), table_(target.Table()) {}

    int RowsLoaded() const { return row_; }

    void Load(const TRecord& record) {
        ++row_;
        if (row_ == TAnswerTable::AnswerKeyRow) {
            LoadAnswerKeyRecord(table_, record,
                                [this](int column) { target_.MarkerFound(column); });
            return;
        }
        const std::string_view label = table_.Cell(0, row_);
        bytes_ = label;
        ends_.assign(1, static_cast<std::uint32_t>(label.size()));
        TRowCells cells;
        // A record that holds a double quote is never plain.
        if (!record.separator && SplitPlainCommaLine(record.text, bytes_, ends_)) {
            cells = table_.Store().PlacedRowCells(bytes_, ends_);
        } else {
            cells.Append(label);
            ForEachRecordField(record, [&](std::string_view field) { cells.Append(field); });
        }
        if (cells.Size() > 1) {
            table_.WriteRowCells(row_, std::move(cells));
        }
    }

private:
    TLoadTarget& target_;
    TAnswerTable& table_;
    int row_ = 0;
    /// Reused line by line while a row is split.
    std::string bytes_;
    std::vector<std::uint32_t> ends_;
};

/// Loads the records of a text, whole or as it is read piece by piece, into a table whose rows
/// of an earlier text it frees first.
class TTextLoader {
public:
    TTextLoader(TAnswerTable& table, std::size_t textSize, bool replacesClass)
        : target_(table, replacesClass), loader_(target_),
          progress_(table.ProgressListener(), TProgressTask::Open, textSize) {
        TAnswerTable& loaded = target_.Table();
        loaded.Store().DetachPlacedRows();
        // Room for the rows of most files at once, rather than growing their index again and
        // again: a student's line takes more than this many bytes. Room not used is never
        // touched.
        constexpr std::size_t ShortestUsualLine = 32;
        loaded.Store().ReserveRows(textSize / ShortestUsualLine + TAnswerTable::ShownRows);
        // A placed row takes its line's bytes less the separators and line break, a byte
        // for each cell's end and the spare room for a score.
        constexpr std::size_t SpareShareOfUsualLine = 8;
        loaded.Store().ReservePlacedRowBytes(textSize + textSize / SpareShareOfUsualLine);
    }

    /// Loads a whole text that holds no NUL and returns the bytes of its records, each followed
    /// by CR LF.
    std::size_t LoadRecords(std::string_view text) {
        std::size_t joinedSize = 0;
        CutRecords(cutter_, text, true, [&](const TRecord& record) {
            progress_.Advance(static_cast<std::size_t>(record.text.data() - text.data()));
            joinedSize += record.text.size() + 2;
            loader_.Load(record);
            return true;
        });
        return joinedSize;
    }

    /// Loads the records that `text` begins with as far as what may still follow it cannot
    /// change them: all of them when it `isWhole`. Returns where the first record not loaded
    /// begins; the next call's text must begin there. No byte is read twice.
    std::size_t LoadCompleteRecords(std::string_view text, bool isWhole) {
        const std::size_t loaded = CutRecords(cutter_, text, isWhole, [&](const TRecord& record) {
            progress_.Advance(bytesBefore_ +
                              static_cast<std::size_t>(record.text.data() - text.data()));
            loader_.Load(record);
            return true;
        });
        bytesBefore_ += loaded;
        return loaded;
    }

    /// Every record has loaded.
    void Complete() { target_.Complete(); }

    int RecordsLoaded() const { return loader_.RowsLoaded(); }

private:
    TLoadTarget target_;
    TRecordLoader loader_;
    TRecordCutter cutter_;
    TProgress progress_;
    /// Bytes of the text before the piece being loaded.
    std::size_t bytesBefore_ = 0;
};

/// Reads and loads a file as LoadAnswerText loads its converted text, without keeping the
/// text. A file read as the code page's bytes as they are, whose first piece of `pieceSize`
/// bytes already holds a student line, is read and loaded a piece at a time; any other is read
/// whole first. Either way the table is not touched before the last byte has been read.
TLoadedFile LoadFileInPieces(TAnswerTable& table, const std::filesystem::path& fileName,
                             std::size_t pieceSize) {
    TFileReader reader(fileName);
    std::string pending;
    bool atEnd = reader.ReadInto(pending, pieceSize) < pieceSize;
    const bool asItIs = !atEnd && JudgeTextStart(pending, false) == TTextStart::CodePageAsItIs;
    // The text ends at its first NUL, as the line rules end it there.
    std::size_t nul = asItIs ? pending.find('\0') : std::string::npos;
    if (!asItIs || !HoldsStudentLine(std::string_view(pending).substr(0, nul), false)) {
        reader.ReadInto(pending, reader.Size());
        TCodePageText file = ConvertToCodePage(std::move(pending), PathText(fileName));
        const TLoadedFile loaded = LoadAnswerText(table, std::move(file.text));
        return {.text = {},
                .notices = {.replacedCount = file.replacedCount, .nulLine = loaded.notices.nulLine},
                .replacedClass = loaded.replacedClass};
    }
    TTextLoader loader(table, reader.Size(), true);
    while (true) {
        if (nul != std::string::npos) {
            pending.resize(nul);
            atEnd = true;
        }
        // A record not yet complete (a long line, or an open quoted field) is kept for the next
        // piece, where loading goes on from where it stopped.
        const std::size_t loaded = loader.LoadCompleteRecords(pending, atEnd);
        if (atEnd) {
            loader.Complete();
            const bool endedAtNul = nul != std::string::npos;
            const int nulLine = endedAtNul ? LineOfNul(loader.RecordsLoaded(), pending) : 0;
            return {.text = {},
                    .notices = {.replacedCount = 0, .nulLine = nulLine},
                    .replacedClass = true};
        }
        pending.erase(0, loaded);
        const std::size_t checkedForNul = pending.size();
        atEnd = reader.ReadInto(pending, pieceSize) < pieceSize;
        nul = pending.find('\0', checkedForNul);
    }
}

} // namespace

int WrittenWidth(const TAnswerTable& table) {
    int width = TAnswerTable::FirstQuestionColumn;
    while (!table.Cell(width, TAnswerTable::AnswerKeyRow).empty()) {
        ++width;
    }
    return width;
}

std::string GetTableText(const TAnswerTable& table) {
    const TTableTextWriter writer(table);
    std::size_t size = 0;
    for (int row = TAnswerTable::AnswerKeyRow; row <= writer.LastRow(); ++row) {
        table.Store().Row(row + TTableTextWriter::PrefetchDistance).Prefetch();
        size += writer.PlainRowSize(row);
    }
    std::string text;
    text.reserve(size);
    WriteTableText(table, [&](std::string_view piece) { text += piece; });
    return text;
}

void WriteTableText(const TAnswerTable& table,
                    const std::function<void(std::string_view piece)>& write) {
    const TTableTextWriter writer(table);
    // A small table's text needs less than a whole piece.
    std::size_t textRoom = 0;
    for (int row = TAnswerTable::AnswerKeyRow;
         row <= writer.LastRow() && textRoom < AnswerFilePieceSize; ++row) {
        textRoom += writer.MaxRowSize(row);
    }
    std::string piece;
    std::size_t used = 0;
    for (int row = TAnswerTable::AnswerKeyRow; row <= writer.LastRow(); ++row) {
        table.Store().Row(row + TTableTextWriter::PrefetchDistance).Prefetch();
        const std::size_t room = writer.MaxRowSize(row);
        if (used + room > piece.size() && used > 0) {
            write(std::string_view(piece).substr(0, used));
            used = 0;
        }
        if (room > piece.size()) {
            piece.resize(std::max(room, std::min(textRoom, AnswerFilePieceSize)));
        }
        used = static_cast<std::size_t>(writer.WriteRow(piece.data() + used, row) - piece.data());
    }
    write(std::string_view(piece).substr(0, used));
}

void SaveTableFile(const TAnswerTable& table, const std::filesystem::path& fileName) {
    TAtomicFileWriter file(fileName);
    WriteTableText(table, [&](std::string_view piece) { file.Write(piece); });
    file.Commit();
}

TLoadedFile LoadAnswerText(TAnswerTable& table, std::string text) {
    // The one search for the NUL that ends the text: what follows it is never looked at.
    const std::size_t nul = text.find('\0');
    const std::string_view lines = std::string_view(text).substr(0, nul);
    const bool replacesClass = HoldsStudentLine(lines, true);
    TTextLoader loader(table, text.size(), replacesClass);
    const std::size_t joinedSize = loader.LoadRecords(lines);
    loader.Complete();
    TLoadedFile loaded;
    loaded.replacedClass = replacesClass;
    if (nul != std::string::npos) {
        loaded.notices.nulLine = LineOfNul(loader.RecordsLoaded(), lines);
    }
    // Usually the file is already in that form and its text is the loaded text.
    if (nul == std::string::npos && joinedSize == text.size()) {
        loaded.text = std::move(text);
        return loaded;
    }
    loaded.text.reserve(joinedSize);
    TRecordCutter cutter;
    CutRecords(cutter, lines, true, [&](const TRecord& record) {
        loaded.text += record.text;
        loaded.text += "\r\n";
        return true;
    });
    return loaded;
}

TLoadedFile LoadAnswerFile(TAnswerTable& table, const std::filesystem::path& fileName,
                           TLoadedText loadedText, std::size_t pieceSize) {
    try {
        TLoadedFile file;
        if (loadedText == TLoadedText::Kept) {
            TCodePageText read = ReadCodePageText(fileName);
            file = LoadAnswerText(table, std::move(read.text));
            file.notices.replacedCount = read.replacedCount;
        } else {
            file = LoadFileInPieces(table, fileName, pieceSize);
        }
        table.EnableMarkAndSortByNumber();
        return file;
    } catch (const ECancelledError&) {
        // Stopped by the user, the table stays as it was, its commands included.
        throw;
    } catch (...) {
        table.EnableMarkAndSortByNumber();
        throw;
    }
}
