#include "shell/analysis/AnalysisWindow.h"

#include "analysis/AnalysisFormat.h"
#include "platform/Locale.h"
#include "shell/window/ShellText.h"
#include "table/progress/Progress.h"
#include "table/session/TableSession.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <exception>
#include <limits>
#include <optional>
#include <utility>

namespace {

const QColor FlaggedRow(0xfd, 0xe3, 0xe0);
/// Rows as compact as the grid's.
constexpr int RowPadding = 4;
const QColor FailureColour(0xa0, 0x00, 0x00);

/// Columns of the question table that hold figures: they are right-aligned and sort by number.
constexpr std::array<bool, 9> FigureColumns = {true, false, true,  true, true,
                                               true, true,  false, false};

/// Sorts by the figure it shows where its column holds figures, by its text otherwise; a
/// missing figure comes before every number.
class TQuestionItem : public QTableWidgetItem {
public:
    TQuestionItem(const QString& text, bool isFigure, std::optional<double> figure)
        : QTableWidgetItem(text) {
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (isFigure) {
            setData(Qt::UserRole, figure.value_or(-std::numeric_limits<double>::infinity()));
            setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
    }

    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant mine = data(Qt::UserRole);
        const QVariant theirs = other.data(Qt::UserRole);
        if (mine.isValid() && theirs.isValid()) {
            return mine.toDouble() < theirs.toDouble();
        }
        return QTableWidgetItem::operator<(other);
    }
};

/// The figures the question table's figure columns show.
std::array<std::optional<double>, FigureColumns.size()> Figures(const TQuestionAnalysis& question) {
    return {static_cast<double>(question.number),   std::nullopt,      question.points,
            static_cast<double>(question.answered), question.facility, question.discrimination,
            question.itemRestCorrelation,           std::nullopt,      std::nullopt};
}

QString FlagReasons(const TQuestionAnalysis& question, const TAnalysisTexts& texts,
                    char decimalSeparator) {
    QStringList reasons;
    for (const TItemFlag flag : question.flags) {
        reasons.push_back(FromCodePage(FlagName(flag, texts) + ": " +
                                       FlagReason(question, flag, texts, decimalSeparator)));
    }
    return reasons.join(QLatin1Char('\n'));
}

} // namespace

TAnalysisWindow::TAnalysisWindow(const TAnswerTable& table, const TAnalysisTexts& texts,
                                 const TLanguageTexts& languageTexts, QString analysisStopped,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), table_(table), texts_(texts), languageTexts_(languageTexts),
      analysisStopped_(std::move(analysisStopped)) {
    setWindowTitle(FromCodePage(texts_[TAnalysisText::Caption]));
    resize(Width, Height);

    Status = new QLabel(this);
    Status->setWordWrap(true);
    QPalette failure = Status->palette();
    failure.setColor(QPalette::WindowText, FailureColour);
    Status->setPalette(failure);
    Status->hide();

    auto* figures = new QFormLayout;
    figures->setVerticalSpacing(2);
    for (std::size_t line = 0; line < TestFigureLines({}, texts_, '.').size(); ++line) {
        FigureTitles.push_back(new QLabel(this));
        FigureValues.push_back(new QLabel(this));
        FigureValues.back()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        FigureValues.back()->setTextInteractionFlags(Qt::TextSelectableByMouse);
        figures->addRow(FigureTitles.back(), FigureValues.back());
    }
    Histogram = new TScoreHistogram(this);
    auto* top = new QHBoxLayout;
    top->addLayout(figures);
    top->addWidget(Histogram, 1);

    const std::vector<std::string> titles = QuestionColumns(texts_);
    Questions = new QTableWidget(0, static_cast<int>(titles.size()), this);
    QStringList headers;
    for (const std::string& title : titles) {
        headers.push_back(FromCodePage(title));
    }
    Questions->setHorizontalHeaderLabels(headers);
    Questions->verticalHeader()->hide();
    Questions->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + RowPadding);
    Questions->horizontalHeader()->setStretchLastSection(true);
    Questions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Questions->setSelectionBehavior(QAbstractItemView::SelectRows);
    Questions->setSortingEnabled(true);
    Questions->sortByColumn(0, Qt::AscendingOrder);

    Note = new QLabel(this);
    Note->setWordWrap(true);
    SaveReport = new QPushButton(FromCodePage(texts_[TAnalysisText::SaveReport]), this);
    connect(SaveReport, &QPushButton::clicked, this, &TAnalysisWindow::SaveReportClicked);
    Slips = new QPushButton(FromCodePage(texts_[TAnalysisText::Slips]), this);
    connect(Slips, &QPushButton::clicked, this, [this] { emit PaperClicked(TPaperKind::Slips); });
    ClassList = new QPushButton(FromCodePage(texts_[TAnalysisText::ClassList]), this);
    connect(ClassList, &QPushButton::clicked, this,
            [this] { emit PaperClicked(TPaperKind::ClassList); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Note, 1);
    bottom->addWidget(SaveReport, 0, Qt::AlignBottom);
    bottom->addWidget(Slips, 0, Qt::AlignBottom);
    bottom->addWidget(ClassList, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Status);
    layout->addLayout(top);
    layout->addWidget(Questions, 1);
    layout->addLayout(bottom);
}

