#include "table/file/AnswerFile.h"

#include "FakeTableView.h"
#include "RandomWork.h"
#include "TestFiles.h"
#include "TestText.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "table/file/CellField.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {
using TRows = std::vector<std::vector<std::string>>;

/// Writes `rows[r][c]` into cell (c + 1, r + 1), where field c of line r + 1 of a file lands.
void FillRows(TAnswerTable& table, const TRows& rows) {
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t field = 0; field < rows[row].size(); ++field) {
            table.SetCell(static_cast<int>(field) + 1, static_cast<int>(row) + 1, rows[row][field]);
        }
    }
}

struct TTableTextCase {
    const char* name;
    TRows rows;
    std::string text;
    friend void PrintTo(const TTableTextCase& c, std::ostream* os) { *os << c.name; }
};

class TableText : public testing::TestWithParam<TTableTextCase> {};

TEST_P(TableText, IsTheAnswerFileForm) {
    TAnswerTable table;
    table.Reset();
    FillRows(table, GetParam().rows);
    EXPECT_EQ(GetTableText(table), GetParam().text) << "got " << Escaped(GetTableText(table));
}

const TTableTextCase TableTextCases[] = {
    {"EmptyTest", {}, ",,,\r\n,,,\r\n"},
    {"NamesWrittenWithoutKey", {{"No", "Name"}}, "No,Name,,\r\n,,,\r\n"},
    {"WidthEndsAtFirstEmptyKey",
     {{"", "", "a", "b", "", "x"}, {"", "", "1", "1", "9"}, {"1", "Ann", "a", "c", "z", "q"}},
     ",,a,b,,\r\n,,1,1,9,\r\n1,Ann,a,c,z,\r\n"},
    {"ResultMarkerDoesNotStopWidth",
     {{"", "", "a", "<1.5>", "Mean"}, {"", "", "2", ".7", "SD"}, {"7", "Bo", "a", "2"}},
     ",,a,<1.5>,Mean,,\r\n,,2,.7,SD,,\r\n7,Bo,a,2,,,\r\n"},
    {"RowsEndAtFirstEmptyNumber",
     {{"", "", "a"}, {}, {"1", "", "a"}, {" ", "", "b"}, {"", "Cy", "c"}, {"4", "", "d"}},
     ",,a,,\r\n,,,,\r\n1,,a,,\r\n\" \",,b,,\r\n"},
    {"NoStudentRowWithoutFirstNumber", {{}, {}, {"", "Ann"}, {"2", "Bo"}}, ",,,\r\n,,,\r\n"},
    {"CellsThatReadBackAsThemselves",
     {{"x\"y", "\x83\x5c\x95\x5c", "\x81\x40", "\x81,"}},
     "x\"y,\x83\x5c\x95\x5c,\x81\x40,\x81,,,\r\n,,,,,\r\n"},
    {"QuotedCells",
     {{"a b", "a,b", "\"q\"", "\t"}, {"l1\r\nl2", "a\rb\nc", "a\n\rb", "n\0ul"s}},
     "\"a b\",\"a,b\",\"\"\"q\"\"\",\"\t\",,\r\n\"l1\r\nl2\",\"a\rb\nc\",\"a\n\rb\",\"n "
     "ul\",,\r\n"},
};
INSTANTIATE_TEST_SUITE_P(AnswerFile, TableText, testing::ValuesIn(TableTextCases), TCaseName());

