#include "Marking.h"

#include "Numbers.h"
#include "platform/CodePage.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int LastTitledQuestionColumn = 52;
constexpr int LastLabelledStudentRow = 102;
constexpr int RateSignificantDigits = 12;

/// One question as step 1 finds it, with what scoring the students gathers for its rate.
struct TQuestion {
    int column = 0;
    bool isPointsQuestion = false;
    std::string loweredKey;
    double points = 0;
    long correctCount = 0;
    double pointsSum = 0;
};

/// Scores and sums are held as doubles: one beyond their range stops marking, as the
/// runtime's overflow did, instead of writing "INF" as a score.
double StoreAsDouble(long double value) {
    const auto stored = static_cast<double>(value);
    if (std::isinf(stored) && std::isfinite(value)) {
        throw EPelloranError("浮動小数点オーバーフロー");
    }
    return stored;
}

bool EndsQuestions(std::string_view key) {
    return key.empty() || key.find('<') != std::string_view::npos;
}

std::vector<TQuestion> FindQuestions(const TAnswerTable& table, char decimalSeparator) {
    std::vector<TQuestion> questions;
    for (int column = TAnswerTable::FirstQuestionColumn;
         !EndsQuestions(table.Cell(column, TAnswerTable::AnswerKeyRow)); ++column) {
        TQuestion question;
        question.column = column;
        const std::string_view key = table.Cell(column, TAnswerTable::AnswerKeyRow);
        question.isPointsQuestion = key == "#";
        if (!question.isPointsQuestion) {
            question.loweredKey = TCodePage::LowerCase(key);
            long double points = 0;
            if (TryStrToFloat(table.Cell(column, TAnswerTable::PointsRow), decimalSeparator,
                              points)) {
                question.points = StoreAsDouble(points);
            }
        }
        questions.push_back(std::move(question));
    }
    return questions;
}

/// Scores one answer and sets the colour its cell is to be painted in.
void ScoreAnswer(TAnswerTable& table, TQuestion& question, int row, double& score,
                 char decimalSeparator) {
    const std::string_view answer = table.Cell(question.column, row);
    if (!question.isPointsQuestion) {
        if (TCodePage::EqualsLowered(answer, question.loweredKey)) {
            score = StoreAsDouble(static_cast<long double>(score) + question.points);
            ++question.correctCount;
        } else if (!answer.empty()) {
            table.SetHighlightColor(clSilver);
        }
    } else if (!answer.empty()) {
        const long double points = StrToFloat(answer, decimalSeparator);
        score = StoreAsDouble(score + points);
        question.pointsSum = StoreAsDouble(question.pointsSum + points);
        if (points == 0) {
            table.SetHighlightColor(clSilver);
        }
    }
}

std::string RateText(const TAnswerTable& table, const TQuestion& question, int studentCount,
                     char decimalSeparator) {
    if (!question.isPointsQuestion) {
        return std::to_string(100 * question.correctCount / studentCount) + "%";
    }
    const std::string_view attainable = table.Cell(question.column, TAnswerTable::PointsRow);
    const long double maximum = attainable.empty() ? 0 : StrToFloat(attainable, decimalSeparator);
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
        questions_ = FindQuestions(table_, decimalSeparator_);
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
        int row = TAnswerTable::FirstStudentRow;
        do {
            double score = 0;
            for (TQuestion& question : questions_) {
                ScoreAnswer(table_, question, row, score, decimalSeparator_);
                table_.RewriteCell(question.column, row);
                table_.ProcessMessages();
                table_.SetHighlightColor(clWhite);
            }
            table_.SetCell(scoreColumn_, row, FloatToStr(score, decimalSeparator_));
            scores_.push_back(score);
            ++row;
        } while (!table_.Cell(TAnswerTable::NumberColumn, row).empty());
    }

    void WriteRates() {
        for (const TQuestion& question : questions_) {
            table_.SetCell(question.column, RateRow(),
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
        const int count = StudentCount();
        double mean = 0;
        for (const double score : scores_) {
            mean = StoreAsDouble(mean + static_cast<long double>(score) / count);
        }
        double squares = 0;
        for (const double score : scores_) {
            const long double deviation = static_cast<long double>(score) - mean;
            squares = StoreAsDouble(squares + deviation * deviation / count);
        }
        const long double deviation = std::sqrt(static_cast<long double>(squares));
        table_.SetCell(scoreColumn_, TAnswerTable::AnswerKeyRow,
                       StatisticText(mean, decimalSeparator_));
        table_.SetCell(scoreColumn_ + 1, TAnswerTable::AnswerKeyRow, table_.Message(9));
        table_.SetCell(scoreColumn_, TAnswerTable::PointsRow,
                       StatisticText(deviation, decimalSeparator_));
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
