#pragma once

#include "analysis/ItemAnalysis.h"

#include <cstddef>
#include <vector>

/// The scores' histogram laid out on a plot of any size, in the plot's units from its left and
/// its bottom, for every drawing of it (the window's, the report's): a bar per bin, as wide as
/// the plot shares out, as high as its count against the highest count, which tops the count
/// axis; the bins' starts labelled at a step that keeps their labels apart.
class THistogramGeometry {
public:
    /// At most this many bins are labelled.
    static constexpr std::size_t MostBinLabels = 11;

    THistogramGeometry(const THistogram& histogram, double plotWidth, double plotHeight);

    std::size_t Bins() const { return counts_.size(); }
    int Count(std::size_t bin) const { return counts_[bin]; }
    /// The highest bin's count, the top of the count axis (whose bottom is 0); 0 without bins.
    int HighestCount() const { return highestCount_; }

    double BarWidth() const { return barWidth_; }
    /// Where bin `bin` starts, its bar's left and its label's middle.
    double BarLeft(std::size_t bin) const;
    /// 0 for an empty bin, the plot's height for the highest.
    double BarHeight(std::size_t bin) const;

    /// Every this many bins, from the first, one is labelled; at least 1.
    std::size_t LabelStep() const { return labelStep_; }
    bool IsLabelled(std::size_t bin) const { return bin % labelStep_ == 0; }

private:
    std::vector<int> counts_;
    double plotHeight_;
    int highestCount_ = 0;
    double barWidth_;
    std::size_t labelStep_;
};