// Cells of every length around a word, of bytes that need quotes, a closer look or nothing,
// at every place in rows of every length (rows of plain bytes only among them), typed in or
// loaded from a file: each is written as CellFieldText gives it.
TEST(TableText, EveryCellIsWrittenAsItsFieldInRandomRows) {
    const std::string awkwardBytes = "a,- \"\t\r\n\x81\x40\x83\x5c+~0"s + '\0';
    const std::string plainBytes = "a-+~0";
    std::mt19937 random(7);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int round = 0; round < 600; ++round) {
        TAnswerTable table;
        const int width = pick(3, 14);
        for (int column = 1; column <= width; ++column) {
            table.SetCell(column, TAnswerTable::AnswerKeyRow, "k");
        }
        const int rows = pick(3, 8);
        for (int row = TAnswerTable::PointsRow; row <= rows; ++row) {
            table.SetCell(TAnswerTable::NumberColumn, row, "n");
            const std::string& alphabet = pick(0, 1) == 0 ? plainBytes : awkwardBytes;
            const int lastColumn = pick(2, width + 1);
            for (int column = 2; column <= lastColumn; ++column) {
                std::string cell(static_cast<std::size_t>(pick(0, 11)), 'a');
                for (char& byte : cell) {
                    byte = alphabet[static_cast<std::size_t>(
                        pick(0, static_cast<int>(alphabet.size()) - 1))];
                }
                table.SetCell(column, row, cell);
            }
        }
        std::string expected;
        for (int row = TAnswerTable::AnswerKeyRow; row <= rows; ++row) {
            for (int column = 1; column <= width + 1; ++column) {
                expected += CellFieldText(table.Cell(column, row)) + ",";
            }
            expected += "\r\n";
        }
        const std::string text = GetTableText(table);
        ASSERT_EQ(Escaped(text), Escaped(expected)) << "round " << round;
        // Loaded rows sit one after the other in shared storage.
        TAnswerTable loaded;
        LoadAnswerText(loaded, text);
        ASSERT_EQ(Escaped(GetTableText(loaded)), Escaped(text)) << "round " << round;
    }
}

struct TLoadedTextCase {
    const char* name;
    std::string bytes;
    std::string loadedText;
    /// Where a NUL ended the text; 0 for none.
    int nulLine = 0;
    friend void PrintTo(const TLoadedTextCase& c, std::ostream* os) { *os << c.name; }
};

class LoadedText : public testing::TestWithParam<TLoadedTextCase> {};

TEST_P(LoadedText, IsTheFileInCrLfForm) {
    TAnswerTable table;
    const TLoadedFile loaded = LoadAnswerText(table, GetParam().bytes);
    EXPECT_EQ(loaded.text, GetParam().loadedText) << "file " << Escaped(GetParam().bytes);
    EXPECT_EQ(loaded.notices.nulLine, GetParam().nulLine);
    EXPECT_EQ(table.Cell(1, 1), "k");
}

const TLoadedTextCase LoadedTextCases[] = {
    {"CrLf", "k,\r\n1,\r\n", "k,\r\n1,\r\n"},
    {"Lf", "k,\n1,\n", "k,\r\n1,\r\n"},
    {"Cr", "k,\r1,\r", "k,\r\n1,\r\n"},
    {"NoFinalBreak", "k,\r\n1,", "k,\r\n1,\r\n"},
    {"EmptyLinesKept", "k\n\n\n1", "k\r\n\r\n\r\n1\r\n"},
    {"CutAtNul", "k,\r\n1,\0junk\r\n3,Cy\r\n"s, "k,\r\n1,\r\n", 2},
    {"CrLfThenNul", "k,\r\n\0"s, "k,\r\n", 2},
    {"LfThenNul", "k,\n\0"s, "k,\r\n", 2},
    {"CrAndLfThenNuls", "k\r1\n\0\0"s, "k\r\n1\r\n", 3},
    {"NulInAQuotedLineBreakRecord", "k,\"a\nb\",\r\n1,\"c\nd\0\"\r\n"s,
     "k,\"a\nb\",\r\n1,\"c\r\nd\r\n", 3},
    {"RecordsKeepTheirInnerLineBreaks", "k,\"a\nb\",\n1,\"c\r\nd\re\"\r",
     "k,\"a\nb\",\r\n1,\"c\r\nd\re\"\r\n"},
    {"RecordsInCrLfForm", "k,\"a\r\nb\",\r\n1,\"\n\",\r\n", "k,\"a\r\nb\",\r\n1,\"\n\",\r\n"},
    {"UnclosedQuoteEndsWithItsLine", "k,\"a\n1,b\r\n", "k,\"a\r\n1,b\r\n"},
};
INSTANTIATE_TEST_SUITE_P(AnswerFile, LoadedText, testing::ValuesIn(LoadedTextCases), TCaseName());

