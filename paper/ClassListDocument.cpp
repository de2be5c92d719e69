#include "paper/ClassListDocument.h"

#include "paper/PaperFormat.h"
#include "platform/CodePage.h"
#include "table/marking/Numbers.h"

#include <utility>

namespace {

constexpr double GridFrame = 0.3;
/// The right end of a wrong answer's cell, where its mark stands.
constexpr double MarkWidth = 2.6;

/// Answers are written in the body font, with room for a wrong one's mark.
constexpr TColumnMeasure ListColumns{1.8, 1.4 + MarkWidth};

using TLayout = TClassListLayout;

} // namespace

TClassListDocument::TClassListDocument(const TMarkedClass& marked, const TAnswerTable& table,
                                       const TAnalysisTexts& texts, std::string title,
                                       char decimalSeparator)
    : marked_(marked), table_(table), texts_(texts), title_(std::move(title)),
      decimalSeparator_(decimalSeparator),
      layout_(QuestionWidths(marked, texts, decimalSeparator, ListColumns),
              static_cast<long long>(marked.Students().size())) {}

std::string TClassListDocument::Title() const {
    return TCodePage::ToUtf8(title_);
}

const TPaperQuestion& TClassListDocument::QuestionAt(const TLayout::TColumnPart& part,
                                                     int column) const {
    return marked_.Questions()[static_cast<std::size_t>(part.firstQuestion + column)];
}

void TClassListDocument::PaintPage(TPaperCanvas& canvas, long long page) const {
    const TLayout::TColumnPart& part = layout_.ColumnPartOf(page);
    canvas.Text(TLayout::Title(), title_, TextLeft, TPaperFont::Title);
    const std::string figures =
        texts_[TAnalysisText::Students] + " " + std::to_string(marked_.Students().size()) + "   " +
        texts_[TAnalysisText::Mean] + " " + FigureText(marked_.Mean(), decimalSeparator_) + "   " +
        texts_[TAnalysisText::Deviation] + " " + FigureText(marked_.Deviation(), decimalSeparator_);
    canvas.Text(TLayout::Title(), figures, TextRight, TPaperFont::Body);
    PaintHeader(canvas, part);
    const long long first = layout_.FirstRowOf(page);
    const int rows = layout_.RowsOn(page);
    for (int row = 0; row < rows; ++row) {
        PaintBodyRow(canvas, part, TLayout::HeaderRows + row, first + row);
    }
    PaintGrid(canvas, part, rows);
    canvas.Text(TLayout::Footer(),
                texts_.Format(TAnalysisText::PageOf,
                              {std::to_string(page + 1), std::to_string(PageCount())}),
                TextCentre, TPaperFont::Small);
}

void TClassListDocument::PaintHeader(TPaperCanvas& canvas, const TLayout::TColumnPart& part) const {
    const TPaperRect grid = layout_.Grid(part, 0);
    canvas.Fill(grid, HeaderTint);
    canvas.Text(TLayout::NumberCell(TLayout::QuestionRow), texts_[TAnalysisText::Number], TextLeft,
                TPaperFont::Small);
    canvas.Text(TLayout::NameCell(TLayout::QuestionRow), texts_[TAnalysisText::Name], TextLeft,
                TPaperFont::Small);
    canvas.Text(TLayout::NameCell(TLayout::KeyRow), texts_[TAnalysisText::Key], TextLeft,
                TPaperFont::Small);
    canvas.Text(TLayout::NameCell(TLayout::PointsRow), texts_[TAnalysisText::Points], TextLeft,
                TPaperFont::Small);
    for (int column = 0; column < part.questions; ++column) {
        const TPaperQuestion& question = QuestionAt(part, column);
        canvas.Text(layout_.QuestionCell(part, TLayout::QuestionRow, column),
                    std::to_string(question.number), TextCentre, TPaperFont::Small);
        canvas.ShrunkText(layout_.QuestionCell(part, TLayout::KeyRow, column), question.key,
                          TextCentre, TPaperFont::Body);
        canvas.Text(layout_.QuestionCell(part, TLayout::PointsRow, column),
                    table_.Cell(question.rule.column, TAnswerTable::PointsRow), TextCentre,
                    TPaperFont::Small);
    }
    if (part.hasScore) {
        canvas.Text(layout_.ScoreCell(part, TLayout::QuestionRow), texts_[TAnalysisText::Score],
                    TextCentre, TPaperFont::Small);
        if (marked_.Attainable()) {
            canvas.Text(layout_.ScoreCell(part, TLayout::PointsRow),
                        FloatToStr(*marked_.Attainable(), decimalSeparator_), TextRight,
                        TPaperFont::Small);
        }
    }
}

