#pragma once

#include "analysis/AnalysisTexts.h"
#include "table/marking/MarkingRules.h"
#include "table/store/AnswerTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// How an answer fared, as the paper shows it beside the answer.
enum class TVerdict {
    Right,
    /// Points of a "#" question above 0 and below its attainable points.
    Partial,
    /// Also an empty answer, which earns nothing.
    Wrong,
};

/// One question of a marked table as the paper shows it.
struct TPaperQuestion {
    /// 1 for the first question.
    int number = 0;
    TQuestionRule rule;
    /// The answer-key cell as written.
    std::string key;
    /// A keyed question's points; a "#" question's attainable points from the points row,
    /// missing when that cell is empty or 0.
    std::optional<long double> points;
    /// The rate row's cell as marking wrote it.
    std::string rate;
};

struct TPaperStudent {
    int row = 0;
    double score = 0;
    /// 1 for the best; students with the same score share the rank of the first of them.
    int rank = 0;
};

/// One answer of one student, judged as marking judges it.
struct TPaperAnswer {
    std::string_view text;
    TVerdict verdict = TVerdict::Wrong;
    long double earned = 0;
};

/// A marked table read for printing: its questions, its students with their scores and ranks
/// in the order of the table, and the class's figures. The answers stay in the table, which
/// must outlive this object and stay unchanged while it is used, so that ten thousand slips
/// cost no copy of them.
class TMarkedClass {
public:
    /// Refuses, with EPelloranError carrying the text that says why, a table without
    /// questions, a table not marked (the questions end at an empty answer-key cell rather
    /// than at marking's mean) and a table changed since marking (a score cell that is not
    /// the score its answers earn now). Throws EConvertError where marking would.
    static TMarkedClass Read(const TAnswerTable& table, const TAnalysisTexts& texts,
                             char decimalSeparator);

    const std::vector<TPaperQuestion>& Questions() const { return questions_; }
    const std::vector<TPaperStudent>& Students() const { return students_; }
    double Mean() const { return mean_; }
    double Deviation() const { return deviation_; }
    /// Full marks: every question's points; missing when a "#" question has none.
    std::optional<long double> Attainable() const { return attainable_; }

    std::string_view Number(const TPaperStudent& student) const {
        return table_->Cell(TAnswerTable::NumberColumn, student.row);
    }
    std::string_view Name(const TPaperStudent& student) const {
        return table_->Cell(TAnswerTable::NameColumn, student.row);
    }
    TPaperAnswer Answer(const TPaperStudent& student, const TPaperQuestion& question) const;
    /// Each question's longest answer, in bytes: what its column on paper must hold.
    std::vector<std::size_t> LongestAnswers() const;

private:
    explicit TMarkedClass(const TAnswerTable& table, char decimalSeparator)
        : table_(&table), decimalSeparator_(decimalSeparator) {}

    const TAnswerTable* table_;
    char decimalSeparator_;
    std::vector<TPaperQuestion> questions_;
    std::vector<TPaperStudent> students_;
    double mean_ = 0;
    double deviation_ = 0;
    std::optional<long double> attainable_;
};

/// Each score's rank: 1 plus the number of higher scores, so that equal scores share a rank
/// and the next one skips as many places as shared it (10, 9, 9, 8 rank 1, 2, 2, 4).
std::vector<int> RankScores(const std::vector<double>& scores);

/// What an answer that marking judged as `mark` shows: a keyed answer is right or wrong; a "#"
/// question's points are wrong at 0 or below (an empty cell included), partial below
/// `attainable` and right from there on, or whenever it has no attainable points.
TVerdict JudgeAnswer(const TQuestionRule& question, const TAnswerMark& mark,
                     std::optional<long double> attainable);
