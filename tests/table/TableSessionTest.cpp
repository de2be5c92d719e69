#include "table/session/TableSession.h"

#include "TestFiles.h"
#include "TestText.h"
#include "platform/Errors.h"
#include "table/file/AnswerFile.h"
#include "table/marking/Marking.h"
#include "table/roster/RosterPaste.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

std::string LoadedTextName(TLoadedText loadedText) {
    return loadedText == TLoadedText::Kept ? "Kept" : "Dropped";
}

constexpr std::string_view FiveStudentRoster = "1,Abe\r\n2,Baba\r\n3,Chiba\r\n4,Doi\r\n5,Endo\r\n";
constexpr std::string_view TwoStudents = ",,a,b,\r\n,,1,1,\r\n"
                                         "2001,Sato,a,b,\r\n"
                                         "2002,Suzuki,a,x,\r\n";

/// Every non-empty cell, as "(column,row)text", in order.
std::vector<std::string> NonEmptyCells(const TAnswerTable& table) {
    std::vector<std::string> cells;
    for (int row = 0; row < table.StoredRowCount(); ++row) {
        for (int column = 0; column < table.StoredColumnCount(row); ++column) {
            if (!table.Cell(column, row).empty()) {
                cells.push_back("(" + std::to_string(column) + "," + std::to_string(row) + ")" +
                                std::string(table.Cell(column, row)));
            }
        }
    }
    return cells;
}

class Session : public testing::TestWithParam<TLoadedText> {
protected:
    Session() : session(GetParam()) {
        for (int number = 1; number <= TAnswerTable::MessageCount; ++number) {
            table.SetMessage(static_cast<TMessage>(number), "M" + std::to_string(number));
        }
        session.Start();
    }

    std::filesystem::path File(std::string_view name, std::string_view bytes) const {
        WriteTestFile(folder / name, bytes);
        return folder / name;
    }

    /// What the table holds after opening the file into a session of its own.
    std::vector<std::string> OpenedAlone(const std::filesystem::path& fileName) const {
        TTableSession alone(GetParam());
        for (int number = 1; number <= TAnswerTable::MessageCount; ++number) {
            alone.Table().SetMessage(static_cast<TMessage>(number),
                                     table.Message(static_cast<TMessage>(number)));
        }
        alone.Start();
        alone.Open(fileName);
        return NonEmptyCells(alone.Table());
    }

    TTemporaryFolder folder;
    TTableSession session;
    TAnswerTable& table = session.Table();
};

// A roster pasted into an empty table and a file of two students opened after it: the
// roster's students 3 to 5 were marked with 0 and saved into the file.
TEST_P(Session, AFileWithStudentsReplacesAPastedRoster) {
    PasteRoster(table, std::string(FiveStudentRoster));
    const std::filesystem::path twoStudents = File("two.csv", TwoStudents);
    session.Open(twoStudents);
    EXPECT_EQ(NonEmptyCells(table), OpenedAlone(twoStudents));
    MarkTable(table, '.');
    EXPECT_EQ(table.Cell(1, 5), "") << "the rate row follows the file's students";
    session.Save(folder / "saved.csv");
    TAnswerTable marked;
    LoadAnswerText(marked, ReadTestFile(folder / "saved.csv"));
    EXPECT_EQ(marked.Cell(1, 4), "2002");
    EXPECT_EQ(marked.Cell(1, 5), "") << "no student of the roster was saved";
}

// A key file opened after a pasted roster completes it, as teachers prepare a test.
TEST_P(Session, AFileOfTheKeyAndPointsOnlyIsLoadedOverThePastedRoster) {
    PasteRoster(table, std::string(FiveStudentRoster));
    table.SetCell(5, 4, "typed");
    session.Open(File("key.csv", ",,a,b,\r\n,,1,2,\r\n"));
    EXPECT_EQ(table.Cell(2, 7), "Endo");
    EXPECT_EQ(table.Cell(4, 1), "b");
    EXPECT_EQ(table.Cell(4, 2), "2");
    EXPECT_EQ(table.Cell(5, 4), "typed");
}

// A marked class of 50 questions keeps its scores and statistics in columns 53 and 54, and
// its score title in row 0: New and the next class must not show them.
TEST_P(Session, NothingOfAMarkedClassStaysAfterNewOrTheNextFile) {
    std::string wide = ",,";
    std::string points = ",,";
    std::string student = "1,Ann,";
    for (int question = 1; question <= 50; ++question) {
        wide += "a,";
        points += "1,";
        student += "a,";
    }
    const std::filesystem::path fifty =
        File("fifty.csv", wide + "\r\n" + points + "\r\n" + student + "\r\n");
    session.Open(fifty);
    MarkTable(table, '.');
    ASSERT_EQ(table.Cell(53, 0), "M7");
    ASSERT_FALSE(table.Cell(54, 1).empty());

    session.New();
    EXPECT_EQ(NonEmptyCells(table), NonEmptyCells(TAnswerTable(table).EmptyTest()));
    EXPECT_EQ(table.ColumnWidth(54), TAnswerTable::StatisticsLabelWidth)
        << "the statistics label column keeps its width";

    session.Open(fifty);
    MarkTable(table, '.');
    const std::filesystem::path two = File("two.csv", TwoStudents);
    session.Open(two);
    EXPECT_EQ(NonEmptyCells(table), OpenedAlone(two));
}

