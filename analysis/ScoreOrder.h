#pragma once

#include <cstddef>
#include <utility>
#include <vector>

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
    TScoreOrder(const std::vector<double>& scores, double minimum, double maximum);

    double Lowest() const { return lowest_; }
    double Highest() const { return highest_; }

    /// The score at `position` of the ascending order, and the one after it.
    std::pair<double, double> At(std::size_t position);

    TRank RankOf(double score) const;

private:
    /// Counting takes one entry per whole number between the lowest and the highest score.
    static constexpr double MaxCountedRange = 1 << 16;

    double ValueOfRank(std::size_t position) const;

    const std::vector<double>& scores_;
    double lowest_;
    double highest_;
    std::vector<std::size_t> below_;
    std::vector<double> values_;
};

/// Between the scores in ascending order as QUARTILE.INC interpolates.
double Quantile(TScoreOrder& order, std::size_t count, double share);

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
TGroupCut GroupCutOf(TScoreOrder& order, std::size_t students, std::size_t size, bool upper);
