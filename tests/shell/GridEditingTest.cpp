#include "CellBlocks.h"
#include "RandomWork.h"
#include "ShellTestSupport.h"
#include "TestFiles.h"
#include "TestScale.h"
#include "TestText.h"
#include "shell/window/ShellText.h"
#include "table/file/AnswerFile.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

/// The grid's editing commands as a teacher uses them: keys sent to the focused editor.
class GridEditing : public TWindowInUse {
protected:
    std::string Cell(int column, int row) { return std::string(Table().Cell(column, row)); }

    /// Selects from the current cell with Shift and the arrows, as a teacher does.
    void SelectRightAndDown(int columns, int rows) {
        for (int step = 0; step < columns; ++step) {
            Press(Qt::Key_Right, Qt::ShiftModifier);
        }
        for (int step = 0; step < rows; ++step) {
            Press(Qt::Key_Down, Qt::ShiftModifier);
        }
    }

    void Undo() { Press(Qt::Key_Z, Qt::ControlModifier); }
    void Redo() { Press(Qt::Key_Y, Qt::ControlModifier); }

    /// A key, answer "a" worth a point, in every question column from 3 to 5.
    void WriteKey() {
        for (int column = 3; column <= 5; ++column) {
            Table().SetCell(column, TAnswerTable::AnswerKeyRow, "a");
        }
    }
};

/// The new commands' access keys are taken by no other item of the Edit menu. The two items
/// described with "P" keep it.
void ExpectOwnAccessKeys(const TMain& window) {
    std::map<QChar, QString> taken;
    for (const QAction* action : window.TestFace().mmEdit->actions()) {
        const qsizetype at = action->text().indexOf(QLatin1Char('&'));
        if (at < 0 || action == window.TestFace().mmSortwithpoint) {
            continue;
        }
        const auto [place, added] =
            taken.emplace(action->text().at(at + 1).toUpper(), action->text());
        EXPECT_TRUE(added) << action->text().toStdString() << " and "
                           << place->second.toStdString();
    }
}

TEST_F(GridEditing, TheCommandsFollowTheAnalysisWithTheirKeysAndAccessKeys) {
    const QList<QAction*> actions = window->TestFace().mmEdit->actions();
    const QList<QAction*> expected = {
        window->TestFace().N4,           window->TestFace().mmUndo,
        window->TestFace().mmRedo,       window->TestFace().mmCut,
        window->TestFace().mmCopy,       window->TestFace().mmCopyWithTitles,
        window->TestFace().mmPasteCells, window->TestFace().mmClear};
    ASSERT_GE(actions.size(), 8);
    EXPECT_LT(actions.indexOf(window->TestFace().mmAnalysis),
              actions.indexOf(window->TestFace().N4));
    EXPECT_EQ(actions.mid(actions.indexOf(window->TestFace().N4)), expected) << "at the end";
    EXPECT_TRUE(window->TestFace().N4->isSeparator());
    QStringList captions;
    QStringList keys;
    for (const QAction* action : expected.mid(1)) {
        captions.push_back(action->text());
        keys.push_back(action->shortcut().toString());
    }
    EXPECT_EQ(captions, (QStringList{"元に戻す(&U)", "やり直し(&Y)", "切り取り(&T)", "コピー(&C)",
                                     "見出し付きでコピー(&H)", "貼り付け(&V)", "消去(&L)"}));
    EXPECT_EQ(keys, (QStringList{"Ctrl+Z", "Ctrl+Y", "Ctrl+X", "Ctrl+C", "Ctrl+Shift+C", "Ctrl+V",
                                 "Del"}));
    EXPECT_EQ(window->TestFace().mmRedo->shortcuts().size(), 2) << "Ctrl+Shift+Z as well";
    ExpectOwnAccessKeys(*window);
    EXPECT_FALSE(window->TestFace().mmUndo->isEnabled());
    EXPECT_FALSE(window->TestFace().mmRedo->isEnabled());
}