TEST(LoadAnswerText, WritesFieldsIntoTheirCells) {
    TAnswerTable table;
    table.SetMessage(TMessage::AnswerKeyLabel, "Key");
    table.SetCell(2, 2, "gone with the class");
    table.SetCell(6, 3, "gone with the class");
    table.SetCell(1, 4, "gone with the class");
    const std::string text = LoadAnswerText(table, "\xef\xbb\xbfk,,x,\r\n\r\n1,Ann,a b,c,").text;
    EXPECT_EQ(text, "\xef\xbb\xbfk,,x,\r\n\r\n1,Ann,a b,c,\r\n");
    EXPECT_EQ(table.Cell(1, 1), "\xef\xbb\xbfk") << "a byte-order mark is part of the first cell";
    EXPECT_EQ(table.Cell(3, 1), "x");
    EXPECT_EQ(table.Cell(0, 1), "Key") << "a file with students starts from an empty test";
    const std::vector<std::string> row3{"1", "Ann", "a b", "c", "", ""};
    for (std::size_t field = 0; field < row3.size(); ++field) {
        EXPECT_EQ(table.Cell(static_cast<int>(field) + 1, 3), row3[field]) << "field " << field;
    }
    EXPECT_EQ(table.Cell(2, 2), "");
    EXPECT_EQ(table.Cell(1, 4), "");
    EXPECT_EQ(table.QuestionCount(), 50) << "no result marker";
}

// As spreadsheets write a cell typed with a line break in it: one student, no more.
TEST(LoadAnswerText, CellHoldingALineBreakIsOneCellOfItsRow) {
    TAnswerTable table;
    table.Reset();
    const std::string text = ",,a,,\r\n,,1,,\r\n1,\"Tanaka\nTaro\",a,,\r\n2,Sato,b,,\r\n";
    EXPECT_EQ(LoadAnswerText(table, text).text, text);
    EXPECT_EQ(table.Cell(2, 3), "Tanaka\nTaro");
    EXPECT_EQ(table.Cell(3, 3), "a");
    EXPECT_EQ(table.Cell(1, 4), "2");
    EXPECT_EQ(table.Cell(2, 4), "Sato");
    EXPECT_EQ(table.Cell(1, 5), "");
    EXPECT_EQ(GetTableText(table), text);
}

// A key file opened after a pasted roster: the roster and what was typed beside it stay.
TEST(LoadAnswerText, AFileOfTheKeyAndPointsOnlyIsWrittenOverTheTable) {
    TAnswerTable table;
    table.SetCell(2, 2, "kept: empty line");
    table.SetCell(5, 1, "emptied by the final comma");
    table.SetCell(6, 1, "kept: right of the fields");
    table.SetCell(1, 3, "kept: below the file");
    LoadAnswerText(table, "k,,x,y,\r\n\r\n");
    EXPECT_EQ(table.Cell(4, 1), "y");
    EXPECT_EQ(table.Cell(5, 1), "");
    EXPECT_EQ(table.Cell(6, 1), "kept: right of the fields");
    EXPECT_EQ(table.Cell(2, 2), "kept: empty line");
    EXPECT_EQ(table.Cell(1, 3), "kept: below the file");
}

TEST(LoadAnswerText, ResultMarkersOfTheFirstLineSetTheQuestionCount) {
    TAnswerTable table;
    table.SetHighlightColor(clSilver);
    TFakeTableView view(table);
    LoadAnswerText(table, "a,b,<1>,d,<2.5>,x<3,<>,<y>\r\n<,<,<,<,<,<,<,<,<\r\n");
    EXPECT_EQ(table.QuestionCount(), 4)
        << "k = 7 is the last marker of line 1; k = 3 counts not, nor keys holding \"<\"";
    EXPECT_EQ(table.HighlightColor(), clWhite);
    EXPECT_EQ(table.ColumnWidth(6), 70);
    EXPECT_EQ(table.ColumnWidth(8), 70);
    using V = TFakeTableView;
    const std::vector<std::string> marker{V::Cell(5, 1), V::Process(clWhite), V::Width(6, 70),
                                          V::Process(clWhite), V::Cell(6, 1)};
    EXPECT_NE(std::search(view.log.begin(), view.log.end(), marker.begin(), marker.end()),
              view.log.end())
        << "the marker in cell (5, 1): " << Escaped(view.log);
    EXPECT_EQ(std::count_if(view.log.begin(), view.log.end(),
                            [](const std::string& event) { return event.starts_with("width"); }),
              2)
        << "markers below line 1 count not";
}

struct TRoundTripCase {
    const char* name;
    TRows rows;
    friend void PrintTo(const TRoundTripCase& c, std::ostream* os) { *os << c.name; }
};

class SaveAndLoad : public testing::TestWithParam<TRoundTripCase> {};

