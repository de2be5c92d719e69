#include "analysis/ItemAnalysis.h"

#include "analysis/AnswerSpellings.h"
#include "analysis/ScoreOrder.h"
#include "table/marking/MarkingRules.h"
#include "table/progress/Progress.h"
#include "table/store/RowCells.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

namespace {

/// Differences below this are the arithmetic's noise, not the students'.
constexpr double Tolerance = 1e-9;
/// Bin widths are 1, 2 or 5 times a power of ten, the smallest giving at most this many bins.
constexpr int MaxHistogramBins = 21;

/// Sums over the students of one question's item (y), its square and the item times the
/// score (t); the item's smallest and largest value.
struct TItemSums {
    double y = 0;
    double yy = 0;
    double yt = 0;
    double minimum = std::numeric_limits<double>::infinity();
    double maximum = -std::numeric_limits<double>::infinity();
};

double NiceBinWidth(double range) {
    for (double scale = 1;; scale *= 10) {
        for (const double step : {1.0, 2.0, 5.0}) {
            if (range / (step * scale) < MaxHistogramBins) {
                return step * scale;
            }
        }
    }
}

THistogram MakeHistogram(const std::vector<double>& scores, double minimum, double maximum,
                         std::optional<double> attainable) {
    THistogram histogram;
    const double low = std::min(0.0, std::floor(minimum));
    const double high = std::max(attainable.value_or(maximum), maximum);
    histogram.firstBinStart = low;
    if (!std::isfinite(high - low)) {
        // Scores at both ends of a double's range: one bin holds them all.
        histogram.binWidth = std::numeric_limits<double>::max();
        histogram.counts.assign(1, static_cast<int>(scores.size()));
        return histogram;
    }
    histogram.binWidth = NiceBinWidth(high - low);
    const auto bins = static_cast<std::size_t>(std::floor((high - low) / histogram.binWidth)) + 1;
    histogram.counts.assign(bins, 0);
    for (const double score : scores) {
        const auto bin = static_cast<std::size_t>(std::floor((score - low) / histogram.binWidth));
        ++histogram.counts[std::min(bin, bins - 1)];
    }
    return histogram;
}

/// Analyses a table keeping each student's answers as spelling ids of type TStoredId.
template <typename TStoredId>
class TAnalyser {
public:
    TAnalyser(const TAnswerTable& table, char decimalSeparator)
        : table_(table), decimalSeparator_(decimalSeparator),
          spellings_(FindQuestions(table, decimalSeparator), decimalSeparator) {}

    /// Nothing when the test has more spellings than TStoredId tells apart.
    std::optional<TTestAnalysis> Run() {
        if (QuestionCount() == 0) {
            return TTestAnalysis();
        }
        if (!ScoreStudents()) {
            return std::nullopt;
        }
        const auto [minimum, maximum] = std::minmax_element(scores_.begin(), scores_.end());
        TScoreOrder order(scores_, *minimum, *maximum);
        FigureTest(order);
        ShareOutGroups(order);
        for (std::size_t question = 0; question < QuestionCount(); ++question) {
            analysis_.questions.push_back(AnalyseQuestion(question));
        }
        TTestFigures& figures = analysis_.figures;
        figures.reliability = Reliability();
        analysis_.scores = std::move(scores_);
        if (figures.reliability) {
            figures.standardError =
                figures.deviation * std::sqrt(std::max(0.0, 1 - *figures.reliability));
        }
        return std::move(analysis_);
    }

private:
    std::size_t QuestionCount() const { return spellings_.Questions(); }
    std::size_t StudentCount() const { return scores_.size(); }
    double Students() const { return static_cast<double>(StudentCount()); }
    double ScoreVariance() const {
        return analysis_.figures.deviation * analysis_.figures.deviation;
    }
    /// The questions' columns follow each other from here.
    static constexpr std::size_t FirstColumn() { return TAnswerTable::FirstQuestionColumn; }
    static constexpr TSpellingId MaxStoredId = std::numeric_limits<TStoredId>::max();
    const TStoredId* AnswersOf(std::size_t student) const {
        return answers_.data() + student * QuestionCount();
    }

