#include "TestText.h"
#include "paper/ClassListLayout.h"
#include "paper/SlipLayout.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

bool Inside(const TPaperRect& inner, const TPaperRect& outer) {
    constexpr double Slack = 1e-9;
    return inner.left >= outer.left - Slack && inner.top >= outer.top - Slack &&
           inner.Right() <= outer.Right() + Slack && inner.Bottom() <= outer.Bottom() + Slack;
}

struct TSlipCase {
    std::string name;
    int questions;
    int bands;
    int slotsPerPage;
    int parts;
    /// Pages for 10, 40 and 400 students.
    std::vector<long long> pages;
    friend void PrintTo(const TSlipCase& value, std::ostream* out) { *out << value.name; }
};

class SlipLayout : public testing::TestWithParam<TSlipCase> {};

TEST_P(SlipLayout, FitsAsManySlipsAsTheQuestionsAllow) {
    const TSlipCase& slip = GetParam();
    const TSlipLayout layout(slip.questions);
    EXPECT_EQ(layout.Bands(), slip.bands);
    EXPECT_EQ(layout.SlotsPerPage(), slip.slotsPerPage);
    EXPECT_EQ(layout.Parts(), slip.parts);
    EXPECT_EQ(layout.PageCount(10), slip.pages[0]);
    EXPECT_EQ(layout.PageCount(40), slip.pages[1]);
    EXPECT_EQ(layout.PageCount(400), slip.pages[2]);
}

TEST_P(SlipLayout, EveryCellLiesInItsSlotAndNoQuestionIsLeftOut) {
    const TSlipLayout layout(GetParam().questions);
    const TPaperRect sheet{PaperMargin, PaperMargin, TSlipLayout::PageWidth - 2 * PaperMargin,
                           TSlipLayout::PageHeight - 2 * PaperMargin};
    for (int slot = 0; slot < layout.SlotsPerPage(); ++slot) {
        ASSERT_TRUE(Inside(layout.Slot(slot), sheet)) << "slot " << slot;
        int shown = 0;
        for (int part = 0; part < layout.Parts(); ++part) {
            for (int band = 0; band < layout.BandsIn(part); ++band) {
                EXPECT_EQ(layout.FirstQuestionOf(part, band), shown);
                const int count = layout.QuestionsIn(part, band);
                shown += count;
                const auto corner =
                    layout.Cell(slot, part, band, TSlipLayout::EarnedRow, count - 1);
                EXPECT_TRUE(Inside(corner, layout.Content(slot)))
                    << "slot " << slot << " part " << part << " band " << band;
                EXPECT_TRUE(Inside(layout.Cell(slot, part, band, TSlipLayout::NumberRow, -1),
                                   layout.Content(slot)));
                EXPECT_GE(layout.Cell(slot, part, band, TSlipLayout::NumberRow, 0).top,
                          layout.Heading(slot).Bottom());
            }
        }
        EXPECT_EQ(shown, GetParam().questions);
    }
}

INSTANTIATE_TEST_SUITE_P(Questions, SlipLayout,
                         testing::Values(TSlipCase{"One", 1, 1, 5, 1, {2, 8, 80}},
                                         TSlipCase{"Five", 5, 1, 5, 1, {2, 8, 80}},
                                         TSlipCase{"OneBandFull", 15, 1, 5, 1, {2, 8, 80}},
                                         TSlipCase{"TwoBands", 16, 2, 3, 1, {4, 14, 134}},
                                         TSlipCase{"Fifty", 50, 4, 2, 1, {5, 20, 200}},
                                         TSlipCase{"OnePageFull", 135, 9, 1, 1, {10, 40, 400}},
                                         TSlipCase{"TwoPagesEach", 200, 14, 1, 2, {20, 80, 800}}),
                         TCaseName());

TEST(SlipLayoutWidths, WideAnswersTakeWiderColumnsAndFewerPerBand) {
    // Five columns of 30 mm and one of 11.2 fit the 168 mm of a band; a wider one is capped.
    const TSlipLayout layout({30, 30, 30, 30, 30, 5, 30, 80});
    EXPECT_EQ(layout.Bands(), 2);
    EXPECT_EQ(layout.QuestionsIn(0, 0), 6);
    EXPECT_EQ(layout.QuestionsIn(0, 1), 2);
    EXPECT_NEAR(layout.Cell(0, 0, 0, TSlipLayout::AnswerRow, 5).width, TSlipLayout::QuestionWidth,
                1e-9);
    EXPECT_NEAR(layout.Cell(0, 0, 1, TSlipLayout::AnswerRow, 1).width, TSlipLayout::WidestQuestion,
                1e-9);
    const TPaperRect second = layout.Cell(0, 0, 1, TSlipLayout::AnswerRow, 1);
    EXPECT_DOUBLE_EQ(second.left, layout.Cell(0, 0, 1, TSlipLayout::AnswerRow, 0).Right());
    EXPECT_LE(second.Right(), layout.Content(0).Right());
}

