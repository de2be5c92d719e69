#include "paper/SlipLayout.h"

#include <algorithm>

namespace {

constexpr double SlipUsableWidth = TSlipLayout::PageWidth - 2 * PaperMargin;
constexpr double SlipUsableHeight = TSlipLayout::PageHeight - 2 * PaperMargin;
constexpr double BandWidth = SlipUsableWidth - 2 * TSlipLayout::Padding - TSlipLayout::LabelWidth;

int CeilDiv(int count, int per) {
    return (count + per - 1) / per;
}

} // namespace

TSlipLayout::TSlipLayout(const std::vector<double>& questionWidths) : left_{0}, bandFirst_{0} {
    double bandStart = 0;
    for (const double wanted : questionWidths) {
        const double width = std::clamp(wanted, QuestionWidth, WidestQuestion);
        const int question = static_cast<int>(left_.size()) - 1;
        if (left_.back() + width - bandStart > BandWidth + WidthSlack &&
            question > bandFirst_.back()) {
            bandFirst_.push_back(question);
            bandStart = left_.back();
        }
        left_.push_back(left_.back() + width);
    }
    if (left_.size() == 1) {
        left_.push_back(QuestionWidth);
    }
    bandFirst_.push_back(Questions());

    int fitting = 1;
    while (SlipHeight(fitting + 1) <= SlipUsableHeight) {
        ++fitting;
    }
    bandsPerPart_ = std::min(Bands(), fitting);
    parts_ = CeilDiv(Bands(), bandsPerPart_);
    slotsPerPage_ =
        parts_ > 1 ? 1 : std::max(1, static_cast<int>(SlipUsableHeight / SlipHeight(Bands())));
}

TSlipLayout::TSlipLayout(int questions)
    : TSlipLayout(
          std::vector<double>(static_cast<std::size_t>(std::max(questions, 1)), QuestionWidth)) {}

double TSlipLayout::SlipHeight(int bands) {
    return 2 * Padding + HeadingHeight + bands * BandHeight() + (bands - 1) * BandGap;
}

double TSlipLayout::SlotHeight() const {
    return SlipUsableHeight / slotsPerPage_;
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
    return {PaperMargin, PaperMargin + slot * SlotHeight(), SlipUsableWidth, SlotHeight()};
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
    return std::min(bandsPerPart_, Bands() - part * bandsPerPart_);
}

int TSlipLayout::FirstQuestionOf(int part, int band) const {
    return bandFirst_[static_cast<std::size_t>(BandIndex(part, band))];
}

int TSlipLayout::QuestionsIn(int part, int band) const {
    return bandFirst_[static_cast<std::size_t>(BandIndex(part, band) + 1)] -
           FirstQuestionOf(part, band);
}

TPaperRect TSlipLayout::Cell(int slot, int part, int band, TBandRow row, int column) const {
    const TPaperRect heading = Heading(slot);
    const double top =
        heading.Bottom() + band * (BandHeight() + BandGap) + static_cast<int>(row) * RowHeight;
    if (column < 0) {
        return {heading.left, top, LabelWidth, RowHeight};
    }
    const auto first = static_cast<std::size_t>(FirstQuestionOf(part, band));
    const auto question = first + static_cast<std::size_t>(column);
    return {heading.left + LabelWidth + left_[question] - left_[first], top,
            left_[question + 1] - left_[question], RowHeight};
}
