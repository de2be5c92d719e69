#pragma once

#include "analysis/AnalysisTexts.h"
#include "paper/MarkedClass.h"
#include "paper/PaperDocument.h"
#include "paper/SlipLayout.h"

#include <string>

/// A slip for every student of a marked class, in the order of the table.
class TSlipDocument : public TPaperDocument {
public:
    /// `title` in the code page; the class and the texts must outlive the document.
    TSlipDocument(const TMarkedClass& marked, const TAnalysisTexts& texts, std::string title,
                  char decimalSeparator);

    QPageLayout::Orientation Orientation() const override { return QPageLayout::Portrait; }
    long long PageCount() const override;
    void PaintPage(TPaperCanvas& canvas, long long page) const override;
    std::string Title() const override;

    const TSlipLayout& Layout() const { return layout_; }

private:
    void PaintSlip(TPaperCanvas& canvas, int slot, const TPaperStudent& student, int part) const;
    void PaintHeading(TPaperCanvas& canvas, int slot, const TPaperStudent& student, int part) const;
    void PaintBand(TPaperCanvas& canvas, int slot, const TPaperStudent& student, int part,
                   int band) const;

    const TMarkedClass& marked_;
    const TAnalysisTexts& texts_;
    std::string title_;
    char decimalSeparator_;
    TSlipLayout layout_;
};
