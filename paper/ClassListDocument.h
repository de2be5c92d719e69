#pragma once

#include "analysis/AnalysisTexts.h"
#include "paper/ClassListLayout.h"
#include "paper/MarkedClass.h"
#include "paper/PaperDocument.h"

#include <string>

/// The marked table as a list to print: key and points, every student's answers with the
/// wrong ones marked, the scores and the rates, the mean and the deviation on every page.
class TClassListDocument : public TPaperDocument {
public:
    /// `title` in the code page; the class, the table it was read from and the texts must
    /// outlive the document.
    TClassListDocument(const TMarkedClass& marked, const TAnswerTable& table,
                       const TAnalysisTexts& texts, std::string title, char decimalSeparator);

    QPageLayout::Orientation Orientation() const override { return QPageLayout::Landscape; }
    long long PageCount() const override { return layout_.PageCount(); }
    void PaintPage(TPaperCanvas& canvas, long long page) const override;
    std::string Title() const override;

    const TClassListLayout& Layout() const { return layout_; }

private:
    void PaintHeader(TPaperCanvas& canvas, const TClassListLayout::TColumnPart& part) const;
    void PaintBodyRow(TPaperCanvas& canvas, const TClassListLayout::TColumnPart& part, int row,
                      long long index) const;
    void PaintStudent(TPaperCanvas& canvas, const TClassListLayout::TColumnPart& part, int row,
                      const TPaperStudent& student) const;
    void PaintGrid(TPaperCanvas& canvas, const TClassListLayout::TColumnPart& part, int rows) const;
    const TPaperQuestion& QuestionAt(const TClassListLayout::TColumnPart& part, int column) const;

    const TMarkedClass& marked_;
    const TAnswerTable& table_;
    const TAnalysisTexts& texts_;
    std::string title_;
    char decimalSeparator_;
    TClassListLayout layout_;
};