// Saved, then loaded into an empty test: the same text and the same cells.
TEST_P(SaveAndLoad, GivesBackWhatWasSaved) {
    TAnswerTable saved;
    saved.Reset();
    FillRows(saved, GetParam().rows);
    const std::string text = GetTableText(saved);
    TTemporaryFolder folder;
    WriteFileBytesAtomic(folder / "test.csv", text);

    TAnswerTable loaded;
    loaded.Reset();
    const std::string loadedText = LoadAnswerFile(loaded, folder / "test.csv").text;
    EXPECT_EQ(loadedText, text);
    EXPECT_EQ(GetTableText(loaded), text) << "saved " << Escaped(text);
    for (int row = 1; row <= static_cast<int>(GetParam().rows.size()); ++row) {
        for (int column = 1; column <= WrittenWidth(saved); ++column) {
            EXPECT_EQ(loaded.Cell(column, row), saved.Cell(column, row))
                << "cell (" << column << ", " << row << ") saved as " << Escaped(text);
        }
    }
}

const TRoundTripCase RoundTripCases[] = {
    {"PlainTest",
     {{"", "", "a", "b", "<1.5>", "Mean"},
      {"", "", "1", "2", ".7", "SD"},
      {"1", "Ann", "a", "b", "3"},
      {"2", "Bo", "", "x"}}},
    {"AwkwardCells",
     {{"", "", "k", "k"},
      {"", "", "1", "1"},
      {"1", "a b", "a,b", "\"q\"", "\t"},
      {"2", " ", "x\"y", "\"", " lead trail "},
      {"3", "\"a\"\"\"", ",", "a\x01z", "\x7f"},
      {"\"4", "", "\"\"", "\"unclosed", "tab\there"}}},
    {"LineBreaksStayInTheirCells",
     {{"", "", "k", "k\nkey"},
      {},
      {"1", "Tanaka\r\nTaro", "a\nb", "\n\r"},
      {"2", "\"\r\n\"", "a\rb\nc", "\r\n"},
      {"3", "\x93\x63\r\n\x91\xbe", "\x82\r\n", "\r\"\"\n"},
      {"4", "\x83\rX", "\x83\nX", "\x83\r"}}},
    {"DoubleByteTexts",
     {{"", "", "\x83\x5c", "\x95\x5c"},
      {},
      {"1", "\x83\x5c\x95\x5c", "\x83\x5c \x95\x5c", "\x81\x40\x83\x5c\x81\x40"},
      {"2", "\x81,", "\x81 x", "\"\x95\x5c\""},
      {"3", "\xb1\xdf", "\x80\xa0\xfd", "\x83\x5c,\x95\x5c"}}},
};
INSTANTIATE_TEST_SUITE_P(AnswerFile, SaveAndLoad, testing::ValuesIn(RoundTripCases), TCaseName());

// A cell can end in a lone lead byte (a file line that ended there put it in). Saving may
// write that byte as a substitute, but it must not take the comma after it.
TEST(AnswerFile, CellEndingInLoneLeadByteStaysOneCell) {
    TAnswerTable table;
    LoadAnswerText(table, "k,\r\n1,ab\x81\r\n");
    ASSERT_EQ(table.Cell(2, 2), "ab\x81"s);
    const std::string text = GetTableText(table);
    TAnswerTable loaded;
    LoadAnswerText(loaded, text);
    EXPECT_EQ(loaded.Cell(2, 2).substr(0, 2), "ab") << "saved as " << Escaped(text);
    EXPECT_EQ(loaded.Cell(2, 2).size(), 3U) << "saved as " << Escaped(text);
    EXPECT_EQ(GetTableText(loaded), text) << "saved as " << Escaped(text);
}