TEST_F(GridEditing, CaptionsComeFromTheLanguageFileAndStayJapaneseWhereMissing) {
    WriteTestFile(folders.LanguageFile(),
                  "[Main]\r\nmmUndo.Caption=&Undo\r\nmmClear.Caption=C&lear\r\n");
    window = ShowWindow(folders, services);
    EXPECT_EQ(window->TestFace().mmUndo->text(), "&Undo");
    EXPECT_EQ(window->TestFace().mmClear->text(), "C&lear");
    EXPECT_EQ(window->TestFace().mmRedo->text(), "やり直し(&Y)");

    WriteTestFile(folders.LanguageFile(), ReadTestFile(PELLORAN_RESOURCES_FOLDER "/lang/en.lng"));
    window = ShowWindow(folders, services);
    EXPECT_EQ(window->TestFace().mmPasteCells->text(), "Paste &block");
    ExpectOwnAccessKeys(*window);
}

// Typed in the number and name columns, where typing never moves on.
TEST_F(GridEditing, TypingInACellIsOneStepThatUndoAndRedoTakeBackAndBringAgain) {
    Enter(1, 3);
    Type(QStringLiteral("1001"));
    Enter(2, 3);
    Type(QStringLiteral("Abe"));
    EXPECT_TRUE(window->TestFace().mmUndo->isEnabled());
    Undo();
    EXPECT_EQ(Cell(2, 3), "");
    EXPECT_EQ(View().Editor()->text(), "") << "the editor shows the cell";
    EXPECT_EQ(Cell(1, 3), "1001");
    Undo();
    EXPECT_EQ(Cell(1, 3), "");
    EXPECT_FALSE(window->TestFace().mmUndo->isEnabled());
    EXPECT_TRUE(window->TestFace().mmRedo->isEnabled());
    Redo();
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Cell(1, 3), "1001");
    EXPECT_EQ(Cell(2, 3), "Abe");
    EXPECT_FALSE(window->TestFace().mmRedo->isEnabled());
}

TEST_F(GridEditing, ARangeCopiesAsASpreadsheetTakesItAndPastesBackTheSame) {
    Table().SetCell(3, 3, "a\tb");
    Table().SetCell(4, 3, "say \"hi\"");
    Table().SetCell(3, 4, "two\r\nlines");
    Table().SetCell(4, 4, "\x88\x9f"); // 亜
    Enter(3, 3);
    SelectRightAndDown(1, 1);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(services.clipboard,
              QStringLiteral("\"a\tb\"\t\"say \"\"hi\"\"\"\r\n\"two\r\nlines\"\t亜\r\n"));
    EXPECT_TRUE(services.clipboardHtml.contains(QStringLiteral("<table")));
    EXPECT_TRUE(services.clipboardHtml.contains(QStringLiteral("two<br>lines")));
    EXPECT_FALSE(window->TestFace().mmUndo->isEnabled()) << "copying changes nothing";

    Enter(10, 20);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(10, 20), "a\tb");
    EXPECT_EQ(Cell(11, 20), "say \"hi\"");
    EXPECT_EQ(Cell(10, 21), "two\r\nlines");
    EXPECT_EQ(Cell(11, 21), "\x88\x9f");
    EXPECT_EQ(View().SelectedRange().lastRow, 21) << "the pasted block is selected";
    EXPECT_EQ(View().CurrentColumn(), 10) << "no key release moved on";
    Undo();
    EXPECT_EQ(Cell(10, 20), "");
    EXPECT_EQ(Cell(11, 21), "");
}

TEST_F(GridEditing, CopyWithHeadingsPutsTheTitlesBeforeTheRange) {
    Table().SetCell(3, 3, "a");
    Enter(3, 3);
    window->TestFace().mmCopyWithTitles->trigger();
    const auto title = [this](int column) { return FromCodePage(Table().Cell(column, 0)); };
    EXPECT_EQ(services.clipboard, title(1) + "\t" + title(2) + "\t" + title(3) + "\r\n\t\ta\r\n");
}