TEST(SlipLayoutPieces, FillTheSlotsInTheTableOrderAndStopAfterTheLastStudent) {
    const TSlipLayout five(5);
    EXPECT_EQ(five.PieceAt(12, 0, 0).student, 0);
    EXPECT_EQ(five.PieceAt(12, 1, 2).student, 7);
    EXPECT_EQ(five.PieceAt(12, 2, 1).student, 11);
    EXPECT_EQ(five.PieceAt(12, 2, 2).student, -1);

    const TSlipLayout split(200);
    const TSlipLayout::TPiece second = split.PieceAt(3, 1, 0);
    EXPECT_EQ(second.student, 0);
    EXPECT_EQ(second.part, 1);
    EXPECT_EQ(split.PieceAt(3, 2, 0).student, 1);
    EXPECT_EQ(split.PieceAt(3, 2, 0).part, 0);
    EXPECT_EQ(split.PieceAt(3, 6, 0).student, -1);
}

struct TClassListCase {
    std::string name;
    int questions;
    /// Questions of each column part; the last one has the score column unless 0 follows.
    std::vector<int> parts;
    /// Pages for 10, 40 and 400 students.
    std::vector<long long> pages;
    friend void PrintTo(const TClassListCase& value, std::ostream* out) { *out << value.name; }
};

class ClassListLayout : public testing::TestWithParam<TClassListCase> {};

TEST_P(ClassListLayout, SplitsTheColumnsAndRowsOverPages) {
    const TClassListCase& list = GetParam();
    const TClassListLayout layout(list.questions, 40);
    std::vector<int> questions;
    int next = 0;
    for (const TClassListLayout::TColumnPart& part : layout.ColumnParts()) {
        EXPECT_EQ(part.firstQuestion, next);
        next += part.questions;
        questions.push_back(part.questions);
        EXPECT_EQ(part.hasScore, &part == &layout.ColumnParts().back());
    }
    EXPECT_EQ(questions, list.parts);
    EXPECT_EQ(TClassListLayout(list.questions, 10).PageCount(), list.pages[0]);
    EXPECT_EQ(layout.PageCount(), list.pages[1]);
    EXPECT_EQ(TClassListLayout(list.questions, 400).PageCount(), list.pages[2]);
}

TEST_P(ClassListLayout, EveryPageGridLiesOnTheSheetAboveTheFooter) {
    const TClassListLayout layout(GetParam().questions, 400);
    const TPaperRect sheet{PaperMargin, PaperMargin, TClassListLayout::PageWidth - 2 * PaperMargin,
                           TClassListLayout::PageHeight - 2 * PaperMargin};
    for (long long page = 0; page < layout.PageCount(); ++page) {
        const TPaperRect grid = layout.Grid(layout.ColumnPartOf(page), layout.RowsOn(page));
        EXPECT_TRUE(Inside(grid, sheet)) << "page " << page;
        EXPECT_LE(grid.Bottom(), TClassListLayout::Footer().top) << "page " << page;
        EXPECT_GE(grid.top, TClassListLayout::Title().Bottom()) << "page " << page;
    }
}

INSTANTIATE_TEST_SUITE_P(Questions, ClassListLayout,
                         testing::Values(TClassListCase{"Five", 5, {5}, {1, 2, 13}},
                                         TClassListCase{"TheScoreStillFits", 20, {20}, {1, 2, 13}},
                                         TClassListCase{
                                             "TheScoreOnAPageOfItsOwn", 22, {22, 0}, {2, 4, 26}},
                                         TClassListCase{"Fifty", 50, {22, 22, 6}, {3, 6, 39}}),
                         TCaseName());

TEST(ClassListLayoutWidths, WideColumnsSplitEarlierAndStayInTheirPart) {
    // 223 mm for the questions beside the number and the name.
    std::vector<double> widths(10, 30);
    const TClassListLayout layout(widths, 5);
    std::vector<int> questions;
    for (const TClassListLayout::TColumnPart& part : layout.ColumnParts()) {
        questions.push_back(part.questions);
        const TPaperRect last = layout.QuestionCell(part, 0, part.questions - 1);
        EXPECT_LE(last.Right(), TClassListLayout::PageWidth - PaperMargin);
        EXPECT_DOUBLE_EQ(layout.QuestionCell(part, 0, 0).left,
                         TClassListLayout::NameCell(0).Right());
    }
    EXPECT_EQ(questions, (std::vector<int>{7, 3}));
    EXPECT_TRUE(layout.ColumnParts().back().hasScore);
}

TEST(ClassListLayoutRows, StudentsThenTheRatesAcrossThePagesOfTheSameRows) {
    const int perPage = TClassListLayout::RowsPerPage();
    const TClassListLayout layout(50, perPage);
    ASSERT_EQ(layout.RowParts(), 2);
    // The three column parts of the first rows come first.
    for (long long page = 0; page < 3; ++page) {
        EXPECT_EQ(layout.FirstRowOf(page), 0);
        EXPECT_EQ(layout.RowsOn(page), perPage);
        EXPECT_EQ(layout.ColumnPartOf(page).firstQuestion, page * 22);
    }
    EXPECT_EQ(layout.FirstRowOf(3), perPage);
    EXPECT_EQ(layout.RowsOn(3), 1);
    EXPECT_EQ(layout.BodyRow(perPage - 1), TClassListLayout::TBodyRow::Student);
    EXPECT_EQ(layout.BodyRow(perPage), TClassListLayout::TBodyRow::Rate);
    EXPECT_EQ(layout.BodyRow(perPage + 1), TClassListLayout::TBodyRow::None);
}

} // namespace
