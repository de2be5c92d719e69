#include "paper/ClassListLayout.h"

#include <algorithm>

namespace {

using TLayout = TClassListLayout;

constexpr double ListUsableWidth = TLayout::PageWidth - 2 * PaperMargin;
constexpr double ListUsableHeight = TLayout::PageHeight - 2 * PaperMargin;
constexpr double FixedWidth = TLayout::NumberWidth + TLayout::NameWidth;
constexpr double QuestionsRoom = ListUsableWidth - FixedWidth;

double BodyTop() {
    return PaperMargin + TLayout::TitleHeight;
}

std::vector<double> UniformWidths(int questions) {
    return std::vector<double>(static_cast<std::size_t>(std::max(questions, 1)),
                               TLayout::QuestionWidth);
}

} // namespace

TClassListLayout::TClassListLayout(const std::vector<double>& questionWidths, long long students)
    : students_(std::max(students, 1LL)), left_{0} {
    for (const double wanted : questionWidths) {
        left_.push_back(left_.back() + std::clamp(wanted, QuestionWidth, WidestQuestion));
    }
    if (left_.size() == 1) {
        left_.push_back(QuestionWidth);
    }
    const int questions = static_cast<int>(left_.size()) - 1;
    TColumnPart part;
    for (int question = 0; question < questions; ++question) {
        const double end = left_[static_cast<std::size_t>(question + 1)];
        if (end - left_[static_cast<std::size_t>(part.firstQuestion)] >
                QuestionsRoom + WidthSlack &&
            part.questions > 0) {
            columnParts_.push_back(part);
            part = {question, 0, false};
        }
        ++part.questions;
    }
    if (QuestionsWidth(part) + ScoreWidth <= QuestionsRoom + WidthSlack) {
        part.hasScore = true;
        columnParts_.push_back(part);
    } else {
        columnParts_.push_back(part);
        columnParts_.push_back({questions, 0, true});
    }
    const long long rows = students_ + SummaryRows;
    rowParts_ = (rows + RowsPerPage() - 1) / RowsPerPage();
}

TClassListLayout::TClassListLayout(int questions, long long students)
    : TClassListLayout(UniformWidths(questions), students) {}

int TClassListLayout::RowsPerPage() {
    return static_cast<int>((ListUsableHeight - TitleHeight - FooterHeight) / RowHeight) -
           HeaderRows;
}

double TClassListLayout::QuestionsWidth(const TColumnPart& part) const {
    const auto first = static_cast<std::size_t>(part.firstQuestion);
    return left_[first + static_cast<std::size_t>(part.questions)] - left_[first];
}

const TClassListLayout::TColumnPart& TClassListLayout::ColumnPartOf(long long page) const {
    return columnParts_[static_cast<std::size_t>(page %
                                                 static_cast<long long>(columnParts_.size()))];
}

long long TClassListLayout::FirstRowOf(long long page) const {
    return page / static_cast<long long>(columnParts_.size()) * RowsPerPage();
}

int TClassListLayout::RowsOn(long long page) const {
    const long long left = students_ + SummaryRows - FirstRowOf(page);
    return static_cast<int>(std::clamp(left, 0LL, static_cast<long long>(RowsPerPage())));
}

TClassListLayout::TBodyRow TClassListLayout::BodyRow(long long index) const {
    if (index < students_) {
        return TBodyRow::Student;
    }
    return index == students_ ? TBodyRow::Rate : TBodyRow::None;
}

TPaperRect TClassListLayout::Title() {
    return {PaperMargin, PaperMargin, ListUsableWidth, TitleHeight};
}

TPaperRect TClassListLayout::Footer() {
    return {PaperMargin, PageHeight - PaperMargin - FooterHeight, ListUsableWidth, FooterHeight};
}

TPaperRect TClassListLayout::NumberCell(int row) {
    return {PaperMargin, BodyTop() + row * RowHeight, NumberWidth, RowHeight};
}

TPaperRect TClassListLayout::NameCell(int row) {
    return {PaperMargin + NumberWidth, BodyTop() + row * RowHeight, NameWidth, RowHeight};
}

TPaperRect TClassListLayout::QuestionCell(const TColumnPart& part, int row, int column) const {
    const auto first = static_cast<std::size_t>(part.firstQuestion);
    const auto question = first + static_cast<std::size_t>(column);
    return {PaperMargin + FixedWidth + left_[question] - left_[first], BodyTop() + row * RowHeight,
            left_[question + 1] - left_[question], RowHeight};
}

TPaperRect TClassListLayout::ScoreCell(const TColumnPart& part, int row) const {
    return {PaperMargin + FixedWidth + QuestionsWidth(part), BodyTop() + row * RowHeight,
            ScoreWidth, RowHeight};
}

TPaperRect TClassListLayout::Grid(const TColumnPart& part, int rows) const {
    const double width = FixedWidth + QuestionsWidth(part) + (part.hasScore ? ScoreWidth : 0);
    return {PaperMargin, BodyTop(), width, (HeaderRows + rows) * RowHeight};
}
