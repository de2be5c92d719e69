#pragma once

#include "paper/PaperGeometry.h"

#include <vector>

/// Where the slips go on A4 paper, portrait. A slip holds a heading (the test, the student,
/// the score, the rank, the class's figures) and the questions in bands as wide as the slip,
/// each band rows for the question number, the answer, the key, right or wrong, and the
/// points earned. As many slips as fit share a page, each in a slot of equal height with a cut
/// line between the slots; a slip too tall for a page is split into parts, one page each,
/// every part with the heading again.
class TSlipLayout {
public:
    /// The rows of a band, top down.
    enum TBandRow { NumberRow, AnswerRow, KeyRow, MarkRow, EarnedRow, BandRows };

    static constexpr double PageWidth = A4ShortSide;
    static constexpr double PageHeight = A4LongSide;
    /// Inside a slot, around the slip's content.
    static constexpr double Padding = 4;
    static constexpr double HeadingHeight = 17;
    static constexpr double LabelWidth = 14;
    /// The narrowest question column, and the widest: a longer answer is cut.
    static constexpr double QuestionWidth = 11.2;
    static constexpr double WidestQuestion = 40;
    static constexpr double RowHeight = 5.2;
    static constexpr double BandGap = 2;

    /// Each question's column width (clamped to QuestionWidth..WidestQuestion); at least one.
    explicit TSlipLayout(const std::vector<double>& questionWidths);
    /// `questions` columns of QuestionWidth.
    explicit TSlipLayout(int questions);

    int Questions() const { return static_cast<int>(left_.size()) - 1; }
    int Bands() const { return static_cast<int>(bandFirst_.size()) - 1; }
    /// Parts of one slip: 1 unless the slip is taller than a page.
    int Parts() const { return parts_; }
    /// Slips (or parts of one) per page.
    int SlotsPerPage() const { return slotsPerPage_; }
    double SlotHeight() const;
    /// Pages for so many students.
    long long PageCount(long long students) const;

    /// What the slot `slot` of page `page` holds: the student's index and the part of the
    /// slip, or nothing (student -1) past the last student.
    struct TPiece {
        long long student = -1;
        int part = 0;
    };
    TPiece PieceAt(long long students, long long page, int slot) const;

    /// The slot's rectangle, the slip's content inside it, and its heading.
    TPaperRect Slot(int slot) const;
    TPaperRect Content(int slot) const;
    TPaperRect Heading(int slot) const;
    int BandsIn(int part) const;
    /// The first question of the band, 0 for question 1, and how many it holds.
    int FirstQuestionOf(int part, int band) const;
    int QuestionsIn(int part, int band) const;
    /// The cell of `row` for the `column`-th question of the band (0 first); column -1 is the
    /// label column.
    TPaperRect Cell(int slot, int part, int band, TBandRow row, int column) const;

private:
    static double BandHeight() { return static_cast<int>(BandRows) * RowHeight; }
    static double SlipHeight(int bands);
    int BandIndex(int part, int band) const { return part * bandsPerPart_ + band; }

    /// Each question's left edge from the start of the questions, the last entry the end.
    std::vector<double> left_;
    /// Each band's first question, the last entry the question count.
    std::vector<int> bandFirst_;
    int bandsPerPart_ = 1;
    int parts_ = 1;
    int slotsPerPage_ = 1;
};
