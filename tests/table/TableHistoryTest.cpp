#include "table/history/TableHistory.h"

#include "CellBlocks.h"
#include "RandomWork.h"
#include "TestFiles.h"
#include "TestScale.h"
#include "TestText.h"
#include "platform/Errors.h"
#include "table/file/AnswerFile.h"
#include "table/marking/Marking.h"
#include "table/marking/Numbers.h"
#include "table/progress/Progress.h"
#include "table/roster/RosterPaste.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

/// As the program saves them: every line ends with the empty score column.
constexpr std::string_view Quiz = ",,a,b,#,,\r\n,,1,1,5,,\r\n"
                                  "1003,Sato,c,x,1,,\r\n"
                                  "1001,Ito,a,x,5,,\r\n"
                                  "1002,Abe,c,b,2,,\r\n";
constexpr std::string_view OtherQuiz = ",,x,,\r\n,,2,,\r\n2001,Kim,x,,\r\n";
constexpr std::string_view KeyOnly = ",,b,b,#,,\r\n,,3,3,5,,\r\n";
constexpr std::string_view UnmarkablePoints = ",,a,#,,\r\n,,1,,,\r\n1001,Ann,a,abc,,\r\n";
// The second student's points are no number: Mark stops after scoring the first.
constexpr std::string_view UnmarkableSecondStudent =
    ",,a,#,,\r\n,,1,5,,\r\n1001,Ann,a,3,,\r\n1002,Ben,a,abc,,\r\n";

/// What undo must bring back: the cells, the state beside them, what closing would ask and
/// the file the session names.
struct TSnapshot {
    TCells cells;
    TTableState state;
    bool changed = false;
    std::string fileName;

    bool operator==(const TSnapshot& other) const = default;
};

void PrintTo(const TSnapshot& snapshot, std::ostream* out) {
    for (const std::vector<std::string>& row : snapshot.cells) {
        *out << Escaped(row) << "\n";
    }
    *out << "questions=" << snapshot.state.questionCount << " enabled=" << snapshot.state.enabled[0]
         << snapshot.state.enabled[1] << snapshot.state.enabled[2]
         << " widths=" << snapshot.state.columnWidths.size()
         << " rows=" << snapshot.state.shape.rowCount
         << " columns=" << snapshot.state.shape.columnCount << " changed=" << snapshot.changed
         << " file=" << snapshot.fileName;
}

/// A session with its history, its messages set as the language file sets them.
class THistoryBench {
public:
    THistoryBench() {
        for (int number = 1; number <= TAnswerTable::MessageCount; ++number) {
            session.Table().SetMessage(static_cast<TMessage>(number), "M" + std::to_string(number));
        }
        session.Start();
    }

    std::filesystem::path File(std::string_view name, std::string_view bytes) const {
        WriteTestFile(folder / name, bytes);
        return folder / name;
    }

    TSnapshot Snapshot() const {
        return {CellsOf(session.Table()), TableState(session.Table()), session.IsChanged(),
                session.FileName().string()};
    }

    TTemporaryFolder folder;
    TTableSession session;
    TTableHistory history{session};
    TCollator collator{""};
};

struct TCommandCase {
    std::string name;
    /// Run on a session that opened Quiz (and marked it, when `marked`).
    std::function<void(THistoryBench&)> run;
    bool marked = false;
    friend void PrintTo(const TCommandCase& value, std::ostream* out) { *out << value.name; }
};

class EveryCommand : public testing::TestWithParam<TCommandCase> {};

