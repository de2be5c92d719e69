#include "table/marking/TableWalks.h"

#include "table/marking/Numbers.h"

namespace {

/// Skips a run of digits and tells whether there was one.
bool SkipDigits(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    return at > start;
}

/// The mean as marking formats it: an optional minus, digits, one decimal after a separator;
/// a mean of 15 digits or more in the general form, with an exponent.
bool IsMeanText(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && text[at] == '-') {
        ++at;
    }
    bool hasDigits = SkipDigits(text, at);
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        ++at;
        if (!SkipDigits(text, at)) {
            return false;
        }
        hasDigits = true;
    }
    if (!hasDigits) {
        return false;
    }
    if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            ++at;
        }
        if (!SkipDigits(text, at)) {
            return false;
        }
    }
    return at == text.size();
}

} // namespace

bool IsResultMarker(std::string_view cell) {
    if (cell.size() < 2 || cell.front() != '<' || cell.back() != '>') {
        return false;
    }
    const std::string_view mean = cell.substr(1, cell.size() - 2);
    return mean.empty() || IsMeanText(mean);
}

int CountQuestions(const TAnswerTable& table) {
    int column = TAnswerTable::FirstQuestionColumn;
    while (!EndsQuestions(table.Cell(column, TAnswerTable::AnswerKeyRow))) {
        ++column;
    }
    return column - TAnswerTable::FirstQuestionColumn;
}

int LastStudentRow(const TAnswerTable& table) {
    int row = TAnswerTable::FirstStudentRow;
    while (HasStudentAfter(table, row)) {
        ++row;
    }
    return row;
}

int LastSavedRow(const TAnswerTable& table) {
    int row = TAnswerTable::PointsRow;
    while (HasStudentAfter(table, row)) {
        ++row;
    }
    return row;
}
