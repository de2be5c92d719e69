#include "table/marking/Sorting.h"

#include "TestText.h"
#include "platform/Errors.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

/// 山田　太郎 in code page 932, a full-width blank between family and given name.
const std::string KanjiNameWithFullWidthBlank = "\x8eR\x93"
                                                "c\x81\x40\x91\xbe\x98Y";

/// Cells of one row from column 1 on.
using TRow = std::vector<std::string>;

/// Writes rows from `firstRow` down: "/" between rows, "|" between the cells of a row from
/// column 1 on.
void FillRows(TAnswerTable& table, int firstRow, const std::string& text) {
    const TRow rows = Split(text, '/');
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TRow cells = Split(rows[i], '|');
        for (std::size_t k = 0; k < cells.size(); ++k) {
            table.SetCell(static_cast<int>(k) + 1, firstRow + static_cast<int>(i), cells[k]);
        }
    }
}

/// Every stored row whole, column 0 included.
std::vector<TRow> AllRows(const TAnswerTable& table) {
    std::vector<TRow> rows;
    for (int row = 0; row < table.StoredRowCount(); ++row) {
        TRow cells;
        for (int column = 0; column < table.StoredColumnCount(row); ++column) {
            cells.emplace_back(table.Cell(column, row));
        }
        rows.push_back(cells);
    }
    return rows;
}

enum class TSort { ByNumber, ByScore };

void Sort(TAnswerTable& table, TSort sort, const TCollator& collator,
          std::size_t wholeKeysUpTo = SortWholeKeysUpTo) {
    if (sort == TSort::ByNumber) {
        SortByNumber(table, collator, wholeKeysUpTo);
    } else {
        SortByScore(table, collator, wholeKeysUpTo);
    }
}

struct TSortCase {
    const char* name;
    TSort sort;
    /// The student rows, as FillRows takes them; for a score sort, column 5 is the score
    /// column of a two-question test.
    std::string students;
    /// Rows below the students, which stay where they are.
    std::string below;
    /// One digit per student row from row 3 down: the index of the student row that ends there.
    std::string order;

    friend void PrintTo(const TSortCase& c, std::ostream* os) { *os << c.name; }
};

class Sorting : public testing::TestWithParam<TSortCase> {};

