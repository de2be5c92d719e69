#include "ShellTestSupport.h"
#include "TestText.h"
#include "shell/analysis/AnalysisWindow.h"
#include "shell/paper/PaperDialog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

/// A long job as the user starts it in a window that shows a class.
struct TWindowJob {
    std::string name;
    QString japaneseLabel;
    QString englishLabel;
    std::function<void(TMain&, TFakeServices&, const TWindowFolders&)> start;
};

const std::vector<TWindowJob> WindowJobs = {
    {"Mark", QStringLiteral("採点しています..."), QStringLiteral("Marking..."),
     [](TMain& window, TFakeServices&, const TWindowFolders&) {
         window.TestFace().mmMark->trigger();
     }},
    {"SortByNumber", QStringLiteral("並べ替えています..."), QStringLiteral("Sorting..."),
     [](TMain& window, TFakeServices&, const TWindowFolders&) {
         window.TestFace().mmSortWithNumber->trigger();
     }},
    {"Open", QStringLiteral("ファイルを開いています..."), QStringLiteral("Opening the file..."),
     [](TMain& window, TFakeServices& services, const TWindowFolders& folders) {
         services.openAnswers.push_back(folders.CreateFile("other.csv", ClassText(30, 4)));
         window.TestFace().mmOpen->trigger();
     }},
};

class ProgressWindow : public testing::TestWithParam<TWindowJob> {
protected:
    /// The window, in English or not, showing a class of 60 students as opened.
    std::unique_ptr<TMain> ShowClass(bool english) {
        if (english) {
            WriteTestFile(folders.LanguageFile(),
                          ReadTestFile(PELLORAN_RESOURCES_FOLDER "/lang/en.lng"));
        }
        auto window = ShowWindow(folders, services, std::chrono::milliseconds(0));
        services.openAnswers.push_back(folders.CreateFile("class.csv", ClassText(60, 5)));
        window->TestFace().mmOpen->trigger();
        return window;
    }

    TWindowFolders folders;
    TFakeServices services;
};

TEST_P(ProgressWindow, CancelLeavesTheTableItsNameAndItsCommandsAsTheyWere) {
    for (const bool english : {false, true}) {
        const auto window = ShowClass(english);
        const std::string before = window->GetTableText();
        const QString title = window->windowTitle();
        const std::size_t undoCount = window->History().UndoCount();
        const TTableState state = TableState(window->AnswerTable());
        const TProgressCanceller canceller;
        GetParam().start(*window, services, folders);
        EXPECT_EQ(canceller.label, english ? GetParam().englishLabel : GetParam().japaneseLabel);
        EXPECT_EQ(canceller.cancelCaption,
                  english ? QStringLiteral("Cancel") : QStringLiteral("キャンセル"));
        EXPECT_EQ(window->GetTableText(), before);
        EXPECT_EQ(window->windowTitle(), title);
        EXPECT_EQ(window->History().UndoCount(), undoCount);
        EXPECT_TRUE(TableState(window->AnswerTable()) == state);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(services.errors, QStringList());
        EXPECT_TRUE(CloseWindow(*window));
    }
}

INSTANTIATE_TEST_SUITE_P(Window, ProgressWindow, testing::ValuesIn(WindowJobs), TCaseName());

TEST(ProgressWindowPaper, CancelledPdfLeavesNoFileWhereAWatchedOneIsWritten) {
    TWindowFolders folders;
    TFakeServices services;
    const auto window = ShowWindow(folders, services, std::chrono::milliseconds(0));
    services.openAnswers.push_back(folders.CreateFile("class.csv", ClassText(40, 5)));
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmMark->trigger();
    for (const bool cancelled : {true, false}) {
        const std::filesystem::path pdf = folders / (cancelled ? "cancelled.pdf" : "written.pdf");
        services.pdfAnswers.push_back(NativeName(pdf));
        std::optional<TProgressCanceller> canceller;
        if (cancelled) {
            canceller.emplace();
        }
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<TPaperDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->SavePdfClick();
            dialog->reject();
        });
        window->TestFace().mmSlips->trigger();
        EXPECT_EQ(std::filesystem::exists(pdf), !cancelled);
        EXPECT_EQ(services.errors, QStringList());
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folders / ""),
                            std::filesystem::directory_iterator()),
              4);
}

TEST(ProgressWindowAnalysis, CancelledAnalysisSaysSoAndIsDoneAgainWhenShownAgain) {
    TWindowFolders folders;
    TFakeServices services;
    const auto window = ShowWindow(folders, services, std::chrono::milliseconds(0));
    services.openAnswers.push_back(folders.CreateFile("class.csv", ClassText(40, 5)));
    window->TestFace().mmOpen->trigger();
    {
        const TProgressCanceller canceller;
        window->TestFace().mmAnalysis->trigger();
    }
    TAnalysisWindow& analysis = *window->TestFace().AnalysisWindow;
    EXPECT_EQ(analysis.Status->text(), QStringLiteral("分析を中止しました。"));
    analysis.hide();
    analysis.show();
    EXPECT_TRUE(analysis.Status->isHidden());
}

} // namespace