// Each command undone brings back the table as opened, with its state, and redone the table as
// the command left it; back and forth again the same.
TEST_P(EveryCommand, UndoesAndRedoes) {
    THistoryBench bench;
    bench.history.Open(bench.File("quiz.csv", Quiz));
    if (GetParam().marked) {
        bench.history.Mark('.');
    }
    const TSnapshot before = bench.Snapshot();
    GetParam().run(bench);
    const TSnapshot after = bench.Snapshot();
    ASSERT_NE(after, before) << "the command changed nothing";
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(bench.history.CanUndo());
        bench.history.Undo();
        EXPECT_EQ(bench.Snapshot(), before) << "round " << round;
        EXPECT_FALSE(bench.session.IsChanged() && !GetParam().marked)
            << "the table as opened asks before it is dropped";
        ASSERT_TRUE(bench.history.CanRedo());
        bench.history.Redo();
        EXPECT_EQ(bench.Snapshot(), after) << "round " << round;
        EXPECT_FALSE(bench.history.CanRedo());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EveryCommand,
    testing::Values(
        TCommandCase{"Typing", [](THistoryBench& b) { b.history.SetCell(3, 4, "zz\r\nq"); }},
        TCommandCase{"TypingBeyondTheShownArea",
                     [](THistoryBench& b) { b.history.SetCell(70, 300, "far"); }},
        TCommandCase{"BlockPaste",
                     [](THistoryBench& b) {
                         b.history.PasteBlock(2, 3, BlockOf({{"P", "Q"}, {"R"}, {"S", "T", "U"}}));
                     }},
        TCommandCase{
            "BlockPasteGrowingTheTable",
            [](THistoryBench& b) {
                b.history.PasteBlock(54, 101, BlockOf({{"a", "b", "c"}, {"", "\x83\x5c"}, {"d"}}));
            }},
        TCommandCase{"BlockPasteOfOneColumn",
                     [](THistoryBench& b) {
                         b.history.PasteBlock(4, 3, BlockOf({{"9"}, {"8"}, {"7"}}));
                     }},
        TCommandCase{"Cut",
                     [](THistoryBench& b) {
                         const TCellBlock block = b.history.Cut({1, 3, 3, 4});
                         EXPECT_EQ(block.Cell(1, 0), "1001");
                     }},
        TCommandCase{"ClearOfEverything",
                     [](THistoryBench& b) {
                         b.history.Clear({0, 0, 200, 500});
                     }},
        TCommandCase{"ClearOfOneColumn",
                     [](THistoryBench& b) {
                         b.history.Clear({3, 1, 3, 5});
                     }},
        TCommandCase{"RosterPaste",
                     [](THistoryBench& b) {
                         b.history.PasteRoster(
                             [] { return std::string("9001,Kim\r\n9002,Lee\r\n"); });
                     }},
        TCommandCase{"Mark", [](THistoryBench& b) { b.history.Mark('.'); }},
        TCommandCase{"MarkAgainAfterTyping",
                     [](THistoryBench& b) {
                         b.history.SetCell(2, 1, "b");
                         b.history.Undo();
                         b.history.Redo();
                         b.history.Mark('.');
                     },
                     true},
        TCommandCase{"SortByNumber", [](THistoryBench& b) { b.history.SortByNumber(b.collator); }},
        TCommandCase{"SortByScore", [](THistoryBench& b) { b.history.SortByScore(b.collator); },
                     true},
        TCommandCase{"New", [](THistoryBench& b) { b.history.New(); }},
        TCommandCase{"NewAfterMark", [](THistoryBench& b) { b.history.New(); }, true},
        TCommandCase{
            "Open", [](THistoryBench& b) { b.history.Open(b.File("other.csv", OtherQuiz)); }, true},
        TCommandCase{"OpenOfAKeyOverTheTable",
                     [](THistoryBench& b) { b.history.Open(b.File("key.csv", KeyOnly)); }}),
    TCaseName());

/// `count` rows of a student number, numbered on from `from`, and a name.
TCells NumberedRows(int count, int from) {
    TCells rows;
    for (int row = 0; row < count; ++row) {
        rows.push_back({std::to_string(from + row), "Name" + std::to_string(row)});
    }
    return rows;
}

/// The roster lines of `count` students, then `tail`.
std::string RosterLines(int count, const std::string& tail) {
    std::string text;
    for (int student = 0; student < count; ++student) {
        text += std::to_string(5000 + student) + ",Name" + std::to_string(student) + "\r\n";
    }
    return text + tail;
}

struct TGrowingCase {
    std::string name;
    /// Run on a session that opened Quiz; grows the table.
    std::function<void(THistoryBench&)> run;
    friend void PrintTo(const TGrowingCase& value, std::ostream* out) { *out << value.name; }
};

class GrowingCommand : public testing::TestWithParam<TGrowingCase> {};

/// Saves as a teacher who chose to drop the cells that the file does not keep.
void SaveWhatever(THistoryBench& bench, const std::filesystem::path& fileName) {
    bench.session.SaveText(fileName, GetTableText(bench.session.Table()));
}

