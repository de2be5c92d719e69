#include "table/marking/MarkingRules.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "table/marking/Numbers.h"
#include "table/marking/TableWalks.h"

#include <cmath>

void ThrowHeldOverflow() {
    throw EPelloranError(TUserText("FloatOverflow", "浮動小数点オーバーフロー"));
}

std::vector<TQuestionRule> FindQuestions(const TAnswerTable& table, char decimalSeparator) {
    std::vector<TQuestionRule> questions;
    for (int column = TAnswerTable::FirstQuestionColumn;
         !EndsQuestions(table.Cell(column, TAnswerTable::AnswerKeyRow)); ++column) {
        TQuestionRule question;
        question.column = column;
        const std::string_view key = table.Cell(column, TAnswerTable::AnswerKeyRow);
        question.isPointsQuestion = IsPointsKey(key);
        if (!question.isPointsQuestion) {
            question.loweredKey = TCodePage::LowerCase(key);
            long double points = 0;
            if (TryStrToFloat(table.Cell(column, TAnswerTable::PointsRow), decimalSeparator,
                              points)) {
                question.points = HeldAsDouble(points);
            }
        }
        questions.push_back(std::move(question));
    }
    return questions;
}

long double AttainablePoints(const TAnswerTable& table, const TQuestionRule& question,
                             char decimalSeparator) {
    const std::string_view attainable = table.Cell(question.column, TAnswerTable::PointsRow);
    return attainable.empty() ? 0 : StrToFloat(attainable, decimalSeparator);
}

TScoreSpread PopulationSpread(const std::vector<double>& scores) {
    const auto count = static_cast<long double>(scores.size());
    double mean = 0;
    for (const double score : scores) {
        mean = HeldAsDouble(mean + static_cast<long double>(score) / count);
    }
    double squares = 0;
    for (const double score : scores) {
        const long double deviation = static_cast<long double>(score) - mean;
        squares = HeldAsDouble(squares + deviation * deviation / count);
    }
    return {mean, std::sqrt(static_cast<long double>(squares))};
}