// The first student's first answer decided whether the table was reset: students of a
// pasted roster were then marked and saved with the file's class.
TEST(LoadAnswerFile, AFileWithStudentsReplacesTheWholeTableWhateverItHolds) {
    TTemporaryFolder folder;
    WriteTestFile(folder / "a.csv", "k,,x,\r\n,,1,\r\n1,Ann,a,\r\n");
    for (const std::string firstAnswer : {"", " "}) {
        SCOPED_TRACE("cell (3, 3) was " + Escaped(firstAnswer));
        TAnswerTable table;
        table.SetMessage(TMessage::NumberTitle, "No");
        table.SetCell(3, 3, firstAnswer);
        table.SetCell(5, 3, "right");
        table.SetCell(1, 4, "below");
        table.SetEnabled(TCommand::mmSortWithPoint, true);
        table.SetQuestionCount(9);
        EXPECT_EQ(LoadAnswerFile(table, folder / "a.csv").text, "k,,x,\r\n,,1,\r\n1,Ann,a,\r\n");
        EXPECT_EQ(table.Cell(1, 0), "No");
        EXPECT_EQ(table.Cell(5, 3), "");
        EXPECT_EQ(table.Cell(1, 4), "");
        EXPECT_EQ(table.Cell(3, 3), "a");
        EXPECT_FALSE(table.IsEnabled(TCommand::mmSortWithPoint));
        EXPECT_TRUE(table.IsEnabled(TCommand::mmMark));
        EXPECT_TRUE(table.IsEnabled(TCommand::mmSortWithNumber));
        EXPECT_EQ(table.QuestionCount(), TAnswerTable::InitialQuestionCount)
            << "nothing of the class before stays, not even how its columns are drawn";
        EXPECT_EQ(table.ColumnWidths(), (std::map<int, int>{{1, 60}, {2, 80}}));
    }
}

TEST(LoadAnswerFile, FailureStillEnablesTheCommands) {
    TTemporaryFolder folder;
    for (const std::filesystem::path& fileName : {folder / "missing.csv", folder.Path()}) {
        SCOPED_TRACE(fileName.string());
        TAnswerTable table;
        table.SetCell(3, 3, "a");
        try {
            LoadAnswerFile(table, fileName);
            ADD_FAILURE() << "no failure raised";
        } catch (const EFileOpenError& error) {
            EXPECT_EQ(std::string(error.what()), "ファイル " + fileName.string() + " は開けません");
        }
        EXPECT_EQ(table.Cell(3, 3), "a") << "a file that cannot be read changes no cell";
        EXPECT_TRUE(table.IsEnabled(TCommand::mmMark));
        EXPECT_TRUE(table.IsEnabled(TCommand::mmSortWithNumber));
    }
}

/// An answer file of `students` students, each with an answer and a score, as it is saved.
std::string ClassFileText(int students) {
    std::string text = ",,a,<9>,,\r\n,,1,0,,\r\n";
    for (int student = 1; student <= students; ++student) {
        const std::string number = std::to_string(2000 + student);
        text += number + ",Name" + number + ",a,1,,\r\n";
    }
    return text;
}

// Students 151 to 200 of the old class must not reappear under the new one, on screen or
// in its file.
TEST(SaveTableFile, SmallerClassOpenedOverALargerOneSavesOnlyItsOwnStudents) {
    TTemporaryFolder folder;
    WriteTestFile(folder / "large.csv", ClassFileText(200));
    WriteTestFile(folder / "small.csv", ClassFileText(150));
    TAnswerTable table;
    table.Reset();
    LoadAnswerFile(table, folder / "large.csv");
    const std::string smallText = LoadAnswerFile(table, folder / "small.csv").text;
    SaveTableFile(table, folder / "saved.csv");
    EXPECT_EQ(ReadTestFile(folder / "saved.csv"), smallText);
    EXPECT_EQ(table.Cell(1, 152), "2150");
    EXPECT_EQ(table.Cell(1, 153), "");
    EXPECT_EQ(table.Cell(2, 202), "");
}

// The rows of a file share storage that the next file's load frees: a copy taken before
// keeps its cells.
TEST(LoadAnswerText, ACopyOutlivesTheStorageOfItsFile) {
    std::string wide = "k,k,a\r\n,,1\r\n";
    for (int student = 1; student <= 40; ++student) {
        wide += std::to_string(5000 + student) + ",N," + std::string(50, ',') + "s" +
                std::to_string(student) + ",t,u\r\n";
    }
    TAnswerTable table;
    table.Reset();
    LoadAnswerText(table, wide);
    table.SetCell(53, 10, "edited, longer than its place");
    const TAnswerTable copy = table;
    LoadAnswerText(table, ClassFileText(5));
    table.Reset();
    LoadAnswerText(table, ClassFileText(3));
    EXPECT_EQ(copy.Cell(53, 10), "edited, longer than its place");
    EXPECT_EQ(copy.Cell(53, 42), "s40");
    EXPECT_EQ(copy.Cell(55, 30), "u");
    EXPECT_EQ(table.Cell(53, 42), "");
    EXPECT_EQ(table.Cell(1, 5), "2003");
    EXPECT_EQ(table.Cell(1, 6), "");
}

