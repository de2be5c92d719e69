#include "shell/analysis/AnalysisWindow.h"

#include "ShellTestSupport.h"
#include "shell/window/ShellText.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int FacilityColumn = 4;

class AnalysisWindow : public testing::Test {
protected:
    std::unique_ptr<TMain> ShowWith(std::string_view answerFile) {
        auto window = ShowWindow(folders, services);
        services.openAnswers.push_back(folders.CreateFile("quiz.csv", answerFile));
        window->TestFace().mmOpen->trigger();
        window->TestFace().mmAnalysis->trigger();
        QApplication::processEvents();
        return window;
    }

    static QString Cell(const TMain& window, int row, int column) {
        const QTableWidgetItem* item =
            window.TestFace().AnalysisWindow->Questions->item(row, column);
        return item == nullptr ? QString() : item->text();
    }

    static QStringList Column(const TMain& window, int column) {
        QStringList texts;
        for (int row = 0; row < window.TestFace().AnalysisWindow->Questions->rowCount(); ++row) {
            texts.push_back(Cell(window, row, column));
        }
        return texts;
    }

    /// The figure shown beside the title.
    static QString Figure(const TMain& window, const QString& title) {
        const TAnalysisWindow& analysis = *window.TestFace().AnalysisWindow;
        for (std::size_t line = 0; line < analysis.FigureTitles.size(); ++line) {
            if (analysis.FigureTitles[line]->text() == title) {
                return analysis.FigureValues[line]->text();
            }
        }
        return QStringLiteral("(no such figure)");
    }

    static void Edit(TMain& window, int column, int row, const QString& text) {
        TAnswerTableModel& model = window.TestFace().Table->Model();
        model.setData(model.IndexOf(column, row), text);
    }

    TWindowFolders folders;
    TFakeServices services;
};

TEST_F(AnalysisWindow, FollowsTheSortsInTheEditMenuAfterASeparator) {
    const auto window = ShowWindow(folders, services);
    const QList<QAction*> actions = window->TestFace().mmEdit->actions();
    ASSERT_GE(actions.size(), 5);
    EXPECT_EQ(actions[0], window->TestFace().mmPaste);
    EXPECT_EQ(actions[2], window->TestFace().mmSortwithpoint);
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_EQ(actions[4], window->TestFace().mmAnalysis);
    EXPECT_EQ(window->TestFace().mmAnalysis->text(), "分析(&R)...");
    EXPECT_EQ(window->TestFace().mmSortwithpoint->text(), "点数順に並べ替え(&P)");
    EXPECT_TRUE(window->TestFace().mmAnalysis->isEnabled());
    EXPECT_EQ(window->TestFace().AnalysisWindow, nullptr);
}

TEST_F(AnalysisWindow, CaptionAndTextsFromTheLanguageFileJapaneseWhereMissing) {
    WriteTestFile(folders.LanguageFile(), "[Main]\r\nmmNew.Caption=&New\r\n");
    auto window = ShowWindow(folders, services);
    // The described captions follow their rule and become empty; the new one stays Japanese.
    EXPECT_EQ(window->TestFace().mmOpen->text(), "");
    EXPECT_EQ(window->TestFace().mmAnalysis->text(), "分析(&R)...");

    WriteTestFile(folders.LanguageFile(), "[Main]\r\nmmAnalysis.Caption=&Analysis...\r\n"
                                          "[Analysis]\r\nCaption=Analysis\r\nFacility=p\r\n");
    window = ShowWindow(folders, services);
    EXPECT_EQ(window->TestFace().mmAnalysis->text(), "&Analysis...");
    window->TestFace().mmAnalysis->trigger();
    EXPECT_EQ(window->TestFace().AnalysisWindow->windowTitle(), "Analysis");
    EXPECT_EQ(
        window->TestFace().AnalysisWindow->Questions->horizontalHeaderItem(FacilityColumn)->text(),
        "p");
    EXPECT_EQ(window->TestFace().AnalysisWindow->Questions->horizontalHeaderItem(1)->text(),
              "正答");
}

TEST_F(AnalysisWindow, OpensBesideTheGridAndFollowsEditsMarkAndSort) {
    const auto window = ShowWith(SmallClass);
    TAnalysisWindow& analysis = *window->TestFace().AnalysisWindow;
    EXPECT_TRUE(analysis.isVisible());
    EXPECT_FALSE(analysis.isModal());
    EXPECT_EQ(Column(*window, FacilityColumn), (QStringList{"100.0%", "50.0%", "100.0%"}));
    EXPECT_EQ(Figure(*window, QStringLiteral("受験者数")), "2");
    EXPECT_TRUE(analysis.Status->isHidden());

    // Typing into the grid while the analysis is open.
    Edit(*window, 3, 4, QStringLiteral("x"));
    QApplication::processEvents();
    EXPECT_EQ(Cell(*window, 0, FacilityColumn), "50.0%");

    window->TestFace().mmMark->trigger();
    window->SortWithPointClick();
    window->TestFace().mmSortWithNumber->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Column(*window, FacilityColumn), (QStringList{"50.0%", "50.0%", "100.0%"}));
    EXPECT_EQ(Figure(*window, QStringLiteral("平均点")), "2.00");

    // Hidden, it is not kept up to date; shown again, it is.
    analysis.close();
    Edit(*window, 4, 3, QStringLiteral("b"));
    QApplication::processEvents();
    EXPECT_EQ(Cell(*window, 1, FacilityColumn), "50.0%");
    window->TestFace().mmAnalysis->trigger();
    EXPECT_EQ(Cell(*window, 1, FacilityColumn), "100.0%");
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
}

