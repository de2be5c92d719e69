#include "Marking.h"

#include "MarkingRules.h"
#include "Numbers.h"

#include <string>
#include <vector>

namespace {

constexpr int LastTitledQuestionColumn = 52;
constexpr int LastLabelledStudentRow = 102;
constexpr int RateSignificantDigits = 12;

/// One question as step 1 finds it, with what scoring the students gathers for its rate.
struct TQuestion {
    TQuestionRule rule;
    long correctCount = 0;
    double pointsSum = 0;
};

std::vector<TQuestion> FindMarkedQuestions(const TAnswerTable& table, char decimalSeparator) {
    std::vector<TQuestion> questions;
    for (TQuestionRule& rule : FindQuestions(table, decimalSeparator)) {
        questions.push_back({std::move(rule)});
    }
    return questions;
}

/// Scores one answer and sets the colour its cell is to be painted in.
void ScoreAnswer(TAnswerTable& table, TQuestion& question, int row, double& score,
                 char decimalSeparator) {
    const std::string_view answer = table.Cell(question.rule.column, row);
    const TAnswerMark mark = MarkAnswer(question.rule, answer, decimalSeparator);
    if (mark.correct) {
        score = HeldAsDouble(score + mark.points);
        ++question.correctCount;
    } else if (question.rule.isPointsQuestion && !answer.empty()) {
        score = HeldAsDouble(score + mark.points);
        question.pointsSum = HeldAsDouble(question.pointsSum + mark.points);
    }
    if (mark.shownWrong) {
        table.SetHighlightColor(clSilver);
    }
}

std::string RateText(const TAnswerTable& table, const TQuestion& question, int studentCount,
                     char decimalSeparator) {
    if (!question.rule.isPointsQuestion) {
        return std::to_string(100 * question.correctCount / studentCount) + "%";
    }
    const long double maximum = AttainablePoints(table, question.rule, decimalSeparator);
    if (maximum == 0) {
        return FormatOneDecimal(static_cast<long double>(question.pointsSum) / studentCount,
                                decimalSeparator);
    }
    // Rounded before it is truncated, so that the binary noise of a quotient such as
    // 99.99999999999999 does not cost a whole percent.
    return FormatRate(RoundToSignificantDigits(100.0L * question.pointsSum / studentCount / maximum,
                                               RateSignificantDigits));
}

std::string StatisticText(long double value, char decimalSeparator) {
    return "<" + FormatOneDecimal(value, decimalSeparator) + ">";
}

class TMarking {
public:
    TMarking(TAnswerTable& table, char decimalSeparator)
        : table_(table), decimalSeparator_(decimalSeparator) {}

    void Run() {
        questions_ = FindMarkedQuestions(table_, decimalSeparator_);
        const int questionCount = static_cast<int>(questions_.size());
        table_.SetQuestionCount(questionCount);
        if (questionCount == 0) {
            return;
        }
        scoreColumn_ = questionCount + TAnswerTable::FirstQuestionColumn;
        try {
            Prepare();
            ScoreStudents();
            table_.ProcessMessages();
            table_.SetHighlightColor(clYellow);
            WriteRates();
            WriteTitles();
            PaintScoresYellow();
            WriteStatistics();
        } catch (...) {
            table_.SetHighlightColor(clWhite);
            throw;
        }
        table_.SetEnabled(TCommand::mmSortWithPoint, true);
    }

private:
    int StudentCount() const { return static_cast<int>(scores_.size()); }
    int RateRow() const { return StudentCount() + TAnswerTable::FirstStudentRow; }

    void Prepare() {
        table_.SetHighlightColor(clWhite);
        table_.ProcessMessages();
        table_.SetColumnWidth(scoreColumn_ + 1, TAnswerTable::StatisticsLabelWidth);
        table_.ProcessMessages();
    }

    void ScoreStudents() {
        for (int row = TAnswerTable::FirstStudentRow;; ++row) {
            double score = 0;
            for (TQuestion& question : questions_) {
                ScoreAnswer(table_, question, row, score, decimalSeparator_);
                table_.RewriteCell(question.rule.column, row);
                table_.ProcessMessages();
                table_.SetHighlightColor(clWhite);
            }
            table_.SetCell(scoreColumn_, row, FloatToStr(score, decimalSeparator_));
            scores_.push_back(score);
            if (!HasStudentAfter(table_, row)) {
                break;
            }
        }
    }

    void WriteRates() {
        for (const TQuestion& question : questions_) {
            table_.SetCell(question.rule.column, RateRow(),
                           RateText(table_, question, StudentCount(), decimalSeparator_));
        }
    }

    void WriteTitles() {
        table_.SetCell(scoreColumn_, 0, table_.Message(7));
        for (int column = scoreColumn_ + 1; column <= LastTitledQuestionColumn; ++column) {
            table_.SetCell(column, 0, {});
        }
        table_.SetCell(0, RateRow(), table_.Message(8));
        for (int row = RateRow() + 1; row <= LastLabelledStudentRow; ++row) {
            table_.SetCell(0, row, {});
        }
        table_.ProcessMessages();
    }

    void PaintScoresYellow() {
        for (int row = TAnswerTable::FirstStudentRow; row < RateRow(); ++row) {
            table_.RewriteCell(scoreColumn_, row);
        }
        table_.ProcessMessages();
        table_.SetHighlightColor(clWhite);
    }

    void WriteStatistics() {
        const TScoreSpread spread = PopulationSpread(scores_);
        table_.SetCell(scoreColumn_, TAnswerTable::AnswerKeyRow,
                       StatisticText(spread.mean, decimalSeparator_));
        table_.SetCell(scoreColumn_ + 1, TAnswerTable::AnswerKeyRow, table_.Message(9));
        table_.SetCell(scoreColumn_, TAnswerTable::PointsRow,
                       StatisticText(spread.deviation, decimalSeparator_));
        table_.SetCell(scoreColumn_ + 1, TAnswerTable::PointsRow, table_.Message(10));
    }

    TAnswerTable& table_;
    const char decimalSeparator_;
    std::vector<TQuestion> questions_;
    std::vector<double> scores_;
    int scoreColumn_ = 0;
};

} // namespace

void MarkTable(TAnswerTable& table, char decimalSeparator) {
    TMarking(table, decimalSeparator).Run();
}
