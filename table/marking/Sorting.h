#pragma once

#include "platform/Collator.h"
#include "table/store/AnswerTable.h"

/// Puts the student rows in ascending order of their row text (the cells of the saved
/// columns, each followed by a comma), compared as the user's locale orders text, case
/// ignored. Each row moves whole: every cell from column 1 on goes with it.
void SortByNumber(TAnswerTable& table, const TCollator& collator);

/// Puts the student rows in descending order of the score text, left-padded with "0" to four
/// bytes, then of the row text; the score column is question count + 3. Rows move whole.
void SortByScore(TAnswerTable& table, const TCollator& collator);

/// SortByScore, refused with EPelloranError until marking has enabled Sort by score: before
/// that the score column is a guess.
void SortMarkedTableByScore(TAnswerTable& table, const TCollator& collator);

/// Builds the user's collator and what a sort of a table of this many text bytes needs of it,
/// as the first sort would: the tailored collator and its weights take tens of milliseconds,
/// which a caller may spend beforehand on another thread. Thread-safe.
void PrepareCollatorToSort(std::size_t tableTextBytes);
