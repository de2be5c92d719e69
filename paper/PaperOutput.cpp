#include "paper/PaperOutput.h"

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Paths.h"

#include <QGuiApplication>
#include <QIODevice>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

namespace {

/// PDF pages are written at this resolution: fine enough for hairlines, coarse enough for
/// small numbers in the file.
constexpr int PdfResolution = 600;
/// Bytes gathered before they go to the file: the PDF engine writes in small pieces.
constexpr std::size_t WriteChunk = 1 << 16;

/// A QIODevice over a TAtomicFileWriter. A failure to write cannot pass through the PDF
/// engine, which goes on writing: it is kept and raised by Commit.
class TAtomicFileDevice : public QIODevice {
public:
    explicit TAtomicFileDevice(const std::filesystem::path& fileName) : writer_(fileName) {
        open(QIODevice::WriteOnly);
    }

    void Commit() {
        Flush();
        RethrowFailure();
        writer_.Commit();
    }

    /// The failure to write that the PDF engine could not pass on, with its cause, if any.
    void RethrowFailure() const {
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* bytes, qint64 count) override {
        if (failure_) {
            return -1;
        }
        buffer_.append(bytes, static_cast<std::size_t>(count));
        if (buffer_.size() >= WriteChunk) {
            Flush();
        }
        return failure_ ? -1 : count;
    }

private:
    void Flush() {
        if (failure_ || buffer_.empty()) {
            return;
        }
        try {
            writer_.Write(buffer_);
            buffer_.clear();
        } catch (...) {
            failure_ = std::current_exception();
        }
    }

    TAtomicFileWriter writer_;
    std::string buffer_;
    std::exception_ptr failure_;
};

void UseWholeSheet(QPagedPaintDevice& device, const TPaperDocument& document) {
    device.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), document.Orientation(), QMarginsF(0, 0, 0, 0)));
}

} // namespace

void PaintDocument(QPagedPaintDevice& device, const TPaperDocument& document, long long first,
                   long long last, TProgress& progress) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        throw std::logic_error("painting on paper needs a QGuiApplication");
    }
    RegisterPaperFontSubstitutes();
    UseWholeSheet(device, document);
    QPainter painter;
    if (!painter.begin(&device)) {
        throw EPelloranError("the paper cannot be painted on");
    }
    TPaperCanvas canvas(painter);
    for (long long page = first; page <= last; ++page) {
        progress.Advance(static_cast<std::uint64_t>(page - first));
        if (page > first && !device.newPage()) {
            throw EPelloranError("the paper cannot take another page");
        }
        document.PaintPage(canvas, page);
    }
    if (!painter.end()) {
        throw EPelloranError("the paper cannot be finished");
    }
}

void WritePdf(const std::filesystem::path& fileName, const TPaperDocument& document,
              TProgressListener* listener) {
    TAtomicFileDevice file(fileName);
    {
        QPdfWriter writer(&file);
        writer.setResolution(PdfResolution);
        writer.setCreator(QStringLiteral("Pelloran"));
        writer.setTitle(QString::fromStdString(document.Title()));
        TProgress progress(listener, TProgressTask::Pdf,
                           static_cast<std::uint64_t>(document.PageCount()));
        try {
            PaintDocument(writer, document, 0, document.PageCount() - 1, progress);
        } catch (const EPelloranError&) {
            file.RethrowFailure();
            throw EFileCreateError(PathText(fileName));
        }
    }
    file.Commit();
}

void PrintDocument(QPrinter& printer, const TPaperDocument& document, TProgressListener* listener) {
    printer.setFullPage(true);
    const long long last = document.PageCount() - 1;
    long long first = 0;
    long long until = last;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::min<long long>(printer.fromPage() - 1, last);
        until = std::clamp<long long>(printer.toPage() - 1, first, last);
    }
    TProgress progress(listener, TProgressTask::Print,
                       static_cast<std::uint64_t>(until - first + 1));
    PaintDocument(printer, document, first, until, progress);
}
