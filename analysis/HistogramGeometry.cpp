#include "analysis/HistogramGeometry.h"

#include <algorithm>

THistogramGeometry::THistogramGeometry(const THistogram& histogram, double plotWidth,
                                       double plotHeight)
    : counts_(histogram.counts), plotHeight_(plotHeight),
      barWidth_(plotWidth / static_cast<double>(std::max<std::size_t>(Bins(), 1))),
      labelStep_(std::max<std::size_t>(1, (Bins() + MostBinLabels - 1) / MostBinLabels)) {
    if (!counts_.empty()) {
        highestCount_ = *std::max_element(counts_.begin(), counts_.end());
    }
}

double THistogramGeometry::BarLeft(std::size_t bin) const {
    return static_cast<double>(bin) * barWidth_;
}

double THistogramGeometry::BarHeight(std::size_t bin) const {
    const int count = counts_[bin];
    return count == 0 ? 0 : plotHeight_ * count / highestCount_;
}
