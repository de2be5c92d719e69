#pragma once

#include "analysis/AnalysisTexts.h"
#include "analysis/ItemAnalysis.h"
#include "platform/UserText.h"
#include "shell/analysis/ScoreHistogram.h"
#include "shell/paper/PaperDialog.h"
#include "table/store/AnswerTable.h"

#include <QWidget>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

/// The analysis of the test in a window of its own, beside the grid: the test's figures, the
/// histogram of the scores and a sortable table of the questions with their flags. It follows
/// the table: told that the table changed, it shows the new figures once the command in hand
/// has ended, or, while hidden, when it is shown again.
class TAnalysisWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int Width = 780;
    static constexpr int Height = 600;

    /// A failure of the analysis is worded by `languageTexts`; `analysisStopped` stands in place
    /// of the figures when the user stops the analysis.
    TAnalysisWindow(const TAnswerTable& table, const TAnalysisTexts& texts,
                    const TLanguageTexts& languageTexts, QString analysisStopped, QWidget* parent);

    /// The table changed.
    void TableChanged();
    /// Analyses the table and shows the figures now. A table the analysis fails on shows the
    /// failure in place of the figures; an analysis the user stopped is done again when the
    /// window next shows.
    void Refresh();

    /// What stands in place of the figures when there are none; hidden otherwise.
    QLabel* Status = nullptr;
    std::vector<QLabel*> FigureTitles;
    std::vector<QLabel*> FigureValues;
    TScoreHistogram* Histogram = nullptr;
    QTableWidget* Questions = nullptr;
    QLabel* Note = nullptr;
    QPushButton* SaveReport = nullptr;
    QPushButton* Slips = nullptr;
    QPushButton* ClassList = nullptr;

signals:
    void SaveReportClicked();
    void PaperClicked(TPaperKind kind);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowAnalysis(const TTestAnalysis& analysis, char decimalSeparator);
    void ShowQuestions(const TTestAnalysis& analysis, char decimalSeparator);
    void ShowNoFigures(const QString& why);

    const TAnswerTable& table_;
    const TAnalysisTexts texts_;
    const TLanguageTexts languageTexts_;
    const QString analysisStopped_;
    bool stale_ = true;
    bool refreshScheduled_ = false;
};
