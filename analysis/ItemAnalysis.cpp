#include "analysis/ItemAnalysis.h"

#include "platform/CodePage.h"
#include "table/marking/MarkingRules.h"
#include "table/store/RowCells.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

using TSpellingId = std::uint32_t;
/// Differences below this are the arithmetic's noise, not the students'.
constexpr double Tolerance = 1e-9;
/// Bin widths are 1, 2 or 5 times a power of ten, the smallest giving at most this many bins.
constexpr int MaxHistogramBins = 21;
/// Stands for points that are no whole number THeldSum sums as an integer.
constexpr std::int32_t NotWhole = std::numeric_limits<std::int32_t>::min();

/// A cell's text as found: its spelling, and the whole points it adds to the score (or
/// NotWhole), kept with it so that the sum needs no second look-up.
struct TFound {
    TSpellingId id = std::numeric_limits<TSpellingId>::max();
    std::int32_t wholePoints = NotWhole;
};

struct TTextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};

/// Short answers are compared here, where a call of the library's comparison would cost more
/// than the comparison.
bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t at = 0; at < a.size(); ++at) {
        if (a[at] != b[at]) {
            return false;
        }
    }
    return true;
}

/// Answer texts that marking takes for the same answer to one question.
struct TAnswerGroup {
    std::vector<TSpellingId> spellings;
    bool isKey = false;
};

/// Every answer text met, exactly as written, with marking's verdict on it, taken once per
/// text; what the students who wrote it add up to is kept with it. Each question has its own
/// texts, and one for its empty cells; the ids run over all questions, so that the loops over
/// the cells index flat arrays.
class TSpellings {
public:
    TSpellings(std::vector<TQuestionRule> rules, char decimalSeparator)
        : rules_(std::move(rules)), decimalSeparator_(decimalSeparator),
          shortTexts_(rules_.size() * ShortSlots), last_(rules_.size()), lookup_(rules_.size()),
          groups_(rules_.size()), textGroups_(rules_.size()), valueGroups_(rules_.size()) {
        for (std::size_t question = 0; question < rules_.size(); ++question) {
            blanks_.push_back(Add(question, {}, {}));
            shortTexts_[question * ShortSlots + EmptySlot] = Found(blanks_.back());
        }
    }

    std::size_t Questions() const { return rules_.size(); }
    const TQuestionRule& Rule(std::size_t question) const { return rules_[question]; }
    TSpellingId Blank(std::size_t question) const { return blanks_[question]; }
    const std::vector<TAnswerGroup>& Groups(std::size_t question) const {
        return groups_[question];
    }

    /// The id of a cell's text. Empty texts and texts of one byte are found in a table; a
    /// longer one is most often the one met before, else it is looked up. Throws what marking
    /// throws for it.
    TFound Find(std::size_t question, std::string_view answer) {
        if (answer.size() <= 1) {
            const std::size_t slot =
                answer.empty() ? EmptySlot : static_cast<unsigned char>(answer.front());
            TFound& known = shortTexts_[question * ShortSlots + slot];
            if (known.id == Unseen) {
                known = Found(Lookup(question, answer));
            }
            return known;
        }
        TFound& last = last_[question];
        if (last.id == Unseen || !SameText(text[last.id], answer)) {
            last = Found(Lookup(question, answer));
        }
        return last;
    }

    // Per id.
    std::vector<std::string> text;
    /// What marking adds to the score: the points of a correct keyed answer or of any points.
    std::vector<long double> scorePoints;
    /// The same as a whole number, when THeldSum sums it as one; else NotWhole.
    std::vector<std::int32_t> wholePoints;
    /// The item: 1 or 0 for a keyed answer, the points of a points question.
    std::vector<double> item;
    /// The students who wrote it, with their scores added up; together, as they are added to
    /// together.
    struct TWriters {
        double scoreSum = 0;
        int count = 0;
    };
    std::vector<TWriters> writers;
    /// Students of the upper and the lower group who wrote it, each by its weight.
    std::vector<double> upperWeight;
    std::vector<double> lowerWeight;

private:
    /// One slot for each byte, one for the empty text.
    static constexpr std::size_t ShortSlots = 257;
    static constexpr std::size_t EmptySlot = 256;
    static constexpr TSpellingId Unseen = std::numeric_limits<TSpellingId>::max();