TEST_F(GridEditing, CutEmptiesTheRangeAndDeleteClearsARangeButOneCellKeepsTheEditorsDelete) {
    for (int row = 3; row <= 4; ++row) {
        for (int column = 3; column <= 4; ++column) {
            Table().SetCell(column, row, "xy");
        }
    }
    Enter(3, 3);
    SelectRightAndDown(0, 1);
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(services.clipboard, QStringLiteral("xy\r\nxy\r\n"));
    EXPECT_EQ(Cell(3, 3), "");
    EXPECT_EQ(Cell(3, 4), "");
    Enter(4, 3);
    SelectRightAndDown(0, 1);
    Press(Qt::Key_Delete);
    EXPECT_EQ(Cell(4, 3), "");
    EXPECT_EQ(Cell(4, 4), "");
    Undo();
    EXPECT_EQ(Cell(4, 4), "xy");
    Undo();
    EXPECT_EQ(Cell(3, 4), "xy");

    Table().SetCell(2, 3, "xyz");
    Enter(2, 3);
    Press(Qt::Key_Home);
    Press(Qt::Key_Delete);
    EXPECT_EQ(Cell(2, 3), "yz") << "one character, as the editor deletes it";

    Enter(6, 3);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(6, 3), "xy");
    EXPECT_EQ(Cell(6, 4), "xy") << "a block one column wide is a block, not one cell's text";
}

TEST_F(GridEditing, OneCellsTextGoesIntoTheEditorAndCopyOfPartOfItIsTheEditors) {
    Enter(2, 3);
    Type(QStringLiteral("ab"));
    services.clipboard = QStringLiteral("cd\r\n");
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(2, 3), "abcd") << "inserted at the caret, the line break dropped";
    EXPECT_EQ(Cell(3, 3), "");
    Press(Qt::Key_Left, Qt::ShiftModifier);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "d") << "the editor's selected text";
    Undo();
    EXPECT_EQ(Cell(2, 3), "") << "typing and pasting into one cell are one step";

    Table().SetCell(1, 3, "a\tb");
    Enter(1, 3);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(services.clipboard, "\"a\tb\"\r\n") << "the whole cell, as spreadsheets copy it";
    Enter(2, 4);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(2, 4), "a\tb") << "the cell copied here, not its quoted text";
    EXPECT_EQ(Cell(3, 4), "");
}

TEST_F(GridEditing, ReleasingTheKeysOfACommandDoesNotMoveOnButTypingStillDoes) {
    WriteKey();
    services.clipboard = QStringLiteral("b");
    Enter(3, 3);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(3, 3), "b");
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control);
    EXPECT_EQ(View().CurrentColumn(), 3);
    Press(Qt::Key_C, Qt::ControlModifier);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(View().CurrentColumn(), 3);
    Type(QStringLiteral("c"));
    EXPECT_EQ(View().CurrentColumn(), 4) << "the answer is as long as the key";
}

TEST_F(GridEditing, CharactersTheCodePageCannotHoldAreToldAndBecomeQuestionMarks) {
    services.clipboard = QStringLiteral("😀\tb\r\n한\tc\r\n");
    Enter(3, 3);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(3, 3), "?");
    EXPECT_EQ(Cell(3, 4), "?");
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_TRUE(services.messages.front().contains(QStringLiteral(" 2 個")))
        << services.messages.front().toStdString();
}

TEST_F(GridEditing, ABlockPastBelowTheShownRowsGrowsTheGrid) {
    QString block;
    for (int row = 0; row < 10; ++row) {
        block += QStringLiteral("n%1\tname\r\n").arg(row);
    }
    services.clipboard = block;
    Enter(1, 100);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(1, 109), "n9");
    EXPECT_EQ(View().Model().ShownRowCount(), 111) << "the rows pasted and an empty one";
    Undo();
    EXPECT_EQ(Cell(1, 109), "");
    View().FlushPaints();
    EXPECT_EQ(View().Model().ShownRowCount(), TAnswerTable::ShownRows) << "and shrinks it back";
    Redo();
    View().FlushPaints();
    EXPECT_EQ(View().Model().ShownRowCount(), 111);
}

