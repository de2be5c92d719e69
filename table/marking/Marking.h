#pragma once

#include "table/store/AnswerTable.h"

/// Marks the test: scores every student, paints wrong answers silver, writes the scores, a
/// rate per question, the mean and the standard deviation, and enables Sort by score. Lets
/// the view process messages at the points where it must paint in the colour of the moment.
/// A points cell that is not a number stops the command with EConvertError, a score or sum
/// beyond the range of a double with EPelloranError; what was written before stays and the
/// highlight colour is white again.
void MarkTable(TAnswerTable& table, char decimalSeparator);
