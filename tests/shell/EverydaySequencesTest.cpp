#include "ShellTestSupport.h"
#include "shell/recent/FileNameKeeper.h"
#include "table/file/AnswerFile.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {

/// Sequences of ordinary commands that once lost or mixed a class.
class EverydaySequence : public testing::Test {
protected:
    std::unique_ptr<TMain> Show() { return ShowWindow(folders, services); }

    std::string Cell(int column, int row) const {
        return std::string(window->AnswerTable().Cell(column, row));
    }

    QString Path(std::string_view name) const {
        return QString::fromStdString((folders / name).string());
    }

    /// Chooses the recent file whose entry ends with `name`.
    void ChooseRecent(const QString& fileName) const {
        for (QAction* entry : window->TestFace().FileNameKeep->MenuItems()) {
            if (entry->text().endsWith(fileName)) {
                entry->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no recent entry " << fileName.toStdString();
    }

    TWindowFolders folders;
    TFakeServices services;
    std::unique_ptr<TMain> window = Show();
};

TEST_F(EverydaySequence, AFileOpenedAfterAPastedRosterHoldsOnlyItsOwnClass) {
    services.clipboard = QStringLiteral("1,Abe\n2,Baba\n3,Chiba\n4,Doi\n5,Endo\n");
    window->TestFace().mmPaste->trigger();
    services.discardAnswers.push_back(TDiscardAnswer::No);
    services.openAnswers.push_back(folders.CreateFile("two.csv", SmallClass));
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmMark->trigger();
    EXPECT_EQ(Cell(1, 5), "") << "roster student 3 stayed";
    EXPECT_EQ(Cell(2, 7), "");
    services.saveAnswers.push_back(Path("marked.csv"));
    window->TestFace().mmSaveAs->trigger();
    TAnswerTable saved;
    LoadAnswerText(saved, ReadTestFile(folders / "marked.csv"));
    EXPECT_EQ(saved.Cell(1, 4), "1002");
    EXPECT_EQ(saved.Cell(1, 5), "");
}

// The table was reset by the failed load while the title still named the first file: one
// confirmation later that file was empty.
TEST_F(EverydaySequence, ARecentFileThatIsGoneLeavesTheClassAndItsFile) {
    const QString first = folders.CreateFile("first.csv", SmallClass);
    const QString gone = folders.CreateFile("gone.csv", SmallClass);
    services.openAnswers = {gone, first};
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmOpen->trigger();
    std::filesystem::remove(folders / "gone.csv");
    ChooseRecent(gone);
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_EQ(window->windowTitle(), "first - Pelloran");
    EXPECT_EQ(Cell(2, 3), "Sato");
    EXPECT_EQ(window->LoadedText(), SmallClass);

    services.saveAnswers.push_back(std::nullopt);
    window->TestFace().mmSaveAs->trigger();
    EXPECT_EQ(services.saveProposals.last(), first);
    EXPECT_TRUE(CloseWindow(*window)) << "nothing changed, nothing asked";
    EXPECT_EQ(ReadTestFile(folders / "first.csv"), SmallClass);
}

// After New the question compared the empty table with the file opened before, and its
// default answer offered that file's name: a large class became a 10-byte file.
TEST_F(EverydaySequence, NothingIsAskedAfterNewOrRightAfterSaving) {
    services.openAnswers.push_back(folders.CreateFile("big.csv", SmallClass));
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmNew->trigger();
    services.openAnswers.push_back(folders.CreateFile("demo.csv", SmallClass));
    window->TestFace().mmOpen->trigger();
    EXPECT_TRUE(services.questions.isEmpty());

    window->AnswerTable().SetCell(2, 3, "Saitou");
    services.saveAnswers.push_back(Path("renamed.csv"));
    window->TestFace().mmSaveAs->trigger();
    window->TestFace().mmNew->trigger();
    EXPECT_TRUE(services.questions.isEmpty());
    EXPECT_TRUE(CloseWindow(*window));
    EXPECT_TRUE(services.questions.isEmpty());
    EXPECT_EQ(ReadTestFile(folders / "big.csv"), SmallClass);
}

TEST_F(EverydaySequence, ATypedNewTableIsProtected) {
    services.openAnswers.push_back(folders.CreateFile("quiz.csv", SmallClass));
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmNew->trigger();
    window->AnswerTable().SetCell(1, 3, "1001");
    services.discardAnswers.push_back(TDiscardAnswer::Cancel);
    EXPECT_FALSE(CloseWindow(*window));
    EXPECT_EQ(services.questions.size(), 1);
}

TEST_F(EverydaySequence, NewStartsAnUntitledClassWithoutTheOldResults) {
    std::string fifty[3] = {",,", ",,", "1,Ann,"};
    for (int question = 1; question <= 50; ++question) {
        fifty[0] += "a,";
        fifty[1] += "1,";
        fifty[2] += "a,";
    }
    services.openAnswers.push_back(
        folders.CreateFile("fifty.csv", fifty[0] + "\r\n" + fifty[1] + "\r\n" + fifty[2] + "\r\n"));
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmMark->trigger();
    ASSERT_FALSE(Cell(53, 3).empty());
    services.discardAnswers.push_back(TDiscardAnswer::No);
    window->TestFace().mmNew->trigger();
    for (const auto& [column, row] :
         {std::pair{53, 0}, {53, 1}, {53, 2}, {53, 3}, {54, 1}, {54, 2}}) {
        EXPECT_EQ(Cell(column, row), "") << "cell (" << column << ", " << row << ")";
    }
    EXPECT_EQ(window->windowTitle(), "Pelloran");
    services.saveAnswers.push_back(std::nullopt);
    window->TestFace().mmSaveAs->trigger();
    EXPECT_EQ(services.saveProposals.last(), "") << "the old file is not offered";
}

TEST_F(EverydaySequence, NewShrinksTheGridBackAfterAWideLargeClass) {
    std::string text = ",,";
    for (int question = 1; question <= 60; ++question) {
        text += "a,";
    }
    text += "\r\n,,\r\n";
    for (int student = 1; student <= 150; ++student) {
        text += std::to_string(1000 + student) + ",N,a,\r\n";
    }
    services.openAnswers.push_back(folders.CreateFile("wide.csv", text));
    window->TestFace().mmOpen->trigger();
    window->TestFace().Table->FlushPaints();
    const TAnswerTableModel& model = window->TestFace().Table->Model();
    EXPECT_GT(model.columnCount(), TAnswerTable::ShownColumns - 1);
    EXPECT_GT(model.rowCount(), TAnswerTable::ShownRows - 1);
    services.discardAnswers.push_back(TDiscardAnswer::No);
    window->TestFace().mmNew->trigger();
    window->TestFace().Table->FlushPaints();
    EXPECT_EQ(model.columnCount(), TAnswerTable::ShownColumns - 1);
    EXPECT_EQ(model.rowCount(), TAnswerTable::ShownRows - 1);
}

TEST_F(EverydaySequence, AChangedTableIsAskedForThenTheSettingsFailureDoesNotKeepTheWindow) {
    window->AnswerTable().SetCell(1, 3, "1001");
    std::filesystem::create_directories(folders.Settings());
    services.discardAnswers.push_back(TDiscardAnswer::No);
    EXPECT_TRUE(CloseWindow(*window));
    EXPECT_EQ(services.errors.size(), 1);
}

// A student typed below an empty row: the save names the row and drops it only when asked to.
TEST_F(EverydaySequence, ASaveNamesTheCellsTheFileDropsAndWritesOnlyWhenAllowed) {
    services.openAnswers.push_back(folders.CreateFile("two.csv", SmallClass));
    window->TestFace().mmOpen->trigger();
    window->AnswerTable().SetCell(1, 6, "1005");
    services.choiceAnswers = {1};
    window->TestFace().mmSaveAs->trigger();
    ASSERT_EQ(services.choiceQuestions.size(), 1);
    EXPECT_TRUE(services.choiceQuestions[0].contains(QStringLiteral("・行 4: 行 3 の学籍番号が空")))
        << services.choiceQuestions[0].toStdString();
    EXPECT_TRUE(services.saveFolders.isEmpty()) << "cancelled before the dialog";
    services.discardAnswers.push_back(TDiscardAnswer::Cancel);
    EXPECT_FALSE(CloseWindow(*window)) << "the typed student counts as a change";
    services.choiceAnswers = {0};
    services.saveAnswers.push_back(Path("saved.csv"));
    window->TestFace().mmSaveAs->trigger();
    EXPECT_EQ(ReadTestFile(folders / "saved.csv"), SmallClass);
    EXPECT_TRUE(CloseWindow(*window));
}

TEST_F(EverydaySequence, ARosterOverAClassWithAnswersAsksAndCanStartANewClass) {
    services.openAnswers.push_back(folders.CreateFile("two.csv", SmallClass));
    window->TestFace().mmOpen->trigger();
    services.clipboard = QStringLiteral("9001,Zed\r\n9002\r\n");
    window->TestFace().mmPaste->trigger();
    EXPECT_TRUE(services.choiceQuestions.isEmpty()) << "a roster the paste refuses asks nothing";
    EXPECT_EQ(Cell(1, 4), "1002");
    services.clipboard = QStringLiteral("9001,Zed\r\n");
    services.choiceAnswers = {1};
    window->TestFace().mmPaste->trigger();
    EXPECT_EQ(services.choiceQuestions.size(), 1);
    EXPECT_EQ(Cell(2, 3), "Zed");
    EXPECT_EQ(Cell(3, 3), "") << "a new class keeps no answer of the old";
    EXPECT_EQ(Cell(2, 4), "");
    EXPECT_EQ(window->windowTitle(), "Pelloran");
}

TEST_F(EverydaySequence, AKeyFileOpenedOverAClassKeepsTheClassesName) {
    services.openAnswers = {folders.CreateFile("two.csv", SmallClass),
                            folders.CreateFile("key.csv", ",,b,b,b,,\r\n,,2,2,2,,\r\n")};
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmOpen->trigger();
    EXPECT_EQ(window->windowTitle(), "two - Pelloran");
    EXPECT_EQ(Cell(3, 1), "b");
    services.saveAnswers.push_back(std::nullopt);
    window->TestFace().mmSaveAs->trigger();
    EXPECT_EQ(services.saveProposals.last(), Path("two.csv"));
    services.discardAnswers.push_back(TDiscardAnswer::Cancel);
    EXPECT_FALSE(CloseWindow(*window)) << "the new key counts as a change";
}

// Two windows on one file: the later save asks before it overwrites the earlier one's.
TEST_F(EverydaySequence, AFileChangedByAnotherWindowIsNotOverwrittenWithoutAsking) {
    const QString file = folders.CreateFile("two.csv", SmallClass);
    services.openAnswers = {file, file};
    window->TestFace().mmOpen->trigger();
    TFakeServices otherServices;
    otherServices.openAnswers.push_back(file);
    const auto other = ShowWindow(folders, otherServices);
    other->TestFace().mmOpen->trigger();
    other->AnswerTable().SetCell(2, 3, "Sato B");
    otherServices.saveAnswers.push_back(file);
    other->TestFace().mmSaveAs->trigger();
    window->AnswerTable().SetCell(2, 4, "Suzuki A");
    services.saveAnswers = {file, std::nullopt};
    services.choiceAnswers = {1};
    window->TestFace().mmSaveAs->trigger();
    EXPECT_EQ(services.choiceQuestions.size(), 1);
    EXPECT_EQ(services.saveFolders.size(), 2) << "Save As chose again";
    EXPECT_NE(ReadTestFile(folders / "two.csv").find("Sato B"), std::string::npos);
    otherServices.discardAnswers.push_back(TDiscardAnswer::No);
    services.discardAnswers.push_back(TDiscardAnswer::No);
}

} // namespace
