#include "table/marking/QuickMarking.h"

#include "TestText.h"
#include "platform/CodePage.h"
#include "table/marking/MarkingRules.h"
#include "table/marking/Numbers.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

TQuestionRule RuleOf(const std::string& key, double points) {
    TQuestionRule rule;
    rule.column = TAnswerTable::FirstQuestionColumn;
    rule.isPointsQuestion = key == "#";
    if (!rule.isPointsQuestion) {
        rule.loweredKey = TCodePage::LowerCase(key);
        rule.points = points;
    }
    return rule;
}

/// MarkAnswer's verdict, or nothing when it rejects the answer.
std::optional<TAnswerMark> ReferenceMark(const TQuestionRule& rule, const std::string& answer,
                                         char decimalSeparator) {
    try {
        return MarkAnswer(rule, answer, decimalSeparator);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

bool IsMask(std::int64_t mask) {
    return mask == 0 || mask == -1;
}

/// Whether the quick rule took the answer; fails the test where it disagrees with MarkAnswer.
bool TakenAlike(const std::string& key, double points, const std::string& answer,
                char decimalSeparator) {
    const TQuestionRule rule = RuleOf(key, points);
    TQuickMark quick;
    if (!MarkAnswerQuickly(rule, QuickQuestionOf(rule), answer, quick)) {
        return false;
    }
    const std::string place = "key " + Escaped(key) + " points " + std::to_string(points) +
                              " answer " + Escaped(answer) + " separator " + decimalSeparator;
    const std::optional<TAnswerMark> reference = ReferenceMark(rule, answer, decimalSeparator);
    EXPECT_TRUE(reference.has_value()) << "took an answer MarkAnswer rejects: " << place;
    if (!reference) {
        return true;
    }
    EXPECT_TRUE(IsMask(quick.correctMask) && IsMask(quick.shownWrongMask)) << place;
    EXPECT_EQ(static_cast<long double>(quick.points), reference->points) << place;
    EXPECT_EQ(quick.correctMask != 0, reference->correct) << place;
    EXPECT_EQ(quick.shownWrongMask != 0, reference->shownWrong) << place;
    return true;
}

const std::vector<std::string> Keys = {
    "a", "A", "b", "ab", "aB", "#", "1", "1,5", "\x82\x60", "\x82\x81", "a\x82\x60", "\x81", "",
};
// Whole points inside and outside the range the quick rule sums as integers, and others.
const std::vector<double> Points = {0, 1, 3, -2, 2.5, 0.1, 2097152, 2097153, 1e300};
// Fragments that answers are made of: letters in both cases, double-byte letters (full-width
// A and a), a lone lead byte, digits, signs, both decimal separators, blanks, an exponent.
const std::vector<std::string> Fragments = {
    "a", "A",       "b", "B", "\x82\x60", "\x82\x81", "\x81", "0", "1", "5",
    "9", "2097152", "-", "+", ".",        ",",        " ",    "e", "#",
};

TEST(QuickMarking, AgreesWithMarkAnswerOnTheUsualAnswers) {
    for (const char separator : {'.', ','}) {
        EXPECT_TRUE(TakenAlike("a", 1, "a", separator));
        EXPECT_TRUE(TakenAlike("a", 1, "A", separator));
        EXPECT_TRUE(TakenAlike("A", 2, "a", separator));
        EXPECT_TRUE(TakenAlike("a", 1, "b", separator));
        EXPECT_TRUE(TakenAlike("a", 1, "", separator));
        EXPECT_TRUE(TakenAlike("ab", 3, "AB", separator));
        EXPECT_TRUE(TakenAlike("\x82\x60", 1, "\x82\x81", separator));
        EXPECT_TRUE(TakenAlike("\x82\x81", 1, "\x82\x60", separator));
        EXPECT_TRUE(TakenAlike("", 1, "", separator));
        EXPECT_TRUE(TakenAlike("", 1, "a", separator));
        EXPECT_TRUE(TakenAlike("#", 0, "", separator));
        EXPECT_TRUE(TakenAlike("#", 0, "0", separator));
        EXPECT_TRUE(TakenAlike("#", 0, "007", separator));
        EXPECT_TRUE(TakenAlike("#", 0, "2097152", separator));
    }
}

TEST(QuickMarking, LeavesToMarkAnswerWhatIsNoWholeNumberOfPoints) {
    for (const char separator : {'.', ','}) {
        EXPECT_FALSE(TakenAlike("a", 2.5, "a", separator));
        EXPECT_FALSE(TakenAlike("a", 2097153, "a", separator));
        EXPECT_FALSE(TakenAlike("#", 0, "1.5", separator));
        EXPECT_FALSE(TakenAlike("#", 0, "1,5", separator));
        EXPECT_FALSE(TakenAlike("#", 0, "-2", separator));
        EXPECT_FALSE(TakenAlike("#", 0, " 3", separator));
        EXPECT_FALSE(TakenAlike("#", 0, "2097153", separator));
        EXPECT_FALSE(TakenAlike("#", 0, "x", separator));
    }
}

// Random keys, points and answers made of fragments that the rules treat differently: wherever
// the quick rule takes an answer, it gives what MarkAnswer gives.
TEST(QuickMarking, AgreesWithMarkAnswerOnRandomAnswers) {
    std::mt19937 random(27);
    const auto pick = [&](const auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(random)];
    };
    int taken = 0;
    constexpr int Rounds = 50'000;
    for (int round = 0; round < Rounds; ++round) {
        const std::string key = pick(Keys);
        std::string answer;
        const int fragments = std::uniform_int_distribution<int>(0, 3)(random);
        for (int fragment = 0; fragment < fragments; ++fragment) {
            answer += pick(Fragments);
        }
        if (round % 4 == 0) {
            // Answers near the key: the key itself in another case.
            answer = round % 8 == 0 ? key : TCodePage::LowerCase(key);
        }
        taken += TakenAlike(key, pick(Points), answer, round % 2 == 0 ? '.' : ',') ? 1 : 0;
        if (HasFailure()) {
            return;
        }
    }
    EXPECT_GT(taken, Rounds / 2);
}

} // namespace
