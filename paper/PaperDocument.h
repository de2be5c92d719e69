#pragma once

#include "paper/PaperCanvas.h"

#include <QPageLayout>
#include <string>

/// A document on A4 paper that paints one page at a time, so that a document of thousands of
/// pages is never held whole.
class TPaperDocument {
public:
    virtual ~TPaperDocument() = default;

    virtual QPageLayout::Orientation Orientation() const = 0;
    virtual long long PageCount() const = 0;
    /// `page` from 0.
    virtual void PaintPage(TPaperCanvas& canvas, long long page) const = 0;
    /// The document's title, UTF-8, as a PDF viewer shows it.
    virtual std::string Title() const = 0;
};
