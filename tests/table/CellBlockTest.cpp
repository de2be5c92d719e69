#include "table/clipboard/CellBlock.h"

#include "CellBlocks.h"
#include "RandomWork.h"
#include "TableRows.h"
#include "TestFiles.h"
#include "TestText.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "table/clipboard/TitledBlock.h"
#include "table/history/TableHistory.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

/// The rows of a block, each its cells.
TCells RowsOf(const TCellBlock& block) {
    TCells rows;
    for (int row = 0; row < block.RowCount(); ++row) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (int column = 0; column < block.ColumnCount(row); ++column) {
            cells.emplace_back(block.Cell(row, column));
        }
    }
    return rows;
}

struct TTextCase {
    std::string name;
    TCells rows;
    std::string text;
    friend void PrintTo(const TTextCase& value, std::ostream* out) { *out << value.name; }
};

// Written as spreadsheets write it; read back into the same rows.
class ClipboardText : public testing::TestWithParam<TTextCase> {};

TEST_P(ClipboardText, IsWrittenAsSpreadsheetsWriteIt) {
    EXPECT_EQ(Escaped(BlockClipboardText(BlockOf(GetParam().rows))), Escaped(GetParam().text));
}

TEST_P(ClipboardText, ReadsBackIntoTheSameCells) {
    EXPECT_EQ(RowsOf(ReadClipboardBlock(GetParam().text)), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClipboardText,
    testing::Values(
        TTextCase{"OneCell", {{"a"}}, "a\r\n"},
        TTextCase{"Rectangle", {{"a", "b"}, {"c", "d"}}, "a\tb\r\nc\td\r\n"},
        TTextCase{"EmptyCellsAndRows", {{"", "b", ""}, {"", "", ""}}, "\tb\t\r\n\t\t\r\n"},
        TTextCase{"Tab", {{"x\ty", "z"}}, "\"x\ty\"\tz\r\n"},
        TTextCase{"LineBreaks", {{"1\r\n2", "3\n4", "5\r6"}}, "\"1\r\n2\"\t\"3\n4\"\t\"5\r6\"\r\n"},
        TTextCase{"Quotes", {{"say \"hi\"", "\""}}, "\"say \"\"hi\"\"\"\t\"\"\"\"\r\n"},
        TTextCase{"DoubleByteWithBackslashTrail",
                  {{"\x83\x5c", "\x95\x5c\x8e\x52"}},
                  "\x83\x5c\t\x95\x5c\x8e\x52\r\n"},
        TTextCase{"CommaNeedsNoQuotes", {{"a,b", "<br>"}}, "a,b\t<br>\r\n"}),
    TCaseName());

struct TReadCase {
    std::string name;
    std::string text;
    TCells rows;
    friend void PrintTo(const TReadCase& value, std::ostream* out) { *out << value.name; }
};

// What other programs put on the clipboard, also what none of ours writes.
class ClipboardReading : public testing::TestWithParam<TReadCase> {};

TEST_P(ClipboardReading, GivesTheCells) {
    EXPECT_EQ(RowsOf(ReadClipboardBlock(GetParam().text)), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClipboardReading,
    testing::Values(TReadCase{"Empty", "", {}},
                    TReadCase{"NoFinalLineBreak", "a\tb\r\nc", {{"a", "b"}, {"c"}}},
                    TReadCase{"LineFeeds", "a\tb\nc\td\n", {{"a", "b"}, {"c", "d"}}},
                    TReadCase{"OneFinalLineBreakOnly", "a\r\n\r\n", {{"a"}, {""}}},
                    TReadCase{"QuoteInsideAPlainCell", "5\"\tx", {{"5\"", "x"}}},
                    TReadCase{"UnclosedQuoteReadAsItStands", "\"ab\tc", {{"\"ab", "c"}}},
                    TReadCase{"TextAfterTheClosingQuoteKept", "\"a\"b\tc", {{"ab", "c"}}},
                    TReadCase{"QuotedEmptyCell", "\"\"\tx", {{"", "x"}}}),
    TCaseName());

/// Clipboard text read a byte at a time, as ReadClipboardBlock's contract says: what its quick
/// way through plain runs must give.
TCells ReadByteByByte(std::string_view text) {
    TCells rows;
    if (text.empty()) {
        return rows;
    }
    rows.emplace_back();
    std::size_t at = 0;
    while (true) {
        std::string cell;
        if (at < text.size() && text[at] == '"') {
            std::string inner;
            std::size_t next = at + 1;
            for (; next < text.size(); ++next) {
                if (text[next] == '"' && text.substr(next + 1, 1) == "\"") {
                    inner += text[next++];
                } else if (text[next] == '"') {
                    break;
                } else {
                    inner += text[next];
                }
            }
            if (next < text.size()) {
                cell = inner;
                at = next + 1;
            }
        }
        while (at < text.size() && text[at] != '\t' && text[at] != '\r' && text[at] != '\n') {
            cell += text[at++];
        }
        rows.back().push_back(cell);
        if (at == text.size()) {
            break;
        }
        if (text[at] == '\t') {
            ++at;
            continue;
        }
        at += text.substr(at, 2) == "\r\n" ? std::size_t{2} : std::size_t{1};
        if (at == text.size()) {
            break;
        }
        rows.emplace_back();
    }
    return rows;
}

/// Clipboard text of long plain runs, so that the quick way meets every kind of byte at every
/// place of its sixteen-byte blocks.
std::string RandomClipboardText(TRandomWork& work) {
    static const std::vector<std::string> pieces{
        "\t",         "\t",       "\t",       "\r\n", "\n",  "\r", "\"", "\"\"", "\"a\tb\r\nc\"",
        "\"x\"\"y\"", "\x83\x5c", "\x8e\x52", " ",    "\xb1"};
    std::string text;
    for (int piece = work.Below(40); piece >= 0; --piece) {
        if (work.Chance(50)) {
            text += std::string(static_cast<std::size_t>(work.Below(24)),
                                static_cast<char>('a' + work.Below(26)));
        } else {
            text += pieces[static_cast<std::size_t>(work.Below(static_cast<int>(pieces.size())))];
        }
    }
    return text;
}

TEST(ClipboardReading, SplitsRandomTextAsReadByteByByte) {
    for (std::uint32_t seed = 1; seed <= 3000 && !HasFailure(); ++seed) {
        TRandomWork work(seed);
        const std::string text = RandomClipboardText(work);
        const TCellBlock block = ReadClipboardBlock(text);
        const TCells expected = ReadByteByByte(text);
        EXPECT_EQ(RowsOf(block), expected) << Escaped(text);
        std::size_t width = 0;
        for (const std::vector<std::string>& row : expected) {
            width = std::max(width, row.size());
        }
        EXPECT_EQ(static_cast<std::size_t>(block.Width()), width) << Escaped(text);
    }
}

struct TSeveralCase {
    std::string name;
    std::string text;
    bool several;
    friend void PrintTo(const TSeveralCase& value, std::ostream* out) { *out << value.name; }
};

class SeveralCells : public testing::TestWithParam<TSeveralCase> {};

TEST_P(SeveralCells, AreToldFromOne) {
    EXPECT_EQ(HoldsSeveralCells(GetParam().text), GetParam().several);
}

INSTANTIATE_TEST_SUITE_P(Cases, SeveralCells,
                         testing::Values(TSeveralCase{"Word", "abc", false},
                                         TSeveralCase{"FinalLineBreak", "abc\r\n", false},
                                         TSeveralCase{"QuotedLineBreak", "\"a\nb\"", false},
                                         TSeveralCase{"QuotedTab", "\"a\tb\"\n", false},
                                         TSeveralCase{"Tab", "a\tb", true},
                                         TSeveralCase{"TwoLines", "a\nb", true},
                                         TSeveralCase{"EmptyLineAfter", "a\n\n", true}),
                         TCaseName());

// Double-byte characters whose second byte is ASCII ("\x83\x5c" is ソ) convert whole.
TEST(ClipboardHtml, IsATableOfEscapedUtf8Cells) {
    const std::string html = BlockClipboardHtml(
        BlockOf({{"a<b>&\"", "\x8e\x52\x93\x63"}, {"1\r\n2", "\x83\x5c<\xb1x\x83\x5c"}}));
    EXPECT_NE(html.find("<table>\n<tr><td>a&lt;b&gt;&amp;&quot;</td><td>山田</td></tr>\n"
                        "<tr><td>1<br>2</td><td>ソ&lt;ｱxソ</td></tr>\n</table>"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("charset=\"utf-8\""), std::string::npos);
}

TEST(CellBlock, CopiesARangeGivenInAnyCornerOrder) {
    TAnswerTable table;
    table.SetCell(2, 3, "x");
    table.SetCell(3, 4, "y");
    EXPECT_EQ(RowsOf(CopyCellBlock(table, {3, 4, 2, 3})), (TCells{{"x", ""}, {"", "y"}}));
    EXPECT_EQ(RowsOf(CopyCellBlock(table, {5, 200, 4, 199})), (TCells{{"", ""}, {"", ""}}));
    EXPECT_EQ(BlockClipboardText(CopyCellBlock(table, {1, 3, 3, 5})), "\tx\t\r\n\t\ty\r\n\t\t\r\n");
}

// Copied with its titles, a range reads alone in a spreadsheet: the titles' row, each row's
// number and name, the key and points rows by their labels, Mark's mean and deviation as
// numbers.
TEST(CellBlock, CopiedWithTitlesCarriesTheHeadingsAndPlainStatistics) {
    TAnswerTable table = TableOfRows("||a|b|<1.5>/||1|1|<0.5>/1001|Ann|a|x|1");
    const std::vector<std::string> titles = {"Seq", "No", "Name", "Q1", "Q2", "Score"};
    for (std::size_t column = 0; column < titles.size(); ++column) {
        table.SetCell(static_cast<int>(column), 0, titles[column]);
    }
    table.SetCell(0, 1, "Key");
    table.SetCell(0, 2, "Points");
    EXPECT_EQ(RowsOf(CopyTitledBlock(table, {5, 3, 4, 1})), (TCells{{"No", "Name", "Q2", "Score"},
                                                                    {"Key", "", "b", "1.5"},
                                                                    {"Points", "", "1", "0.5"},
                                                                    {"1001", "Ann", "x", "1"}}));
    EXPECT_EQ(
        RowsOf(CopyTitledBlock(table, {2, 0, 3, 3})),
        (TCells{
            {"No", "Name", "Q1"}, {"Key", "", "a"}, {"Points", "", "1"}, {"1001", "Ann", "a"}}));
}

TEST(CellBlock, RefusesARangeTooLargeToCopy) {
    const TAnswerTable table;
    EXPECT_THROW(CopyCellBlock(table, {0, 0, 9'999'999, 9'999'999}), EPelloranError);
    EXPECT_THROW(CopyCellBlock(table, {0, 0, 9'999, 99'999}), EPelloranError);
    EXPECT_THROW(CopyCellBlock(table, {-1, 0, 2, 2}), EPelloranError);
}

/// Cells that travel through the clipboard: separators, quotes, line breaks, double-byte text
/// and what the code page could not hold.
TCells TravellingCells() {
    std::string unmapped;
    EXPECT_EQ(TCodePage::AppendEncoded(u"Zo\u00e9 \U0001F600", unmapped), 2U);
    return {{"a\tb", "\"q\"", "1\r\n2"},
            {"\x8e\x52\x93\x63\n\x91\xbe\x98\x59", unmapped, ""},
            {"", "x\ry", "\x83\x5c\""}};
}

// Copied from one place and pasted at another, the cells arrive as they were.
TEST(CellBlock, CopiedThenPastedElsewhereGivesTheSameCells) {
    TTableSession session;
    session.Start();
    TTableHistory history(session);
    const TCells cells = TravellingCells();
    history.PasteBlock(3, 5, BlockOf(cells));
    const std::string text = BlockClipboardText(CopyCellBlock(session.Table(), {3, 5, 5, 7}));
    history.PasteBlock(40, 150, ReadClipboardBlock(text));
    EXPECT_EQ(RowsOf(CopyCellBlock(session.Table(), {40, 150, 42, 152})), cells);
    EXPECT_EQ(session.Table().Cell(40, 150), "a\tb");
    EXPECT_EQ(BlockClipboardText(CopyCellBlock(session.Table(), {42, 152, 40, 150})), text);
}

struct TSpreadsheetCase {
    std::string name;
    std::string file;
    friend void PrintTo(const TSpreadsheetCase& value, std::ostream* out) { *out << value.name; }
};

/// The block both spreadsheet files hold (tests/data/clipboard/make_clipboard_cases.py), in
/// the code page.
TCells SpreadsheetBlock() {
    return {{"1001", "\x8e\x52\x93\x63 \x91\xbe\x98\x59", "a", "b"},
            {"1002", "Smith, \"J\"", "", "c\td"},
            {"1003", "\x8d\xb2\x93\xa1\n(2\x91\x67)", "5", ""}};
}

class SpreadsheetClipboard : public testing::TestWithParam<TSpreadsheetCase> {};

TEST_P(SpreadsheetClipboard, GivesTheCellsTheSpreadsheetHeld) {
    const std::string text = ReadTestFile(std::filesystem::path(PELLORAN_TEST_DATA_FOLDER) /
                                          "clipboard" / GetParam().file);
    EXPECT_TRUE(HoldsSeveralCells(text));
    EXPECT_EQ(RowsOf(ReadClipboardBlock(text)), SpreadsheetBlock());
}

INSTANTIATE_TEST_SUITE_P(
    Files, SpreadsheetClipboard,
    testing::Values(TSpreadsheetCase{"LibreOfficeCalc", "libreoffice-calc.txt"},
                    TSpreadsheetCase{"PythonCsvExcelTab", "python-excel-tab.txt"}),
    TCaseName());

} // namespace