// A command that grew the table is undone to the stored rows and columns before it, which the
// window shows, and saves the same bytes as before it; redone, it grows the table again.
TEST_P(GrowingCommand, UndoneTakesTheTableBackToItsSizeAndSavedBytes) {
    THistoryBench bench;
    bench.history.Open(bench.File("quiz.csv", Quiz));
    const TAnswerTable& table = bench.session.Table();
    const TStoreShape opened = table.StoredShape();
    SaveWhatever(bench, bench.folder / "opened.csv");
    GetParam().run(bench);
    const TStoreShape grown = table.StoredShape();
    ASSERT_TRUE(grown.rowCount > opened.rowCount || grown.columnCount > opened.columnCount);
    SaveWhatever(bench, bench.folder / "grown.csv");
    for (int round = 0; round < 2; ++round) {
        bench.history.Undo();
        EXPECT_EQ(table.StoredShape(), opened) << "round " << round;
        EXPECT_EQ(table.StoredRowCount(), opened.rowCount);
        EXPECT_EQ(table.StoredColumnCount(), opened.columnCount);
        SaveWhatever(bench, bench.folder / "undone.csv");
        EXPECT_EQ(ReadTestFile(bench.folder / "undone.csv"),
                  ReadTestFile(bench.folder / "opened.csv"))
            << "round " << round;
        bench.history.Redo();
        EXPECT_EQ(table.StoredShape(), grown) << "round " << round;
        SaveWhatever(bench, bench.folder / "redone.csv");
        EXPECT_EQ(ReadTestFile(bench.folder / "redone.csv"),
                  ReadTestFile(bench.folder / "grown.csv"))
            << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, GrowingCommand,
    testing::Values(TGrowingCase{"BlockPasteOfStudentsBelowTheShownRows",
                                 [](THistoryBench& b) {
                                     b.history.PasteBlock(1, 6, BlockOf(NumberedRows(200, 2000)));
                                 }},
                    TGrowingCase{"BlockPasteOfQuestionsBeyondTheShownColumns",
                                 [](THistoryBench& b) {
                                     TCells rows = {std::vector<std::string>(60, "k"),
                                                    std::vector<std::string>(60, "1")};
                                     b.history.PasteBlock(6, 1, BlockOf(rows));
                                 }},
                    TGrowingCase{"ClipboardTextPasteFarAway",
                                 [](THistoryBench& b) {
                                     b.history.PasteBlock(
                                         80, 400, ReadClipboardBlock("x\ty\r\n\t\"z\nw\"\r\n"));
                                 }},
                    TGrowingCase{"TypingFarAway",
                                 [](THistoryBench& b) { b.history.SetCell(70, 300, "far"); }},
                    TGrowingCase{"RosterPasteOfManyStudents",
                                 [](THistoryBench& b) {
                                     b.history.PasteRoster([] { return RosterLines(150, ""); });
                                 }}),
    TCaseName());

// A command that fails after growing the table leaves it its size, as no step is left.
TEST(TableHistory, AFailedCommandLeavesTheTableItsSize) {
    THistoryBench bench;
    bench.history.Open(bench.File("quiz.csv", Quiz));
    const TSnapshot opened = bench.Snapshot();
    const std::size_t steps = bench.history.UndoCount();
    EXPECT_THROW(bench.history.Record(TStepKind::BlockPaste,
                                      [](TAnswerTable& table) {
                                          table.SetCell(90, 700, "x");
                                          throw EPelloranError("stopped");
                                      }),
                 EPelloranError);
    EXPECT_EQ(bench.Snapshot(), opened);
    EXPECT_EQ(bench.history.UndoCount(), steps);
}

// A command that fails changes no cell and leaves no step; Open's and Mark's own rules for
// the commands' states after a failure stay.
TEST(TableHistory, FailingCommandsLeaveNoStepAndNoCellChanged) {
    THistoryBench bench;
    bench.history.Open(bench.File("bad.csv", UnmarkablePoints));
    const TCells opened = CellsOf(bench.session.Table());
    const std::size_t steps = bench.history.UndoCount();
    EXPECT_THROW(bench.history.Mark('.'), EMarkError);
    EXPECT_THROW(bench.history.Open(bench.folder / "missing.csv"), EFileError);
    EXPECT_THROW(bench.history.SortByScore(bench.collator), EPelloranError);
    EXPECT_THROW(bench.history.PasteRoster([] { return RosterLines(130, "9999\r\n"); }),
                 ERosterPasteError);
    EXPECT_EQ(CellsOf(bench.session.Table()), opened);
    EXPECT_EQ(bench.history.UndoCount(), steps);
    EXPECT_EQ(bench.session.FileName(), bench.folder / "bad.csv");
    EXPECT_FALSE(bench.session.IsChanged());
}

// A Mark stopped by the second student's cell leaves no score of the first behind.
TEST(TableHistory, AMarkStoppedByACellChangesNoCell) {
    THistoryBench bench;
    bench.history.Open(bench.File("bad.csv", UnmarkableSecondStudent));
    const TCells opened = CellsOf(bench.session.Table());
    const std::size_t steps = bench.history.UndoCount();
    try {
        bench.history.Mark('.');
        ADD_FAILURE() << "Mark went through";
    } catch (const EMarkError& error) {
        EXPECT_EQ(error.Cell(), (TCellPlace{4, 4}));
        EXPECT_STREQ(
            error.what(),
            "採点できません: 行 2 (学籍番号 1002) の 問 2: 'abc' は浮動小数点数ではありません");
    }
    EXPECT_EQ(CellsOf(bench.session.Table()), opened);
    EXPECT_EQ(bench.history.UndoCount(), steps);
    EXPECT_FALSE(bench.session.IsChanged());
}

// Open enables Mark and Sort by number also when the file cannot be read: undo comes back to
// that state, not to the one before the failure; redo goes to the state after its step as it
// was.
TEST(TableHistory, StateAFailedCommandLeftIsWhereUndoComesBack) {
    THistoryBench bench;
    bench.history.SetCell(1, 3, "x");
    bench.history.Undo();
    EXPECT_THROW(bench.history.Open(bench.folder / "missing.csv"), EFileError);
    const TSnapshot failed = bench.Snapshot();
    EXPECT_TRUE(failed.state.enabled[0]);
    bench.history.Redo();
    EXPECT_FALSE(bench.session.Table().IsEnabled(TCommand::mmMark));
    bench.history.Undo();
    EXPECT_EQ(bench.Snapshot(), failed);
}

TEST(TableHistory, NothingChangedLeavesNoStep) {
    THistoryBench bench;
    bench.history.SetCell(3, 3, "a");
    bench.history.SetCell(3, 3, "a");
    bench.history.Clear({10, 10, 20, 20});
    bench.history.PasteBlock(200, 300, BlockOf({{""}}));
    EXPECT_EQ(bench.history.UndoCount(), 1U);
    EXPECT_EQ(bench.session.Table().StoredRowCount(), TAnswerTable::ShownRows);
}

// Keystrokes in one cell are one step; leaving the cell, another command or an undo ends it,
// and a keystroke that changes nothing does not join a step of another cell.
TEST(TableHistory, TypingInOneCellIsOneStep) {
    THistoryBench bench;
    TTableHistory& history = bench.history;
    const TAnswerTable& table = bench.session.Table();
    history.Type(3, 3, "a");
    history.Type(3, 3, "ab");
    history.Type(3, 3, "abc");
    history.Type(4, 3, "");
    history.Type(3, 3, "abcd");
    EXPECT_EQ(history.UndoCount(), 1U) << "the same cell, nothing between";
    history.EndTyping();
    history.Type(3, 3, "x");
    history.Type(4, 3, "y");
    history.Type(4, 3, "yz");
    EXPECT_EQ(history.UndoCount(), 3U);
    history.Undo();
    EXPECT_EQ(table.Cell(4, 3), "");
    history.Type(3, 3, "xx");
    history.Undo();
    EXPECT_EQ(table.Cell(3, 3), "x") << "an undo ends the typing it undid past";
    history.Undo();
    EXPECT_EQ(table.Cell(3, 3), "abcd");
    history.Undo();
    EXPECT_EQ(table.Cell(3, 3), "");
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(bench.session.IsChanged());
}

// Undone back to the table as saved, closing asks nothing; a new command drops what was undone.
TEST(TableHistory, UndoBackToTheSavedTableIsUnchanged) {
    THistoryBench bench;
    bench.history.Open(bench.File("quiz.csv", Quiz));
    bench.history.SetCell(3, 3, "x");
    bench.session.Save(bench.folder / "saved.csv");
    bench.history.Mark('.');
    bench.history.SortByScore(bench.collator);
    EXPECT_TRUE(bench.session.IsChanged());
    bench.history.Undo();
    bench.history.Undo();
    EXPECT_FALSE(bench.session.IsChanged());
    bench.history.Undo();
    EXPECT_TRUE(bench.session.IsChanged());
    bench.history.SetCell(4, 4, "y");
    EXPECT_FALSE(bench.history.CanRedo());
    bench.history.Undo();
    bench.history.Undo();
    EXPECT_FALSE(bench.session.IsChanged()) << "the table as opened";
    bench.history.Undo();
    EXPECT_FALSE(bench.history.CanUndo());
    EXPECT_EQ(bench.session.FileName(), "");
    EXPECT_FALSE(bench.session.IsChanged()) << "the empty test at the start";
}

TEST(TableHistory, KeepsAtMostItsStepCount) {
    THistoryBench bench;
    TTableHistory history(bench.session, {3, std::size_t{1} << 30});
    for (int row = 3; row < 8; ++row) {
        history.SetCell(1, row, "n" + std::to_string(row));
    }
    EXPECT_EQ(history.StepCount(), 3U);
    while (history.CanUndo()) {
        history.Undo();
    }
    EXPECT_EQ(bench.session.Table().Cell(1, 4), "n4");
    EXPECT_EQ(bench.session.Table().Cell(1, 5), "");
}

TEST(TableHistory, KeepsTheLastStepBeyondItsBudget) {
    THistoryBench bench;
    TTableHistory history(bench.session, {100, 1});
    history.SetCell(1, 3, "a");
    history.SetCell(1, 4, "b");
    EXPECT_EQ(history.StepCount(), 1U);
    history.Undo();
    EXPECT_EQ(bench.session.Table().Cell(1, 4), "");
    EXPECT_EQ(bench.session.Table().Cell(1, 3), "a");
}

// A cell holding a line break from a block saves in double quotes and opens the same.
TEST(TableHistory, CellWithALineBreakSavesAndReopensTheSame) {
    THistoryBench bench;
    bench.history.Open(bench.File("quiz.csv", Quiz));
    bench.history.PasteBlock(2, 3, ReadClipboardBlock("\"Sato\r\nTaro\"\t\"a\nb\"\r\n"));
    bench.session.Save(bench.folder / "saved.csv");
    EXPECT_NE(ReadTestFile(bench.folder / "saved.csv").find("1003,\"Sato\r\nTaro\",\"a\nb\","),
              std::string::npos);
    THistoryBench reopened;
    reopened.history.Open(bench.folder / "saved.csv");
    EXPECT_EQ(CellsOf(reopened.session.Table()), CellsOf(bench.session.Table()));
    EXPECT_FALSE(reopened.session.IsChanged());
}

/// A class of `students` students and 50 questions, as the benchmarks' files hold.
std::string LargeClass(int students) {
    std::string text = ",";
    std::string points = ",";
    for (int question = 0; question < 50; ++question) {
        text += ",a";
        points += ",1";
    }
    text += "\r\n" + points + "\r\n";
    for (int student = 0; student < students; ++student) {
        text +=
            std::to_string(100000 + (student * 7919) % 900000) + ",Name" + std::to_string(student);
        for (int question = 0; question < 50; ++question) {
            text += (student + question) % 3 == 0 ? ",b" : ",a";
        }
        text += "\r\n";
    }
    return text;
}

// Mark and a sort keep what they changed, not the table: each costs less than the table, and
// twenty typed cells with them less than half again the table.
TEST(TableHistory, MarkAndSortCostLessThanTheTable) {
    THistoryBench bench;
    bench.history.Open(bench.File("large.csv", LargeClass(Scaled(100000, 2000))));
    bench.history.Forget();
    const std::size_t tableSize = bench.session.Table().Store().MemorySize();
    for (int row = 3; row < 23; ++row) {
        bench.history.SetCell(2, row, "typed name");
    }
    const std::size_t typed = bench.history.MemorySize();
    bench.history.Mark('.');
    const std::size_t marked = bench.history.MemorySize();
    bench.history.SortByScore(bench.collator);
    const std::size_t sorted = bench.history.MemorySize();
    EXPECT_LT(marked - typed, tableSize);
    EXPECT_LT(sorted - marked, tableSize);
    EXPECT_LT(sorted, tableSize * 3 / 2);
}

/// Random commands, undos and redos, each result checked against the table as it was after
/// the command it should bring back.
class TRandomHistory {
public:
    explicit TRandomHistory(std::uint32_t seed) : work_(seed) {
        states_.push_back(bench_.Snapshot());
    }

    void RunStep() {
        const int choice = work_.Below(14);
        if (choice < 3) {
            Undo();
        } else if (choice < 5) {
            Redo();
        } else {
            Command(choice - 5);
        }
    }

    const std::string& Log() const { return log_; }

private:
    void Undo() {
        log_ += "undo ";
        bench_.history.Undo();
        if (done_ > 0) {
            --done_;
        }
        EXPECT_EQ(bench_.Snapshot(), states_[done_]) << log_;
    }

    void Redo() {
        log_ += "redo ";
        bench_.history.Redo();
        if (done_ + 1 < states_.size()) {
            ++done_;
        }
        // A failed command may have left the commands' states as its own rules say: the cells
        // are what must come back.
        EXPECT_EQ(bench_.Snapshot().cells, states_[done_].cells) << log_;
        states_[done_] = bench_.Snapshot();
    }

    void Command(int which) {
        const std::size_t stepsBefore = bench_.history.UndoCount();
        const TCells cellsBefore = CellsOf(bench_.session.Table());
        bool failed = false;
        try {
            RunCommand(which);
        } catch (const EPelloranError&) {
            failed = true;
        }
        if (bench_.history.UndoCount() == stepsBefore) {
            EXPECT_TRUE(failed || CellsOf(bench_.session.Table()) == cellsBefore) << log_;
            EXPECT_EQ(CellsOf(bench_.session.Table()), cellsBefore) << log_;
            states_[done_] = bench_.Snapshot();
            return;
        }
        states_.resize(done_ + 1);
        states_.push_back(bench_.Snapshot());
        ++done_;
    }

    void RunCommand(int which) {
        switch (which) {
        case 0:
            Type();
            break;
        case 1:
            PasteBlock();
            break;
        case 2:
            ClearOrCut();
            break;
        case 3: {
            const std::string text = work_.RosterText();
            log_ += "roster" + Escaped(text) + " ";
            bench_.history.PasteRoster([&] { return text; });
            break;
        }
        case 4:
            log_ += "mark ";
            bench_.history.Mark('.');
            break;
        case 5:
            log_ += "sort-number ";
            bench_.history.SortByNumber(bench_.collator);
            break;
        case 6:
            log_ += "sort-score ";
            bench_.history.SortByScore(bench_.collator);
            break;
        case 7:
            log_ += "new ";
            bench_.history.New();
            break;
        default: {
            const std::string text = work_.AnswerFileText();
            log_ += "open" + Escaped(text) + " ";
            bench_.history.Open(bench_.File("random.csv", text));
            break;
        }
        }
    }

    void Type() {
        const int column = work_.Below(12);
        const int row = work_.Below(work_.Chance(90) ? 12 : TAnswerTable::ShownRows + 4);
        const std::string text = work_.Chance(20) ? std::string() : work_.CellText(true);
        log_ += "type(" + std::to_string(column) + "," + std::to_string(row) + ")" + Escaped(text) +
                " ";
        bench_.history.SetCell(column, row, text);
    }

    TCells RandomRows() {
        TCells rows(static_cast<std::size_t>(1 + work_.Below(4)));
        for (std::vector<std::string>& cells : rows) {
            for (int cell = work_.Below(5); cell >= 0; --cell) {
                cells.push_back(work_.Chance(20) ? std::string() : work_.CellText(true));
            }
        }
        return rows;
    }

    void PasteBlock() {
        const int column = work_.Below(14);
        const int row = work_.Below(work_.Chance(80) ? 12 : TAnswerTable::ShownRows + 4);
        const TCells rows = RandomRows();
        log_ += "paste-block(" + std::to_string(column) + "," + std::to_string(row) + ")";
        for (const std::vector<std::string>& cells : rows) {
            log_ += Escaped(cells);
        }
        log_ += " ";
        // Through the clipboard text, as the window pastes it.
        bench_.history.PasteBlock(column, row,
                                  ReadClipboardBlock(BlockClipboardText(BlockOf(rows))));
    }

    void ClearOrCut() {
        const TCellRange range{work_.Below(12), work_.Below(12), work_.Below(12),
                               work_.Below(work_.Chance(80) ? 12 : 110)};
        const bool cut = work_.Chance(50);
        log_ += std::string(cut ? "cut(" : "clear(") + std::to_string(range.firstColumn) + "," +
                std::to_string(range.firstRow) + "," + std::to_string(range.lastColumn) + "," +
                std::to_string(range.lastRow) + ") ";
        if (cut) {
            bench_.history.Cut(range);
        } else {
            bench_.history.Clear(range);
        }
    }

    TRandomWork work_;
    THistoryBench bench_;
    std::vector<TSnapshot> states_;
    std::size_t done_ = 0;
    std::string log_;
};

TEST(TableHistory, RandomCommandsUndoneAndRedoneBringBackTheirTables) {
    for (int seed = 1; seed <= Scaled(300) && !HasFailure(); ++seed) {
        TRandomHistory sequence(static_cast<std::uint32_t>(seed));
        for (int step = 0; step < 30 && !HasFailure(); ++step) {
            sequence.RunStep();
        }
        if (HasFailure()) {
            ADD_FAILURE() << "seed " << seed << ": " << sequence.Log();
        }
    }
}

/// Stops a job at its `stopAt`th report; counts the jobs started and ended.
class TStoppingListener : public TProgressListener {
public:
    explicit TStoppingListener(int stopAt) : stopAt_(stopAt) {}
    void JobStarted(TProgressTask, std::uint64_t) override { ++started; }
    bool JobAdvanced(std::uint64_t) override { return ++reports != stopAt_; }
    void JobEnded() override { ++ended; }

    int started = 0;
    int ended = 0;
    int reports = 0;

private:
    int stopAt_;
};

/// A marked class of 40 students, the second of them wrong, to be worked on at length.
std::string LongClass() {
    std::string text = ",,a,b,,\r\n,,1,1,,\r\n";
    for (int student = 40; student >= 1; --student) {
        text += std::to_string(1000 + student) + ",S" + std::to_string(student) + ",a,x,,\r\n";
    }
    return text;
}

struct TLongCommand {
    std::string name;
    std::function<void(THistoryBench&)> run;
};

const std::vector<TLongCommand> LongCommands = {
    {"Mark", [](THistoryBench& b) { b.history.Mark('.'); }},
    {"SortByNumber", [](THistoryBench& b) { b.history.SortByNumber(b.collator); }},
    {"SortByScore", [](THistoryBench& b) { b.history.SortByScore(b.collator); }},
    {"Open",
     [](THistoryBench& b) { b.history.Open(b.File("other.csv", LongClass() + "9,Z,,\r\n")); }},
    {"PasteRoster",
     [](THistoryBench& b) {
         b.history.PasteRoster([] {
             std::string roster;
             for (int student = 1; student <= 40; ++student) {
                 roster += std::to_string(2000 + student) + ",N\r\n";
             }
             return roster;
         });
     }},
    {"PasteBlock",
     [](THistoryBench& b) {
         b.history.PasteBlock(1, 3, BlockOf(TCells(40, {"7", "P", "b", "b"})));
     }},
};

class LongCommand : public testing::TestWithParam<TLongCommand> {
protected:
    void SetUp() override {
        bench.history.Open(bench.File("class.csv", LongClass()));
        bench.history.Mark('.');
    }
    THistoryBench bench;
};

TEST_P(LongCommand, StoppedByTheUserLeavesTheTableAndTheHistoryAsTheyWere) {
    const TSnapshot before = bench.Snapshot();
    const std::size_t undoCount = bench.history.UndoCount();
    TStoppingListener listener(3);
    bench.session.Table().SetProgressListener(&listener);
    EXPECT_THROW(GetParam().run(bench), ECancelledError);
    EXPECT_EQ(bench.Snapshot(), before);
    EXPECT_EQ(bench.history.UndoCount(), undoCount);
    EXPECT_EQ(listener.reports, 3);
    EXPECT_EQ(listener.ended, listener.started);
}

INSTANTIATE_TEST_SUITE_P(TableHistory, LongCommand, testing::ValuesIn(LongCommands), TCaseName());

} // namespace