    TFound Found(TSpellingId id) const { return {id, wholePoints[id]}; }

    TSpellingId Lookup(std::size_t question, std::string_view answer) {
        auto& ids = lookup_[question];
        if (const auto found = ids.find(answer); found != ids.end()) {
            return found->second;
        }
        const TAnswerMark mark = MarkAnswer(rules_[question], answer, decimalSeparator_);
        const TSpellingId id = Add(question, answer, mark);
        ids.emplace(answer, id);
        AddToGroup(question, id, mark);
        return id;
    }

    TSpellingId Add(std::size_t question, std::string_view answer, const TAnswerMark& mark) {
        const auto id = static_cast<TSpellingId>(text.size());
        text.emplace_back(answer);
        scorePoints.push_back(mark.points);
        wholePoints.push_back(THeldSum::IsWholeAddend(mark.points)
                                  ? static_cast<std::int32_t>(mark.points)
                                  : NotWhole);
        item.push_back(rules_[question].isPointsQuestion ? static_cast<double>(mark.points)
                       : mark.correct                    ? 1
                                                         : 0);
        writers.emplace_back();
        upperWeight.push_back(0);
        lowerWeight.push_back(0);
        return id;
    }

    /// Keyed answers are the same answer when their lower-cased texts are, as marking compares
    /// them; points are the same when their values are.
    void AddToGroup(std::size_t question, TSpellingId id, const TAnswerMark& mark) {
        std::vector<TAnswerGroup>& groups = groups_[question];
        const std::size_t index =
            rules_[question].isPointsQuestion
                ? valueGroups_[question].try_emplace(mark.points, groups.size()).first->second
                : textGroups_[question]
                      .try_emplace(TCodePage::LowerCase(text[id]), groups.size())
                      .first->second;
        if (index == groups.size()) {
            groups.push_back({{}, mark.correct});
        }
        groups[index].spellings.push_back(id);
    }

    std::vector<TQuestionRule> rules_;
    char decimalSeparator_;
    std::vector<TSpellingId> blanks_;
    std::vector<TFound> shortTexts_;
    std::vector<TFound> last_;
    std::vector<std::unordered_map<std::string, TSpellingId, TTextHash, std::equal_to<>>> lookup_;
    std::vector<std::vector<TAnswerGroup>> groups_;
    std::vector<std::map<std::string, std::size_t>> textGroups_;
    std::vector<std::map<long double, std::size_t>> valueGroups_;
};

/// Adds what the answer found earns to a student's score, as marking sums it.
void AddToScore(THeldSum& score, const TSpellings& spellings, TFound found) {
    if (found.wholePoints != NotWhole) {
        score.AddWhole(found.wholePoints);
    } else {
        score.Add(spellings.scorePoints[found.id]);
    }
}

/// Sums over the students of one question's item (y), its square and the item times the
/// score (t); the item's smallest and largest value.
struct TItemSums {
    double y = 0;
    double yy = 0;
    double yt = 0;
    double minimum = std::numeric_limits<double>::infinity();
    double maximum = -std::numeric_limits<double>::infinity();
};

/// The scores in ascending order, as far as the figures ask for it. Whole scores in a range
/// not much wider than the class, as most tests have, are counted in one pass; any others are
/// ordered as far as each figure needs.
class TScoreOrder {
public:
    struct TRank {
        std::size_t below = 0;
        std::size_t equal = 0;
        std::size_t above = 0;
    };

    /// `scores` must outlive the order.
    TScoreOrder(const std::vector<double>& scores, double minimum, double maximum)
        : scores_(scores), lowest_(minimum), highest_(maximum) {
        const double range = maximum - minimum;
        const bool countable = range <= MaxCountedRange + 4 * static_cast<double>(scores.size()) &&
                               std::all_of(scores.begin(), scores.end(),
                                           [](double score) { return score == std::trunc(score); });
        if (!countable) {
            values_ = scores;
            return;
        }
        std::vector<std::size_t> counts(static_cast<std::size_t>(range) + 1);
        for (const double score : scores) {
            ++counts[static_cast<std::size_t>(score - minimum)];
        }
        // Scores below each value, and one more entry for all of them.
        below_.resize(counts.size() + 1);
        for (std::size_t value = 0; value < counts.size(); ++value) {
            below_[value + 1] = below_[value] + counts[value];
        }
    }

