#include "paper/ClassListLayout.h"

#include <algorithm>

namespace {

constexpr double UsableWidth = TClassListLayout::PageWidth - 2 * PaperMargin;
constexpr double UsableHeight = TClassListLayout::PageHeight - 2 * PaperMargin;
constexpr double FixedWidth = TClassListLayout::NumberWidth + TClassListLayout::NameWidth;

std::vector<TClassListLayout::TColumnPart> SplitColumns(int questions) {
    const int perPage =
        static_cast<int>((UsableWidth - FixedWidth) / TClassListLayout::QuestionWidth);
    std::vector<TClassListLayout::TColumnPart> parts;
    for (int first = 0; first < questions; first += perPage) {
        parts.push_back({first, std::min(perPage, questions - first), false});
    }
    TClassListLayout::TColumnPart& last = parts.back();
    const double lastWidth = FixedWidth + last.questions * TClassListLayout::QuestionWidth;
    if (lastWidth + TClassListLayout::ScoreWidth <= UsableWidth) {
        last.hasScore = true;
    } else {
        parts.push_back({questions, 0, true});
    }
    return parts;
}

double BodyTop() {
    return PaperMargin + TClassListLayout::TitleHeight;
}

} // namespace

TClassListLayout::TClassListLayout(int questions, long long students)
    : students_(std::max(students, 1LL)), columnParts_(SplitColumns(std::max(questions, 1))) {
    const long long rows = students_ + SummaryRows;
    rowParts_ = (rows + RowsPerPage() - 1) / RowsPerPage();
}

int TClassListLayout::RowsPerPage() {
    return static_cast<int>((UsableHeight - TitleHeight - FooterHeight) / RowHeight) - HeaderRows;
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
    switch (index - students_) {
    case 0:
        return TBodyRow::Rate;
    case 1:
        return TBodyRow::Mean;
    case 2:
        return TBodyRow::Deviation;
    default:
        return TBodyRow::None;
    }
}

TPaperRect TClassListLayout::Title() {
    return {PaperMargin, PaperMargin, UsableWidth, TitleHeight};
}

TPaperRect TClassListLayout::Footer() {
    return {PaperMargin, PageHeight - PaperMargin - FooterHeight, UsableWidth, FooterHeight};
}

TPaperRect TClassListLayout::NumberCell(int row) {
    return {PaperMargin, BodyTop() + row * RowHeight, NumberWidth, RowHeight};
}

TPaperRect TClassListLayout::NameCell(int row) {
    return {PaperMargin + NumberWidth, BodyTop() + row * RowHeight, NameWidth, RowHeight};
}

TPaperRect TClassListLayout::QuestionCell(int row, int column) {
    return {PaperMargin + FixedWidth + column * QuestionWidth, BodyTop() + row * RowHeight,
            QuestionWidth, RowHeight};
}

TPaperRect TClassListLayout::ScoreCell(const TColumnPart& part, int row) const {
    return {PaperMargin + FixedWidth + part.questions * QuestionWidth, BodyTop() + row * RowHeight,
            ScoreWidth, RowHeight};
}

TPaperRect TClassListLayout::Grid(const TColumnPart& part, int rows) const {
    const double width =
        FixedWidth + part.questions * QuestionWidth + (part.hasScore ? ScoreWidth : 0);
    return {PaperMargin, BodyTop(), width, (HeaderRows + rows) * RowHeight};
}
