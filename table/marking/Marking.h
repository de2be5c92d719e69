#pragma once

#include "table/marking/Numbers.h"
#include "table/store/AnswerTable.h"

#include <exception>
#include <string>

/// Mark would not mark the table, or stopped at a cell: the message names the cell (the
/// student and the question) and why.
class EMarkError : public EPelloranError {
public:
    EMarkError(const TUserText& text, TCellPlace cell);
    const TCellPlace& Cell() const { return cell_; }

private:
    TCellPlace cell_;
};

/// Refuses (EMarkError) a table that Mark would write over the teacher's text or mark without a
/// student: a row with text below the first empty number cell (the rate row of an earlier Mark
/// aside), or text in the column the scores go into or in the statistics column (rows 1 and 2)
/// that an earlier Mark did not write: the column after the last question holds an earlier
/// Mark's results only when its answer-key cell holds the result marker.
void CheckMarkable(const TAnswerTable& table, int questionCount);

/// The failure that stopped Mark at `cell`, with the cell's place before its text.
EMarkError MarkErrorAt(const TAnswerTable& table, TCellPlace cell, const std::exception& failure);

/// Marks the test: scores every student, paints wrong answers silver, writes the scores, a
/// rate per question, the mean and the standard deviation, and enables Sort by score. Lets
/// the view process messages at the points where it must paint in the colour of the moment.
/// A table CheckMarkable refuses is refused before any cell is written. A points cell that is
/// not a number stops the command with EMarkError naming the cell, a score or sum beyond the
/// range of a double with EPelloranError; what was written before stays (the history writes it
/// back) and the highlight colour is white again.
void MarkTable(TAnswerTable& table, char decimalSeparator);
