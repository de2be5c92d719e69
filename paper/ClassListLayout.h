#pragma once

#include "paper/PaperGeometry.h"

#include <vector>

/// Where the class list goes on A4 paper, landscape. Every page has a title line (with the
/// class's figures), the header rows (question numbers, the key, the points) and as many body
/// rows as fit: the students, then the rate row. Columns that do not fit the width go on
/// further pages, each with the number and name columns again; the score column follows the
/// last question. Pages run across the columns first, so that the pages of the same students
/// lie side by side.
class TClassListLayout {
public:
    enum THeaderRow { QuestionRow, KeyRow, PointsRow, HeaderRows };
    /// What a body row holds.
    enum class TBodyRow { Student, Rate, None };

    static constexpr double PageWidth = A4LongSide;
    static constexpr double PageHeight = A4ShortSide;
    static constexpr double TitleHeight = 8;
    static constexpr double FooterHeight = 6;
    static constexpr double RowHeight = 5;
    static constexpr double NumberWidth = 20;
    static constexpr double NameWidth = 34;
    /// The narrowest question column, and the widest: a longer answer is cut.
    static constexpr double QuestionWidth = 10;
    static constexpr double WidestQuestion = 40;
    static constexpr double ScoreWidth = 14;
    /// The rows after the students: the rates.
    static constexpr int SummaryRows = 1;

    /// The questions of one page's columns, and whether the score column follows them.
    struct TColumnPart {
        int firstQuestion = 0;
        int questions = 0;
        bool hasScore = false;
    };

    /// Each question's column width (clamped to QuestionWidth..WidestQuestion), at least one;
    /// `students` at least 1.
    TClassListLayout(const std::vector<double>& questionWidths, long long students);
    /// `questions` columns of QuestionWidth.
    TClassListLayout(int questions, long long students);

    static int RowsPerPage();
    const std::vector<TColumnPart>& ColumnParts() const { return columnParts_; }
    long long RowParts() const { return rowParts_; }
    long long PageCount() const { return rowParts_ * static_cast<long long>(columnParts_.size()); }

    const TColumnPart& ColumnPartOf(long long page) const;
    /// The body rows of the page: first index and count, counted over all body rows.
    long long FirstRowOf(long long page) const;
    int RowsOn(long long page) const;
    /// What body row `index` (over all pages) holds; for a student, `index` is its index.
    TBodyRow BodyRow(long long index) const;

    static TPaperRect Title();
    static TPaperRect Footer();
    /// Row `row` of the header (THeaderRow) or of the body (HeaderRows + the row's place on
    /// its page), in the number, name, question (0 first on its page) or score column.
    static TPaperRect NumberCell(int row);
    static TPaperRect NameCell(int row);
    TPaperRect QuestionCell(const TColumnPart& part, int row, int column) const;
    TPaperRect ScoreCell(const TColumnPart& part, int row) const;
    /// The whole grid of the page: its rows and columns.
    TPaperRect Grid(const TColumnPart& part, int rows) const;

private:
    /// The width of the part's questions.
    double QuestionsWidth(const TColumnPart& part) const;

    long long students_;
    long long rowParts_;
    /// Each question's left edge from the start of the questions, the last entry the end.
    std::vector<double> left_;
    std::vector<TColumnPart> columnParts_;
};