struct TFailedOpenCase {
    const char* name;
    std::string bytes;
    friend void PrintTo(const TFailedOpenCase& c, std::ostream* os) { *os << c.name; }
};

class FailedOpen : public testing::TestWithParam<std::tuple<TLoadedText, TFailedOpenCase>> {};

// A file that cannot be read changes nothing: the class on screen and what it is compared
// with stay, so that neither an empty table nor a lost class is saved under a file's name.
TEST_P(FailedOpen, ChangesNeitherTheTableNorItsLoadedText) {
    const auto& [loadedText, failure] = GetParam();
    TTemporaryFolder folder;
    TTableSession session(loadedText);
    session.Start();
    WriteTestFile(folder / "a.csv", TwoStudents);
    session.Open(folder / "a.csv");
    session.Table().SetCell(3, 4, "typed");
    const std::vector<std::string> before = NonEmptyCells(session.Table());
    const std::string loadedBefore = session.LoadedText();

    if (!failure.bytes.empty()) {
        WriteTestFile(folder / "b.csv", failure.bytes);
    }
    EXPECT_THROW(session.Open(folder / "b.csv"), EPelloranError);
    EXPECT_EQ(NonEmptyCells(session.Table()), before);
    EXPECT_EQ(session.LoadedText(), loadedBefore);
    EXPECT_EQ(session.FileName(), folder / "a.csv");
    EXPECT_TRUE(session.Table().IsEnabled(TCommand::mmMark));
}

INSTANTIATE_TEST_SUITE_P(Session, FailedOpen,
                         testing::Combine(testing::Values(TLoadedText::Kept, TLoadedText::Dropped),
                                          testing::Values(TFailedOpenCase{"Missing", ""},
                                                          TFailedOpenCase{"BrokenUtf16",
                                                                          "\xff\xfe"
                                                                          "a\0,\0\x00\xd8"
                                                                          "b\0"s})),
                         [](const testing::TestParamInfo<FailedOpen::ParamType>& param) {
                             return LoadedTextName(std::get<0>(param.param)) +
                                    std::get<1>(param.param).name;
                         });

TEST_P(Session, AsksOnlyWhenSomethingWouldBeLost) {
    EXPECT_FALSE(session.IsChanged()) << "an untouched new table";
    table.SetCell(1, 3, "1001");
    EXPECT_TRUE(session.IsChanged()) << "a typed table without a file";
    session.New();
    EXPECT_FALSE(session.IsChanged()) << "after New";
    PasteRoster(table, std::string(FiveStudentRoster));
    EXPECT_TRUE(session.IsChanged()) << "a pasted roster";
    session.Save(folder / "roster.csv");
    EXPECT_EQ(session.IsChanged(), GetParam() == TLoadedText::Dropped)
        << "right after saving, unless the text was dropped";
}

TEST_P(Session, NewAndSavingNameTheFile) {
    session.Open(File("two.csv", TwoStudents));
    EXPECT_EQ(session.FileName(), folder / "two.csv");
    session.Save(folder / "copy.csv");
    EXPECT_EQ(session.FileName(), folder / "copy.csv");
    session.New();
    EXPECT_EQ(session.FileName(), "") << "a new class is never offered the last file's name";
}

INSTANTIATE_TEST_SUITE_P(Session, Session, testing::Values(TLoadedText::Kept, TLoadedText::Dropped),
                         [](const testing::TestParamInfo<TLoadedText>& param) {
                             return LoadedTextName(param.param);
                         });

/// A session started as the window starts and given a file of these bytes to open.
TTableSession SessionOpening(const TTemporaryFolder& folder, std::string_view bytes) {
    WriteTestFile(folder / "opened.csv", bytes);
    TTableSession session;
    session.Start();
    session.Open(folder / "opened.csv");
    return session;
}

// A spreadsheet writes no comma after a line's last field: the table as opened, not the file's
// bytes, is what closing compares with.
TEST(SessionIsChanged, ComparesWithTheTableAsOpened) {
    TTemporaryFolder folder;
    TTableSession session = SessionOpening(folder, "k,,a\n,,1\n1,Ann,a\n");
    TAnswerTable& table = session.Table();
    EXPECT_FALSE(session.IsChanged()) << "loaded as " << Escaped(session.LoadedText());
    table.SetCell(2, 3, "Anne");
    EXPECT_TRUE(session.IsChanged());
    table.SetCell(2, 3, "Ann");
    EXPECT_FALSE(session.IsChanged());
    table.SetCell(9, 3, "beyond the written width");
    EXPECT_TRUE(session.IsChanged()) << "a cell that saving would drop";
    table.SetCell(9, 3, "");
    EXPECT_FALSE(session.IsChanged());
    table.SetCell(4, 1, "new key");
    EXPECT_TRUE(session.IsChanged()) << "the written width grew";
}

TEST(SessionIsChanged, AnEmptyFileProtectsWhatIsTypedAfterIt) {
    TTemporaryFolder folder;
    TTableSession session = SessionOpening(folder, "");
    EXPECT_FALSE(session.IsChanged());
    session.Table().SetCell(1, 3, "1001");
    EXPECT_TRUE(session.IsChanged());
}

} // namespace
