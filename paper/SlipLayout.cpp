#include "paper/SlipLayout.h"

#include <algorithm>

namespace {

constexpr double UsableWidth = TSlipLayout::PageWidth - 2 * PaperMargin;
constexpr double UsableHeight = TSlipLayout::PageHeight - 2 * PaperMargin;

int CeilDiv(int count, int per) {
    return (count + per - 1) / per;
}

} // namespace

TSlipLayout::TSlipLayout(int questions)
    : questions_(std::max(questions, 1)), bands_(CeilDiv(questions_, QuestionsPerBand())) {
    int fitting = 1;
    while (SlipHeight(fitting + 1) <= UsableHeight) {
        ++fitting;
    }
    bandsPerPart_ = std::min(bands_, fitting);
    parts_ = CeilDiv(bands_, bandsPerPart_);
    slotsPerPage_ =
        parts_ > 1 ? 1 : std::max(1, static_cast<int>(UsableHeight / SlipHeight(bands_)));
}

int TSlipLayout::QuestionsPerBand() {
    return static_cast<int>((UsableWidth - 2 * Padding - LabelWidth) / QuestionWidth);
}

double TSlipLayout::SlipHeight(int bands) const {
    return 2 * Padding + HeadingHeight + bands * BandHeight() + (bands - 1) * BandGap;
}

double TSlipLayout::SlotHeight() const {
    return UsableHeight / slotsPerPage_;
}

long long TSlipLayout::PageCount(long long students) const {
    const long long pieces = students * parts_;
    return (pieces + slotsPerPage_ - 1) / slotsPerPage_;
}

TSlipLayout::TPiece TSlipLayout::PieceAt(long long students, long long page, int slot) const {
    const long long piece = page * slotsPerPage_ + slot;
    if (slot >= slotsPerPage_ || piece >= students * parts_) {
        return {};
    }
    return {piece / parts_, static_cast<int>(piece % parts_)};
}

TPaperRect TSlipLayout::Slot(int slot) const {
    return {PaperMargin, PaperMargin + slot * SlotHeight(), UsableWidth, SlotHeight()};
}

TPaperRect TSlipLayout::Content(int slot) const {
    const TPaperRect outer = Slot(slot);
    return {outer.left + Padding, outer.top + Padding, outer.width - 2 * Padding,
            outer.height - 2 * Padding};
}

TPaperRect TSlipLayout::Heading(int slot) const {
    const TPaperRect content = Content(slot);
    return {content.left, content.top, content.width, HeadingHeight};
}

int TSlipLayout::BandsIn(int part) const {
    return std::min(bandsPerPart_, bands_ - part * bandsPerPart_);
}

int TSlipLayout::FirstQuestionOf(int part, int band) const {
    return (part * bandsPerPart_ + band) * QuestionsPerBand();
}

int TSlipLayout::QuestionsIn(int part, int band) const {
    return std::min(QuestionsPerBand(), questions_ - FirstQuestionOf(part, band));
}

TPaperRect TSlipLayout::Cell(int slot, int band, TBandRow row, int column) const {
    const TPaperRect heading = Heading(slot);
    const double top =
        heading.Bottom() + band * (BandHeight() + BandGap) + static_cast<int>(row) * RowHeight;
    if (column < 0) {
        return {heading.left, top, LabelWidth, RowHeight};
    }
    return {heading.left + LabelWidth + column * QuestionWidth, top, QuestionWidth, RowHeight};
}
