#pragma once

#include "cli/CliPaperPrinter.h"

/// Writes the slips and the class list as PDF files with the paper's painting (Qt). Needs a
/// TPaperApplication for as long as it writes.
class TCliPdfPrinter : public TCliPaperPrinter {
public:
    void WriteSlips(const TCliPaperJob& job, const std::filesystem::path& fileName) override;
    void WriteClassList(const TCliPaperJob& job, const std::filesystem::path& fileName) override;
};
