#include "ShellTestSupport.h"
#include "shell/logic/SettingsFiles.h"
#include "shell/recent/FileNameKeeper.h"
#include "shell/window/ShellText.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

class LanguageFile : public testing::Test {
protected:
    std::unique_ptr<TMain> ShowWith(std::string_view languageFile) {
        WriteTestFile(folders.LanguageFile(), languageFile);
        return ShowWindow(folders, services);
    }

    TWindowFolders folders;
    TFakeServices services;
};

std::string MessageKeysOnly() {
    std::string file = "[Main]\r\n";
    for (int number = 1; number <= 10; ++number) {
        file += "Msg" + std::to_string(number) + "=m" + std::to_string(number) + "\r\n";
    }
    return file;
}

TEST_F(LanguageFile, MissingCaptionKeysEmptyTheCaptionsAndTheirHints) {
    const auto window = ShowWith(MessageKeysOnly());
    EXPECT_EQ(window->TestFace().mmFile->title(), "");
    EXPECT_EQ(window->TestFace().mmSortwithpoint->text(), "");
    EXPECT_EQ(window->TestFace().mmAbout->text(), "");
    EXPECT_EQ(window->TestFace().mmEdit->title(), "編集(&E)");
    EXPECT_EQ(window->TestFace().ToolButton1->toolTip(), "");
    EXPECT_EQ(window->TestFace().ToolButton5->toolTip(), "");
    EXPECT_EQ(window->AnswerTable().Cell(1, 0), "m1");
    EXPECT_EQ(window->AnswerTable().Cell(3, 0), "m51");
    EXPECT_EQ(window->AnswerTable().Message(TMessage::DeviationTitle), "m10");
}

TEST_F(LanguageFile, KeysMatchInAnyCaseAndCaptionsAreShiftJis) {
    const auto window = ShowWith("[main]\r\n"
                                 "MMSORTWITHPOINT.CAPTION=By &score\r\n"
                                 "mmNew.Caption=\x90\x56\x8b\x4b(&N)\r\n"
                                 "mmExit.Caption=-\r\n"
                                 "Msg6=Save<BR>changes?\r\n");
    EXPECT_EQ(window->TestFace().mmSortwithpoint->text(), "By &score");
    EXPECT_EQ(window->TestFace().mmNew->text(), "新規(&N)");
    EXPECT_EQ(window->TestFace().ToolButton1->toolTip(), "新規(&N)");
    EXPECT_TRUE(window->TestFace().mmExit->isSeparator());
    EXPECT_EQ(window->TestFace().mmExit->text(), "") << "the line shows no \"-\"";
    EXPECT_EQ(window->AnswerTable().Message(TMessage::DiscardQuestion), "Save\r\nchanges?");
}

TEST_F(LanguageFile, FaceNamesAreCutTo31Bytes) {
    const std::string longFace(40, 'F');
    const auto window =
        ShowWith("[Main]\r\nFont.Name=" + longFace + "\r\nTable.Font.Name=" + longFace + "\r\n");
    EXPECT_EQ(window->font().family(), QString(31, QLatin1Char('F')));
    EXPECT_EQ(window->TestFace().Table->font().family(), QString(31, QLatin1Char('F')));
}

TEST_F(LanguageFile, AnotherSectionCountsAsNone) {
    const auto window = ShowWith("[Other]\r\nmmNew.Caption=x\r\n");
    EXPECT_EQ(window->TestFace().mmNew->text(), "");
    EXPECT_EQ(window->AnswerTable().Message(TMessage::NumberTitle), "");
}

/// A text of Qt's own, as its dialogs and message boxes show it now.
QString QtCancel() {
    return QCoreApplication::translate("QPlatformTheme", "Cancel");
}