TEST_P(Sorting, PutsWholeRowsInOrder) {
    const TSortCase& c = GetParam();
    const int studentCount = static_cast<int>(c.order.size());
    TAnswerTable table;
    table.SetQuestionCount(2);
    for (int row = 0; row < studentCount + 6; ++row) {
        table.SetCell(0, row, "label " + std::to_string(row));
    }
    FillRows(table, 1, c.sort == TSort::ByNumber ? "||a|b/||1|1" : "||a|b|<5>/||1|1|<1>");
    FillRows(table, 3 + studentCount, c.below);
    TAnswerTable expected = table;
    FillRows(table, 3, c.students);
    const TRow students = Split(c.students, '/');
    for (int i = 0; i < studentCount; ++i) {
        FillRows(expected, 3 + i,
                 students[static_cast<std::size_t>(c.order[static_cast<std::size_t>(i)] - '0')]);
    }

    Sort(table, c.sort, TCollator("ja"));
    EXPECT_EQ(AllRows(table), AllRows(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Sorting, Sorting,
    testing::Values(
        TSortCase{"NumbersCompareAsText", TSort::ByNumber, "9|Ito/10|Abe/100|Ono", "||50%|0%",
                  "120"},
        TSortCase{"CaseIsIgnored", TSort::ByNumber, "a13|x/A12|y/B1|z/a2|w", "", "1032"},
        // Cells that would split or shift if the rows went through comma text: a blank in the
        // name, a comma, a quote, an empty answer, a cell beyond the saved columns.
        TSortCase{"RowsMoveWholeWithEveryStoredCell", TSort::ByNumber,
                  "2|Yamada Taro||x|||far/1|Sato, \"Hanako\"|a||b/"
                  "3|" +
                      KanjiNameWithFullWidthBlank + "|\"q|a b",
                  "", "102"},
        TSortCase{"SingleRowStays", TSort::ByNumber, "7|Solo|a", "||100%/1|After a gap", "0"},
        TSortCase{"FirstRowWithoutNumberIsTakenAlone", TSort::ByNumber, "|Nameless|z", "/2|b/1|a",
                  "0"},
        TSortCase{"FirstRowWithoutNumberSortsFirst", TSort::ByNumber, "|Nameless|z/2|b/1|a", "",
                  "021"},
        TSortCase{"PaddedWholeScoresHighestFirst", TSort::ByScore,
                  "1|A|a|b|85/2|B|a|b|100/3|C|a|b|9", "||100%|0%", "102"},
        TSortCase{"ScoreWithDecimalPaddedByLength", TSort::ByScore, "1|A|a|b|10/2|B|a|b|7.5", "",
                  "10"},
        TSortCase{"FourByteScoreIsNotPadded", TSort::ByScore, "1|A|a|b|100/2|B|a|b|85.5", "", "10"},
        TSortCase{"EmptyScoreToTheBottom", TSort::ByScore, "1|A|a|b|/2|B|a|b|3/3|C|a|b|12", "",
                  "210"},
        TSortCase{"EqualScoresLargerNumberFirst", TSort::ByScore,
                  "1001|A|a|b|5/1002|B|a|b|5/1000|C|a|b|4", "", "102"},
        TSortCase{"ScoreRowsMoveWhole", TSort::ByScore, "1|Yamada Taro||b|3||far/2|Ito|a||8", "",
                  "10"}),
    TCaseName());

// Before marking the score column is a guess: the table must not be reordered by it.
TEST(SortMarkedTableByScore, RefusedUntilMarkingEnabledIt) {
    TAnswerTable table;
    table.SetQuestionCount(1);
    FillRows(table, 3, "1|Ann|a|3/2|Ben|b|8");
    const std::vector<TRow> before = AllRows(table);
    try {
        SortMarkedTableByScore(table, TCollator("en"));
        ADD_FAILURE() << "no failure raised";
    } catch (const EPelloranError& error) {
        EXPECT_EQ(std::string(error.what()), "sort-score needs a marked table: run mark first");
    }
    EXPECT_EQ(AllRows(table), before);

    table.SetEnabled(TCommand::mmSortWithPoint, true);
    SortMarkedTableByScore(table, TCollator("en"));
    EXPECT_EQ(table.Cell(2, 3), "Ben");
    EXPECT_EQ(table.Cell(2, 4), "Ann");
}

TEST(Sorting, EmptyTableStaysEmpty) {
    TAnswerTable table;
    SortByNumber(table, TCollator("en"));
    SortByScore(table, TCollator("en"));
    EXPECT_EQ(table.StoredRowCount(), 0);
}

const std::vector<std::string> Fragments = {
    "",         "",         " ",        ",",    "\"",  "a", "A",          "b",
    "1",        "10",       "9",        "0",    "-",   "'", "\x82\xa0",   "\x83\x5c",
    "\x81\x40", "\x82\x60", "\x82\x81", "\x83", "7.5", "<", "Yamada Taro"};

std::string RandomText(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> pick(0, Fragments.size() - 1);
    std::string text;
    for (int count = std::uniform_int_distribution<int>(0, 3)(random); count > 0; --count) {
        text += Fragments[pick(random)];
    }
    return text;
}

std::string RandomNonEmptyText(std::mt19937& random) {
    std::string text;
    while (text.empty()) {
        text = RandomText(random);
    }
    return text;
}

/// A marked-looking table: labels, key and points rows, students whose number cells (row 3
/// excepted) are filled, cells beyond the saved columns, a rate row and a row after it.
TAnswerTable RandomTable(std::mt19937& random, int& studentCount) {
    TAnswerTable table;
    const int width = std::uniform_int_distribution<int>(3, 8)(random);
    studentCount = std::uniform_int_distribution<int>(1, 12)(random);
    table.SetQuestionCount(std::uniform_int_distribution<int>(0, width - 3)(random));
    for (int column = 3; column < width; ++column) {
        table.SetCell(column, 1, RandomNonEmptyText(random));
        table.SetCell(column, 2, RandomText(random));
    }
    const int lastRow = studentCount + 4;
    for (int row = 0; row <= lastRow; ++row) {
        table.SetCell(0, row, "label " + std::to_string(row));
    }
    for (int row = 3; row <= lastRow; ++row) {
        for (int column = 1; column <= width + 3; ++column) {
            table.SetCell(column, row, RandomText(random));
        }
    }
    for (int row = 4; row < studentCount + 3; ++row) {
        table.SetCell(1, row, RandomNonEmptyText(random));
    }
    table.SetCell(1, studentCount + 3, "");
    return table;
}

/// The text a sort orders a student row by, built from the row as it stands.
std::string SortText(const TAnswerTable& table, TSort sort, int row) {
    int width = 3;
    while (!table.Cell(width, 1).empty()) {
        ++width;
    }
    std::string line;
    for (int column = 1; column <= width; ++column) {
        line += table.Cell(column, row);
        line += ',';
    }
    if (sort == TSort::ByNumber) {
        return line;
    }
    std::string score(table.Cell(table.QuestionCount() + 3, row));
    score.insert(0, 4 - std::min<std::size_t>(4, score.size()), '0');
    return score + ", " + line;
}

TEST(SortingProperty, KeepsEveryRowAndPutsTheKeysInOrder) {
    const TCollator japanese("ja");
    const TCollator english("en");
    std::mt19937 random(20240607);
    for (int round = 0; round < 300; ++round) {
        int studentCount = 0;
        TAnswerTable table = RandomTable(random, studentCount);
        const TSort sort = round % 2 == 0 ? TSort::ByNumber : TSort::ByScore;
        const TCollator& collator = round % 4 < 2 ? japanese : english;
        const std::vector<TRow> before = AllRows(table);
        Sort(table, sort, collator);
        const std::vector<TRow> after = AllRows(table);
        SCOPED_TRACE("round " + std::to_string(round));

        ASSERT_EQ(after.size(), before.size());
        std::vector<TRow> studentsBefore;
        std::vector<TRow> studentsAfter;
        for (std::size_t row = 0; row < after.size(); ++row) {
            const bool isStudent = row >= 3 && row < static_cast<std::size_t>(studentCount) + 3;
            if (!isStudent) {
                EXPECT_EQ(after[row], before[row]) << "row " << row << " changed";
                continue;
            }
            EXPECT_EQ(after[row].at(0), before[row].at(0)) << "label of row " << row;
            studentsBefore.emplace_back(before[row].begin() + 1, before[row].end());
            studentsAfter.emplace_back(after[row].begin() + 1, after[row].end());
        }
        std::sort(studentsBefore.begin(), studentsBefore.end());
        std::sort(studentsAfter.begin(), studentsAfter.end());
        EXPECT_EQ(studentsAfter, studentsBefore);

        // Ascending by number, descending by score.
        const int direction = sort == TSort::ByNumber ? 1 : -1;
        for (int row = 3; row + 1 < studentCount + 3; ++row) {
            const std::string upper = SortText(table, sort, row);
            const std::string lower = SortText(table, sort, row + 1);
            EXPECT_LE(direction * collator.Compare(upper, lower), 0)
                << Escaped(upper) << " above " << Escaped(lower);
        }
    }
}

struct TLargeSortCase {
    const char* name;
    /// Student numbers are made of these pieces.
    std::vector<std::string> numberPieces;
    int piecesPerNumber;

    friend void PrintTo(const TLargeSortCase& c, std::ostream* os) { *os << c.name; }
};

class SortingLargeClass : public testing::TestWithParam<TLargeSortCase> {};

/// The rows' order as the collator's whole keys give it, equal keys in table order.
std::vector<TRow> RowsSortedByWholeKeys(const TAnswerTable& table, TSort sort, int studentCount,
                                        const TCollator& collator) {
    std::vector<std::pair<std::string, int>> keys;
    for (int row = 3; row < studentCount + 3; ++row) {
        keys.emplace_back(collator.SortKey(SortText(table, sort, row)), row);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    if (sort == TSort::ByScore) {
        std::reverse(keys.begin(), keys.end());
    }
    const std::vector<TRow> rows = AllRows(table);
    std::vector<TRow> sorted;
    for (const auto& key : keys) {
        sorted.emplace_back(rows[static_cast<std::size_t>(key.second)].begin() + 1,
                            rows[static_cast<std::size_t>(key.second)].end());
    }
    return sorted;
}

TEST_P(SortingLargeClass, OrdersRowsExactlyAsTheWholeKeysDo) {
    const TLargeSortCase& c = GetParam();
    const std::vector<std::string> names = {"Ito",      "ito",      "\x83\x4A\x81\x5B",
                                            "\x82\xA9", "\x82\xAA", KanjiNameWithFullWidthBlank,
                                            "Abe-"};
    std::mt19937 random(7);
    const auto pick = [&](const std::vector<std::string>& texts) {
        return texts[std::uniform_int_distribution<std::size_t>(0, texts.size() - 1)(random)];
    };
    // Sorted as a class of 10,000 is, whose keys take over 2 MB: rows ordered by the first
    // characters' weights, whole keys only for those left in doubt. Every other row is short,
    // so that its whole text has a prefix.
    constexpr int StudentCount = 200;
    constexpr std::size_t NoWholeKeys = 0;
    const std::string filler(1200, 'f');
    for (const TSort sort : {TSort::ByNumber, TSort::ByScore}) {
        for (const char* locale : {"ja", "en"}) {
            const TCollator collator(locale);
            TAnswerTable table;
            table.SetQuestionCount(2);
            FillRows(table, 1, "||a|b|<5>/||1|1|<1>");
            for (int row = 3; row < StudentCount + 3; ++row) {
                table.SetCell(0, row, std::to_string(row));
                std::string number;
                for (int piece = 0; piece < c.piecesPerNumber; ++piece) {
                    number += pick(c.numberPieces);
                }
                table.SetCell(1, row, number.empty() ? "0" : number);
                table.SetCell(2, row, pick(names));
                table.SetCell(3, row, pick({"a", "A", "b", ""}));
                table.SetCell(5, row, pick({"1", "10", "9", "7.5", ""}));
                table.SetCell(6, row, row % 2 == 0 ? filler : "");
            }
            const std::vector<TRow> expected =
                RowsSortedByWholeKeys(table, sort, StudentCount, collator);
            Sort(table, sort, collator, NoWholeKeys);
            const std::vector<TRow> rows = AllRows(table);
            for (int row = 3; row < StudentCount + 3; ++row) {
                ASSERT_EQ(rows[static_cast<std::size_t>(row)].at(0), std::to_string(row));
                const TRow cells(rows[static_cast<std::size_t>(row)].begin() + 1,
                                 rows[static_cast<std::size_t>(row)].end());
                ASSERT_EQ(cells, expected[static_cast<std::size_t>(row - 3)])
                    << locale << (sort == TSort::ByNumber ? " by number" : " by score") << ", row "
                    << row;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sorting, SortingLargeClass,
    testing::Values(
        TLargeSortCase{"DistinctNumbers", {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, 7},
        // A hyphen or a long vowel cuts the fast prefix short: whole runs share it.
        TLargeSortCase{"NumbersWithIgnoredAndContextualSigns",
                       {"1", "2", "-", "'", "\x83\x4A", "\x81\x5B", "\x82\xA9", "\x81\x54"},
                       5},
        // Case and width variants compare equal: ties keep the rows' order.
        TLargeSortCase{"FewNumbersInCaseAndWidthVariants",
                       {"a", "A", "\x82\x81", "\x82\x60", "1", "\x82\x50", "\xB1", "\x83\x41"},
                       2},
        // Kana that differ only by a voiced sound mark, which the fast prefix leaves to the
        // collator, in rows short enough for every other one's whole text to fit it.
        TLargeSortCase{"ShortNumbersDifferingInVoicedSoundMarks", {"\x82\xA9", "\x82\xAA"}, 1},
        // Longer than the fast prefix, alike up to their last characters.
        TLargeSortCase{"LongNumbersAlikeAtTheStart",
                       {"20240000000000000", "2024000000000000", "a", "A", "1"},
                       2}),
    TCaseName());

} // namespace
