#include "paper/SlipDocument.h"

#include "paper/PaperFormat.h"
#include "platform/CodePage.h"
#include "table/marking/Numbers.h"

#include <array>
#include <utility>

namespace {

constexpr double BandFrame = 0.3;
constexpr double CutLine = 0.2;
/// Heights of the heading's three lines: the test, the student and score, the rank and the
/// class's figures.
constexpr double TitleLine = 7;
constexpr double StudentLine = 6;
constexpr double FiguresLine = TSlipLayout::HeadingHeight - TitleLine - StudentLine;
/// Widths along the student line.
constexpr double NumberLabelWidth = 16;
constexpr double NumberWidth = 28;
constexpr double NameLabelWidth = 10;
constexpr double ScoreWidth = 50;

/// Answers are written in the body font, keys smaller.
constexpr TColumnMeasure SlipColumns{1.8, 1.6};

TPaperRect Across(const TPaperRect& line, double left, double width) {
    return {left, line.top, width, line.height};
}

} // namespace

TSlipDocument::TSlipDocument(const TMarkedClass& marked, const TAnalysisTexts& texts,
                             std::string title, char decimalSeparator)
    : marked_(marked), texts_(texts), title_(std::move(title)), decimalSeparator_(decimalSeparator),
      layout_(QuestionWidths(marked, texts, decimalSeparator, SlipColumns)) {}

long long TSlipDocument::PageCount() const {
    return layout_.PageCount(static_cast<long long>(marked_.Students().size()));
}

std::string TSlipDocument::Title() const {
    return TCodePage::ToUtf8(title_);
}

void TSlipDocument::PaintPage(TPaperCanvas& canvas, long long page) const {
    const auto students = static_cast<long long>(marked_.Students().size());
    for (int slot = 0; slot < layout_.SlotsPerPage(); ++slot) {
        const TSlipLayout::TPiece piece = layout_.PieceAt(students, page, slot);
        if (piece.student < 0) {
            break;
        }
        if (slot > 0) {
            const TPaperRect cut = layout_.Slot(slot);
            canvas.HorizontalLine(0, TSlipLayout::PageWidth, cut.top, CutLine, Qt::DashLine);
        }
        PaintSlip(canvas, slot, marked_.Students()[static_cast<std::size_t>(piece.student)],
                  piece.part);
    }
}

void TSlipDocument::PaintSlip(TPaperCanvas& canvas, int slot, const TPaperStudent& student,
                              int part) const {
    PaintHeading(canvas, slot, student, part);
    for (int band = 0; band < layout_.BandsIn(part); ++band) {
        PaintBand(canvas, slot, student, part, band);
    }
}

void TSlipDocument::PaintHeading(TPaperCanvas& canvas, int slot, const TPaperStudent& student,
                                 int part) const {
    const TPaperRect heading = layout_.Heading(slot);
    const TPaperRect titleLine{heading.left, heading.top, heading.width, TitleLine};
    canvas.Text(titleLine, part == 0 ? title_ : title_ + " " + texts_[TAnalysisText::Continued],
                TextLeft, TPaperFont::Title);

    const TPaperRect studentLine{heading.left, titleLine.Bottom(), heading.width, StudentLine};
    double left = heading.left;
    canvas.Text(Across(studentLine, left, NumberLabelWidth), texts_[TAnalysisText::Number],
                TextLeft, TPaperFont::Small);
    left += NumberLabelWidth;
    canvas.Text(Across(studentLine, left, NumberWidth), marked_.Number(student), TextLeft,
                TPaperFont::Large);
    left += NumberWidth;
    canvas.Text(Across(studentLine, left, NameLabelWidth), texts_[TAnalysisText::Name], TextLeft,
                TPaperFont::Small);
    left += NameLabelWidth;
    const double scoreLeft = heading.Right() - ScoreWidth;
    canvas.Text(Across(studentLine, left, scoreLeft - left), marked_.Name(student), TextLeft,
                TPaperFont::Large);
    canvas.Text(Across(studentLine, scoreLeft, ScoreWidth),
                texts_[TAnalysisText::Score] + "  " +
                    ScoreText(marked_, student.score, texts_, decimalSeparator_),
                TextRight, TPaperFont::Title);

    const TPaperRect figuresLine{heading.left, studentLine.Bottom(), heading.width, FiguresLine};
    const std::string students = std::to_string(marked_.Students().size());
    const std::string figures =
        texts_[TAnalysisText::Rank] + " " +
        texts_.Format(TAnalysisText::RankOf, {std::to_string(student.rank), students}) + "   " +
        texts_[TAnalysisText::Mean] + " " + FigureText(marked_.Mean(), decimalSeparator_) + "   " +
        texts_[TAnalysisText::Deviation] + " " + FigureText(marked_.Deviation(), decimalSeparator_);
    canvas.Text(figuresLine, figures, TextLeft, TPaperFont::Small);
}

