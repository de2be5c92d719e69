#include "analysis/ItemAnalysis.h"

#include "FakeTableView.h"
#include "TableRows.h"
#include "TestText.h"
#include "table/marking/Marking.h"
#include "table/marking/Numbers.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double Close = 1e-9;

std::vector<double> Facilities(const TTestAnalysis& analysis) {
    std::vector<double> facilities;
    for (const TQuestionAnalysis& question : analysis.questions) {
        facilities.push_back(question.facility.value_or(NAN));
    }
    return facilities;
}

/// "text=count" for each answer, the key starred, as the question lists them.
std::string AnswerList(const TQuestionAnalysis& question) {
    std::string list;
    for (const TAnswerCount& answer : question.answers) {
        list += (list.empty() ? "" : " ") + answer.text + (answer.isKey ? "*" : "") + "=" +
                std::to_string(answer.count);
    }
    return list;
}

// Worked by hand. Five students, three questions of one point each:
//   key     a b c        items          score
//   S1      a b c        1 1 1            3
//   S2      A b C        1 1 1            3   (letter case does not matter)
//   S3      a x c        1 0 1            2
//   S4      a x -        1 0 0            1   (- empty)
//   S5      b b x        0 1 0            1
// Facilities .8 .6 .6. Mean 2, population variance 4/5 = .8, sample variance 4/4 = 1.
// Sorted scores 1 1 2 3 3: median 2, quartiles (QUARTILE.INC) 1 and 3.
// KR-20 = 3/2 (1 - (.16 + .24 + .24) / .8) = .3; SEM = sqrt(.8 * .7).
// Groups of round(.27 * 5) = 1 student: S1 and S2 tie at the top and count for half each,
// S4 and S5 at the bottom. Upper facilities 1 1 1; lower .5 .5 0: discrimination .5 .5 1.
// Item-rest correlations (rest = score - item), population moments:
//   Q1 cov .04 / sqrt(.16 * .56) = .1336306;  Q2 -.04 / sqrt(.24 * .64) = -.1020621;
//   Q3 .16 / sqrt(.24 * .24) = 2/3.
const std::string FiveStudents = "||a|b|c/||1|1|1/"
                                 "1|S1|a|b|c/2|S2|A|b|C/3|S3|a|x|c/4|S4|a|x|/5|S5|b|b|x";

TEST(ItemAnalysis, SmallKeyedTestWorkedByHand) {
    const TTestAnalysis analysis = AnalyseTest(TableOfRows(FiveStudents), '.');
    const TTestFigures& figures = analysis.figures;
    EXPECT_EQ(figures.students, 5);
    EXPECT_EQ(figures.questions, 3);
    EXPECT_DOUBLE_EQ(figures.mean, 2);
    EXPECT_NEAR(figures.deviation, std::sqrt(0.8), Close);
    EXPECT_NEAR(figures.sampleDeviation.value(), 1, Close);
    EXPECT_EQ(figures.median, 2);
    EXPECT_EQ(figures.lowerQuartile, 1);
    EXPECT_EQ(figures.upperQuartile, 3);
    EXPECT_EQ(figures.minimum, 1);
    EXPECT_EQ(figures.maximum, 3);
    EXPECT_EQ(figures.attainable, 3);
    EXPECT_TRUE(figures.allKeyed);
    EXPECT_NEAR(figures.reliability.value(), 0.3, Close);
    EXPECT_NEAR(figures.standardError.value(), std::sqrt(0.56), Close);
    EXPECT_EQ(figures.groupSize, 1);

    const std::vector<double> facilities = Facilities(analysis);
    EXPECT_NEAR(facilities[0], 0.8, Close);
    EXPECT_NEAR(facilities[1], 0.6, Close);
    EXPECT_NEAR(facilities[2], 0.6, Close);
    const std::vector<double> discriminations = {0.5, 0.5, 1};
    const std::vector<double> correlations = {0.04 / std::sqrt(0.16 * 0.56),
                                              -0.04 / std::sqrt(0.24 * 0.64), 2.0 / 3};
    for (std::size_t at = 0; at < 3; ++at) {
        const TQuestionAnalysis& question = analysis.questions[at];
        EXPECT_NEAR(question.upperFacility.value(), 1, Close) << question.number;
        EXPECT_NEAR(question.discrimination.value(), discriminations[at], Close) << question.number;
        EXPECT_NEAR(question.itemRestCorrelation.value(), correlations[at], Close)
            << question.number;
        EXPECT_TRUE(question.flags.empty()) << question.number;
    }
    EXPECT_EQ(AnswerList(analysis.questions[0]), "a*=4 b=1");
    EXPECT_EQ(AnswerList(analysis.questions[2]), "c*=3 x=1");
    EXPECT_EQ(analysis.questions[2].blanks, 1);
    EXPECT_EQ(analysis.questions[2].answered, 4);
    // The two students tied at the top share the one place of the upper group.
    EXPECT_NEAR(analysis.questions[0].KeyAnswer()->upperCount, 1, Close);
    EXPECT_EQ(analysis.scores, (std::vector<double>{3, 3, 2, 1, 1}));
}

