#include "analysis/HistogramGeometry.h"

#include "TestText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

THistogram HistogramOf(std::vector<int> counts) {
    return {0, 1, std::move(counts)};
}

TEST(HistogramGeometry, BarsShareThePlotAndTheHighestFillsIt) {
    const THistogramGeometry geometry(HistogramOf({1, 0, 4, 2}), 300, 120);
    EXPECT_EQ(geometry.Bins(), 4u);
    EXPECT_EQ(geometry.HighestCount(), 4);
    EXPECT_EQ(geometry.BarWidth(), 75);
    EXPECT_EQ(geometry.BarLeft(0), 0);
    EXPECT_EQ(geometry.BarLeft(3), 225);
    EXPECT_EQ(geometry.BarLeft(4), 300) << "the last bar ends at the plot's right";
    EXPECT_EQ(geometry.BarHeight(0), 30);
    EXPECT_EQ(geometry.BarHeight(1), 0);
    EXPECT_EQ(geometry.BarHeight(2), 120);
    EXPECT_EQ(geometry.BarHeight(3), 60);
}

TEST(HistogramGeometry, NoBinsNoScoresDrawNothing) {
    const THistogramGeometry none(HistogramOf({}), 300, 120);
    EXPECT_EQ(none.Bins(), 0u);
    EXPECT_EQ(none.HighestCount(), 0);
    EXPECT_EQ(none.LabelStep(), 1u);
    const THistogramGeometry empty(HistogramOf({0, 0}), 300, 120);
    EXPECT_EQ(empty.HighestCount(), 0);
    EXPECT_EQ(empty.BarHeight(1), 0) << "no division by a highest count of 0";
}

struct TLabelCase {
    std::string name;
    std::size_t bins;
    std::size_t step;
    friend void PrintTo(const TLabelCase& c, std::ostream* os) { *os << c.name; }
};

class HistogramLabels : public testing::TestWithParam<TLabelCase> {};

// At most eleven bins are labelled, the first always, at an even step.
TEST_P(HistogramLabels, StepKeepsAtMostElevenLabels) {
    const THistogramGeometry geometry(HistogramOf(std::vector<int>(GetParam().bins, 1)), 300, 120);
    EXPECT_EQ(geometry.LabelStep(), GetParam().step);
    std::size_t labelled = 0;
    for (std::size_t bin = 0; bin < geometry.Bins(); ++bin) {
        labelled += geometry.IsLabelled(bin) ? 1U : 0U;
    }
    EXPECT_TRUE(geometry.IsLabelled(0));
    EXPECT_LE(labelled, THistogramGeometry::MostBinLabels);
}

INSTANTIATE_TEST_SUITE_P(Cases, HistogramLabels,
                         testing::Values(TLabelCase{"OneBin", 1, 1}, TLabelCase{"Eleven", 11, 1},
                                         TLabelCase{"Twelve", 12, 2},
                                         TLabelCase{"TwentyOne", 21, 2},
                                         TLabelCase{"TwentyTwo", 22, 2},
                                         TLabelCase{"TwentyThree", 23, 3}),
                         TCaseName());

} // namespace
