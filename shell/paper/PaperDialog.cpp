#include "shell/paper/PaperDialog.h"

#include "paper/ClassListDocument.h"
#include "paper/PaperOutput.h"
#include "paper/SlipDocument.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/Locale.h"
#include "shell/window/ShellText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <utility>

namespace {

/// A command's caption as a window title: without its access key and its "...".
QString PlainCaption(const std::string& caption) {
    QString plain = FromCodePage(caption);
    plain.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&(?=[^&])")));
    if (plain.endsWith(QStringLiteral("..."))) {
        plain.chop(3);
    }
    return plain.trimmed();
}

QString PdfSuffix(TPaperKind kind) {
    return kind == TPaperKind::Slips ? QStringLiteral("-slips.pdf") : QStringLiteral("-list.pdf");
}

} // namespace

TAnalysisText PaperCommandText(TPaperKind kind) {
    return kind == TPaperKind::Slips ? TAnalysisText::Slips : TAnalysisText::ClassList;
}

TPaperDialog::TPaperDialog(TPaperSetup setup, QWidget* parent)
    : QDialog(parent), setup_(std::move(setup)), decimalSeparator_(DecimalSeparator()),
      marked_(TMarkedClass::Read(setup_.table, setup_.texts, decimalSeparator_)) {
    const TAnalysisTexts& texts = setup_.texts;
    setWindowTitle(PlainCaption(texts[PaperCommandText(setup_.kind)]));

    Title = new QLineEdit(FromNativePath(setup_.answerFile.stem()), this);
    Title->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    auto* titleLabel = new QLabel(FromCodePage(texts[TAnalysisText::PaperTitle]), this);
    titleLabel->setBuddy(Title);
    auto* form = new QFormLayout;
    form->addRow(titleLabel, Title);

    SavePdf = new QPushButton(FromCodePage(texts[TAnalysisText::SavePdf]), this);
    Print = new QPushButton(FromCodePage(texts[TAnalysisText::Print]), this);
    PrintPreview = new QPushButton(FromCodePage(texts[TAnalysisText::PrintPreview]), this);
    SavePdf->setDefault(true);
    connect(SavePdf, &QPushButton::clicked, this, &TPaperDialog::SavePdfClick);
    connect(Print, &QPushButton::clicked, this, &TPaperDialog::PrintClick);
    connect(PrintPreview, &QPushButton::clicked, this, &TPaperDialog::PrintPreviewClick);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SavePdf);
    buttons->addWidget(Print);
    buttons->addWidget(PrintPreview);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

TPaperDialog::~TPaperDialog() = default;

std::unique_ptr<TPaperDocument> TPaperDialog::Document() const {
    const std::string title = ToCodePage(Title->text());
    if (setup_.kind == TPaperKind::Slips) {
        return std::make_unique<TSlipDocument>(marked_, setup_.texts, title, decimalSeparator_);
    }
    return std::make_unique<TClassListDocument>(marked_, setup_.table, setup_.texts, title,
                                                decimalSeparator_);
}

QString TPaperDialog::PdfProposal() const {
    if (setup_.answerFile.empty()) {
        return {};
    }
    return FromNativePath(setup_.answerFile.parent_path() / setup_.answerFile.stem()) +
           PdfSuffix(setup_.kind);
}

void TPaperDialog::SavePdfClick() {
    setup_.runCommand([this] {
        const std::optional<QString> fileName = setup_.services.GetSavePdfFileName(
            this, setup_.folder, PdfProposal(),
            FromCodePage(setup_.texts[TAnalysisText::PdfFilter]));
        if (fileName) {
            WritePdf(ToNativePath(*fileName), *Document(), setup_.table.ProgressListener());
        }
    });
}

void TPaperDialog::SetUpPrinter(QPrinter& printer) const {
    printer.setDocName(Title->text());
    printer.setFullPage(true);
}

void TPaperDialog::PrintOn(QPrinter& printer, const TPaperDocument& document) const {
    try {
        PrintDocument(printer, document, setup_.table.ProgressListener());
    } catch (const EPelloranError&) {
        // The printer tells no more than that it failed.
        throw EPelloranError(TCodePage::ToUtf8(setup_.texts[TAnalysisText::PrintFailed]));
    }
}

void TPaperDialog::PrintClick() {
    const std::unique_ptr<TPaperDocument> document = Document();
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, static_cast<int>(std::min<long long>(document->PageCount(), INT_MAX)));
    if (dialog.exec() == QDialog::Accepted) {
        setup_.runCommand([&] { PrintOn(printer, *document); });
    }
}

void TPaperDialog::PrintPreviewClick() {
    const std::unique_ptr<TPaperDocument> document = Document();
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&](QPrinter* shown) { setup_.runCommand([&] { PrintOn(*shown, *document); }); });
    preview.exec();
}