// Worked by hand. A keyed question of 2 points and a points question out of 4:
//   S1  a 4 -> 6,  S2  a 2 -> 4,  S3  b 3 -> 3,  S4  - 1 -> 1   (mean 3.5, variance 13/4)
// Shares of the score: 2 2 0 0 (variance 1) and 4 2 3 1 (variance 5/4).
// Cronbach's alpha = 2/1 (1 - (1 + 5/4) / (13/4)) = 8/13. The points question's facility is
// its mean 2.5 over 4; its discrimination (4 - 1) / 4. Both item-rest correlations are
// .5 / sqrt(5/4) (points question: rest 2 2 0 0; keyed: rest 4 2 3 1).
TEST(ItemAnalysis, PointsQuestionMakesItCronbachsAlpha) {
    const TTestAnalysis analysis =
        AnalyseTest(TableOfRows("||a|#/||2|4/1|S1|a|4/2|S2|a|2/3|S3|b|3/4|S4||1"), '.');
    const TTestFigures& figures = analysis.figures;
    EXPECT_FALSE(figures.allKeyed);
    EXPECT_NEAR(figures.reliability.value(), 8.0 / 13, Close);
    EXPECT_EQ(figures.attainable, 6);
    const TQuestionAnalysis& keyed = analysis.questions[0];
    const TQuestionAnalysis& points = analysis.questions[1];
    EXPECT_EQ(keyed.points, 2);
    EXPECT_NEAR(keyed.facility.value(), 0.5, Close);
    EXPECT_NEAR(keyed.discrimination.value(), 1, Close);
    EXPECT_NEAR(keyed.itemRestCorrelation.value(), 0.5 / std::sqrt(1.25), Close);
    EXPECT_EQ(keyed.flags, std::vector<TItemFlag>{TItemFlag::ManyBlanks});
    EXPECT_EQ(points.points, 4);
    EXPECT_NEAR(points.facility.value(), 2.5 / 4, Close);
    EXPECT_NEAR(points.discrimination.value(), 0.75, Close);
    EXPECT_NEAR(points.itemRestCorrelation.value(), 0.5 / std::sqrt(1.25), Close);
    EXPECT_EQ(AnswerList(points), "4=1 2=1 3=1 1=1");
    EXPECT_TRUE(points.flags.empty());
}

// A published worked example: the LSAT data of Bock and Lieberman (1970, Psychometrika 35,
// 179-197), 1000 examinees and 5 items given as the counts of the 32 response patterns. Their
// item facilities .924 .709 .553 .763 .870 are published with the data, and Cronbach's alpha
// of 0.295 (here KR-20, every item right or wrong) is the result printed by the example of
// cronbach.alpha(LSAT) in Rizopoulos's R package ltm (J. Stat. Software 17(5), 2006).
TEST(ItemAnalysis, Kr20OfThePublishedLsatData) {
    const int patternCounts[32] = {3,  6,  2,  11, 1, 1,  3,  4,  1,  8,  0,  16,  0,  3,  2,  15,
                                   10, 29, 14, 81, 3, 28, 15, 80, 16, 56, 21, 173, 11, 61, 28, 298};
    TAnswerTable table;
    for (int item = 0; item < 5; ++item) {
        table.SetCell(3 + item, 1, "1");
        table.SetCell(3 + item, 2, "1");
    }
    int row = 3;
    for (int pattern = 0; pattern < 32; ++pattern) {
        for (int copy = 0; copy < patternCounts[pattern]; ++copy, ++row) {
            table.SetCell(1, row, std::to_string(row));
            for (int item = 0; item < 5; ++item) {
                table.SetCell(3 + item, row, (pattern >> (4 - item)) & 1 ? "1" : "0");
            }
        }
    }
    const TTestAnalysis analysis = AnalyseTest(table, '.');
    EXPECT_EQ(analysis.figures.students, 1000);
    const std::vector<double> published = {0.924, 0.709, 0.553, 0.763, 0.870};
    const std::vector<double> facilities = Facilities(analysis);
    for (std::size_t item = 0; item < published.size(); ++item) {
        EXPECT_NEAR(facilities[item], published[item], Close) << item + 1;
    }
    EXPECT_TRUE(analysis.figures.allKeyed);
    EXPECT_NEAR(analysis.figures.reliability.value(), 0.295, 0.0005);
}