struct TPiecesCase {
    std::string name;
    /// Builds the text when the case runs, not when the tests are listed.
    std::function<std::string()> text;
    friend void PrintTo(const TPiecesCase& c, std::ostream* os) { *os << c.name; }
};

/// Pieces as small as this test every boundary as a megabyte's do, without building texts of
/// megabytes for every test process; larger than the start that the encoding is judged by.
constexpr std::size_t LoadPieceSize = 8192;
static_assert(LoadPieceSize < AnswerFilePieceSize);

/// A Shift-JIS class of over a piece, its lines ended by `lines`, whose line at the first
/// piece's end has its text end `offset` bytes from that end and is followed by `lineBreak`,
/// then `tail`.
std::string TextAcrossPieceEnd(std::ptrdiff_t offset, std::string_view lineBreak,
                               std::string_view tail, std::string_view lines = "\r\n") {
    std::string text = ",,a,b";
    text += lines;
    text += ",,1,2";
    text += lines;
    text += "1,\x95\x5c\x81\x40\x89\xd4,a,B";
    while (text.size() + 200 < LoadPieceSize) {
        text += lines;
        text += std::to_string(text.size()) + ",Name,a,c";
    }
    text += lines;
    const auto lineEnd =
        static_cast<std::size_t>(static_cast<std::ptrdiff_t>(LoadPieceSize) + offset);
    text += "9,";
    text.append(lineEnd - text.size(), 'x');
    text += lineBreak;
    text += "10,Last,b,a\r\n11,Later,a";
    text += tail;
    return text;
}

std::vector<TPiecesCase> PiecesCases() {
    std::vector<TPiecesCase> cases;
    const std::pair<const char*, std::string_view> breaks[] = {
        {"CrLf", "\r\n"}, {"Cr", "\r"}, {"Lf", "\n"}, {"LfCr", "\n\r"}, {"CrCrLf", "\r\r\n"}};
    for (std::ptrdiff_t offset = -2; offset <= 2; ++offset) {
        for (const auto& [name, lineBreak] : breaks) {
            cases.push_back({std::string(name) + "At" + std::to_string(offset + 2),
                             [offset, breakBytes = lineBreak] {
                                 return TextAcrossPieceEnd(offset, breakBytes, "\r\n");
                             }});
        }
    }
    cases.push_back({"CrLinesWithCrLfAcrossThePieceEnd",
                     [] { return TextAcrossPieceEnd(-1, "\r\n", "", "\r"); }});
    cases.push_back({"LfLinesWithCrLfAcrossThePieceEnd",
                     [] { return TextAcrossPieceEnd(-1, "\r\n", "", "\n"); }});
    cases.push_back({"NulAfterThePieceEnd",
                     [] { return TextAcrossPieceEnd(0, "\r\n", "\r\n12,\0Gone\r\n"s); }});
    cases.push_back({"NulBeforeThePieceEnd", [] { return TextAcrossPieceEnd(-1, "\0"s, "\r\n"); }});
    cases.push_back({"NoFinalBreak", [] { return TextAcrossPieceEnd(1, "\n", ""); }});
    cases.push_back(
        {"OnlyAsciiReadWhole", [] { return std::string(LoadPieceSize, ',') + "\r\n1,a\r\n"; }});
    cases.push_back(
        {"Utf8ReadWhole", [] { return TextAcrossPieceEnd(0, "\r\n", "\r\n13,\xe8\xa1\xa8\r\n"); }});
    cases.push_back({"Utf8AfterAsciiReadWhole", [] {
                         return std::string(LoadPieceSize + 5, 'a') +
                                "\r\n1,\xe8\xa1\xa8\xef\xbb\xbf\r\n";
                     }});
    cases.push_back(
        {"Utf8MarkAtTheStart", [] { return "\xef\xbb\xbf,,a\r\n,,1\r\n1,\xe8\xa1\xa8,a\r\n"s; }});
    return cases;
}

class LoadInPieces : public testing::TestWithParam<TPiecesCase> {};

