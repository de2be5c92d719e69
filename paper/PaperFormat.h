#pragma once

#include "analysis/AnalysisTexts.h"
#include "paper/MarkedClass.h"

#include <QColor>
#include <QString>
#include <optional>
#include <string>
#include <vector>

/// What the slips and the class list write alike.

/// Tints of the answers, light enough to read the answer through in black and white.
inline const QColor WrongTint(0xf4, 0xc7, 0xc3);
inline const QColor PartialTint(0xfc, 0xe8, 0xb2);
inline const QColor HeaderTint(0xe8, 0xe8, 0xe8);

/// ○, △ or ×.
QString VerdictMark(TVerdict verdict);
/// The tint of the answer's cell; invalid (no fill) for a right one.
QColor VerdictTint(TVerdict verdict);

/// What stands in a question's key cell: the key, or for a "#" question its points as
/// PointsQuestionKey words it ("#" alone without points).
std::string KeyText(const TPaperQuestion& question, const TAnalysisTexts& texts,
                    char decimalSeparator);
/// "score / full marks" as ScoreOf words it, or the score alone without full marks.
std::string ScoreText(const TMarkedClass& marked, double score, const TAnalysisTexts& texts,
                      char decimalSeparator);
/// How wide a question's column is drawn: so many millimetres per byte of its longest text
/// (the key as KeyText writes it, or an answer; a double-byte character is about twice as
/// wide as a single-byte one) and `extra` beside it.
struct TColumnMeasure {
    double perByte = 0;
    double extra = 0;
};
std::vector<double> QuestionWidths(const TMarkedClass& marked, const TAnalysisTexts& texts,
                                   char decimalSeparator, TColumnMeasure measure);

/// A mean or a deviation, with one decimal place.
std::string FigureText(double value, char decimalSeparator);