void TSlipDocument::PaintBand(TPaperCanvas& canvas, int slot, const TPaperStudent& student,
                              int part, int band) const {
    const int first = layout_.FirstQuestionOf(part, band);
    const int count = layout_.QuestionsIn(part, band);
    static constexpr std::array<std::pair<TSlipLayout::TBandRow, TAnalysisText>,
                                TSlipLayout::BandRows>
        Labels = {{{TSlipLayout::NumberRow, TAnalysisText::Question},
                   {TSlipLayout::AnswerRow, TAnalysisText::AnswerRow},
                   {TSlipLayout::KeyRow, TAnalysisText::Key},
                   {TSlipLayout::MarkRow, TAnalysisText::MarkRow},
                   {TSlipLayout::EarnedRow, TAnalysisText::Score}}};

    const TPaperRect topLeft = layout_.Cell(slot, part, band, TSlipLayout::NumberRow, -1);
    const TPaperRect bottomRight =
        layout_.Cell(slot, part, band, TSlipLayout::EarnedRow, count - 1);
    canvas.Fill({topLeft.left, topLeft.top, bottomRight.Right() - topLeft.left, topLeft.height},
                HeaderTint);
    canvas.Fill({topLeft.left, topLeft.top, topLeft.width, bottomRight.Bottom() - topLeft.top},
                HeaderTint);
    for (const auto& [row, label] : Labels) {
        canvas.Text(layout_.Cell(slot, part, band, row, -1), texts_[label], TextLeft,
                    TPaperFont::Small);
    }
    for (int column = 0; column < count; ++column) {
        const TPaperQuestion& question =
            marked_.Questions()[static_cast<std::size_t>(first + column)];
        const TPaperAnswer answer = marked_.Answer(student, question);
        const QColor tint = VerdictTint(answer.verdict);
        if (tint.isValid()) {
            canvas.Fill(layout_.Cell(slot, part, band, TSlipLayout::AnswerRow, column), tint);
            canvas.Fill(layout_.Cell(slot, part, band, TSlipLayout::MarkRow, column), tint);
        }
        canvas.Text(layout_.Cell(slot, part, band, TSlipLayout::NumberRow, column),
                    std::to_string(question.number), TextCentre, TPaperFont::Small);
        canvas.ShrunkText(layout_.Cell(slot, part, band, TSlipLayout::AnswerRow, column),
                          answer.text, TextCentre, TPaperFont::Body);
        canvas.ShrunkText(layout_.Cell(slot, part, band, TSlipLayout::KeyRow, column),
                          KeyText(question, texts_, decimalSeparator_), TextCentre,
                          TPaperFont::Small);
        canvas.Text(layout_.Cell(slot, part, band, TSlipLayout::MarkRow, column),
                    VerdictMark(answer.verdict), TextCentre, TPaperFont::Mark);
        canvas.Text(layout_.Cell(slot, part, band, TSlipLayout::EarnedRow, column),
                    FloatToStr(answer.earned, decimalSeparator_), TextCentre, TPaperFont::Small);
    }

    const double right = bottomRight.Right();
    for (int row = 1; row < TSlipLayout::BandRows; ++row) {
        canvas.HorizontalLine(topLeft.left, right, topLeft.top + row * TSlipLayout::RowHeight,
                              ThinLine);
    }
    for (int column = 0; column < count; ++column) {
        canvas.VerticalLine(layout_.Cell(slot, part, band, TSlipLayout::NumberRow, column).left,
                            topLeft.top, bottomRight.Bottom(), ThinLine);
    }
    canvas.Frame(
        {topLeft.left, topLeft.top, right - topLeft.left, bottomRight.Bottom() - topLeft.top},
        BandFrame);
}
