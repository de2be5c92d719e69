#include "cli/paper/CliPdfPrinter.h"

#include "paper/ClassListDocument.h"
#include "paper/MarkedClass.h"
#include "paper/PaperOutput.h"
#include "paper/SlipDocument.h"

void TCliPdfPrinter::WriteSlips(const TCliPaperJob& job, const std::filesystem::path& fileName) {
    const TMarkedClass marked = TMarkedClass::Read(job.table, job.texts, job.decimalSeparator);
    WritePdf(fileName, TSlipDocument(marked, job.texts, job.title, job.decimalSeparator),
             job.table.ProgressListener());
}

void TCliPdfPrinter::WriteClassList(const TCliPaperJob& job,
                                    const std::filesystem::path& fileName) {
    const TMarkedClass marked = TMarkedClass::Read(job.table, job.texts, job.decimalSeparator);
    WritePdf(fileName,
             TClassListDocument(marked, job.table, job.texts, job.title, job.decimalSeparator),
             job.table.ProgressListener());
}
