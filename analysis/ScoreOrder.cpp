#include "analysis/ScoreOrder.h"

#include <algorithm>
#include <cmath>
#include <iterator>

TScoreOrder::TScoreOrder(const std::vector<double>& scores, double minimum, double maximum)
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

std::pair<double, double> TScoreOrder::At(std::size_t position) {
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

TScoreOrder::TRank TScoreOrder::RankOf(double score) const {
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

double TScoreOrder::ValueOfRank(std::size_t position) const {
    const auto found = std::upper_bound(below_.begin(), below_.end(), position);
    return lowest_ + static_cast<double>(found - below_.begin() - 1);
}

double Quantile(TScoreOrder& order, std::size_t count, double share) {
    const double position = share * static_cast<double>(count - 1);
    const double below = std::floor(position);
    const auto [low, high] = order.At(static_cast<std::size_t>(below));
    return low + (position - below) * (high - low);
}

TGroupCut GroupCutOf(TScoreOrder& order, std::size_t students, std::size_t size, bool upper) {
    TGroupCut group;
    group.upper = upper;
    group.cut = order.At(upper ? students - size : size - 1).first;
    const TScoreOrder::TRank rank = order.RankOf(group.cut);
    const std::size_t inside = upper ? rank.above : rank.below;
    group.share = static_cast<double>(size - inside) / static_cast<double>(rank.equal);
    return group;
}
