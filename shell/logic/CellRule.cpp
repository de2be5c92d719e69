#include "shell/logic/CellRule.h"

#include "table/store/AnswerTable.h"

TCellRule CellRule(int column, int row, int questionCount) {
    if (column >= TAnswerTable::FirstQuestionColumn && row >= 1 &&
        column != TAnswerTable::StatisticsLabelColumn(questionCount)) {
        return TCellRule::Data;
    }
    if (row == 0 || column == 0) {
        return TCellRule::Fixed;
    }
    return TCellRule::Plain;
}