struct TFlagCase {
    std::string name;
    std::string table;
    std::vector<std::vector<TItemFlag>> flags;
    friend void PrintTo(const TFlagCase& c, std::ostream* os) { *os << c.name; }
};

class ItemFlags : public testing::TestWithParam<TFlagCase> {};

TEST_P(ItemFlags, AreRaisedWhereTheFiguresSaySo) {
    const TTestAnalysis analysis = AnalyseTest(TableOfRows(GetParam().table), '.');
    ASSERT_EQ(analysis.questions.size(), GetParam().flags.size());
    for (std::size_t at = 0; at < analysis.questions.size(); ++at) {
        EXPECT_EQ(analysis.questions[at].flags, GetParam().flags[at]) << "question " << at + 1;
    }
}

using enum TItemFlag;
INSTANTIATE_TEST_SUITE_P(
    Cases, ItemFlags,
    testing::Values(
        // The best student alone is the upper group and wrote x for question 1, which the three
        // others (tied, a third each in the lower group) answered with the key.
        TFlagCase{"KeyWrongAndNegative",
                  "||a|b|c/||1|1|1/1|S1|x|b|c/2|S2|a|x|x/3|S3|a|x|x/4|S4|a|x|x",
                  {{KeyMayBeWrong, NegativeDiscrimination}, {}, {}}},
        // Nobody wrote the key of question 2, so the upper group's answers outnumber it too.
        TFlagCase{"NobodyAndEverybody",
                  "||a|b|c/||1|1|1/1|S1|a|x|C/2|S2|a|y|c/3|S3|b|y|c",
                  {{}, {KeyMayBeWrong, NobodyCorrect}, {EverybodyCorrect}}},
        // One blank in five is 20 %, not more: no flag; two in five are.
        TFlagCase{"ManyBlanksAboveAFifth",
                  "||a|b/||1|1/1|S1|a|b/2|S2|a|/3|S3||/4|S4|b|b/5|S5|a|b",
                  {{}, {ManyBlanks}}},
        // Points: none earned anything, or all earned the full points of the points row.
        TFlagCase{"PointsQuestions",
                  "||#|#|#/||5|5|/1|S1|0|5|2/2|S2||6|3",
                  {{NobodyCorrect, ManyBlanks}, {EverybodyCorrect}, {}}},
        // Everybody equal: the groups are the same students, nothing is negative.
        TFlagCase{"AllScoresEqual", "||a|b/||1|1/1|S1|a|x/2|S2|x|b/3|S3|a|x/4|S4|x|b", {{}, {}}}),
    TCaseName());

// The analysis must see the test exactly as marking marks it.
struct TMarkingCase {
    std::string name;
    std::string table;
    friend void PrintTo(const TMarkingCase& c, std::ostream* os) { *os << c.name; }
};

class AgreesWithMarking : public testing::TestWithParam<TMarkingCase> {};