    /// Scores every student as marking does, in the same order, so that the cell marking fails
    /// on is the one that fails here. A wrong answer adds 0, which leaves a score as it is.
    bool ScoreStudents() {
        const int rowsStored = table_.StoredRowCount() - TAnswerTable::FirstStudentRow;
        const auto students = static_cast<std::size_t>(std::max(1, rowsStored));
        answers_.reserve(students * QuestionCount());
        scores_.reserve(students);
        TProgress progress(table_.ProgressListener(), TProgressTask::Analysis,
                           static_cast<std::uint64_t>(table_.StoredRowCount()));
        for (int row = TAnswerTable::FirstStudentRow;; ++row) {
            progress.Advance(static_cast<std::uint64_t>(row));
            const TRowCells& cells = table_.Store().Row(row);
            THeldSum score;
            std::size_t question = 0;
            bool fits = true;
            answers_.resize(answers_.size() + QuestionCount());
            TStoredId* const ids = answers_.data() + answers_.size() - QuestionCount();
            cells.ForEachCell(FirstColumn(), FirstColumn() + QuestionCount(),
                              [&](std::string_view answer) {
                                  const TFoundSpelling found = spellings_.Find(question, answer);
                                  spellings_.AddToScore(score, found);
                                  fits &= found.id <= MaxStoredId;
                                  ids[question++] = static_cast<TStoredId>(found.id);
                              });
            for (; question < QuestionCount(); ++question) {
                ids[question] = static_cast<TStoredId>(spellings_.Blank(question));
                fits &= spellings_.Blank(question) <= MaxStoredId;
            }
            if (!fits) {
                return false;
            }
            const double value = score.Value();
            for (const TStoredId* id = ids; id != ids + QuestionCount(); ++id) {
                TAnswerSpellings::TWriters& writers = spellings_.writers[*id];
                writers.scoreSum += value;
                ++writers.count;
            }
            scores_.push_back(value);
            if (!HasStudentAfter(table_, row)) {
                return true;
            }
        }
    }

    void FigureTest(TScoreOrder& order) {
        TTestFigures& figures = analysis_.figures;
        figures.students = static_cast<int>(StudentCount());
        figures.questions = static_cast<int>(QuestionCount());
        const TScoreSpread spread = PopulationSpread(scores_);
        figures.mean = spread.mean;
        figures.deviation = static_cast<double>(spread.deviation);
        if (StudentCount() > 1) {
            figures.sampleDeviation = figures.deviation * std::sqrt(Students() / (Students() - 1));
        }
        figures.minimum = order.Lowest();
        figures.maximum = order.Highest();
        figures.median = Quantile(order, StudentCount(), 0.5);
        figures.lowerQuartile = Quantile(order, StudentCount(), 0.25);
        figures.upperQuartile = Quantile(order, StudentCount(), 0.75);
        double attainable = 0;
        bool attainableKnown = true;
        for (std::size_t question = 0; question < QuestionCount(); ++question) {
            const TQuestionRule& rule = spellings_.Rule(question);
            figures.allKeyed &= !rule.isPointsQuestion;
            const double points =
                rule.isPointsQuestion
                    ? static_cast<double>(AttainablePoints(table_, rule, decimalSeparator_))
                    : rule.points;
            attainablePoints_.push_back(points);
            attainable += points;
            attainableKnown &= !rule.isPointsQuestion || points != 0;
        }
        if (attainableKnown && std::isfinite(attainable)) {
            figures.attainable = attainable;
        }
        analysis_.histogram =
            MakeHistogram(scores_, figures.minimum, figures.maximum, figures.attainable);
    }

    void ShareOutGroups(TScoreOrder& order) {
        if (StudentCount() < 2) {
            return;
        }
        const auto size = std::max<std::size_t>(
            1, static_cast<std::size_t>(std::lround(GroupShare * Students())));
        analysis_.figures.groupSize = static_cast<int>(size);
        const TGroupCut upper = GroupCutOf(order, StudentCount(), size, true);
        const TGroupCut lower = GroupCutOf(order, StudentCount(), size, false);
        for (std::size_t student = 0; student < StudentCount(); ++student) {
            AddToGroup(student, upper.WeightOf(scores_[student]), spellings_.upperWeight);
            AddToGroup(student, lower.WeightOf(scores_[student]), spellings_.lowerWeight);
        }
    }

