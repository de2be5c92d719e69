#pragma once

#include "platform/CodePage.h"
#include "table/marking/MarkingRules.h"
#include "table/marking/Numbers.h"

#include <cstdint>
#include <optional>
#include <string_view>

/// An optimisation of MarkAnswer for marking's loop over every answer of every student: nearly
/// every answer earns a whole number of points, which this gives as an integer, without the
/// extended arithmetic and without a branch on whether the answer is right, so that random
/// answers leave no branch to mispredict. Wherever it takes an answer it must agree with
/// MarkAnswer; any other answer it leaves to MarkAnswer.

/// How the quick rule takes a question's answers.
enum class TQuickScoring {
    /// A key of one byte worth whole points: an answer is right when it is that byte, lowered.
    OneByteKey,
    /// Any other key worth whole points.
    Key,
    /// Points in the cells.
    Points,
    /// Keyed points that are no whole number within THeldSum::WholeAddendLimit: left to
    /// MarkAnswer.
    None,
};

/// A question as the quick rule reads it, beside its TQuestionRule.
struct TQuickQuestion {
    TQuickScoring scoring = TQuickScoring::None;
    char oneByteKey = 0;
    /// A keyed question's points as a whole number.
    std::int64_t wholePoints = 0;
};

/// How the quick rule scores `rule`'s question, or None where it must leave it to MarkAnswer.
inline TQuickQuestion QuickQuestionOf(const TQuestionRule& rule) {
    TQuickQuestion quick;
    if (rule.isPointsQuestion) {
        quick.scoring = TQuickScoring::Points;
    } else if (THeldSum::IsWholeAddend(rule.points)) {
        quick.wholePoints = static_cast<std::int64_t>(rule.points);
        quick.scoring = TQuickScoring::Key;
        if (rule.loweredKey.size() == 1) {
            quick.scoring = TQuickScoring::OneByteKey;
            quick.oneByteKey = rule.loweredKey.front();
        }
    }
    return quick;
}

/// TAnswerMark with whole points and masks for flags: every bit set for true, none for false.
struct TQuickMark {
    std::int64_t points = 0;
    std::int64_t correctMask = 0;
    std::int64_t shownWrongMask = 0;
};

/// MarkAnswer for a points question's answer: false for one that is not a whole number within
/// THeldSum::WholeAddendLimit, such as a number MarkAnswer may reject.
inline bool MarkWholePointsQuickly(std::string_view answer, TQuickMark& mark) {
    if (answer.empty()) {
        mark = {};
        return true;
    }
    const std::optional<std::int64_t> points = ReadSmallWholeNumber(answer);
    if (!points || *points > THeldSum::WholeAddendLimit) {
        return false;
    }
    mark.points = *points;
    mark.correctMask = 0;
    mark.shownWrongMask = -static_cast<std::int64_t>(*points == 0);
    return true;
}

/// MarkAnswer(rule, answer) for an answer that earns a whole number of points within
/// THeldSum::WholeAddendLimit; false, leaving `mark` as it was, for any other answer. `quick` is
/// QuickQuestionOf(rule).
inline bool MarkAnswerQuickly(const TQuestionRule& rule, const TQuickQuestion& quick,
                              std::string_view answer, TQuickMark& mark) {
    // The one-byte key, the usual question, is asked about first.
    std::int64_t correct = 0;
    if (quick.scoring == TQuickScoring::OneByteKey) {
        correct = answer.size() == 1
                      ? -static_cast<std::int64_t>(TCodePage::LowerAscii(answer.front()) ==
                                                   quick.oneByteKey)
                      : 0;
    } else if (quick.scoring == TQuickScoring::Key) {
        correct = -static_cast<std::int64_t>(TCodePage::EqualsLowered(answer, rule.loweredKey));
    } else if (quick.scoring == TQuickScoring::Points) {
        return MarkWholePointsQuickly(answer, mark);
    } else {
        return false;
    }
    mark.points = quick.wholePoints & correct;
    mark.correctMask = correct;
    mark.shownWrongMask = ~correct & -static_cast<std::int64_t>(!answer.empty());
    return true;
}