TEST_P(AgreesWithMarking, ScoresStudentsMeanAndDeviation) {
    TAnswerTable table = TableOfRows(GetParam().table);
    const TTestAnalysis analysis = AnalyseTest(table, '.');
    MarkTable(table, '.');
    const int scoreColumn = table.QuestionCount() + TAnswerTable::FirstQuestionColumn;
    ASSERT_EQ(analysis.figures.questions, table.QuestionCount());
    ASSERT_EQ(analysis.scores.size(), static_cast<std::size_t>(analysis.figures.students));
    for (std::size_t student = 0; student < analysis.scores.size(); ++student) {
        const int row = static_cast<int>(student) + TAnswerTable::FirstStudentRow;
        EXPECT_EQ(FloatToStr(analysis.scores[student], '.'), table.Cell(scoreColumn, row))
            << "row " << row;
    }
    // The row after the students is marking's rate row.
    const int rateRow = analysis.figures.students + TAnswerTable::FirstStudentRow;
    EXPECT_EQ(table.Cell(0, rateRow), table.Message(TMessage::RateLabel));
    EXPECT_EQ("<" + FormatOneDecimal(analysis.figures.mean, '.') + ">",
              table.Cell(scoreColumn, TAnswerTable::AnswerKeyRow));
    EXPECT_EQ("<" + FormatOneDecimal(analysis.figures.deviation, '.') + ">",
              table.Cell(scoreColumn, TAnswerTable::PointsRow));
    for (const TQuestionAnalysis& question : analysis.questions) {
        if (!question.isPointsQuestion) {
            EXPECT_EQ(std::to_string(static_cast<int>(question.facility.value() * 100 + 1e-9)) +
                          "%",
                      table.Cell(question.column, rateRow))
                << "question " << question.number;
        }
    }
    // Marked, the table ends its questions at the score column and its students at the rate
    // row: the analysis stays the same.
    const TTestAnalysis again = AnalyseTest(table, '.');
    EXPECT_EQ(again.figures.students, analysis.figures.students);
    EXPECT_EQ(again.figures.questions, analysis.figures.questions);
    EXPECT_EQ(again.figures.mean, analysis.figures.mean);
}

