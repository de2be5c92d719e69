#pragma once

#include "platform/CodePage.h"
#include "table/marking/Numbers.h"
#include "table/marking/TableWalks.h"
#include "table/store/AnswerTable.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// The rules by which marking reads a table, shared by everything that must see the test as
/// marking sees it: which columns are questions, what an answer earns, which rows are
/// students, how scores are summed and spread.

/// One question as the answer-key and points rows define it.
struct TQuestionRule {
    int column = 0;
    /// The key is exactly "#": the cells hold points awarded, not answers.
    bool isPointsQuestion = false;
    /// The key lower-cased as answers are compared with it; empty for a points question.
    std::string loweredKey;
    /// A keyed question's points: 0 when the points cell is empty or not a number.
    double points = 0;
};

/// What one answer earns.
struct TAnswerMark {
    /// What the answer adds to the score: a keyed question's points for a correct answer, else
    /// 0; the value of a points question's answer (0 when empty).
    long double points = 0;
    /// A keyed answer equal to the key.
    bool correct = false;
    /// Marking paints the cell silver: a wrong keyed answer that is not empty, or points of 0.
    bool shownWrong = false;
};

/// The questions from column 3 up to the first answer-key cell that is empty or holds the
/// result marker.
std::vector<TQuestionRule> FindQuestions(const TAnswerTable& table, char decimalSeparator);

/// The rule of what an answer earns, which marking and the item analysis both follow. A keyed
/// answer is compared with the key after lower-casing both; an empty points cell earns nothing.
/// Throws EConvertError for a points cell that is not a number. Marking's loop over every
/// answer takes most answers by MarkAnswerQuickly, an optimisation of this rule.
inline TAnswerMark MarkAnswer(const TQuestionRule& question, std::string_view answer,
                              char decimalSeparator) {
    TAnswerMark mark;
    if (!question.isPointsQuestion) {
        mark.correct = TCodePage::EqualsLowered(answer, question.loweredKey);
        mark.points = mark.correct ? question.points : 0;
        mark.shownWrong = !mark.correct && !answer.empty();
    } else if (!answer.empty()) {
        mark.points = StrToFloat(answer, decimalSeparator);
        mark.shownWrong = mark.points == 0;
    }
    return mark;
}

/// A points question's attainable points: the points row's value, 0 when that cell is empty.
/// Throws EConvertError when it is not a number.
long double AttainablePoints(const TAnswerTable& table, const TQuestionRule& question,
                             char decimalSeparator);

[[noreturn]] void ThrowHeldOverflow();

/// The value held as a double, as marking holds points, scores and sums. Throws EPelloranError
/// for a value beyond the range of a double, as the runtime's overflow did, instead of carrying
/// "INF" on.
inline double HeldAsDouble(long double value) {
    const auto held = static_cast<double>(value);
    if (std::isinf(held) && std::isfinite(value)) [[unlikely]] {
        ThrowHeldOverflow();
    }
    return held;
}

/// A sum as marking holds it: each addend added in extended precision and held as a double.
/// While every addend is a whole number within WholeAddendLimit, every step is exact, so the
/// sum is kept as an integer, which is the same double, without the slow extended arithmetic:
/// marking's sums almost always are such.
class THeldSum {
public:
    /// Whole addends are bounded so that a sum of 2^31 of them, a question per column or a
    /// student per row, stays exact in a double.
    static constexpr std::int64_t WholeAddendLimit = std::int64_t{1} << 21;

    THeldSum() = default;
    /// A sum whose addends so far, all whole ones, make `whole`.
    explicit THeldSum(std::int64_t whole) : whole_(whole) {}

    static bool IsWholeAddend(long double addend) {
        return std::fabs(addend) <= WholeAddendLimit && addend == std::trunc(addend);
    }

    /// Add for a whole number within WholeAddendLimit.
    void AddWhole(std::int64_t whole) {
        if (held_) [[unlikely]] {
            value_ = HeldAsDouble(value_ + static_cast<long double>(whole));
            return;
        }
        whole_ += whole;
    }

    void Add(long double addend) {
        if (!held_) {
            if (IsWholeAddend(addend)) {
                whole_ += static_cast<std::int64_t>(addend);
                return;
            }
            held_ = true;
            value_ = static_cast<double>(whole_);
        }
        value_ = HeldAsDouble(value_ + addend);
    }

    /// Whether the sum is still kept as the integer Whole().
    bool IsWhole() const { return !held_; }
    std::int64_t Whole() const { return whole_; }
    double Value() const { return held_ ? value_ : static_cast<double>(whole_); }

private:
    std::int64_t whole_ = 0;
    bool held_ = false;
    double value_ = 0;
};

/// The mean and the population standard deviation (divisor: the student count) as marking
/// writes them above the score column.
struct TScoreSpread {
    double mean = 0;
    long double deviation = 0;
};
/// `scores` must not be empty.
TScoreSpread PopulationSpread(const std::vector<double>& scores);
