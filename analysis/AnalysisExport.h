#pragma once

#include "analysis/AnalysisTexts.h"
#include "analysis/ItemAnalysis.h"
#include "table/store/AnswerTable.h"

#include <string>
#include <string_view>

/// The question table as plain UTF-8 text: a title line and one line per question, the columns
/// aligned for a terminal (a double-byte character takes two places), then one line per flag
/// with its reason.
std::string QuestionTableText(const TTestAnalysis& analysis, const TAnalysisTexts& texts,
                              char decimalSeparator);

/// The scores per student in the table's order, with the numbers and names of `table`, the
/// table analysed; an empty line; then the question figures. UTF-8 with a byte-order mark so
/// that spreadsheets read the Japanese, fields quoted as RFC 4180 asks, CR LF after every line.
std::string ResultsCsv(const TTestAnalysis& analysis, const TAnswerTable& table,
                       const TAnalysisTexts& texts, char decimalSeparator);

/// One field for a CSV line: quoted when it holds a comma, a quote or a line break. A text
/// from the table that a spreadsheet would take for a formula (it begins with "=", "+", "-",
/// "@" or a control character) is preceded by "'", so that opening the file runs nothing.
std::string CsvField(std::string_view utf8, bool fromTable);
