#pragma once

#include "paper/PaperDocument.h"
#include "table/progress/Progress.h"

#include <filesystem>

class QPagedPaintDevice;
class QPrinter;

/// Paints pages `first` to `last` (from 0) of the document on the device, one after the
/// other, each page dropped once painted: A4 in the document's orientation, places measured
/// from the sheet's corner. The one way to paper, for a PDF file and for a printer alike.
/// Throws EPelloranError when the device cannot be painted on. `progress` counts the pages.
void PaintDocument(QPagedPaintDevice& device, const TPaperDocument& document, long long first,
                   long long last, TProgress& progress);

/// Writes the whole document as a PDF file with its fonts embedded. The file replaces an
/// earlier one only once complete (as a save does); throws EFileCreateError when it cannot be
/// written. The pages written are told to `listener` (null for nobody); a PDF stopped by the
/// user (ECancelledError) leaves no file.
void WritePdf(const std::filesystem::path& fileName, const TPaperDocument& document,
              TProgressListener* listener = nullptr);

/// Prints on a printer the print dialog has set up: the pages it asks for (all when it asks
/// for no range), on the whole sheet. The pages printed are told to `listener`, which cannot
/// stop the printer halfway.
void PrintDocument(QPrinter& printer, const TPaperDocument& document,
                   TProgressListener* listener = nullptr);