TEST_F(LanguageFile, QtsOwnTextsFollowTheLanguageForAsLongAsTheWindowLives) {
    const QString japanese = QStringLiteral("キャンセル");
    {
        const auto window = ShowWindow(folders, services);
        EXPECT_EQ(QtCancel(), japanese) << "without a language file";
    }
    EXPECT_EQ(QtCancel(), "Cancel") << "the window takes its translation with it";
    {
        const auto window = ShowWith(ReadTestFile(PELLORAN_RESOURCES_FOLDER "/lang/en.lng"));
        EXPECT_EQ(QtCancel(), "Cancel");
    }
    {
        const auto window = ShowWith(ReadTestFile(PELLORAN_RESOURCES_FOLDER "/pelloran.lng"));
        EXPECT_EQ(QtCancel(), japanese);
    }
    {
        const auto window = ShowWith("[Main]\r\nmmNew.Caption=New\r\n");
        EXPECT_EQ(QtCancel(), japanese) << "a language file that names none";
    }
}

TEST(SettingsFiles, BesideTheProgramUnlessItsFolderCannotBeWritten) {
#ifdef _WIN32
    const TUserEnvironment user{"C:\\Users\\u\\Documents", "C:\\Users\\u\\AppData\\Roaming"};
    EXPECT_EQ(SettingsFilePath("D:\\p\\pelloran.exe", user, true), "D:\\p\\pelloran.ini");
    EXPECT_EQ(SettingsFilePath("C:\\Program Files\\Pelloran\\pelloran.exe", user, false),
              "C:\\Users\\u\\AppData\\Roaming\\pelloran.ini");
    EXPECT_EQ(SettingsFilePath("C:\\Pelloran\\pelloran.exe", {{}, {}}, false),
              "C:\\Pelloran\\pelloran.ini");
#else
    const TUserEnvironment user{"/home/u", {}};
    EXPECT_EQ(SettingsFilePath("/opt/p/pelloran", user, true), "/opt/p/pelloran.ini");
    EXPECT_EQ(SettingsFilePath("/usr/lib/pelloran/pelloran", user, false),
              "/home/u/.config/pelloran.ini");
    EXPECT_EQ(SettingsFilePath("/usr/bin/pelloran", {{}, {}}, false), "/usr/bin/pelloran.ini");
#endif
}

TEST(SettingsFiles, AUsersSettingsFileComesBeforeTheProgramsFolder) {
    TWindowFolders folders;
    std::filesystem::create_directories(folders.ConfigFolder());
    EXPECT_EQ(SettingsFilePath(folders.Executable(), folders.User(), true), folders.Settings());
    WriteTestFile(folders.ConfigFolder() / "pelloran.ini", "");
    EXPECT_EQ(SettingsFilePath(folders.Executable(), folders.User(), true),
              folders.ConfigFolder() / "pelloran.ini");
}

TEST(SettingsFiles, AUsersLanguageFileComesBeforeTheProgramsOwn) {
    TWindowFolders folders;
    const TUserEnvironment user = folders.User();
    EXPECT_EQ(LanguageFilePath(folders.Executable(), user), folders.LanguageFile());
    std::filesystem::create_directories(folders.ConfigFolder());
    WriteTestFile(folders.ConfigFolder() / "pelloran.lng", "");
    EXPECT_EQ(LanguageFilePath(folders.Executable(), user),
              folders.ConfigFolder() / "pelloran.lng");
}

class SettingsFile : public testing::Test {
protected:
    TWindowFolders folders;
    TFakeServices services;
};

TEST_F(SettingsFile, TheRecentFilesStoreBesideTheProgramSharesTheFile) {
    const QString quiz = folders.CreateFile("tests/quiz.csv", SmallClass);
    services.openAnswers.push_back(quiz);
    {
        const auto window = ShowWindow(folders, services);
        window->TestFace().mmOpen->trigger();
        EXPECT_TRUE(CloseWindow(*window));
    }
    const std::string settings = ReadTestFile(folders.Settings());
    EXPECT_NE(settings.find("[Setting]"), std::string::npos);
    EXPECT_NE(settings.find("[KeepFileNames]\r\nFileName1=" + quiz.toStdString()),
              std::string::npos);
}

