#include "TestEncoding.h"
#include "TestFiles.h"
#include "TestText.h"
#include "platform/Files.h"
#include "platform/TextEncoding.h"
#include "table/file/AnswerFile.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

using namespace std::string_literals;

namespace {

/// splitmix64, so that the tables are the same on every machine.
class TTableRandom {
public:
    explicit TTableRandom(std::uint64_t seed) : state_(seed) {}

    std::size_t Below(std::size_t bound) {
        std::uint64_t mixed = (state_ += 0x9E3779B97F4A7C15ULL);
        mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9ULL;
        mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBULL;
        return static_cast<std::size_t>((mixed ^ (mixed >> 31)) % bound);
    }

private:
    std::uint64_t state_;
};

/// Whole characters a cell is built of: what spreadsheets and the comma-text rules treat
/// specially (blanks, TAB, comma, quote, control bytes), double-byte characters ending in a
/// backslash byte, the full-width blank, half-width katakana, the result marker.
constexpr std::array<std::string_view, 18> CellPieces = {
    "a",    "Z",        "1",        " ",        "\t",   ",",    "\"",   "\x01", "\x1f",
    "\x7f", "\x81\x40", "\x83\x5c", "\x95\x5c", "\xb1", "\xc3", "\xdf", "<",    "\\",
};

std::string RandomCell(TTableRandom& random, std::size_t leastPieces) {
    std::string cell;
    const std::size_t pieces = leastPieces + random.Below(5);
    for (std::size_t piece = 0; piece < pieces; ++piece) {
        cell += CellPieces[random.Below(CellPieces.size())];
    }
    return cell;
}

/// A test with keys up to its written width, numbers on every student row, any other cells.
TAnswerTable RandomTable(TTableRandom& random) {
    TAnswerTable table;
    table.Reset();
    const int width = TAnswerTable::FirstQuestionColumn + static_cast<int>(random.Below(5));
    const int lastRow = TAnswerTable::PointsRow + static_cast<int>(random.Below(5));
    for (int row = TAnswerTable::AnswerKeyRow; row <= lastRow; ++row) {
        for (int column = 1; column <= width; ++column) {
            const bool key =
                row == TAnswerTable::AnswerKeyRow && column >= TAnswerTable::FirstQuestionColumn;
            const bool number =
                row >= TAnswerTable::FirstStudentRow && column == TAnswerTable::NumberColumn;
            if (key && column == width) {
                continue;
            }
            table.SetCell(column, row, RandomCell(random, key || number ? 1 : 0));
        }
    }
    return table;
}

// Saved by the program, then opened as any file is opened: every saved cell comes back. A
// saved text that is valid UTF-8 cannot be told from a UTF-8 file and is read as one; such
// tables are counted, and must stay rare.
TEST(SaveAndOpen, GiveBackEveryCellOfAnyTable) {
    const TTemporaryFolder folder;
    const std::filesystem::path fileName = folder / "test.csv";
    TTableRandom random(20240917);
    int readAsUtf8 = 0;
    constexpr int Tables = 400;
    for (int index = 0; index < Tables; ++index) {
        const TAnswerTable saved = RandomTable(random);
        SaveTableFile(saved, fileName);
        const std::string text = ReadTestFile(fileName);
        if (EncodingFound(text) != TTextEncoding::CodePage) {
            ++readAsUtf8;
            continue;
        }
        TAnswerTable opened;
        opened.Reset();
        const TLoadedFile loaded = LoadAnswerFile(opened, fileName);
        ASSERT_EQ(loaded.text, text);
        ASSERT_EQ(loaded.notices.replacedCount, 0U);
        ASSERT_EQ(GetTableText(opened), text);
        for (int row = TAnswerTable::AnswerKeyRow; row <= saved.StoredRowCount(); ++row) {
            for (int column = 1; column <= WrittenWidth(saved); ++column) {
                ASSERT_EQ(opened.Cell(column, row), saved.Cell(column, row))
                    << "cell (" << column << ", " << row << ") of table " << index << " saved as "
                    << Escaped(text);
            }
        }
    }
    EXPECT_LT(readAsUtf8, Tables / 100);
}

TEST(LoadAnswerFile, ConvertsAUtf16FileAndCountsWhatTheCodePageCannotHold) {
    const TTemporaryFolder folder;
    // Tab-separated, as a spreadsheet saves "Unicode text": k<TAB>é<TAB>山 / 1<TAB>😀.
    WriteTestFile(folder / "u.txt", "\xff\xfek\0\t\0\xe9\0\t\0\x71\x5c\r\0\n\0"
                                    "1\0\t\0\x3d\xd8\x00\xde\r\0\n\0"s);
    TAnswerTable table;
    table.Reset();
    const TLoadedFile loaded = LoadAnswerFile(table, folder / "u.txt");
    EXPECT_EQ(loaded.text, "k\t?\t\x8e\x52\r\n1\t?\r\n");
    EXPECT_EQ(loaded.notices.replacedCount, 2U);
    EXPECT_EQ(table.Cell(1, 1), "k");
    EXPECT_EQ(table.Cell(2, 1), "?");
    EXPECT_EQ(table.Cell(3, 1), "\x8e\x52");
    EXPECT_EQ(table.Cell(2, 2), "?");
}

TEST(LoadAnswerFile, BrokenUtf16IsReportedAndStillEnablesTheCommands) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "odd.txt", "\xff\xfek\0,"s);
    TAnswerTable table;
    table.Reset();
    table.SetCell(1, 1, "kept");
    EXPECT_THROW(LoadAnswerFile(table, folder / "odd.txt"), ETextEncodingError);
    EXPECT_EQ(table.Cell(1, 1), "kept") << "the first answer was empty: no reset";
    EXPECT_TRUE(table.IsEnabled(TCommand::mmMark));
    EXPECT_TRUE(table.IsEnabled(TCommand::mmSortWithNumber));
}

} // namespace
