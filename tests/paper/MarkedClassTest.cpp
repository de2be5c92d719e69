#include "paper/MarkedClass.h"

#include "TableRows.h"
#include "TestText.h"
#include "paper/PaperFormat.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "table/marking/Marking.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Keyed questions of 2 and 3 points, a "#" question out of 5, one without points.
constexpr std::string_view Quiz = "||a|b|#|#/"
                                  "||2|3|5|/"
                                  "1001|Ann|A|x|5|2/"
                                  "1002|Ben|a|b|3|/"
                                  "1003|Cho||b|0|1/"
                                  "1004|Dan|a|B||0";

TAnswerTable MarkedQuiz() {
    TAnswerTable table = TableOfRows(Quiz);
    MarkTable(table, '.');
    return table;
}

std::string RefusalOf(const TAnswerTable& table) {
    try {
        TMarkedClass::Read(table, TAnalysisTexts(), '.');
    } catch (const EPelloranError& error) {
        return error.what();
    }
    return "no refusal";
}

std::string Text(TAnalysisText text) {
    return TCodePage::ToUtf8(TAnalysisTexts()[text]);
}

TEST(RankScores, EqualScoresShareARankAndTheNextSkipsThePlacesTheyTook) {
    EXPECT_EQ(RankScores({10, 9, 9, 8}), (std::vector<int>{1, 2, 2, 4}));
    EXPECT_EQ(RankScores({5, 7, 5, 9, 12.5, 12.5}), (std::vector<int>{5, 4, 5, 3, 1, 1}));
    EXPECT_EQ(RankScores({3, 3, 3}), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(RankScores({0}), (std::vector<int>{1}));
    EXPECT_EQ(RankScores({-1, 0}), (std::vector<int>{2, 1}));
}

struct TJudgeCase {
    std::string name;
    bool isPointsQuestion;
    std::string answer;
    std::optional<long double> attainable;
    TVerdict verdict;
    friend void PrintTo(const TJudgeCase& value, std::ostream* out) { *out << value.name; }
};

class Verdicts : public testing::TestWithParam<TJudgeCase> {};

TEST_P(Verdicts, AgreeWithMarking) {
    const TJudgeCase& judged = GetParam();
    TQuestionRule rule;
    rule.isPointsQuestion = judged.isPointsQuestion;
    rule.loweredKey = judged.isPointsQuestion ? "" : "b";
    rule.points = 2;
    const TAnswerMark mark = MarkAnswer(rule, judged.answer, '.');
    EXPECT_EQ(JudgeAnswer(rule, mark, judged.attainable), judged.verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Verdicts,
    testing::Values(TJudgeCase{"KeyedRight", false, "b", 2, TVerdict::Right},
                    TJudgeCase{"KeyedRightInCapitals", false, "B", 2, TVerdict::Right},
                    TJudgeCase{"KeyedWrong", false, "c", 2, TVerdict::Wrong},
                    TJudgeCase{"KeyedWithABlankIsWrong", false, "b ", 2, TVerdict::Wrong},
                    TJudgeCase{"KeyedEmptyIsWrong", false, "", 2, TVerdict::Wrong},
                    TJudgeCase{"PointsFull", true, "5", 5, TVerdict::Right},
                    TJudgeCase{"PointsAboveFull", true, "6", 5, TVerdict::Right},
                    TJudgeCase{"PointsPartial", true, "2.5", 5, TVerdict::Partial},
                    TJudgeCase{"PointsZero", true, "0", 5, TVerdict::Wrong},
                    TJudgeCase{"PointsNegative", true, "-1", 5, TVerdict::Wrong},
                    TJudgeCase{"PointsEmpty", true, "", 5, TVerdict::Wrong},
                    TJudgeCase{"PointsWithoutFullMarks", true, "1", std::nullopt, TVerdict::Right}),
    TCaseName());

TEST(MarkedClass, ReadsScoresRanksRatesAndFiguresAsMarkingWroteThem) {
    const TAnswerTable table = MarkedQuiz();
    const TMarkedClass marked = TMarkedClass::Read(table, TAnalysisTexts(), '.');
    ASSERT_EQ(marked.Questions().size(), 4u);
    EXPECT_EQ(marked.Questions()[2].points, 5);
    EXPECT_FALSE(marked.Questions()[3].points);
    EXPECT_EQ(marked.Questions()[0].rate, "75%");
    // One question has no points, so there are no full marks.
    EXPECT_FALSE(marked.Attainable());

    std::vector<std::string> students;
    for (const TPaperStudent& student : marked.Students()) {
        students.push_back(
            std::string(marked.Number(student)) + " " + std::string(marked.Name(student)) + " " +
            std::to_string(static_cast<int>(student.score)) + " #" + std::to_string(student.rank));
    }
    // Ann 2+0+5+2, Ben 2+3+3, Cho 0+3+0+1, Dan 2+3+0+0.
    EXPECT_EQ(students, (std::vector<std::string>{"1001 Ann 9 #1", "1002 Ben 8 #2", "1003 Cho 4 #4",
                                                  "1004 Dan 5 #3"}));
    EXPECT_DOUBLE_EQ(marked.Mean(), 6.5);
}

TEST(MarkedClass, JudgesEachAnswerAsMarkingDid) {
    const TAnswerTable table = MarkedQuiz();
    const TMarkedClass marked = TMarkedClass::Read(table, TAnalysisTexts(), '.');
    std::vector<std::string> marks;
    for (const TPaperStudent& student : marked.Students()) {
        std::string line;
        for (const TPaperQuestion& question : marked.Questions()) {
            const TPaperAnswer answer = marked.Answer(student, question);
            line += VerdictMark(answer.verdict).toStdString() +
                    std::to_string(static_cast<int>(answer.earned));
        }
        marks.push_back(line);
    }
    EXPECT_EQ(marks, (std::vector<std::string>{"○2×0○5○2", "○2○3△3×0", "×0○3×0○1", "○2○3×0×0"}));
}

TEST(MarkedClass, FullMarksAreEveryQuestionsPoints) {
    TAnswerTable table = TableOfRows("||a|#/||2|5/1|A|a|4");
    MarkTable(table, '.');
    const TMarkedClass marked = TMarkedClass::Read(table, TAnalysisTexts(), '.');
    ASSERT_TRUE(marked.Attainable());
    EXPECT_EQ(*marked.Attainable(), 7);
    EXPECT_EQ(ScoreText(marked, 6, TAnalysisTexts(), '.'), TCodePage::FromUtf8("6 / 7 点"));
}

TEST(MarkedClass, RefusesATableWithoutQuestionsAsTheAnalysisDoes) {
    EXPECT_EQ(RefusalOf(TableOfRows("||/||/1|A")), Text(TAnalysisText::NoQuestions));
}

TEST(MarkedClass, RefusesATableNotMarked) {
    EXPECT_EQ(RefusalOf(TableOfRows(Quiz)), Text(TAnalysisText::NotMarked));
}

TEST(MarkedClass, RefusesATableChangedSinceMarking) {
    struct TChange {
        int column;
        int row;
        std::string text;
    };
    for (const TChange& change : {TChange{3, 3, "c"}, TChange{3, 2, "9"}, TChange{1, 7, "1005"}}) {
        TAnswerTable table = MarkedQuiz();
        table.SetCell(change.column, change.row, change.text);
        EXPECT_EQ(RefusalOf(table), Text(TAnalysisText::MarkingOutOfDate))
            << change.column << "," << change.row;
    }
}

TEST(MarkedClass, TakesChangesThatLeaveTheScoresAsTheyAre) {
    TAnswerTable table = MarkedQuiz();
    table.SetCell(TAnswerTable::NameColumn, 3, "Anne");
    EXPECT_EQ(RefusalOf(table), "no refusal");
}

} // namespace