    double Lowest() const { return lowest_; }
    double Highest() const { return highest_; }

    /// The score at `position` of the ascending order, and the one after it.
    std::pair<double, double> At(std::size_t position) {
        if (below_.empty()) {
            const auto at = values_.begin() + static_cast<std::ptrdiff_t>(position);
            std::nth_element(values_.begin(), at, values_.end());
            const double next =
                at + 1 == values_.end() ? *at : *std::min_element(at + 1, values_.end());
            return {*at, next};
        }
        const std::size_t next = std::min(position + 1, scores_.size() - 1);
        return {ValueOfRank(position), ValueOfRank(next)};
    }

    TRank RankOf(double score) const {
        TRank rank;
        if (below_.empty()) {
            for (const double other : scores_) {
                rank.below += other < score ? 1 : 0;
                rank.equal += other == score ? 1 : 0;
            }
        } else {
            const auto value = static_cast<std::size_t>(score - lowest_);
            rank.below = below_[value];
            rank.equal = below_[value + 1] - below_[value];
        }
        rank.above = scores_.size() - rank.below - rank.equal;
        return rank;
    }

private:
    /// Counting takes one entry per whole number between the lowest and the highest score.
    static constexpr double MaxCountedRange = 1 << 16;

    double ValueOfRank(std::size_t position) const {
        const auto found = std::upper_bound(below_.begin(), below_.end(), position);
        return lowest_ + static_cast<double>(found - below_.begin() - 1);
    }

    const std::vector<double>& scores_;
    double lowest_;
    double highest_;
    std::vector<std::size_t> below_;
    std::vector<double> values_;
};

/// Between the scores in ascending order as QUARTILE.INC interpolates.
double Quantile(TScoreOrder& order, std::size_t count, double share) {
    const double position = share * static_cast<double>(count - 1);
    const double below = std::floor(position);
    const auto [low, high] = order.At(static_cast<std::size_t>(below));
    return low + (position - below) * (high - low);
}

/// A group of students taken from one end of the scores: those beyond its cut count for 1,
/// those tied at the cut for an equal share of the places left, so that the group holds exactly
/// the students asked for and no tie is broken by chance.
struct TGroupCut {
    double cut = 0;
    double share = 0;
    bool upper = true;

    double WeightOf(double score) const {
        if (score == cut) {
            return share;
        }
        return (upper ? score > cut : score < cut) ? 1 : 0;
    }
};

/// The group of `size` students at the top or the bottom of the scores.
TGroupCut GroupCutOf(TScoreOrder& order, std::size_t students, std::size_t size, bool upper) {
    TGroupCut group;
    group.upper = upper;
    group.cut = order.At(upper ? students - size : size - 1).first;
    const TScoreOrder::TRank rank = order.RankOf(group.cut);
    const std::size_t inside = upper ? rank.above : rank.below;
    group.share = static_cast<double>(size - inside) / static_cast<double>(rank.equal);
    return group;
}

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
        for (int row = TAnswerTable::FirstStudentRow;; ++row) {
            const TRowCells& cells = table_.Store().Row(row);
            THeldSum score;
            std::size_t question = 0;
            bool fits = true;
            answers_.resize(answers_.size() + QuestionCount());
            TStoredId* const ids = answers_.data() + answers_.size() - QuestionCount();
            cells.ForEachCell(FirstColumn(), FirstColumn() + QuestionCount(),
                              [&](std::string_view answer) {
                                  const TFound found = spellings_.Find(question, answer);
                                  AddToScore(score, spellings_, found);
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
                TSpellings::TWriters& writers = spellings_.writers[*id];
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
    TSpellings spellings_;
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
