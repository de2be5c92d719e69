#include "table/file/UnsavedCells.h"

#include "table/file/AnswerFile.h"
#include "table/marking/TableWalks.h"
#include "table/store/RowCells.h"

#include <algorithm>
#include <cstddef>

namespace {

/// FNV-1a: the cells are few, and any change of one must change the whole.
class TCellHash {
public:
    void Add(int column, int row, std::string_view text) {
        AddNumber(column);
        AddNumber(row);
        AddNumber(static_cast<int>(text.size()));
        for (const char byte : text) {
            AddByte(static_cast<unsigned char>(byte));
        }
    }
    std::uint64_t Value() const { return value_; }

private:
    void AddByte(unsigned char byte) { value_ = (value_ ^ byte) * 0x100000001B3; }
    void AddNumber(int number) {
        for (int shift = 0; shift < 32; shift += 8) {
            AddByte(static_cast<unsigned char>(static_cast<unsigned>(number) >> shift));
        }
    }
    std::uint64_t value_ = 0xCBF29CE484222325;
};

/// The row below the students where Mark wrote its rates: the table is marked (its score
/// column holds the result marker) and the row holds nothing but question columns' cells.
int RateRowOf(const TAnswerTable& table) {
    const int scoreColumn = TAnswerTable::ScoreColumn(CountQuestions(table));
    if (!IsResultMarker(table.Cell(scoreColumn, TAnswerTable::AnswerKeyRow))) {
        return 0;
    }
    const int rateRow = LastStudentRow(table) + 1;
    const TRowCells& cells = table.Store().Row(rateRow);
    constexpr std::size_t firstQuestion = TAnswerTable::FirstQuestionColumn;
    const auto endQuestions = static_cast<std::size_t>(scoreColumn);
    const bool onlyRates = cells.ByteSize(TAnswerTable::NumberColumn, firstQuestion) == 0 &&
                           cells.ByteSize(endQuestions, cells.Size()) == 0;
    return onlyRates ? rateRow : 0;
}

bool HoldsDataText(const TRowCells& cells, int row, int rateRow) {
    return row != rateRow && cells.ByteSize(TAnswerTable::NumberColumn, cells.Size()) > 0;
}

TUserText RangeText(int first, int last) {
    if (first == last) {
        return TUserText::Number(first);
    }
    return {"Range", "%1〜%2", {TUserText::Number(first), TUserText::Number(last)}};
}

} // namespace

TUnsavedCells FindUnsavedCells(const TAnswerTable& table) {
    TUnsavedCells unsaved;
    TCellHash hash;
    const int width = WrittenWidth(table);
    const int lastSaved = LastSavedRow(table);
    unsaved.widthColumn = width;
    unsaved.gapRow = lastSaved + 1;
    const auto firstBeyond = static_cast<std::size_t>(width) + 1;
    for (int row = TAnswerTable::AnswerKeyRow; row <= lastSaved; ++row) {
        const TRowCells& cells = table.Store().Row(row);
        if (cells.ByteSize(firstBeyond, cells.Size()) == 0) {
            continue;
        }
        for (std::size_t column = firstBeyond; column < cells.Size(); ++column) {
            const std::string_view text = cells.Cell(column);
            if (!text.empty()) {
                const int at = static_cast<int>(column);
                unsaved.firstColumn =
                    unsaved.firstColumn == 0 ? at : std::min(unsaved.firstColumn, at);
                unsaved.lastColumn = std::max(unsaved.lastColumn, at);
                hash.Add(at, row, text);
            }
        }
    }
    const int rateRow = RateRowOf(table);
    for (int row = unsaved.gapRow; row < table.StoredRowCount(); ++row) {
        const TRowCells& cells = table.Store().Row(row);
        if (!HoldsDataText(cells, row, rateRow)) {
            continue;
        }
        if (unsaved.firstRow == 0) {
            unsaved.firstRow = row;
        }
        unsaved.lastRow = row;
        for (std::size_t column = TAnswerTable::NumberColumn; column < cells.Size(); ++column) {
            const std::string_view text = cells.Cell(column);
            if (!text.empty()) {
                hash.Add(static_cast<int>(column), row, text);
            }
        }
    }
    unsaved.fingerprint = hash.Value();
    return unsaved;
}

int FirstTextRowFrom(const TAnswerTable& table, int firstRow) {
    const int rateRow = RateRowOf(table);
    for (int row = firstRow; row < table.StoredRowCount(); ++row) {
        if (HoldsDataText(table.Store().Row(row), row, rateRow)) {
            return row;
        }
    }
    return 0;
}

TUserText UnsavedCellsText(const TUnsavedCells& cells) {
    std::vector<TUserText> lines = {{"UnsavedCells", "次のセルはファイルに保存されません。"}};
    if (cells.firstRow != 0) {
        lines.push_back({"UnsavedRows",
                         "・行 %1: 行 %2 の学籍番号が空のため、その行から下は保存されません。",
                         {RangeText(StudentLabel(cells.firstRow), StudentLabel(cells.lastRow)),
                          TUserText::Number(StudentLabel(cells.gapRow))}});
    }
    if (cells.firstColumn != 0) {
        lines.push_back(
            {"UnsavedColumns",
             "・問 %1 の列: 問 %2 の正答が空のため、その右の列は保存されません。",
             {RangeText(QuestionLabel(cells.firstColumn), QuestionLabel(cells.lastColumn)),
              TUserText::Number(QuestionLabel(cells.widthColumn))}});
    }
    return TUserText::Lines(std::move(lines));
}

EUnsavedCellsError::EUnsavedCellsError(const TUnsavedCells& cells)
    : EPelloranError(TUserText::Lines(
          {UnsavedCellsText(cells),
           {"NotSavedWithUnsavedCells",
            "保存しませんでした (save-dropping なら、それらのセルを除いて保存します)。"}})) {}