    void AddToGroup(std::size_t student, double weight, std::vector<double>& spellingWeights) {
        if (weight == 0) {
            return;
        }
        const TStoredId* ids = AnswersOf(student);
        for (std::size_t question = 0; question < QuestionCount(); ++question) {
            spellingWeights[ids[question]] += weight;
        }
    }

    /// Spellings of the question that some student wrote, its empty cells included.
    template <typename TOnSpelling>
    void ForEachWritten(std::size_t question, TOnSpelling&& onSpelling) const {
        onSpelling(spellings_.Blank(question));
        for (const TAnswerGroup& group : spellings_.Groups(question)) {
            for (const TSpellingId id : group.spellings) {
                onSpelling(id);
            }
        }
    }

    TItemSums SumItems(std::size_t question) const {
        TItemSums sums;
        ForEachWritten(question, [&](TSpellingId id) {
            const int count = spellings_.writers[id].count;
            if (count == 0) {
                return;
            }
            const double item = spellings_.item[id];
            sums.y += count * item;
            sums.yy += count * item * item;
            sums.yt += item * spellings_.writers[id].scoreSum;
            sums.minimum = std::min(sums.minimum, item);
            sums.maximum = std::max(sums.maximum, item);
        });
        return sums;
    }

    /// The answers most given first, then in the order first written; a key nobody gave is
    /// listed with a count of 0.
    std::vector<TAnswerCount> AnswersTo(std::size_t question, std::string_view key) const {
        std::vector<TAnswerCount> answers;
        bool keyListed = false;
        for (const TAnswerGroup& group : spellings_.Groups(question)) {
            TAnswerCount answer;
            TSpellingId shown = group.spellings.front();
            for (const TSpellingId id : group.spellings) {
                answer.count += spellings_.writers[id].count;
                answer.upperCount += spellings_.upperWeight[id];
                shown = spellings_.writers[id].count > spellings_.writers[shown].count ? id : shown;
            }
            answer.text = spellings_.text[shown];
            answer.isKey = group.isKey;
            keyListed |= group.isKey;
            answers.push_back(std::move(answer));
        }
        if (!spellings_.Rule(question).isPointsQuestion && !keyListed) {
            answers.push_back({std::string(key), 0, 0, true});
        }
        std::stable_sort(
            answers.begin(), answers.end(),
            [](const TAnswerCount& a, const TAnswerCount& b) { return a.count > b.count; });
        return answers;
    }

    TQuestionAnalysis AnalyseQuestion(std::size_t index) const {
        const TQuestionRule& rule = spellings_.Rule(index);
        const TItemSums sums = SumItems(index);
        TQuestionAnalysis question;
        question.number = static_cast<int>(index) + 1;
        question.column = rule.column;
        question.isPointsQuestion = rule.isPointsQuestion;
        question.key = table_.Cell(rule.column, TAnswerTable::AnswerKeyRow);
        question.blanks = spellings_.writers[spellings_.Blank(index)].count;
        question.answered = static_cast<int>(StudentCount()) - question.blanks;
        question.answers = AnswersTo(index, question.key);
        // A points question's items are points, which its attainable points make a share.
        const double scale = rule.isPointsQuestion ? attainablePoints_[index] : 1;
        if (scale != 0) {
            question.points = attainablePoints_[index];
            question.facility = sums.y / Students() / scale;
            if (analysis_.figures.groupSize > 0) {
                double upperItems = 0;
                double lowerItems = 0;
                ForEachWritten(index, [&](TSpellingId id) {
                    upperItems += spellings_.upperWeight[id] * spellings_.item[id];
                    lowerItems += spellings_.lowerWeight[id] * spellings_.item[id];
                });
                const double size = analysis_.figures.groupSize;
                question.upperFacility = upperItems / size / scale;
                question.lowerFacility = lowerItems / size / scale;
                question.discrimination = *question.upperFacility - *question.lowerFacility;
            }
        }
        question.itemRestCorrelation = ItemRestCorrelation(index, sums);
        Flag(question, sums);
        return question;
    }

    /// The item's share of the score per unit of the item.
    double Factor(std::size_t question) const {
        const TQuestionRule& rule = spellings_.Rule(question);
        return rule.isPointsQuestion ? 1 : rule.points;
    }