// Undo of Open, Mark, a sort and New brings back the tables, the enabled commands and the
// title; back at the table as opened, closing asks nothing.
TEST_F(GridEditing, EveryCommandUndoesWithItsStateAndTheDiscardQuestionFollows) {
    const QString file = folders.CreateFile("quiz.csv", SmallClass);
    services.openAnswers.push_back(file);
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmMark->trigger();
    ASSERT_TRUE(window->TestFace().mmSortwithpoint->isEnabled());
    ASSERT_EQ(Cell(6, 3), "2") << "Sato's score";
    window->TestFace().mmSortwithpoint->trigger();
    EXPECT_EQ(Cell(1, 3), "1002");
    services.discardAnswers.push_back(TDiscardAnswer::No);
    window->TestFace().mmNew->trigger();
    EXPECT_EQ(window->windowTitle(), "Pelloran");
    EXPECT_EQ(Cell(1, 3), "");

    window->TestFace().mmUndo->trigger();
    EXPECT_EQ(window->windowTitle(), "quiz - Pelloran");
    EXPECT_EQ(Cell(1, 3), "1002");
    window->TestFace().mmUndo->trigger();
    EXPECT_EQ(Cell(1, 3), "1001");
    EXPECT_TRUE(window->TestFace().mmSortwithpoint->isEnabled());
    window->TestFace().mmUndo->trigger();
    EXPECT_FALSE(window->TestFace().mmSortwithpoint->isEnabled()) << "as before Mark";
    EXPECT_EQ(Cell(6, 3), "") << "no score";
    EXPECT_TRUE(CloseWindow(*window)) << "the table as opened: nothing is asked";
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
}

TEST_F(GridEditing, UndoOfOpenBringsBackTheTypedTableAndItsQuestion) {
    Enter(1, 3);
    Type(QStringLiteral("9"));
    services.discardAnswers.push_back(TDiscardAnswer::No);
    services.openAnswers.push_back(folders.CreateFile("quiz.csv", SmallClass));
    window->TestFace().mmOpen->trigger();
    EXPECT_EQ(services.questions.size(), 1);
    EXPECT_EQ(Cell(2, 3), "Sato");
    window->TestFace().mmUndo->trigger();
    EXPECT_EQ(Cell(1, 3), "9");
    EXPECT_EQ(window->windowTitle(), "Pelloran");
    services.discardAnswers.push_back(TDiscardAnswer::Cancel);
    EXPECT_FALSE(CloseWindow(*window)) << "the typed table is asked for again";
    window->TestFace().mmRedo->trigger();
    EXPECT_EQ(Cell(2, 3), "Sato");
    EXPECT_EQ(window->windowTitle(), "quiz - Pelloran");
    EXPECT_TRUE(CloseWindow(*window));
}

} // namespace

namespace {

/// What undo and redo must bring back in the window.
struct TWindowState {
    TCells cells;
    TTableState table;
    QString title;

    bool operator==(const TWindowState& other) const = default;
};

void PrintTo(const TWindowState& state, std::ostream* out) {
    for (const std::vector<std::string>& row : state.cells) {
        *out << Escaped(row) << "\n";
    }
    *out << "questions=" << state.table.questionCount << " enabled=" << state.table.enabled[0]
         << state.table.enabled[1] << state.table.enabled[2]
         << " title=" << state.title.toStdString();
}

/// A seeded sequence of the window's commands with undo and redo between them, on a window of
/// its own: after each undo or redo the window holds what it held at that point, and a command
/// that leaves no step changes no cell (typing on in the same cell joins the step before).
class TRandomEditing {
public:
    explicit TRandomEditing(std::uint32_t seed) : work_(seed) {
        window_ = ShowWindow(folders_, services_);
        states_.push_back(Now());
    }

    void RunStep() {
        const int command = work_.Below(12);
        if (command >= 10) {
            UndoOrRedo(command == 10);
            return;
        }
        const std::size_t before = History().UndoCount();
        Run(command);
        const std::size_t after = History().UndoCount();
        if (after == before + 1) {
            states_.resize(after);
            states_.push_back(Now());
            return;
        }
        ASSERT_EQ(after, before) << log_;
        // A failed command may leave the commands' state as its own rules say.
        EXPECT_TRUE(command == 0 || Now().cells == states_[after].cells)
            << "no step, yet the cells changed: " << log_;
        states_[after] = Now();
    }

    const std::string& Log() const { return log_; }

private:
    const TTableHistory& History() const { return window_->History(); }

    TWindowState Now() const {
        return {CellsOf(window_->AnswerTable()), TableState(window_->AnswerTable()),
                window_->windowTitle()};
    }

