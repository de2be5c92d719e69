#include "table/marking/Marking.h"

#include "table/marking/MarkingRules.h"
#include "table/marking/Numbers.h"
#include "table/marking/QuickMarking.h"
#include "table/progress/Progress.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int LastTitledQuestionColumn = 52;
constexpr int LastLabelledStudentRow = 102;
constexpr int RateSignificantDigits = 12;

/// One question as step 1 finds it, with what scoring the students gathers for its rate.
struct TQuestion {
    TQuestionRule rule;
    TQuickQuestion quick;
    std::int64_t correctCount = 0;
    THeldSum pointsSum;
};

TQuestion MarkedQuestion(TQuestionRule rule) {
    TQuestion question;
    question.quick = QuickQuestionOf(rule);
    question.rule = std::move(rule);
    return question;
}

std::vector<TQuestion> FindMarkedQuestions(const TAnswerTable& table, char decimalSeparator) {
    std::vector<TQuestion> questions;
    for (TQuestionRule& rule : FindQuestions(table, decimalSeparator)) {
        questions.push_back(MarkedQuestion(std::move(rule)));
    }
    return questions;
}

/// Silver where every bit of `mask` is set, white where none is, without a branch.
TColor SilverWhere(std::int64_t mask) {
    return clWhite ^ ((clWhite ^ clSilver) & static_cast<TColor>(mask));
}