TEST_F(AnalysisWindow, QuestionsSortByTheirFiguresAndStaySortedThroughRefreshes) {
    const auto window = ShowWith(",,a,b,c,\r\n,,1,1,1,\r\n"
                                 "1,A,a,x,c,\r\n2,B,x,x,c,\r\n3,C,x,b,c,\r\n");
    QTableWidget& questions = *window->TestFace().AnalysisWindow->Questions;
    questions.sortByColumn(FacilityColumn, Qt::DescendingOrder);
    EXPECT_EQ(Column(*window, 0), (QStringList{"3", "1", "2"}));
    Edit(*window, 4, 4, QStringLiteral("b"));
    QApplication::processEvents();
    EXPECT_EQ(Column(*window, 0), (QStringList{"3", "2", "1"}));
    EXPECT_EQ(Column(*window, FacilityColumn), (QStringList{"100.0%", "66.7%", "33.3%"}));
}

TEST_F(AnalysisWindow, FlaggedQuestionsStandOutWithTheirReasons) {
    const auto window = ShowWith(",,a,b,\r\n,,1,1,\r\n1,A,a,x,\r\n2,B,z,y,\r\n");
    const QTableWidgetItem* plain = window->TestFace().AnalysisWindow->Questions->item(0, 1);
    const QTableWidgetItem* flagged = window->TestFace().AnalysisWindow->Questions->item(1, 1);
    EXPECT_NE(flagged->background(), plain->background());
    EXPECT_TRUE(flagged->toolTip().contains(QStringLiteral("正答者なし: 誰も正答していません")))
        << flagged->toolTip().toStdString();
    EXPECT_EQ(Cell(*window, 1, 7), "正答の誤り？, 正答者なし");
}

TEST_F(AnalysisWindow, ATableItCannotAnalyseIsShownInItsPlaceNotInABox) {
    const auto window = ShowWith(",,#,,\r\n,,5,,\r\n1,A,4,,\r\n2,B,four,,\r\n");
    TAnalysisWindow& analysis = *window->TestFace().AnalysisWindow;
    EXPECT_FALSE(analysis.Status->isHidden());
    EXPECT_EQ(analysis.Status->text(), "'four' は浮動小数点数ではありません");
    EXPECT_EQ(analysis.Questions->rowCount(), 0);
    EXPECT_FALSE(analysis.SaveReport->isEnabled());
    EXPECT_TRUE(services.errors.isEmpty());

    window->TestFace().mmNew->trigger();
    QApplication::processEvents();
    EXPECT_EQ(analysis.Status->text(),
              "分析する問題がありません。正答の行に答えを入れてください。");
}

TEST_F(AnalysisWindow, SavesTheReportBesideTheAnswerFile) {
    const auto window = ShowWith(SmallClass);
    const QString report = QString::fromStdString((folders / "quiz.html").string());
    services.reportAnswers.push_back(report);
    window->TestFace().AnalysisWindow->SaveReport->click();
    EXPECT_EQ(services.reportProposals, QStringList{report});
    EXPECT_EQ(services.reportFolders, QStringList{window->CurrentDir()});
    const std::string page = ReadTestFile(folders / "quiz.html");
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>"));
    EXPECT_NE(page.find("ファイル: quiz.csv"), std::string::npos);
    EXPECT_NE(page.find("<td>Suzuki</td>"), std::string::npos);

    services.reportAnswers.push_back(std::nullopt);
    window->TestFace().AnalysisWindow->SaveReport->click();
    services.reportAnswers.push_back(QString::fromStdString((folders / "no/such/r.html").string()));
    window->TestFace().AnalysisWindow->SaveReport->click();
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_TRUE(services.errors[0].contains(QStringLiteral("を作成できません")))
        << services.errors[0].toStdString();
}

TEST_F(AnalysisWindow, ClosesWithTheMainWindow) {
    const auto window = ShowWith(SmallClass);
    EXPECT_TRUE(CloseWindow(*window));
    EXPECT_FALSE(window->TestFace().AnalysisWindow->isVisible());
}

TEST(ReportSaveDialog, OffersHtmlFilesAndAddsTheirExtension) {
    TQtShellServices services;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("HTML (*.html *.htm)")});
        EXPECT_EQ(dialog->defaultSuffix(), "html");
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        dialog->reject();
    });
    EXPECT_FALSE(services.GetSaveReportFileName(nullptr, QDir::tempPath(), QString(),
                                                QStringLiteral("HTML (*.html *.htm)")));
}

TEST(ScoreHistogram, DrawsABarPerBinAsHighAsItsCount) {
    TScoreHistogram histogram;
    histogram.resize(300, 200);
    histogram.SetHistogram({0, 10, {1, 0, 2}}, {"0", "10", "20"}, "score", "students");
    const QImage image = histogram.grab().toImage();
    const QRect high = histogram.BarRect(2);
    const QRect low = histogram.BarRect(0);
    EXPECT_TRUE(histogram.BarRect(1).isEmpty());
    EXPECT_EQ(high.bottom(), low.bottom());
    EXPECT_NEAR(high.height(), 2 * low.height(), 2);
    const QColor bar = image.pixelColor(high.center());
    EXPECT_EQ(bar, image.pixelColor(low.center()));
    EXPECT_NE(bar, image.pixelColor(histogram.rect().topRight() + QPoint(-2, 2)));
}

} // namespace
