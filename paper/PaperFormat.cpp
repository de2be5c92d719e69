#include "paper/PaperFormat.h"

#include "analysis/AnalysisFormat.h"
#include "table/marking/Numbers.h"

#include <algorithm>

QString VerdictMark(TVerdict verdict) {
    switch (verdict) {
    case TVerdict::Right:
        return QStringLiteral("○");
    case TVerdict::Partial:
        return QStringLiteral("△");
    case TVerdict::Wrong:
        break;
    }
    return QStringLiteral("×");
}

QColor VerdictTint(TVerdict verdict) {
    switch (verdict) {
    case TVerdict::Right:
        break;
    case TVerdict::Partial:
        return PartialTint;
    case TVerdict::Wrong:
        return WrongTint;
    }
    return {};
}

std::string KeyText(const TPaperQuestion& question, const TAnalysisTexts& texts,
                    char decimalSeparator) {
    if (!question.rule.isPointsQuestion || !question.points) {
        return question.key;
    }
    return texts.Format(TAnalysisText::PointsQuestionKey,
                        {FloatToStr(*question.points, decimalSeparator)});
}

std::string ScoreText(const TMarkedClass& marked, double score, const TAnalysisTexts& texts,
                      char decimalSeparator) {
    const std::string scoreText = FloatToStr(score, decimalSeparator);
    if (!marked.Attainable()) {
        return scoreText;
    }
    return texts.Format(TAnalysisText::ScoreOf,
                        {scoreText, FloatToStr(*marked.Attainable(), decimalSeparator)});
}

std::vector<double> QuestionWidths(const TMarkedClass& marked, const TAnalysisTexts& texts,
                                   char decimalSeparator, TColumnMeasure measure) {
    const std::vector<std::size_t> longest = marked.LongestAnswers();
    std::vector<double> widths;
    for (std::size_t at = 0; at < longest.size(); ++at) {
        const std::size_t bytes =
            std::max(longest[at], KeyText(marked.Questions()[at], texts, decimalSeparator).size());
        widths.push_back(static_cast<double>(bytes) * measure.perByte + measure.extra);
    }
    return widths;
}

std::string FigureText(double value, char decimalSeparator) {
    return FormatFixed(value, 1, decimalSeparator);
}