    double ItemVariance(const TItemSums& sums) const {
        const double mean = sums.y / Students();
        return std::max(0.0, sums.yy / Students() - mean * mean);
    }

    std::optional<double> ItemRestCorrelation(std::size_t question, const TItemSums& sums) const {
        if (StudentCount() < 2 || sums.minimum == sums.maximum) {
            return std::nullopt;
        }
        // The rest score is the score less the item's share, factor times the item.
        const double factor = Factor(question);
        const double itemVariance = ItemVariance(sums);
        const double itemScore =
            sums.yt / Students() - sums.y / Students() * analysis_.figures.mean;
        const double itemRest = itemScore - factor * itemVariance;
        const double shareVariance = factor * factor * itemVariance;
        const double restVariance = ScoreVariance() - 2 * factor * itemScore + shareVariance;
        // A rest score the same for every student leaves only the arithmetic's noise here.
        if (itemVariance <= 0 ||
            restVariance <= Tolerance * std::max(ScoreVariance(), shareVariance)) {
            return std::nullopt;
        }
        return std::clamp(itemRest / std::sqrt(itemVariance * restVariance), -1.0, 1.0);
    }

    void Flag(TQuestionAnalysis& question, const TItemSums& sums) const {
        const TAnswerCount* rival = question.StrongestRival();
        const TAnswerCount* key = question.KeyAnswer();
        if (key != nullptr && rival != nullptr && analysis_.figures.groupSize > 0 &&
            rival->upperCount > key->upperCount + Tolerance) {
            question.flags.push_back(TItemFlag::KeyMayBeWrong);
        }
        if (question.discrimination && *question.discrimination < -Tolerance) {
            question.flags.push_back(TItemFlag::NegativeDiscrimination);
        }
        // Keyed items are 1 or 0; a points question's are its points.
        if (sums.maximum <= 0) {
            question.flags.push_back(TItemFlag::NobodyCorrect);
        }
        const double full = question.isPointsQuestion ? question.points.value_or(0) : 1;
        if (full > 0 && sums.minimum >= full) {
            question.flags.push_back(TItemFlag::EverybodyCorrect);
        }
        if (question.blanks > ManyBlanksShare * Students()) {
            question.flags.push_back(TItemFlag::ManyBlanks);
        }
    }

    /// Cronbach's alpha over the items' shares of the score; with every item scored right or
    /// wrong it is KR-20.
    std::optional<double> Reliability() const {
        if (QuestionCount() < 2 || ScoreVariance() <= 0) {
            return std::nullopt;
        }
        double shareVariances = 0;
        for (std::size_t question = 0; question < QuestionCount(); ++question) {
            shareVariances +=
                Factor(question) * Factor(question) * ItemVariance(SumItems(question));
        }
        const auto items = static_cast<double>(QuestionCount());
        return items / (items - 1) * (1 - shareVariances / ScoreVariance());
    }

    const TAnswerTable& table_;
    const char decimalSeparator_;
    TAnswerSpellings spellings_;
    std::vector<double> attainablePoints_;
    /// Each student's answers, question by question.
    std::vector<TStoredId> answers_;
    std::vector<double> scores_;
    TTestAnalysis analysis_;
};

} // namespace

const TAnswerCount* TQuestionAnalysis::KeyAnswer() const {
    for (const TAnswerCount& answer : answers) {
        if (answer.isKey) {
            return &answer;
        }
    }
    return nullptr;
}

const TAnswerCount* TQuestionAnalysis::StrongestRival() const {
    const TAnswerCount* rival = nullptr;
    for (const TAnswerCount& answer : answers) {
        if (!answer.isKey && (rival == nullptr || answer.upperCount > rival->upperCount)) {
            rival = &answer;
        }
    }
    return rival;
}

TTestAnalysis AnalyseTest(const TAnswerTable& table, char decimalSeparator) {
    // Ids of 16 bits halve the memory the answers take, and tell apart the answers of most
    // tests; a test with more is analysed again with ids of 32 bits.
    if (std::optional<TTestAnalysis> analysis =
            TAnalyser<std::uint16_t>(table, decimalSeparator).Run()) {
        return std::move(*analysis);
    }
    return TAnalyser<TSpellingId>(table, decimalSeparator).Run().value();
}
