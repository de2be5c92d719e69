#pragma once

#include "analysis/AnalysisTexts.h"
#include "analysis/ItemAnalysis.h"

#include <optional>
#include <string>
#include <vector>

/// The analysis's figures as every view of it writes them, in the code page, numbers with the
/// given decimal separator. A missing figure is written as MissingFigure.

inline constexpr std::string_view MissingFigure = "-";

/// `decimals` places, rounded half away from zero; "-0" is written as "0".
std::string FormatFixed(double value, int decimals, char decimalSeparator);
/// At most `decimals` places, trailing zeros dropped: 61.25 with 1 place gives "61.3", 60 "60".
std::string FormatUpTo(double value, int decimals, char decimalSeparator);

/// A share as a percentage with one place: 0.6667 gives "66.7%".
std::string FormatShare(std::optional<double> share, char decimalSeparator);
/// A discrimination, correlation or reliability with two places ("0.40", "-0.13").
std::string FormatCoefficient(std::optional<double> value, char decimalSeparator);
/// A score or a count of points, as marking writes scores but rounded to two places.
std::string FormatScore(std::optional<double> value, char decimalSeparator);

/// One line of a question's figures, in the order of QuestionColumns.
std::vector<std::string> QuestionCells(const TQuestionAnalysis& question,
                                       const TAnalysisTexts& texts, char decimalSeparator);
/// The titles of the question figures: number, key, points, answered, facility,
/// discrimination, item-rest correlation, flags, answers.
std::vector<std::string> QuestionColumns(const TAnalysisTexts& texts);

/// Every answer given with its count, most given first, the key marked with "*", the blanks
/// last: «c*=24, a=3, 無答=1».
std::string AnswersText(const TQuestionAnalysis& question, const TAnalysisTexts& texts);

/// The flag's short name in the language file's words.
std::string FlagName(TItemFlag flag, const TAnalysisTexts& texts);
/// Why the question has the flag, in words with its figures.
std::string FlagReason(const TQuestionAnalysis& question, TItemFlag flag,
                       const TAnalysisTexts& texts, char decimalSeparator);
/// The flags' names joined with ", ".
std::string FlagNames(const TQuestionAnalysis& question, const TAnalysisTexts& texts);

/// The per-test figures as (title, value) lines, in the order the views show them.
std::vector<std::pair<std::string, std::string>>
TestFigureLines(const TTestFigures& figures, const TAnalysisTexts& texts, char decimalSeparator);

/// Bin i's start, as written under the histogram.
std::string BinLabel(const THistogram& histogram, std::size_t bin, char decimalSeparator);
