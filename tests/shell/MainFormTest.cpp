#include "ShellTestSupport.h"
#include "TestText.h"
#include "shell/about/About_Box.h"
#include "shell/analysis/AnalysisWindow.h"
#include "shell/logic/FileNameTestFolders.h"
#include "shell/recent/FileNameKeeper.h"
#include "shell/window/ShellText.h"
#include "shell/window/WindowPlacement.h"
#include "table/file/AnswerFile.h"

#include <QAction>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

class MainWindow : public testing::Test {
protected:
    std::unique_ptr<TMain> Show() { return ShowWindow(folders, services); }

    static QStringList RecentFiles(const TMain& window) {
        QStringList names;
        for (const QAction* entry : window.TestFace().FileNameKeep->MenuItems()) {
            names.push_back(entry->text());
        }
        return names;
    }

    static std::string Cell(TMain& window, int column, int row) {
        return std::string(window.AnswerTable().Cell(column, row));
    }

    TWindowFolders folders;
    TFakeServices services;
};

TEST_F(MainWindow, StartsAsAnEmptyTestWithTheFormsCaptions) {
    const auto window = Show();
    EXPECT_EQ(window->windowTitle(), "Pelloran");
    EXPECT_EQ(window->TestFace().mmFile->title(), "ファイル(&F)");
    EXPECT_EQ(window->TestFace().mmSortwithpoint->text(), "点数順に並べ替え(&P)");
    EXPECT_EQ(window->TestFace().mmMark->text(), "採点(&M)");
    EXPECT_FALSE(window->TestFace().mmMark->isEnabled());
    EXPECT_FALSE(window->TestFace().mmSortWithNumber->isEnabled());
    EXPECT_FALSE(window->TestFace().mmSortwithpoint->isEnabled());
    EXPECT_TRUE(window->TestFace().ToolButton4->isEnabled());
    EXPECT_TRUE(window->TestFace().ToolButton5->isEnabled());
    // The hints are the menu captions, not the form's own hints.
    EXPECT_EQ(window->TestFace().ToolButton1->toolTip(), "新規作成(&N)");
    EXPECT_EQ(window->TestFace().ToolButton5->toolTip(), "学籍番号順に並べ替え(&S)");
    EXPECT_EQ(Cell(*window, 3, 0), "1");
    EXPECT_EQ(Cell(*window, 0, 102), "100");
    EXPECT_EQ(window->AnswerTable().QuestionCount(), 50);
    EXPECT_EQ(window->TestFace().Table->columnWidth(0), 60);
    EXPECT_EQ(window->TestFace().Table->columnWidth(1), 80);
    EXPECT_EQ(window->ApplicationTitle(), "pelloran");
}