// Loading a file without keeping its text reads it a piece at a time: every cell must be what
// loading the whole text gives, whatever falls on a piece's end.
TEST_P(LoadInPieces, GivesTheTableOfTheWholeText) {
    TTemporaryFolder folder;
    WriteTestFile(folder / "class.csv", GetParam().text());
    TAnswerTable whole;
    whole.Reset();
    const TLoadedFile wholeText = LoadAnswerFile(whole, folder / "class.csv");
    TAnswerTable inPieces;
    inPieces.Reset();
    const TLoadedFile dropped =
        LoadAnswerFile(inPieces, folder / "class.csv", TLoadedText::Dropped, LoadPieceSize);
    EXPECT_EQ(dropped.text, "");
    EXPECT_EQ(dropped.notices.replacedCount, wholeText.notices.replacedCount);
    EXPECT_EQ(dropped.notices.nulLine, wholeText.notices.nulLine);
    EXPECT_EQ(inPieces.QuestionCount(), whole.QuestionCount());
    ASSERT_EQ(CellsOf(inPieces), CellsOf(whole));
}
INSTANTIATE_TEST_SUITE_P(AnswerFile, LoadInPieces, testing::ValuesIn(PiecesCases()), TCaseName());

/// Texts whose records cross the ends of small pieces: quoted line breaks, doubled quotes and
/// double-byte characters on every byte of a piece's end. Each starts with Shift-JIS that tells
/// its first piece of four bytes or more from UTF-8, so that it is read in pieces.
const std::pair<const char*, std::string> SmallPiecesTexts[] = {
    {"QuotedLineBreaks",
     "\x82\xa0\x82\xa0,,a,b,\r\n,,1,1,\r\n1,\"Tanaka\r\nTaro\",a,\"b\"\"\r\n\",\r\n"
     "2,\"x\ry\",\"\x93\x63\r\n\x92\x86\",b\n3,\"\"\"\",\"\n\",\r\r\n4,Sato,a,b,\r\n"},
    {"TabsAndBlanks",
     "\x82\xa0\t\t\"a\nb\"\tc\r\n1\t \"x\r\ny\"\t\"\"\r1001 \"Kato\n Jun\"\n\n5,z"},
    {"UnclosedAtTheEnd", "\x82\xa0\x82\xa0,,a,\r\n,,1,\r\n1,\"Tanaka\r\n2,Sato,b,\r\n3,Kato\r"},
    {"NulInsideAQuotedField", "\x82\xa0\x82\xa0,,a,\r\n,,1,\r\n1,\"a\r\nb\0c\",d\r\n2,e\r\n"s},
};

// Every piece size from four bytes on puts a piece's end at every place of these texts.
TEST(LoadAnswerFile, RecordsAcrossTheEndsOfSmallPiecesLoadAsFromTheWholeText) {
    TTemporaryFolder folder;
    for (const auto& [name, text] : SmallPiecesTexts) {
        SCOPED_TRACE(name);
        WriteTestFile(folder / "class.csv", text);
        TAnswerTable whole;
        whole.Reset();
        const int nulLine = LoadAnswerFile(whole, folder / "class.csv").notices.nulLine;
        for (std::size_t pieceSize = 4; pieceSize <= text.size() + 1; ++pieceSize) {
            TAnswerTable inPieces;
            inPieces.Reset();
            const int nulLineInPieces =
                LoadAnswerFile(inPieces, folder / "class.csv", TLoadedText::Dropped, pieceSize)
                    .notices.nulLine;
            ASSERT_EQ(CellsOf(inPieces), CellsOf(whole)) << "pieces of " << pieceSize;
            ASSERT_EQ(nulLineInPieces, nulLine) << "pieces of " << pieceSize;
        }
    }
}

TEST(SaveTableFile, ReplacesTheFileOrReportsIt) {
    TTemporaryFolder folder;
    TAnswerTable table;
    table.Reset();
    LoadAnswerText(table, ClassFileText(3));
    WriteTestFile(folder / "old.csv", "old text, longer than nothing");
    SaveTableFile(table, folder / "old.csv");
    EXPECT_EQ(ReadTestFile(folder / "old.csv"), GetTableText(table));

    const std::filesystem::path missing = folder / "missing" / "a.csv";
    try {
        SaveTableFile(table, missing);
        ADD_FAILURE() << "no failure raised";
    } catch (const EFileCreateError& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + missing.string() + " を作成できません");
    }
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{"old.csv"});
}

} // namespace
