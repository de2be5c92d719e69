#include "table/roster/RosterPaste.h"

#include "TestText.h"
#include "platform/Errors.h"
#include "platform/ProfileFile.h"
#include "table/session/Messages.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

/// 山田　太郎 in code page 932, a full-width blank between family and given name.
const std::string KanjiNameWithFullWidthBlank = "\x8eR\x93"
                                                "c\x81\x40\x91\xbe\x98Y";

using TNumberAndName = std::pair<std::string, std::string>;

const std::vector<TNumberAndName> OldRoster = {
    {"old1", "One"}, {"old2", "Two"}, {"old3", "Three"}, {"old4", "Four"}};

struct TPasteCase {
    const char* name;
    std::string text;
    /// Number and name of rows 3 to 6 afterwards; they held OldRoster before. A paste that
    /// stops writes nothing.
    std::vector<TNumberAndName> roster;
    /// The line, counted from 1, at which the paste stops; 0 when it does not.
    int stoppedAt;
    /// The line where a NUL ends the text; 0 for none.
    int nulLine = 0;

    friend void PrintTo(const TPasteCase& c, std::ostream* os) { *os << c.name; }
};

class RosterPaste : public testing::TestWithParam<TPasteCase> {};

TEST_P(RosterPaste, WritesNumbersAndNamesOnly) {
    const TPasteCase& c = GetParam();
    TAnswerTable table;
    table.SetCell(1, 0, "No");
    table.SetEnabled(TCommand::mmSortWithPoint, true);
    for (std::size_t i = 0; i < OldRoster.size(); ++i) {
        const int row = 3 + static_cast<int>(i);
        table.SetCell(0, row, std::to_string(i + 1));
        table.SetCell(1, row, OldRoster[i].first);
        table.SetCell(2, row, OldRoster[i].second);
        table.SetCell(3, row, "answer");
    }

    int stoppedAt = 0;
    int nulLine = 0;
    try {
        nulLine = PasteRoster(table, c.text);
    } catch (const ERosterPasteError& error) {
        stoppedAt = error.LineNumber();
    }

    EXPECT_EQ(stoppedAt, c.stoppedAt);
    EXPECT_EQ(nulLine, c.nulLine);
    std::vector<TNumberAndName> roster;
    for (int row = 3; row <= 6; ++row) {
        roster.emplace_back(table.Cell(1, row), table.Cell(2, row));
        EXPECT_EQ(table.Cell(0, row), std::to_string(row - 2));
        EXPECT_EQ(table.Cell(3, row), "answer");
        EXPECT_EQ(table.StoredColumnCount(row), 4);
    }
    EXPECT_EQ(roster, c.roster);
    EXPECT_EQ(table.StoredRowCount(), 7);
    EXPECT_EQ(table.Cell(1, 0), "No");
    EXPECT_TRUE(table.IsEnabled(TCommand::mmMark));
    EXPECT_TRUE(table.IsEnabled(TCommand::mmSortWithNumber));
    EXPECT_TRUE(table.IsEnabled(TCommand::mmSortWithPoint));
}

/// OldRoster with its first rows replaced by `pasted`.
std::vector<TNumberAndName> Over(const std::vector<TNumberAndName>& pasted) {
    std::vector<TNumberAndName> roster = OldRoster;
    std::copy(pasted.begin(), pasted.end(), roster.begin());
    return roster;
}

