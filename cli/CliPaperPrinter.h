#pragma once

#include "analysis/AnalysisTexts.h"
#include "table/store/AnswerTable.h"

#include <filesystem>
#include <string>

/// What a paper command prints from.
struct TCliPaperJob {
    const TAnswerTable& table;
    const TAnalysisTexts& texts;
    /// The test's name, in the code page.
    std::string title;
    char decimalSeparator;
};

/// Writes what the paper commands print. Its painting needs Qt, which only pelloran-cli-paper
/// links, so that every other command starts without it.
class TCliPaperPrinter {
public:
    virtual ~TCliPaperPrinter() = default;

    /// Throw what the paper's readers and writers raise: a table not marked, a file that
    /// cannot be written.
    virtual void WriteSlips(const TCliPaperJob& job, const std::filesystem::path& fileName) = 0;
    virtual void WriteClassList(const TCliPaperJob& job, const std::filesystem::path& fileName) = 0;
};