    void UndoOrRedo(bool undo) {
        if (undo ? !History().CanUndo() : !History().CanRedo()) {
            return;
        }
        log_ += undo ? "undo " : "redo ";
        const std::size_t at = undo ? History().UndoCount() - 1 : History().UndoCount() + 1;
        (undo ? window_->TestFace().mmUndo : window_->TestFace().mmRedo)->trigger();
        ASSERT_EQ(History().UndoCount(), at) << log_;
        EXPECT_EQ(Now(), states_[at]) << log_;
    }

    /// A random answer file that loads: a failed Open renames the window without a step.
    QString LoadableFile() {
        while (true) {
            const QString fileName = folders_.CreateFile(
                "random" + std::to_string(files_++) + ".csv", work_.AnswerFileText());
            TAnswerTable scratch;
            scratch.Reset();
            try {
                LoadAnswerFile(scratch, ToNativePath(fileName));
            } catch (const std::exception&) {
                continue;
            }
            return fileName;
        }
    }

    void Run(int command) {
        TAnswerGrid& grid = *window_->TestFace().Table;
        grid.SetCurrentCell(1 + work_.Below(8), 1 + work_.Below(12));
        switch (command) {
        case 0: {
            const QString text(QChar(u'a' + work_.Below(3)));
            log_ += "type" + text.toStdString() + " ";
            QTest::keyClicks(grid.Editor(), text);
            break;
        }
        case 1: {
            TCells block(static_cast<std::size_t>(1 + work_.Below(3)));
            for (std::vector<std::string>& row : block) {
                row.resize(static_cast<std::size_t>(1 + work_.Below(3)));
                for (std::string& cell : row) {
                    cell = work_.CellText();
                }
            }
            services_.clipboard = FromCodePage(BlockClipboardText(BlockOf(block)));
            log_ += "paste-block" + Escaped(services_.clipboard.toStdString()) + " ";
            window_->TestFace().mmPasteCells->trigger();
            break;
        }
        case 2:
        case 3:
            grid.SelectRange({grid.CurrentColumn(), grid.CurrentRow(),
                              grid.CurrentColumn() + work_.Below(3),
                              grid.CurrentRow() + work_.Below(3)});
            log_ += command == 2 ? "clear " : "cut ";
            (command == 2 ? window_->TestFace().mmClear : window_->TestFace().mmCut)->trigger();
            break;
        case 4:
            services_.clipboard = FromCodePage(work_.RosterText());
            log_ += "roster ";
            window_->TestFace().mmPaste->trigger();
            break;
        case 5:
            log_ += "mark ";
            window_->TestFace().mmMark->trigger();
            break;
        case 6:
            log_ += "sort-number ";
            window_->TestFace().mmSortWithNumber->trigger();
            break;
        case 7:
            log_ += "sort-score ";
            window_->TestFace().mmSortwithpoint->trigger();
            break;
        case 8:
            log_ += "open ";
            services_.discardAnswers = {TDiscardAnswer::No};
            services_.openAnswers = {LoadableFile()};
            window_->TestFace().mmOpen->trigger();
            break;
        default:
            log_ += "new ";
            services_.discardAnswers = {TDiscardAnswer::No};
            window_->TestFace().mmNew->trigger();
            break;
        }
        services_.discardAnswers.clear();
        services_.openAnswers.clear();
    }

    TRandomWork work_;
    TWindowFolders folders_;
    TFakeServices services_;
    std::unique_ptr<TMain> window_;
    /// The window at each point of its history: at index k with k steps done.
    std::vector<TWindowState> states_;
    int files_ = 0;
    std::string log_;
};

TEST(RandomGridEditing, UndoAndRedoBringBackTheWindowOfEveryStep) {
    for (int seed = 1; seed <= Scaled(40) && !testing::Test::HasFailure(); ++seed) {
        TRandomEditing sequence(static_cast<std::uint32_t>(seed));
        for (int step = 0; step < 20 && !testing::Test::HasFailure(); ++step) {
            sequence.RunStep();
        }
        if (testing::Test::HasFailure()) {
            ADD_FAILURE() << "seed " << seed << ": " << sequence.Log();
        }
    }
}

} // namespace