void TClassListDocument::PaintBodyRow(TPaperCanvas& canvas, const TLayout::TColumnPart& part,
                                      int row, long long index) const {
    switch (layout_.BodyRow(index)) {
    case TLayout::TBodyRow::Student:
        PaintStudent(canvas, part, row, marked_.Students()[static_cast<std::size_t>(index)]);
        break;
    case TLayout::TBodyRow::Rate:
        canvas.Fill({TLayout::NumberCell(row).left, TLayout::NumberCell(row).top,
                     layout_.Grid(part, 0).width, TLayout::RowHeight},
                    HeaderTint);
        canvas.Text(TLayout::NameCell(row), texts_[TAnalysisText::Rate], TextLeft,
                    TPaperFont::Small);
        for (int column = 0; column < part.questions; ++column) {
            canvas.Text(layout_.QuestionCell(part, row, column), QuestionAt(part, column).rate,
                        TextCentre, TPaperFont::Small);
        }
        break;
    case TLayout::TBodyRow::None:
        break;
    }
}

void TClassListDocument::PaintStudent(TPaperCanvas& canvas, const TLayout::TColumnPart& part,
                                      int row, const TPaperStudent& student) const {
    canvas.Text(TLayout::NumberCell(row), marked_.Number(student), TextLeft, TPaperFont::Body);
    canvas.Text(TLayout::NameCell(row), marked_.Name(student), TextLeft, TPaperFont::Body);
    for (int column = 0; column < part.questions; ++column) {
        const TPaperRect cell = layout_.QuestionCell(part, row, column);
        const TPaperAnswer answer = marked_.Answer(student, QuestionAt(part, column));
        const QColor tint = VerdictTint(answer.verdict);
        if (!tint.isValid()) {
            canvas.ShrunkText(cell, answer.text, TextCentre, TPaperFont::Body);
            continue;
        }
        // The mark beside the answer, on its line, so that the row reads as one line also
        // where the text is taken from the file.
        canvas.Fill(cell, tint);
        canvas.ShrunkText({cell.left, cell.top, cell.width - MarkWidth, cell.height}, answer.text,
                          TextRight, TPaperFont::Body);
        canvas.Text({cell.Right() - MarkWidth - 0.5, cell.top, MarkWidth + 0.5, cell.height},
                    VerdictMark(answer.verdict), TextCentre, TPaperFont::Tiny);
    }
    if (part.hasScore) {
        canvas.Text(layout_.ScoreCell(part, row), FloatToStr(student.score, decimalSeparator_),
                    TextRight, TPaperFont::Body);
    }
}

void TClassListDocument::PaintGrid(TPaperCanvas& canvas, const TLayout::TColumnPart& part,
                                   int rows) const {
    const TPaperRect grid = layout_.Grid(part, rows);
    for (int row = 1; row < TLayout::HeaderRows + rows; ++row) {
        const double top = grid.top + row * TLayout::RowHeight;
        canvas.HorizontalLine(grid.left, grid.Right(), top,
                              row == TLayout::HeaderRows ? GridFrame : ThinLine);
    }
    canvas.VerticalLine(TLayout::NameCell(0).left, grid.top, grid.Bottom(), ThinLine);
    for (int column = 0; column < part.questions; ++column) {
        canvas.VerticalLine(layout_.QuestionCell(part, 0, column).left, grid.top, grid.Bottom(),
                            column == 0 ? GridFrame : ThinLine);
    }
    if (part.hasScore) {
        canvas.VerticalLine(layout_.ScoreCell(part, 0).left, grid.top, grid.Bottom(), GridFrame);
    }
    canvas.Frame(grid, GridFrame);
}
