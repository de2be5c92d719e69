#pragma once

#include "table/store/AnswerTable.h"

#include <optional>
#include <string>
#include <vector>

/// Why a question deserves a second look.
enum class TItemFlag {
    /// Some other answer was given more often than the key by the upper group.
    KeyMayBeWrong,
    /// The lower group did better than the upper group.
    NegativeDiscrimination,
    NobodyCorrect,
    EverybodyCorrect,
    /// More than ManyBlanksShare of the students left it empty.
    ManyBlanks,
};

/// One distinct answer to a question, answers told apart as marking compares them: a keyed
/// question's answers by their lower-cased text, a points question's by their value.
struct TAnswerCount {
    /// The form most of the students who gave it wrote; the first one written among equals.
    std::string text;
    int count = 0;
    /// Students of the upper group who gave it; one tied at the group's cut counts for a share.
    double upperCount = 0;
    /// The key itself, listed with a count of 0 when nobody gave it.
    bool isKey = false;
};

/// Figures that need more than one student, or attainable points, are missing without them.
struct TQuestionAnalysis {
    /// 1 for the first question.
    int number = 0;
    int column = 0;
    bool isPointsQuestion = false;
    /// The answer-key cell as it stands.
    std::string key;
    /// A keyed question's points; a points question's attainable points (missing when its
    /// points cell is empty or 0).
    std::optional<double> points;
    int answered = 0;
    int blanks = 0;
    /// Share of the students answering correctly; for a points question their mean points over
    /// the attainable points.
    std::optional<double> facility;
    /// The same within the upper and the lower group.
    std::optional<double> upperFacility;
    std::optional<double> lowerFacility;
    /// Upper group's facility minus the lower group's.
    std::optional<double> discrimination;
    /// Point-biserial correlation of the item (correct or not; a points question's points) with
    /// the rest score, the score without this item.
    std::optional<double> itemRestCorrelation;
    /// Most given first; empty cells are counted in `blanks` instead.
    std::vector<TAnswerCount> answers;
    std::vector<TItemFlag> flags;

    /// The key's entry in `answers`, null for a points question.
    const TAnswerCount* KeyAnswer() const;
    /// The answer other than the key that the upper group gave most, null for none.
    const TAnswerCount* StrongestRival() const;
};

/// Students per score range: bin i holds the scores from firstBinStart + i * binWidth up to,
/// not including, the next bin's start; the last bin also holds its end.
struct THistogram {
    double firstBinStart = 0;
    double binWidth = 1;
    std::vector<int> counts;
};

/// The figures of the whole test, for the analysis's summary.
struct TTestFigures {
    int students = 0;
    int questions = 0;
    /// The mean and the population standard deviation exactly as marking writes them.
    double mean = 0;
    double deviation = 0;
    /// Divisor: students - 1.
    std::optional<double> sampleDeviation;
    double median = 0;
    /// Interpolated between the sorted scores as spreadsheets' QUARTILE.INC does.
    double lowerQuartile = 0;
    double upperQuartile = 0;
    double minimum = 0;
    double maximum = 0;
    /// Every question's points; missing when a points question has no attainable points.
    std::optional<double> attainable;
    /// Every question keyed: the reliability is KR-20; otherwise Cronbach's alpha, of which
    /// KR-20 is the case of items scored right or wrong.
    bool allKeyed = true;
    std::optional<double> reliability;
    /// Standard error of measurement: the population deviation times the root of 1 - reliability.
    std::optional<double> standardError;
    /// Students in each of the upper and lower groups; 0 below two students.
    int groupSize = 0;
};

/// What the item analysis finds in a marked table: the test's figures and each question's.
struct TTestAnalysis {
    TTestFigures figures;
    std::vector<TQuestionAnalysis> questions;
    /// Each student's score, in the order of the student rows from the first on.
    std::vector<double> scores;
    THistogram histogram;
};

/// The upper and lower groups are this share of the students, by score.
inline constexpr double GroupShare = 0.27;
/// A question left empty by more than this share of the students is flagged.
inline constexpr double ManyBlanksShare = 0.20;

/// Analyses the test as marking would mark it (the same questions, points, student rows and
/// answer comparison) without writing any cell. A table without questions gives an analysis
/// without questions or students. Fails where marking fails, with the same error: a points
/// cell that is not a number (EConvertError), a score beyond the range of a double.
TTestAnalysis AnalyseTest(const TAnswerTable& table, char decimalSeparator);