/// A class of random answers, points and scores of every kind marking meets.
std::string RandomClass() {
    std::mt19937 random(12);
    const std::vector<std::string> keys = {"a", "b", "Went", "#", "\x82\x60", "#", "c", "0.1"};
    const std::vector<std::string> points = {"1", "0.1", "2.5", "10", "", "", "x", "1e-3"};
    std::string text = "|";
    for (const std::string& key : keys) {
        text += "|" + key;
    }
    text += "/|";
    for (const std::string& value : points) {
        text += "|" + value;
    }
    const std::vector<std::string> answers = {"a",        "A",        "b", "",     "went",
                                              "WENT",     "went ",    "3", "0.5",  "-1",
                                              "\x82\x81", "\x82\x60", "c", "0.10", "1E1"};
    for (int student = 1; student <= 40; ++student) {
        text += "/" + std::to_string(1000 + student) + "|N";
        for (const std::string& key : keys) {
            const std::string& answer = answers[random() % answers.size()];
            const bool isNumber =
                !answer.empty() && answer.find_first_of("aAbcwW\x82") == std::string::npos;
            text += "|" + (key == "#" && !isNumber ? std::string() : answer);
        }
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, AgreesWithMarking,
    testing::Values(TMarkingCase{"MarkingsWorkedExample",
                                 "||a|b|#/||2|3|/1001|Ann|A|d|4/1002|Ben|a|b|0"},
                    // Row 3 is a student even without a number, and the only one.
                    TMarkingCase{"NoNumberInRowThree", "||a|b/||1|1/|Ann|a|x"},
                    // A key holding "<" ends the questions; a key "# " is a keyed question.
                    TMarkingCase{"KeyWithLessThanEndsQuestions",
                                 "||a|# |x<y|b/||1|1|1|1/1|A|a|# |x<y|b/2|B|A|#|b|b"},
                    // Points that a double holds only approximately, summed many times.
                    TMarkingCase{"TenthsOfAPoint",
                                 "||a|a|a|a|a|a|a|a|a|a/||0.1|0.1|0.1|0.1|0.1|0.1|0.1|0.1|0.1|"
                                 "0.1/1|A|a|a|a|a|a|a|a|a|a|a/2|B|a|a|a||a|a|a|a|a|a"},
                    // Full-width letters compare without regard to case too.
                    TMarkingCase{"FullWidthLetters",
                                 "||\x82\x60|b/||3|1/1|A|\x82\x81|b/2|B|\x82\x60|B/3|C|a|c"},
                    TMarkingCase{"RandomClass", RandomClass()}),
    TCaseName());

TEST(ItemAnalysis, FailsWhereMarkingFailsWithTheSameError) {
    const std::vector<std::string> tables = {
        // The first cell in reading order that is not a number stops both.
        "||#|#/||1|1/1|A|1|2/2|B|1|x/3|C|y|1",
        // A points row that is not a number, under a points question.
        "||#/||many/1|A|1",
        // A score beyond a double.
        "||a|b/||1e308|1e308/1|A|a|b",
    };
    for (const std::string& text : tables) {
        std::string analysisError;
        std::string markingError;
        try {
            AnalyseTest(TableOfRows(text), '.');
        } catch (const EPelloranError& error) {
            analysisError = error.what();
        }
        TAnswerTable table = TableOfRows(text);
        try {
            MarkTable(table, '.');
        } catch (const EPelloranError& error) {
            markingError = error.what();
        }
        EXPECT_FALSE(analysisError.empty()) << text;
        EXPECT_TRUE(markingError.ends_with(analysisError))
            << text << ": Mark names the cell before the same cause";
    }
}

TEST(ItemAnalysis, WritesNoCellAndNeedsQuestions) {
    TAnswerTable table = TableOfRows(FiveStudents);
    TFakeTableView view(table);
    AnalyseTest(table, '.');
    EXPECT_TRUE(view.log.empty()) << Escaped(view.log);

    TAnswerTable empty;
    empty.Reset();
    const TTestAnalysis nothing = AnalyseTest(empty, '.');
    EXPECT_TRUE(nothing.questions.empty());
    EXPECT_TRUE(nothing.scores.empty());
}

TEST(ItemAnalysis, OneStudentHasNoGroupsNorCorrelations) {
    const TTestAnalysis analysis = AnalyseTest(TableOfRows("||a|b/||1|1/1|A|a|x"), '.');
    const TQuestionAnalysis& question = analysis.questions[0];
    EXPECT_EQ(analysis.figures.groupSize, 0);
    EXPECT_FALSE(analysis.figures.sampleDeviation);
    EXPECT_FALSE(analysis.figures.reliability);
    EXPECT_FALSE(question.discrimination);
    EXPECT_FALSE(question.itemRestCorrelation);
    EXPECT_EQ(question.facility, 1);
}

TEST(ItemAnalysis, KeyNobodyGaveIsListedWithNoStudents) {
    const TTestAnalysis analysis = AnalyseTest(TableOfRows("||Paris/||1/1|A|Rome/2|B|rome"), '.');
    EXPECT_EQ(AnswerList(analysis.questions[0]), "Rome=2 Paris*=0");
}

struct TOrderCase {
    std::string name;
    std::string table;
    double median;
    double lowerQuartile;
    double upperQuartile;
    double discrimination;
    friend void PrintTo(const TOrderCase& c, std::ostream* os) { *os << c.name; }
};

class ScoreOrder : public testing::TestWithParam<TOrderCase> {};

// Four students, one points question: the upper group is the best student, or the two tied at
// the top for half each; the lower group the weakest. Quartiles interpolate between the sorted
// scores at positions .75, 1.5 and 2.25.
TEST_P(ScoreOrder, GivesTheSameFiguresHoweverTheScoresLie) {
    const TTestAnalysis analysis = AnalyseTest(TableOfRows(GetParam().table), '.');
    EXPECT_NEAR(analysis.figures.median, GetParam().median, Close);
    EXPECT_NEAR(analysis.figures.lowerQuartile, GetParam().lowerQuartile, Close);
    EXPECT_NEAR(analysis.figures.upperQuartile, GetParam().upperQuartile, Close);
    EXPECT_EQ(analysis.figures.groupSize, 1);
    EXPECT_NEAR(analysis.questions[0].discrimination.value(), GetParam().discrimination, Close);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScoreOrder,
    testing::Values(
        // Whole scores close together are counted.
        TOrderCase{"WholeScores", "||#/||10/1|A|10/2|B|0/3|C|10/4|D|5", 7.5, 3.75, 10, 1},
        // Scores that are not whole, or whole but far apart, are ordered instead.
        TOrderCase{"Fractions", "||#/||4/1|A|2.5/2|B|0.5/3|C|3.5/4|D|1.5", 2, 1.25, 2.75, 0.75},
        TOrderCase{"FarApart", "||#/||1e9/1|A|1e9/2|B|0/3|C|1e9/4|D|5", 500000002.5, 3.75, 1e9, 1}),
    TCaseName());

struct TGroupCase {
    std::string name;
    int students;
    int groupSize;
    friend void PrintTo(const TGroupCase& c, std::ostream* os) { *os << c.name; }
};

class GroupSize : public testing::TestWithParam<TGroupCase> {};

// The groups are 27 % of the class rounded, at least one student: 13 students make groups of 4
// (3.51), not 3. Student i scores i of the class size's points, so the upper group's facility
// is its students' mean over the class size.
TEST_P(GroupSize, IsTheShareOfTheClassRounded) {
    const int students = GetParam().students;
    std::string text = "||#/||" + std::to_string(students);
    for (int student = 1; student <= students; ++student) {
        text += "/" + std::to_string(student) + "|S|" + std::to_string(student);
    }
    const TTestAnalysis analysis = AnalyseTest(TableOfRows(text), '.');
    const int size = GetParam().groupSize;
    EXPECT_EQ(analysis.figures.groupSize, size);
    const double upperMean = (2.0 * students - size + 1) / 2;
    EXPECT_NEAR(analysis.questions[0].upperFacility.value(), upperMean / students, Close);
    EXPECT_NEAR(analysis.questions[0].lowerFacility.value(), (size + 1) / 2.0 / students, Close);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GroupSize,
    testing::Values(TGroupCase{"TwoMakeOne", 2, 1}, TGroupCase{"FiveMakeOne", 5, 1},
                    TGroupCase{"SixMakeTwo", 6, 2}, TGroupCase{"ElevenMakeThree", 11, 3},
                    TGroupCase{"ThirteenMakeFour", 13, 4}, TGroupCase{"HundredMake27", 100, 27},
                    TGroupCase{"HundredAndTwoMake28", 102, 28}),
    TCaseName());

// Answers are told apart by ids of 16 bits while they can be; a test with more different
// answers than that is analysed with wider ids, to the same figures.
TEST(ItemAnalysis, MoreDifferentAnswersThanShortIdsHold) {
    constexpr int Students = 70'000;
    TAnswerTable table;
    table.SetCell(3, 1, "a");
    table.SetCell(3, 2, "1");
    for (int row = 3; row < 3 + Students; ++row) {
        table.SetCell(1, row, std::to_string(row));
        table.SetCell(3, row, "x" + std::to_string(row));
    }
    const TTestAnalysis analysis = AnalyseTest(table, '.');
    const TQuestionAnalysis& question = analysis.questions.at(0);
    EXPECT_EQ(question.answered, Students);
    EXPECT_EQ(question.answers.size(), static_cast<std::size_t>(Students) + 1);
    EXPECT_EQ(question.answers.back().text, "a");
    EXPECT_EQ(question.answers.back().count, 0);
    // Every student's answer counted once, under its own id.
    EXPECT_EQ(std::count_if(question.answers.begin(), question.answers.end(),
                            [](const TAnswerCount& answer) { return answer.count == 1; }),
              Students);
    EXPECT_EQ(question.flags,
              (std::vector<TItemFlag>{TItemFlag::KeyMayBeWrong, TItemFlag::NobodyCorrect}));
}

TEST(ItemAnalysis, HistogramBinsRunFromZeroToTheAttainableScore) {
    // Attainable 10: bins of 1 from 0 to 10; the scores are 10, 3 and 3.
    THistogram histogram =
        AnalyseTest(TableOfRows("||#|#/||5|5/1|A|5|5/2|B|3|/3|C|1|2"), '.').histogram;
    EXPECT_EQ(histogram.firstBinStart, 0);
    EXPECT_EQ(histogram.binWidth, 1);
    EXPECT_EQ(histogram.counts, (std::vector<int>{0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 1}));
    // Attainable 100: bins of 5, the last one holding 100; a negative score opens a bin below 0.
    histogram = AnalyseTest(TableOfRows("||#/||100/1|A|100/2|B|-3/3|C|99.5"), '.').histogram;
    EXPECT_EQ(histogram.firstBinStart, -3);
    EXPECT_EQ(histogram.binWidth, 5);
    ASSERT_EQ(histogram.counts.size(), 21u);
    EXPECT_EQ(histogram.counts.front(), 1);
    EXPECT_EQ(histogram.counts.back(), 2);
}

} // namespace
