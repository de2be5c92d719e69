#include "ShellTestSupport.h"
#include "shell/analysis/AnalysisWindow.h"
#include "shell/paper/PaperDialog.h"

#include <QAction>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

/// A window showing its progress at once, with a class of 40 students opened.
class ProgressWindow : public testing::Test {
protected:
    void Show() {
        window = ShowWindow(folders, services, std::chrono::milliseconds(0));
        services.openAnswers.push_back(folders.CreateFile("class.csv", ClassText(40, 5)));
        window->TestFace().mmOpen->trigger();
    }

    TWindowFolders folders;
    TFakeServices services;
    std::unique_ptr<TMain> window;
};

TEST_F(ProgressWindow, CancelLeavesTheTableItsNameAndItsCommandsAsTheyWereInEnglish) {
    WriteTestFile(folders.LanguageFile(), ReadTestFile(PELLORAN_RESOURCES_FOLDER "/lang/en.lng"));
    Show();
    const std::string text = window->GetTableText();
    const QString title = window->windowTitle();
    const TTableState state = TableState(window->AnswerTable());
    const std::size_t steps = window->History().StepCount();
    services.openAnswers.push_back(folders.CreateFile("other.csv", ClassText(30, 4)));
    QStringList shown;
    for (QAction* command : {window->TestFace().mmMark, window->TestFace().mmSortWithNumber,
                             window->TestFace().mmOpen, window->TestFace().mmAnalysis}) {
        const TProgressCanceller canceller;
        command->trigger();
        shown.push_back(canceller.label + QLatin1Char('|') + canceller.cancelCaption);
        EXPECT_EQ(window->GetTableText(), text);
        EXPECT_EQ(window->windowTitle(), title);
        EXPECT_TRUE(TableState(window->AnswerTable()) == state);
        EXPECT_EQ(window->History().StepCount(), steps);
    }
    EXPECT_EQ(shown, QStringList({"Marking...|Cancel", "Sorting...|Cancel",
                                  "Opening the file...|Cancel", "Analysing...|Cancel"}));
    EXPECT_EQ(window->TestFace().AnalysisWindow->Status->text(), "The analysis was stopped.");
    EXPECT_EQ(services.errors, QStringList());
}

TEST_F(ProgressWindow, CancelledPdfLeavesNoFileWhereAWatchedOneIsWritten) {
    Show();
    window->TestFace().mmMark->trigger();
    for (const bool cancelled : {true, false}) {
        const std::filesystem::path pdf = folders / (cancelled ? "stopped.pdf" : "written.pdf");
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
    }
    EXPECT_EQ(services.errors, QStringList());
}

} // namespace