TEST_F(MainWindow, OpenSetsFolderTitleListAndSaveProposal) {
    const QString quiz = folders.CreateFile("tests/quiz.old.csv", SmallClass);
    services.openAnswers.push_back(quiz);
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    EXPECT_EQ(window->windowTitle(), "quiz.old - Pelloran");
    EXPECT_EQ(window->CurrentDir(), FromNativePath(folders / "tests"));
    EXPECT_EQ(window->TestFace().FileNameKeep->List().FileNames()[0], quiz.toStdString());
    EXPECT_EQ(window->LoadedText(), SmallClass);
    EXPECT_TRUE(window->TestFace().mmMark->isEnabled());
    EXPECT_TRUE(window->TestFace().mmSortWithNumber->isEnabled());
    EXPECT_EQ(Cell(*window, 2, 3), "Sato");

    services.saveAnswers.push_back(std::nullopt);
    window->TestFace().mmSaveAs->trigger();
    EXPECT_EQ(services.saveProposals, QStringList{quiz});
    EXPECT_EQ(services.saveFolders, QStringList{window->CurrentDir()});
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(MainWindow, OpenOfAMissingFileReportsItAfterTheTitleChanged) {
    const QString missing = QString::fromStdString((folders / "gone.csv").string());
    services.openAnswers.push_back(missing);
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_EQ(services.errors[0], "pelloran: ファイル " + missing + " は開けません.");
    EXPECT_EQ(window->windowTitle(), "gone - Pelloran");
    EXPECT_TRUE(window->TestFace().mmMark->isEnabled());
    EXPECT_TRUE(window->LoadedText().empty());
}

TEST_F(MainWindow, SaveAsWritesTheTableAndTakesTheFile) {
    const QString quiz = folders.CreateFile("quiz.csv", SmallClass);
    services.openAnswers.push_back(quiz);
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    const QString copy = NativeName(folders / "out/copy.csv");
    std::filesystem::create_directories(folders / "out");
    services.saveAnswers.push_back(copy);
    window->TestFace().mmSaveAs->trigger();
    EXPECT_EQ(ReadTestFile(folders / "out/copy.csv"), SmallClass);
    EXPECT_EQ(window->windowTitle(), "copy - Pelloran");
    EXPECT_EQ(window->CurrentDir(), FromNativePath(folders / "out"));
    EXPECT_EQ(RecentFiles(*window).first(), "&1  " + copy);
}

TEST_F(MainWindow, SaveAsIntoAMissingFolderKeepsTitleAndFolder) {
    const auto window = Show();
    services.saveAnswers.push_back(QString::fromStdString((folders / "no/such.csv").string()));
    window->TestFace().mmSaveAs->trigger();
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_TRUE(services.errors[0].contains("を作成できません"));
    EXPECT_EQ(window->windowTitle(), "Pelloran");
    EXPECT_EQ(window->CurrentDir(), folders.StartFolder());
}

struct TDiscardCase {
    const char* name;
    bool loadFile;
    bool editTable;
    std::vector<TDiscardAnswer> answers;
    bool saveDialogCancelled;
    bool asked;
    bool resetDone;
    friend void PrintTo(const TDiscardCase& c, std::ostream* os) { *os << c.name; }
};

class DiscardQuestion : public MainWindow, public testing::WithParamInterface<TDiscardCase> {};

TEST_P(DiscardQuestion, OnNew) {
    const TDiscardCase& c = GetParam();
    const auto window = Show();
    if (c.loadFile) {
        services.openAnswers.push_back(folders.CreateFile("quiz.csv", SmallClass));
        window->TestFace().mmOpen->trigger();
    }
    if (c.editTable) {
        window->AnswerTable().SetCell(1, 3, "1003");
    }
    services.discardAnswers.assign(c.answers.begin(), c.answers.end());
    if (!c.saveDialogCancelled) {
        services.saveAnswers.push_back(QString::fromStdString((folders / "saved.csv").string()));
    }
    window->TestFace().mmNew->trigger();
    EXPECT_EQ(services.questions.size(), c.asked ? 1 : 0);
    EXPECT_EQ(Cell(*window, 1, 3).empty(), c.resetDone);
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join(QLatin1Char('\n')).toStdString();
}

const TDiscardCase DiscardCases[] = {
    {"UnchangedFileNotAsked", true, false, {}, true, false, true},
    {"FreshTableNotAsked", false, false, {}, true, false, true},
    {"ChangedFileNo", true, true, {TDiscardAnswer::No}, true, true, true},
    {"ChangedFileCancel", true, true, {TDiscardAnswer::Cancel}, true, true, false},
    {"ChangedFileYesSaveCancelled", true, true, {TDiscardAnswer::Yes}, true, true, false},
    {"ChangedFileYesSaved", true, true, {TDiscardAnswer::Yes}, false, true, true},
    // Typed without any file: protected all the same.
    {"TypedTableCancel", false, true, {TDiscardAnswer::Cancel}, true, true, false},
    {"TypedTableNo", false, true, {TDiscardAnswer::No}, true, true, true},
};
INSTANTIATE_TEST_SUITE_P(Paths, DiscardQuestion, testing::ValuesIn(DiscardCases), TCaseName());

TEST_F(MainWindow, OpenAsksBeforeDroppingChanges) {
    const auto window = Show();
    window->AnswerTable().SetCell(1, 3, "1001");
    services.discardAnswers.push_back(TDiscardAnswer::Cancel);
    services.openAnswers.push_back(folders.CreateFile("quiz.csv", SmallClass));
    window->TestFace().mmOpen->trigger();
    EXPECT_EQ(Cell(*window, 1, 3), "1001");
    EXPECT_EQ(window->windowTitle(), "Pelloran");
    EXPECT_EQ(services.openFolders.size(), 0);
}

TEST_F(MainWindow, TheQuestionShowsMessageSix) {
    WriteTestFile(folders.LanguageFile(),
                  "[Main]\r\nMsg6=\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7\x82\xa9\r\n");
    const auto window = Show();
    window->AnswerTable().SetCell(1, 3, "1001");
    services.discardAnswers.push_back(TDiscardAnswer::Cancel);
    window->TestFace().mmNew->trigger();
    EXPECT_EQ(services.questions, QStringList{"保存しますか"});
}

TEST_F(MainWindow, ClosingWithCancelKeepsTheWindowAndTheSettings) {
    const auto window = Show();
    window->AnswerTable().SetCell(1, 3, "1001");
    services.discardAnswers.push_back(TDiscardAnswer::Cancel);
    EXPECT_FALSE(CloseWindow(*window));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(std::filesystem::exists(folders.Settings()));

    services.discardAnswers.push_back(TDiscardAnswer::Yes);
    services.saveAnswers.push_back(std::nullopt);
    EXPECT_FALSE(CloseWindow(*window));

    services.discardAnswers.push_back(TDiscardAnswer::No);
    EXPECT_TRUE(CloseWindow(*window));
    EXPECT_EQ(ReadTestFile(folders.Settings())
                  .find("[Setting]\r\nCurrentDir=" + folders.StartFolder().toStdString() + "\r\n"),
              0u);
}

TEST_F(MainWindow, ClosingWritesTheCurrentFolderBesideOtherSections) {
    WriteTestFile(folders.Settings(), "[Other]\r\nk=v\r\n");
    services.openAnswers.push_back(folders.CreateFile("tests/quiz.csv", SmallClass));
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    EXPECT_TRUE(CloseWindow(*window));
    const std::string settings = ReadTestFile(folders.Settings());
    EXPECT_NE(settings.find("[Other]\r\nk=v\r\n"), std::string::npos);
    EXPECT_NE(settings.find("CurrentDir=" + (folders / "tests").string()), std::string::npos);
}

// Every close told the failure and stayed open: the only way out was to kill the program.
TEST_F(MainWindow, ASettingsFileThatCannotBeWrittenIsToldOnceAndTheWindowCloses) {
    const auto window = Show();
    std::filesystem::create_directories(folders.Settings());
    EXPECT_TRUE(CloseWindow(*window));
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_TRUE(services.errors[0].endsWith("pelloran.ini に書き込めません."));
}

#ifndef _WIN32
// The list was saved as the window went, with no one left to tell that it could not be.
TEST_F(MainWindow, ARecentFilesListThatCannotBeWrittenIsToldWithItsCauseAndTheWindowCloses) {
    const auto window = Show();
    const std::string settings = "[Setting]\r\nCurrentDir=\r\n";
    {
        const TFileSizeLimit limit(settings.size());
        EXPECT_TRUE(CloseWindow(*window));
    }
    EXPECT_EQ(ReadTestFile(folders.Settings()), settings) << "the settings are written";
    const QString cause =
        QString::fromStdString(std::make_error_code(std::errc::file_too_large).message());
    EXPECT_EQ(services.errors.join(QLatin1Char('\n')),
              "pelloran: " + NativeName(folders.Settings()) + " に書き込めません: " + cause + ".");
}
#endif

#ifndef _WIN32
// Each byte that is no UTF-8 became U+FFFD on its way through the window: the file opened was
// another, and the list kept that other name.
TEST_F(MainWindow, AFileNameThatIsNoUtf8OpensAndIsKeptByteForByte) {
    const std::filesystem::path fileName = folders / "\x8e\x8e\x8c\xb1.csv"; // Shift-JIS
    WriteTestFile(fileName, SmallClass);
    {
        const auto window = Show();
        window->OpenGivenFile(FromNativePath(fileName));
        EXPECT_EQ(window->AnswerTable().Cell(2, 3), "Sato");
        EXPECT_TRUE(CloseWindow(*window));
    }
    EXPECT_NE(ReadTestFile(folders.Settings()).find("FileName1=" + fileName.string() + "\r\n"),
              std::string::npos);
    const auto again = Show();
    ASSERT_FALSE(again->TestFace().FileNameKeep->MenuItems().empty());
    again->TestFace().FileNameKeep->MenuItems().front()->trigger();
    EXPECT_EQ(again->AnswerTable().Cell(2, 4), "Suzuki");
    EXPECT_EQ(services.errors.join(QLatin1Char('\n')), QString());
}
#endif

TEST_F(MainWindow, ARecentFileOpensWithoutChangingTheFolder) {
    const QString first = folders.CreateFile("a/first.csv", SmallClass);
    const QString second = folders.CreateFile("b/second.csv", SmallClass);
    services.openAnswers = {first, second};
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmOpen->trigger();
    ASSERT_GE(window->TestFace().FileNameKeep->MenuItems().size(), 2u);
    window->TestFace().FileNameKeep->MenuItems()[1]->trigger();
    EXPECT_EQ(window->windowTitle(), "first - Pelloran");
    EXPECT_EQ(window->CurrentDir(), FromNativePath(folders / "b"));
    EXPECT_EQ(RecentFiles(*window).first(), "&1  " + first);
}

// The open dialog starts where the settings file left the folder, and then in the folder it
// last opened a file from: saving elsewhere or opening a recent file does not move it.
TEST_F(MainWindow, TheOpenDialogStartsInTheFolderItLastOpenedFrom) {
    WriteTestFile(folders.Settings(),
                  "[Setting]\r\nCurrentDir=" + (folders / "start").string() + "\r\n");
    const QString first = folders.CreateFile("a/first.csv", SmallClass);
    const QString second = folders.CreateFile("b/second.csv", SmallClass);
    std::filesystem::create_directories(folders / "out");
    services.openAnswers = {first};
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    services.saveAnswers.push_back(FromNativePath(folders / "out/saved.csv"));
    window->TestFace().mmSaveAs->trigger();
    ASSERT_EQ(window->CurrentDir(), FromNativePath(folders / "out"));
    services.openAnswers = {second};
    window->TestFace().ToolButton2->trigger();
    ASSERT_GE(window->TestFace().FileNameKeep->MenuItems().size(), 3U);
    window->TestFace().FileNameKeep->MenuItems()[2]->trigger();
    ASSERT_EQ(window->windowTitle(), "first - Pelloran");
    window->TestFace().mmOpen->trigger();
    const QStringList started{FromNativePath(folders / "start"), FromNativePath(folders / "a"),
                              FromNativePath(folders / "b")};
    EXPECT_EQ(services.openFolders.join(QLatin1Char('\n')).toStdString(),
              started.join(QLatin1Char('\n')).toStdString());
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(MainWindow, FirstRunOffersTheDemoFileOnce) {
    {
        const auto window = Show();
        EXPECT_EQ(RecentFiles(*window),
                  QStringList{"&1  " + NativeName(folders.ProgramFolder() / "Data/Demo.csv")});
        EXPECT_EQ(window->CurrentDir(), folders.StartFolder());
        EXPECT_TRUE(CloseWindow(*window));
    }
    const auto again = Show();
    // The demo file does not exist, so the list drops it, and the settings file now exists.
    EXPECT_TRUE(RecentFiles(*again).isEmpty());
}

TEST_F(MainWindow, PasteWritesTheRosterAndReportsAFailureInABox) {
    const auto window = Show();
    services.clipboard = QStringLiteral("1001,佐藤\n1002,鈴木\n");
    window->TestFace().mmPaste->trigger();
    EXPECT_EQ(Cell(*window, 2, 4), ToCodePage(QStringLiteral("鈴木")));
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_TRUE(window->TestFace().mmMark->isEnabled());

    services.clipboard = QStringLiteral("1003,Tanaka\n\n1004,Ito\n");
    window->TestFace().mmPaste->trigger();
    EXPECT_EQ(services.messages, QStringList{QStringLiteral("2 行目: 空の行です")});
    EXPECT_EQ(Cell(*window, 1, 5), "");
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(MainWindow, PastedMinusSignAndWaveDashAreTheCodePagesCharacters) {
    const auto window = Show();
    services.clipboard = QStringLiteral("1001,\u5C71\u2212\u301C\n");
    window->TestFace().mmPaste->trigger();
    EXPECT_EQ(Cell(*window, 2, 3), "\x8e\x52\x81\x7c\x81\x60");
}

TEST_F(MainWindow, MarkAndSortByScore) {
    services.openAnswers.push_back(folders.CreateFile("quiz.csv", SmallClass));
    const auto window = Show();
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmMark->trigger();
    EXPECT_TRUE(window->TestFace().mmSortwithpoint->isEnabled());
    window->TestFace().mmSortwithpoint->trigger();
    EXPECT_EQ(Cell(*window, 2, 3), "Suzuki");
    EXPECT_TRUE(services.errors.isEmpty());
}

TEST_F(MainWindow, HelpOpensThePageBesideTheProgram) {
    const auto window = Show();
    window->TestFace().mmShowHelp->trigger();
    // A URL's path starts with '/' and has no other separator, a drive letter included.
    const QString page =
        QDir::fromNativeSeparators(NativeName(folders.ProgramFolder() / "Help.htm"));
    const QString root = page.startsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/");
    EXPECT_EQ(services.urls, QStringList{"file://" + root + page});
}

TEST_F(MainWindow, HelpWithoutABrowserSaysSoWithThePagesPath) {
    services.urlsOpen = false;
    const auto window = Show();
    window->TestFace().mmShowHelp->trigger();
    WriteTestFile(folders.ProgramFolder() / "Help.htm", "<html></html>");
    window->TestFace().mmShowHelp->trigger();
    const QString page = NativeName(folders.ProgramFolder() / "Help.htm");
    ASSERT_EQ(services.messages.size(), 2);
    EXPECT_EQ(services.messages[0], "マニュアル " + page + " がありません。");
    EXPECT_TRUE(services.messages[1].startsWith("マニュアル " + page + " を開けませんでした。"));
}

TEST_F(MainWindow, TheAnalysisOpensBesideTheWindowNeverOverItsKeyAndPointsRows) {
    const auto window = Show();
    window->TestFace().mmAnalysis->trigger();
    const TAnswerGrid& grid = *window->TestFace().Table;
    const QRect keyAndPoints(
        grid.viewport()->mapToGlobal(QPoint(0, 0)),
        QSize(grid.viewport()->width(), grid.rowHeight(0) + grid.rowHeight(1)));
    const QWidget& analysis = *window->TestFace().AnalysisWindow;
    EXPECT_FALSE(analysis.frameGeometry().intersects(keyAndPoints));
    EXPECT_TRUE(window->screen()->availableGeometry().contains(analysis.frameGeometry()));
}

// On a screen of 1000 x 800, with the window's rows to keep clear down to y = 150.
TEST(PlaceBeside, TakesTheRoomySideElseKeepsTheTopRowsClear) {
    const QRect screen(0, 0, 1000, 800);
    const QSize size(300, 600);
    EXPECT_EQ(PlaceBeside({400, 300, 500, 400}, 400, size, screen), QRect(100, 200, 300, 600));
    EXPECT_EQ(PlaceBeside({200, 50, 700, 400}, 150, size, screen), QRect(0, 151, 300, 600));
    EXPECT_EQ(PlaceBeside({200, 500, 700, 250}, 550, size, screen), QRect(0, 0, 300, 500));
}

TEST_F(MainWindow, AboutShowsTheBoxAndThenReportsAMissingIcon) {
    const auto window = Show();
    TAboutBox aboutBox([this](const QString& url) { services.OpenUrl(url); });
    window->SetAboutBox(&aboutBox);
    window->TestFace().mmAbout->trigger();
    EXPECT_TRUE(aboutBox.isVisible());
    EXPECT_EQ(aboutBox.Version->text(), "       Version 1.22");
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_TRUE(services.errors[0].contains("Pelloran123.ico は開けません"));
    EXPECT_EQ(services.errorOwners, QList<QWidget*>{&aboutBox}) << "the keys go back to the box";
}

// Qt keeps the substitutes in lower case.
TEST_F(MainWindow, TheWindowFaceStandsForTheJapaneseFacesWhateverWindowsWereBuilt) {
    const auto first = Show();
    const auto second = Show();
    EXPECT_EQ(second->font().family(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(QFont::substitutes("ＭＳ Ｐゴシック").join(',').toLower(),
              "ipapgothic,ipagothic,noto sans cjk jp");
}

} // namespace
