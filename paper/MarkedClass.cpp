#include "paper/MarkedClass.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "table/marking/Numbers.h"
#include "table/marking/TableWalks.h"

#include <algorithm>
#include <functional>

namespace {

[[noreturn]] void Refuse(const TAnalysisTexts& texts, TAnalysisText why) {
    throw EPelloranError(TCodePage::ToUtf8(texts[why]));
}

/// Marking ends the questions of a marked table at the mean it wrote.
bool EndsAtMarkingsMean(const TAnswerTable& table, int questionCount) {
    return IsResultMarker(
        table.Cell(TAnswerTable::ScoreColumn(questionCount), TAnswerTable::AnswerKeyRow));
}

} // namespace

TMarkedClass TMarkedClass::Read(const TAnswerTable& table, const TAnalysisTexts& texts,
                                char decimalSeparator) {
    TMarkedClass marked(table, decimalSeparator);
    const std::vector<TQuestionRule> rules = FindQuestions(table, decimalSeparator);
    if (rules.empty()) {
        Refuse(texts, TAnalysisText::NoQuestions);
    }
    if (!EndsAtMarkingsMean(table, static_cast<int>(rules.size()))) {
        Refuse(texts, TAnalysisText::NotMarked);
    }
    marked.attainable_ = 0;
    for (const TQuestionRule& rule : rules) {
        TPaperQuestion question;
        question.number = static_cast<int>(marked.questions_.size()) + 1;
        question.rule = rule;
        question.key = table.Cell(rule.column, TAnswerTable::AnswerKeyRow);
        if (!rule.isPointsQuestion) {
            question.points = rule.points;
        } else if (const long double points = AttainablePoints(table, rule, decimalSeparator);
                   points != 0) {
            question.points = points;
        }
        if (marked.attainable_ && question.points) {
            *marked.attainable_ += *question.points;
        } else {
            marked.attainable_.reset();
        }
        marked.questions_.push_back(std::move(question));
    }

    const int scoreColumn = TAnswerTable::ScoreColumn(static_cast<int>(rules.size()));
    std::vector<double> scores;
    for (int row = TAnswerTable::FirstStudentRow;; ++row) {
        // A student added below the marked ones, in the rate row, has no score yet: told
        // before the rates are read as the student's answers.
        const std::string_view written = table.Cell(scoreColumn, row);
        if (written.empty()) {
            Refuse(texts, TAnalysisText::MarkingOutOfDate);
        }
        THeldSum score;
        for (const TQuestionRule& rule : rules) {
            score.Add(MarkAnswer(rule, table.Cell(rule.column, row), decimalSeparator).points);
        }
        if (written != FloatToStr(score.Value(), decimalSeparator)) {
            Refuse(texts, TAnalysisText::MarkingOutOfDate);
        }
        marked.students_.push_back({row, score.Value(), 0});
        scores.push_back(score.Value());
        if (!HasStudentAfter(table, row)) {
            break;
        }
    }
    const std::vector<int> ranks = RankScores(scores);
    for (std::size_t at = 0; at < ranks.size(); ++at) {
        marked.students_[at].rank = ranks[at];
    }
    const int rateRow = marked.students_.back().row + 1;
    for (TPaperQuestion& question : marked.questions_) {
        question.rate = table.Cell(question.rule.column, rateRow);
    }
    const TScoreSpread spread = PopulationSpread(scores);
    marked.mean_ = spread.mean;
    marked.deviation_ = static_cast<double>(spread.deviation);
    return marked;
}

TPaperAnswer TMarkedClass::Answer(const TPaperStudent& student,
                                  const TPaperQuestion& question) const {
    TPaperAnswer answer;
    answer.text = table_->Cell(question.rule.column, student.row);
    const TAnswerMark mark = MarkAnswer(question.rule, answer.text, decimalSeparator_);
    answer.verdict = JudgeAnswer(question.rule, mark, question.points);
    answer.earned = mark.points;
    return answer;
}

std::vector<std::size_t> TMarkedClass::LongestAnswers() const {
    std::vector<std::size_t> longest(questions_.size());
    for (const TPaperStudent& student : students_) {
        for (std::size_t at = 0; at < questions_.size(); ++at) {
            longest[at] =
                std::max(longest[at], table_->Cell(questions_[at].rule.column, student.row).size());
        }
    }
    return longest;
}

std::vector<int> RankScores(const std::vector<double>& scores) {
    std::vector<double> descending = scores;
    std::sort(descending.begin(), descending.end(), std::greater<>());
    std::vector<int> ranks;
    ranks.reserve(scores.size());
    for (const double score : scores) {
        const auto higher =
            std::lower_bound(descending.begin(), descending.end(), score, std::greater<>()) -
            descending.begin();
        ranks.push_back(static_cast<int>(higher) + 1);
    }
    return ranks;
}

TVerdict JudgeAnswer(const TQuestionRule& question, const TAnswerMark& mark,
                     std::optional<long double> attainable) {
    if (!question.isPointsQuestion) {
        return mark.correct ? TVerdict::Right : TVerdict::Wrong;
    }
    if (mark.points <= 0) {
        return TVerdict::Wrong;
    }
    return attainable && mark.points < *attainable ? TVerdict::Partial : TVerdict::Right;
}