void TAnalysisWindow::TableChanged() {
    stale_ = true;
    if (!isVisible() || refreshScheduled_) {
        return;
    }
    // Once the command in hand has ended, and once for a burst of edits.
    refreshScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshScheduled_ = false;
        if (stale_ && isVisible()) {
            Refresh();
        }
    });
}

void TAnalysisWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) {
        Refresh();
    }
}

void TAnalysisWindow::Refresh() {
    stale_ = false;
    const char decimalSeparator = DecimalSeparator();
    try {
        const TTestAnalysis analysis = AnalyseTest(table_, decimalSeparator);
        if (analysis.questions.empty()) {
            ShowNoFigures(FromCodePage(texts_[TAnalysisText::NoQuestions]));
        } else {
            ShowAnalysis(analysis, decimalSeparator);
        }
    } catch (const ECancelledError&) {
        stale_ = true;
        ShowNoFigures(analysisStopped_);
    } catch (const std::exception& error) {
        // The table is being typed into: a cell that is no number yet is no error to box.
        ShowNoFigures(FromUtf8(FailureText(error, languageTexts_)));
    }
}

void TAnalysisWindow::ShowNoFigures(const QString& why) {
    Status->setText(why);
    Status->show();
    for (std::size_t line = 0; line < FigureValues.size(); ++line) {
        FigureValues[line]->setText(FromCodePage(MissingFigure));
    }
    Histogram->SetHistogram({}, {}, {}, {});
    Questions->setRowCount(0);
    Note->clear();
    SaveReport->setEnabled(false);
    Slips->setEnabled(false);
    ClassList->setEnabled(false);
}

void TAnalysisWindow::ShowAnalysis(const TTestAnalysis& analysis, char decimalSeparator) {
    Status->hide();
    const auto lines = TestFigureLines(analysis.figures, texts_, decimalSeparator);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        FigureTitles[line]->setText(FromCodePage(lines[line].first));
        FigureValues[line]->setText(FromCodePage(lines[line].second));
    }
    QStringList binLabels;
    for (std::size_t bin = 0; bin < analysis.histogram.counts.size(); ++bin) {
        binLabels.push_back(FromCodePage(BinLabel(analysis.histogram, bin, decimalSeparator)));
    }
    Histogram->SetHistogram(analysis.histogram, binLabels,
                            FromCodePage(texts_[TAnalysisText::ScoreAxis]),
                            FromCodePage(texts_[TAnalysisText::CountAxis]));
    ShowQuestions(analysis, decimalSeparator);
    Note->setText(FromCodePage(
        texts_.Format(TAnalysisText::GroupNote, {std::to_string(analysis.figures.groupSize)})));
    SaveReport->setEnabled(true);
    Slips->setEnabled(true);
    ClassList->setEnabled(true);
}

void TAnalysisWindow::ShowQuestions(const TTestAnalysis& analysis, char decimalSeparator) {
    const bool firstFill = Questions->rowCount() == 0;
    // Filled unsorted, then sorted once as the user last chose.
    Questions->setSortingEnabled(false);
    Questions->setRowCount(static_cast<int>(analysis.questions.size()));
    for (int row = 0; row < Questions->rowCount(); ++row) {
        const TQuestionAnalysis& question = analysis.questions[static_cast<std::size_t>(row)];
        const std::vector<std::string> cells = QuestionCells(question, texts_, decimalSeparator);
        const auto figures = Figures(question);
        const QString reasons = FlagReasons(question, texts_, decimalSeparator);
        for (int column = 0; column < Questions->columnCount(); ++column) {
            const auto at = static_cast<std::size_t>(column);
            auto* item = new TQuestionItem(FromCodePage(cells[at]), FigureColumns[at], figures[at]);
            if (!question.flags.empty()) {
                item->setBackground(FlaggedRow);
                item->setToolTip(reasons);
            }
            Questions->setItem(row, column, item);
        }
    }
    Questions->setSortingEnabled(true);
    if (firstFill) {
        Questions->resizeColumnsToContents();
    }
}