// The file dialog of the first run makes the configuration folder, where the second run looked
// for the list.
TEST_F(SettingsFile, TheSecondRunFindsTheListAfterTheConfigurationFolderCameToBe) {
    const QString quiz = folders.CreateFile("tests/quiz.csv", SmallClass);
    services.openAnswers.push_back(quiz);
    {
        const auto window = ShowWindow(folders, services);
        window->TestFace().mmOpen->trigger();
        std::filesystem::create_directories(folders.ConfigFolder());
        EXPECT_TRUE(CloseWindow(*window));
    }
    const auto again = ShowWindow(folders, services);
    EXPECT_EQ(again->TestFace().FileNameKeep->List().FileNames()[0], quiz.toStdString());
    EXPECT_EQ(again->CurrentDir(), FromNativePath(folders / "tests"));
    EXPECT_EQ(again->TestFace().FileNameKeep->List().IniFileName(), folders.Settings());
}

// The list, saved as the window goes, shares the settings file: the next run is no first run,
// and lists the demo file all the same.
TEST_F(SettingsFile, ACancelledCloseOnTheFirstRunStillListsTheDemoFileNextRun) {
    std::filesystem::create_directories(folders.ConfigFolder());
    std::filesystem::create_directories(folders.ProgramFolder() / "Data");
    WriteTestFile(folders.ProgramFolder() / "Data/Demo.csv", "");
    {
        const auto window = ShowWindow(folders, services);
        window->AnswerTable().SetCell(1, 3, "1001");
        services.discardAnswers.push_back(TDiscardAnswer::Cancel);
        EXPECT_FALSE(CloseWindow(*window));
    }
    const auto again = ShowWindow(folders, services);
    EXPECT_EQ(again->CurrentDir(), folders.StartFolder());
    EXPECT_EQ(again->TestFace().FileNameKeep->List().FileNames()[0],
              NativeName(folders.ProgramFolder() / "Data/Demo.csv").toStdString());
}

TEST_F(SettingsFile, AFolderWithALineBreakIsNotWrittenAndTheCloseGoesOn) {
    WriteTestFile(folders.Settings(), "[Setting]\r\nCurrentDir=/old\r\n");
#ifdef _WIN32
    // No Windows folder holds a line break, yet a name given to the program may: opening
    // it fails, and its folder must stay out of the settings file all the same.
    services.openAnswers.push_back(NativeName(folders / "new\nline/quiz.csv"));
#else
    services.openAnswers.push_back(folders.CreateFile("new\nline/quiz.csv", SmallClass));
#endif
    const auto window = ShowWindow(folders, services);
    EXPECT_EQ(window->CurrentDir(), "/old");
    window->TestFace().mmOpen->trigger();
    EXPECT_TRUE(CloseWindow(*window));
    EXPECT_EQ(ReadTestFile(folders.Settings()).find("[Setting]\r\nCurrentDir=/old\r\n"), 0u);
}

TEST_F(SettingsFile, ASecondRunComesBackAsTheFirstLeftIt) {
    WriteTestFile(folders.LanguageFile(), "[Main]\r\nmmOpen.Caption=&Open...\r\nMsg1=Number\r\n");
    const QString first = folders.CreateFile("a/first.csv", SmallClass);
    const QString second = folders.CreateFile("b/second.csv", SmallClass);
    services.openAnswers = {first, second};
    {
        const auto window = ShowWindow(folders, services);
        window->TestFace().mmOpen->trigger();
        window->TestFace().mmOpen->trigger();
        EXPECT_TRUE(CloseWindow(*window));
    }
    const auto again = ShowWindow(folders, services);
    const auto& names = again->TestFace().FileNameKeep->List().FileNames();
    EXPECT_EQ(names[0], second.toStdString());
    EXPECT_EQ(names[1], first.toStdString());
    // The demo file of the first run does not exist, so it is gone.
    EXPECT_EQ(names[2], "");
    EXPECT_EQ(again->CurrentDir(), FromNativePath(folders / "b"));
    EXPECT_EQ(again->TestFace().mmOpen->text(), "&Open...");
    EXPECT_EQ(again->AnswerTable().Cell(1, 0), "Number");
    EXPECT_TRUE(services.errors.isEmpty());
}

} // namespace
