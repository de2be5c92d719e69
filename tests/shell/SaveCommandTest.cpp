#include "ShellTestSupport.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {

/// Save, its key and the keys of Open and New, pressed as a teacher types them.
class SaveCommand : public TWindowInUse {
protected:
    QString OpenQuiz() {
        Open(SmallClass);
        return NativeName(folders / "quiz.csv");
    }
};

TEST_F(SaveCommand, CtrlSWritesTheOpenedFileWithoutADialogAndDoesNotMoveOn) {
    OpenQuiz();
    Enter(4, 3);
    Type(QStringLiteral("b"));
    ASSERT_EQ(View().CurrentColumn(), 5) << "the answer as long as its key moved on";
    Enter(4, 3);
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(View().CurrentColumn(), 4) << "the command's key is no typing";
    EXPECT_TRUE(services.saveFolders.isEmpty());
    EXPECT_EQ(ReadTestFile(folders / "quiz.csv"),
              ",,a,b,c,,\r\n,,1,1,1,,\r\n1001,Sato,a,b,c,,\r\n1002,Suzuki,a,b,c,,\r\n");
    EXPECT_TRUE(CloseWindow(*window)) << "nothing is left to save";
}

TEST_F(SaveCommand, AnUntitledTableOrAFileThatDidNotOpenGoesToSaveAs) {
    services.saveAnswers = {std::nullopt, std::nullopt};
    window->TestFace().mmSave->trigger();
    EXPECT_EQ(services.saveFolders.size(), 1);

    const QString unreadable = folders.CreateFile("sheet.csv", std::string("\0\0\0x", 4));
    services.openAnswers.push_back(unreadable);
    window->TestFace().mmOpen->trigger();
    ASSERT_EQ(services.errors.size(), 1);
    window->TestFace().mmSave->trigger();
    EXPECT_EQ(services.saveProposals.last(), unreadable);
    EXPECT_EQ(ReadTestFile(folders / "sheet.csv"), std::string("\0\0\0x", 4));
    EXPECT_TRUE(services.choiceQuestions.isEmpty()) << "no change by another program is told";
}

TEST_F(SaveCommand, AFileChangedByAnotherProgramIsOverwrittenOnlyWhenTold) {
    const QString quiz = OpenQuiz();
    folders.CreateFile("quiz.csv", ",,z,,\r\n");
    services.choiceAnswers = {2, 1};
    window->TestFace().mmSave->trigger();
    EXPECT_EQ(ReadTestFile(folders / "quiz.csv"), ",,z,,\r\n") << "cancelled";
    services.saveAnswers.push_back(NativeName(folders / "other.csv"));
    window->TestFace().mmSave->trigger();
    EXPECT_EQ(services.saveProposals, QStringList{quiz}) << "another name was chosen";
    EXPECT_EQ(ReadTestFile(folders / "other.csv"), SmallClass);
    EXPECT_EQ(window->windowTitle(), "other - Pelloran");
}

TEST_F(SaveCommand, CtrlOOpensAndCtrlNStartsANewTest) {
    const QString quiz = NativeName(folders / "quiz.csv");
    folders.CreateFile("quiz.csv", SmallClass);
    services.openAnswers.push_back(quiz);
    Enter(1, 1);
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(window->windowTitle(), "quiz - Pelloran");
    Enter(1, 1);
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Table().Cell(2, 3), "");
    EXPECT_EQ(window->TestFace().mmSave->text(), "上書き保存(&S)");
}

TEST_F(SaveCommand, SaveAsIntoAFolderThatCannotBeWrittenStartsInTheDocuments) {
    std::filesystem::create_directories(folders.Home() / "Documents");
    services.openAnswers.push_back(folders.CreateFile("program/Data/Demo.csv", SmallClass));
    window->TestFace().mmOpen->trigger();
    // A folder that is gone stands for one that cannot be written: tests may run as root.
    std::filesystem::remove_all(folders / "program" / "Data");
    services.saveAnswers.push_back(std::nullopt);
    window->TestFace().mmSaveAs->trigger();
    EXPECT_EQ(services.saveFolders, QStringList{NativeName(folders.Home() / "Documents")});
    EXPECT_EQ(services.saveProposals,
              QStringList{NativeName(folders.Home() / "Documents" / "Demo.csv")});
}

} // namespace