std::string RateText(const TAnswerTable& table, const TQuestion& question, int studentCount,
                     char decimalSeparator) {
    if (!question.rule.isPointsQuestion) {
        return std::to_string(100 * question.correctCount / studentCount) + "%";
    }
    const long double maximum = AttainablePoints(table, question.rule, decimalSeparator);
    if (maximum == 0) {
        return FormatOneDecimal(static_cast<long double>(question.pointsSum.Value()) / studentCount,
                                decimalSeparator);
    }
    // Rounded before it is truncated, so that the binary noise of a quotient such as
    // 99.99999999999999 does not cost a whole percent.
    return FormatRate(RoundToSignificantDigits(
        100.0L * question.pointsSum.Value() / studentCount / maximum, RateSignificantDigits));
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
        if (questionCount > 0) {
            CheckMarkable(table_, questionCount);
        }
        table_.SetQuestionCount(questionCount);
        if (questionCount == 0) {
            return;
        }
        scoreColumn_ = TAnswerTable::ScoreColumn(questionCount);
        labelColumn_ = TAnswerTable::StatisticsLabelColumn(questionCount);
        try {
            Prepare();
            ScoreStudents();
            table_.ProcessMessages();
            table_.SetHighlightColor(clYellow);
            WriteRates();
            WriteTitles();
            PaintScoresYellow();
            WriteStatistics();
        } catch (const EConvertError& error) {
            table_.SetHighlightColor(clWhite);
            if (error.Cell()) {
                throw MarkErrorAt(table_, *error.Cell(), error);
            }
            throw;
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
        table_.SetColumnWidth(labelColumn_, TAnswerTable::StatisticsLabelWidth);
        table_.ProcessMessages();
    }

    void ScoreStudents() {
        answers_.resize(questions_.size());
        colours_.resize(questions_.size());
        TProgress progress(table_.ProgressListener(), TProgressTask::Mark,
                           static_cast<std::uint64_t>(table_.StoredRowCount()));
        for (int row = TAnswerTable::FirstStudentRow;; ++row) {
            progress.Advance(static_cast<std::uint64_t>(row));
            const THeldSum score = ScoreStudent(row);
            table_.SetCell(scoreColumn_, row, ScoreText(score));
            scores_.push_back(score.Value());
            if (!HasStudentAfter(table_, row)) {
                break;
            }
        }
    }

    /// Scores the answers of `row`, then has them painted one by one as if each were painted
    /// once scored: the view sees the same table and colours, and no answer after one that
    /// stops marking. Not inlined, so that the quick loop has the registers to itself.
    [[gnu::noinline]] THeldSum ScoreStudent(int row) {
        ReadAnswers(row);
        // The vectors' data in locals: writes through the counts and colours could otherwise
        // alias them and reload them for every answer.
        const std::size_t questionCount = questions_.size();
        TQuestion* const questions = questions_.data();
        const std::string_view* const answers = answers_.data();
        TColor* const colours = colours_.data();
        std::int64_t quickSum = 0;
        std::size_t scored = 0;
        try {
            for (; scored < questionCount; ++scored) {
                std::int64_t earned = 0;
                if (!ScoreQuickly(questions[scored], answers[scored], earned, colours[scored])) {
                    break;
                }
                quickSum += earned;
            }
        } catch (...) {
            PaintAnswers(row, scored);
            throw;
        }
        if (scored < questionCount) [[unlikely]] {
            return ScoreRest(row, THeldSum(quickSum), scored);
        }
        PaintAnswers(row, questionCount);
        return THeldSum(quickSum);
    }

    /// The answers of `row` in one walk through its cells, instead of a look-up per cell. They
    /// stay valid until the row is written: the view only reads the table.
    void ReadAnswers(int row) {
        std::string_view* const answers = answers_.data();
        std::size_t read = 0;
        table_.Store().Row(row).ForEachCell(
            TAnswerTable::FirstQuestionColumn, static_cast<std::size_t>(scoreColumn_),
            [&](std::string_view answer) { answers[read++] = answer; });
        // The cells after the row's last one are empty.
        std::fill(answers + read, answers + questions_.size(), std::string_view());
    }

    /// Scores the answers of `row` from `first` on by the general rule into `score`, which
    /// holds what those before earned, then paints the row's answers. Kept out of the quick
    /// loop.
    [[gnu::noinline]] THeldSum ScoreRest(int row, THeldSum score, std::size_t first) {
        std::size_t scored = first;
        try {
            for (; scored < questions_.size(); ++scored) {
                colours_[scored] = ScoreAnswer(questions_[scored], answers_[scored], score);
            }
        } catch (EConvertError& error) {
            error.SetCell({questions_[scored].rule.column, row});
            PaintAnswers(row, scored);
            throw;
        } catch (...) {
            PaintAnswers(row, scored);
            throw;
        }
        PaintAnswers(row, scored);
        return score;
    }

    /// ScoreAnswer by the quick rule, an optimisation of MarkAnswer, for an answer that earns a
    /// whole number of points, as nearly all do: sets `earned` to them, which a score sums as an
    /// integer. False for any other answer, which it leaves as it was.
    static bool ScoreQuickly(TQuestion& question, std::string_view answer, std::int64_t& earned,
                             TColor& colour) {
        TQuickMark mark;
        if (!MarkAnswerQuickly(question.rule, question.quick, answer, mark)) {
            return false;
        }
        question.correctCount -= mark.correctMask;
        if (question.quick.scoring == TQuickScoring::Points) {
            question.pointsSum.AddWhole(mark.points);
        }
        earned = mark.points;
        colour = SilverWhere(mark.shownWrongMask);
        return true;
    }

    /// Adds what one answer earns and returns the colour its cell is painted in: silver for
    /// one shown wrong, else white, as the highlight is between answers.
    TColor ScoreAnswer(TQuestion& question, std::string_view answer, THeldSum& score) const {
        const TAnswerMark mark = MarkAnswer(question.rule, answer, decimalSeparator_);
        score.Add(mark.points);
        if (question.rule.isPointsQuestion) {
            question.pointsSum.Add(mark.points);
        } else if (mark.correct) {
            ++question.correctCount;
        }
        return mark.shownWrong ? clSilver : clWhite;
    }

    /// Paints the first `count` answers of `row` in their colours, one after the other.
    void PaintAnswers(int row, std::size_t count) {
        for (std::size_t index = 0; index < count; ++index) {
            table_.SetHighlightColor(colours_[index]);
            table_.RewriteCell(questions_[index].rule.column, row);
            table_.ProcessMessages();
            table_.SetHighlightColor(clWhite);
        }
    }

    /// As FloatToStr writes the score; a whole one below 10^15, the usual one, is its digits.
    std::string_view ScoreText(const THeldSum& score) {
        constexpr std::int64_t PlainDigitsLimit = 1'000'000'000'000'000;
        if (score.IsWhole() && score.Whole() > -PlainDigitsLimit &&
            score.Whole() < PlainDigitsLimit) {
            const auto written = std::to_chars(
                scoreDigits_.data(), scoreDigits_.data() + scoreDigits_.size(), score.Whole());
            return {scoreDigits_.data(), written.ptr};
        }
        scoreText_ = FloatToStr(score.Value(), decimalSeparator_);
        return scoreText_;
    }

    void WriteRates() {
        for (const TQuestion& question : questions_) {
            try {
                table_.SetCell(question.rule.column, RateRow(),
                               RateText(table_, question, StudentCount(), decimalSeparator_));
            } catch (EConvertError& error) {
                // The rate reads no cell but the points row's.
                error.SetCell({question.rule.column, TAnswerTable::PointsRow});
                throw;
            }
        }
    }

    void WriteTitles() {
        table_.SetCell(scoreColumn_, 0, table_.Message(TMessage::ScoreTitle));
        for (int column = labelColumn_; column <= LastTitledQuestionColumn; ++column) {
            table_.SetCell(column, 0, {});
        }
        table_.SetCell(0, RateRow(), table_.Message(TMessage::RateLabel));
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
        table_.SetCell(labelColumn_, TAnswerTable::AnswerKeyRow,
                       table_.Message(TMessage::MeanTitle));
        table_.SetCell(scoreColumn_, TAnswerTable::PointsRow,
                       StatisticText(spread.deviation, decimalSeparator_));
        table_.SetCell(labelColumn_, TAnswerTable::PointsRow,
                       table_.Message(TMessage::DeviationTitle));
    }

    TAnswerTable& table_;
    const char decimalSeparator_;
    std::vector<TQuestion> questions_;
    /// The answers of the student being scored, and the colour of each.
    std::vector<std::string_view> answers_;
    std::vector<TColor> colours_;
    std::vector<double> scores_;
    std::array<char, 24> scoreDigits_{};
    std::string scoreText_;
    int scoreColumn_ = 0;
    int labelColumn_ = 0;
};

} // namespace

void MarkTable(TAnswerTable& table, char decimalSeparator) {
    TMarking(table, decimalSeparator).Run();
}