INSTANTIATE_TEST_SUITE_P(
    RosterPaste, RosterPaste,
    testing::Values(
        TPasteCase{"TwoLinesOverALongerRoster", "1001,Sato\r\n1002,Suzuki",
                   Over({{"1001", "Sato"}, {"1002", "Suzuki"}}), 0},
        TPasteCase{"FinalLineBreakAddsNoLine", "1001,Sato\r\n", Over({{"1001", "Sato"}}), 0},
        TPasteCase{"LoneLfAndCrEndLines", "1001,Sato\n1002,Suzuki\r1003,Kato\n",
                   Over({{"1001", "Sato"}, {"1002", "Suzuki"}, {"1003", "Kato"}}), 0},
        TPasteCase{"EmptyLineStopsBeforeAnyLine", "1001,Sato\r\n\r\n1003,Kato\r\n", OldRoster, 2},
        TPasteCase{"LineOfBlanksStops", "1001,Sato\r\n \x0b \r\n1003,Kato", OldRoster, 2},
        TPasteCase{"LineOfATabIsAnEmptyNumberAndName", "1001,Sato\r\n\t\r\n1003,Kato",
                   Over({{"1001", "Sato"}, {"", ""}, {"1003", "Kato"}}), 0},
        TPasteCase{"NumberWithoutNameStopsBeforeAnyLine", "1001,Sato\r\n1002\r\n1003,Kato",
                   OldRoster, 2},
        TPasteCase{"FirstLineEmpty", "\r\n1002,Suzuki", OldRoster, 1},
        TPasteCase{"BlankInsideTheNameKept", "1001,Yamada Taro \r\n1002\tSuzuki Hanako\r\n",
                   Over({{"1001", "Yamada Taro"}, {"1002", "Suzuki Hanako"}}), 0},
        TPasteCase{"TypedWithABlankBetweenNumberAndName", "1001 Sato\r\n 1002  Suzuki Hanako\r\n",
                   Over({{"1001", "Sato"}, {"1002", "Suzuki"}}), 0},
        TPasteCase{"FullWidthBlankDoesNotSplit", "1001," + KanjiNameWithFullWidthBlank + "\r\n",
                   Over({{"1001", KanjiNameWithFullWidthBlank}}), 0},
        TPasteCase{"EmptyTextWritesNothing", "", OldRoster, 0},
        TPasteCase{"QuotedFieldsKeepCommaAndBlank", "\"1001\",\"Sato, Hanako B\"",
                   Over({{"1001", "Sato, Hanako B"}}), 0},
        TPasteCase{"CommaInATabSeparatedNameKept", "1001\tSmith, John\t3-A\r\n",
                   Over({{"1001", "Smith, John"}}), 0},
        TPasteCase{"TabSeparatedFromASpreadsheet", "1001\tSato\r\n1002\tSuzuki\r\n",
                   Over({{"1001", "Sato"}, {"1002", "Suzuki"}}), 0},
        TPasteCase{"FieldsAfterTheNameAreIgnored", "1001,Sato,x,y\r\n", Over({{"1001", "Sato"}}),
                   0},
        TPasteCase{"NulEndsTheText", std::string("1001,Sato\r\n") + '\0' + "1002,X",
                   Over({{"1001", "Sato"}}), 0, 2},
        TPasteCase{"NulEndsTheLineItIsIn", std::string("1001,Sa") + '\0' + "to\r\n1002,X",
                   Over({{"1001", "Sa"}}), 0, 1},
        TPasteCase{"QuotedNameWithALineBreak", "1001,\"Tanaka\r\nTaro\"\r\n1002,Sato\r\n",
                   Over({{"1001", "Tanaka\r\nTaro"}, {"1002", "Sato"}}), 0},
        TPasteCase{"SpreadsheetRowsWithALineBreakInAName",
                   "1001\t\"Tanaka\nTaro\"\t3-A\r\n1002\tSato\t3-B\r\n",
                   Over({{"1001", "Tanaka\nTaro"}, {"1002", "Sato"}}), 0},
        TPasteCase{"QuoteInsideANameOpensNothing", "1001,Yamada \"Taro\n1002,Sato\"",
                   Over({{"1001", "Yamada \"Taro"}, {"1002", "Sato\""}}), 0},
        TPasteCase{"UnclosedQuoteKeepsItsLine", "1001,\"Tanaka\r\n1002,Sato",
                   Over({{"1001", "Tanaka"}, {"1002", "Sato"}}), 0},
        TPasteCase{"StopsAtTheRowAfterAMultiLineName", "1001,\"A\nB\"\r\n1002\r\n1003,C", OldRoster,
                   2}),
    TCaseName());

struct TFailureTextCase {
    const char* name;
    std::string text;
    /// The language file's section Main beside the messages; empty for none.
    std::string languageTexts;
    TRosterFault fault;
    int lineNumber;
    /// UTF-8.
    std::string message;

    friend void PrintTo(const TFailureTextCase& c, std::ostream* os) { *os << c.name; }
};

class RosterPasteFailure : public testing::TestWithParam<TFailureTextCase> {};

