#include "ShellTestSupport.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {

/// Save and the keys of the file commands, pressed as a teacher types them.
class SaveCommand : public TWindowInUse {};

TEST_F(SaveCommand, CtrlSWritesTheOpenedFileWithoutADialogAndCtrlNAndCtrlOFollow) {
    Open(SmallClass);
    Enter(4, 3);
    Type(QStringLiteral("b"));
    Enter(4, 3);
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(View().CurrentColumn(), 4) << "the command's key is no typing that moves on";
    EXPECT_TRUE(services.saveFolders.isEmpty());
    EXPECT_EQ(ReadTestFile(folders / "quiz.csv"),
              ",,a,b,c,,\r\n,,1,1,1,,\r\n1001,Sato,a,b,c,,\r\n1002,Suzuki,a,b,c,,\r\n");
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Table().Cell(4, 3), "") << "nothing was left to save, nothing asked";
    services.openAnswers.push_back(NativeName(folders / "quiz.csv"));
    Enter(1, 1);
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Table().Cell(4, 3), "b");
}

TEST_F(SaveCommand, AnUntitledTableOrOneNamedAfterAFileThatDidNotOpenGoesToSaveAs) {
    const QString sheet = folders.CreateFile("sheet.csv", std::string("\0\0\0x", 4));
    services.saveAnswers = {std::nullopt, sheet};
    window->TestFace().mmSave->trigger();
    Open(SmallClass);
    services.openAnswers.push_back(sheet);
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmSave->trigger();
    EXPECT_EQ(services.saveProposals, (QStringList{"", sheet}));
    EXPECT_EQ(ReadTestFile(folders / "sheet.csv"), SmallClass);
    EXPECT_EQ(services.errors.size(), 1) << "no change of quiz.csv is told of sheet.csv";
}

TEST_F(SaveCommand, AFileChangedByAnotherProgramIsOverwrittenOnlyWhenTold) {
    Open(SmallClass);
    folders.CreateFile("quiz.csv", ",,z,,\r\n");
    services.choiceAnswers = {2, 1};
    window->TestFace().mmSave->trigger();
    EXPECT_EQ(ReadTestFile(folders / "quiz.csv"), ",,z,,\r\n") << "cancelled";
    services.saveAnswers.push_back(NativeName(folders / "other.csv"));
    window->TestFace().mmSave->trigger();
    EXPECT_EQ(ReadTestFile(folders / "other.csv"), SmallClass) << "another name was chosen";
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
