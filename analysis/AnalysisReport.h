#pragma once

#include "analysis/AnalysisTexts.h"
#include "analysis/ItemAnalysis.h"
#include "table/store/AnswerTable.h"

#include <string>
#include <string_view>

/// The analysis that the report, the results and the printed question table show; a table
/// without questions is refused with the text NoQuestions, as they would show nothing.
TTestAnalysis AnalyseTestForOutput(const TAnswerTable& table, const TAnalysisTexts& texts,
                                   char decimalSeparator);

/// The results report: one self-contained HTML page in UTF-8 (no scripts, no files beside it,
/// the histogram as inline SVG) that prints on A4, with the test's figures, the question table
/// with its flags and answer counts, and the score list in the order of the table, whose
/// numbers and names it takes from `table`, the table analysed. `fileName` (UTF-8) names the
/// test on the page; empty for none.
std::string AnalysisReportHtml(const TTestAnalysis& analysis, const TAnswerTable& table,
                               const TAnalysisTexts& texts, std::string_view fileName,
                               char decimalSeparator);

/// The histogram as an SVG element of its own, bars, axes and labels drawn inside.
std::string HistogramSvg(const THistogram& histogram, const TAnalysisTexts& texts,
                         char decimalSeparator);