// The teacher is told which line could not be used and why, in the language file's words.
TEST_P(RosterPasteFailure, SaysWhereAndWhy) {
    const TFailureTextCase& c = GetParam();
    TAnswerTable table;
    ReadMessages(table, TProfileFile::FromBytes("[Main]\r\n" + c.languageTexts));
    try {
        PasteRoster(table, c.text);
        ADD_FAILURE() << "no failure raised";
    } catch (const ERosterPasteError& error) {
        EXPECT_EQ(error.Fault(), c.fault);
        EXPECT_EQ(error.LineNumber(), c.lineNumber);
        EXPECT_EQ(std::string(error.what()), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    RosterPaste, RosterPasteFailure,
    testing::Values(
        TFailureTextCase{"LineWithOneField", "1001,Sato\r\n1002\r\n1003,Kato", "",
                         TRosterFault::NoName, 2, "2 行目: 氏名がありません"},
        TFailureTextCase{"EmptyLineInTheMiddle", "1001,Sato\r\n1002,Ito\r\n\r\n1004,Kato", "",
                         TRosterFault::EmptyLine, 3, "3 行目: 空の行です"},
        TFailureTextCase{"LineOfBlanksFirst", "  \r\n1002,Ito", "", TRosterFault::EmptyLine, 1,
                         "1 行目: 空の行です"},
        TFailureTextCase{"EnglishTexts", "1001,Sato\r\n\r\n",
                         "PasteEmptyLine=Line %s: the line is empty\r\n"
                         "PasteNoName=Line %s: there is no name\r\n",
                         TRosterFault::EmptyLine, 2, "Line 2: the line is empty"},
        // 行 %s に名前がない, in code page 932.
        TFailureTextCase{"CodePageTextAndItsLineBreak", "1001,Sato\r\n1002",
                         "PasteNoName=\x8d\x73 %s \x82\xc9<br>\x96\xbc\x91\x4f\x82\xaa\x82\xc8"
                         "\x82\xa2\r\n",
                         TRosterFault::NoName, 2, "行 2 に\r\n名前がない"},
        TFailureTextCase{"KeyOfAnotherFaultLeavesTheBuiltInText", "1001\r\n",
                         "PasteEmptyLine=Line %s: the line is empty\r\n", TRosterFault::NoName, 1,
                         "1 行目: 氏名がありません"}),
    TCaseName());

TEST(PasteRosterFromClipboard, UnreadableClipboardIsToldAndPastesNothing) {
    TAnswerTable table;
    table.SetCell(1, 3, "old1");
    for (const std::string& languageTexts :
         {std::string(), std::string("PasteUnreadable=No text on the clipboard\r\n")}) {
        ReadMessages(table, TProfileFile::FromBytes("[Main]\r\n" + languageTexts));
        try {
            PasteRosterFromClipboard(table, []() -> std::string {
                throw std::runtime_error("the clipboard is held by another program");
            });
            ADD_FAILURE() << "no failure raised";
        } catch (const ERosterPasteError& error) {
            EXPECT_EQ(error.Fault(), TRosterFault::Unreadable);
            EXPECT_EQ(error.LineNumber(), 0);
            EXPECT_EQ(std::string(error.what()),
                      (languageTexts.empty() ? "クリップボードのテキストを読み取れません"
                                             : "No text on the clipboard") +
                          std::string(": the clipboard is held by another program"))
                << "the cause follows the message";
        }
    }
    EXPECT_EQ(table.Cell(1, 3), "old1");
    EXPECT_TRUE(table.IsEnabled(TCommand::mmMark));
    EXPECT_TRUE(table.IsEnabled(TCommand::mmSortWithNumber));
}

TEST(PasteRosterFromClipboard, PastesTheClipboardsText) {
    TAnswerTable table;
    PasteRosterFromClipboard(table, [] { return std::string("1001,Sato\r\n"); });
    EXPECT_EQ(table.Cell(2, 3), "Sato");
}

// The clipboard or the roster file may not be readable: the paste fails as a paste does.
TEST(PasteRosterFrom, UnreadableTextFailsAndStillEnablesTheCommands) {
    TAnswerTable table;
    table.SetCell(1, 3, "old1");
    try {
        PasteRosterFrom(table, []() -> std::string { throw EFileOpenError("roster.txt"); });
        ADD_FAILURE() << "no failure raised";
    } catch (const EFileOpenError& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル roster.txt は開けません");
    }
    EXPECT_EQ(table.Cell(1, 3), "old1");
    EXPECT_TRUE(table.IsEnabled(TCommand::mmMark));
    EXPECT_TRUE(table.IsEnabled(TCommand::mmSortWithNumber));
    EXPECT_FALSE(table.IsEnabled(TCommand::mmSortWithPoint));
}

TEST(PasteRosterFrom, PastesTheTextReadAsPasteRosterDoes) {
    TAnswerTable table;
    EXPECT_THROW(PasteRosterFrom(table, [] { return std::string("1001,Sato\r\n1002\r\n"); }),
                 ERosterPasteError);
    EXPECT_EQ(table.Cell(2, 3), "") << "a line without a name stops the paste before any";
    EXPECT_EQ(table.Cell(1, 4), "");
    EXPECT_TRUE(table.IsEnabled(TCommand::mmMark));
}

} // namespace
