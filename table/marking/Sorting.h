#pragma once

#include "platform/Collator.h"
#include "table/store/AnswerTable.h"

#include <cstddef>

/// Up to this many bytes of sort keys, a sort asks the collator for whole keys: they cost about
/// 40 ns a byte, while the weights that order most rows by their first characters cost tens of
/// milliseconds to find, once per process. Above it, the rows' first characters order them and
/// only the rows those leave in doubt get whole keys; the order is the same either way.
inline constexpr std::size_t SortWholeKeysUpTo = std::size_t{2} << 20;

/// Puts the student rows in ascending order of their row text (the cells of the saved
/// columns, each followed by a comma), compared as the user's locale orders text, case
/// ignored. Each row moves whole: every cell from column 1 on goes with it. `wholeKeysUpTo`
/// chooses the way of sorting (see SortWholeKeysUpTo); tests lower it to sort small tables
/// the way large ones are sorted.
void SortByNumber(TAnswerTable& table, const TCollator& collator,
                  std::size_t wholeKeysUpTo = SortWholeKeysUpTo);

/// Puts the student rows in descending order of the score text, left-padded with "0" to four
/// bytes, then of the row text; the score column is question count + 3. Rows move whole.
/// `wholeKeysUpTo` as for SortByNumber.
void SortByScore(TAnswerTable& table, const TCollator& collator,
                 std::size_t wholeKeysUpTo = SortWholeKeysUpTo);

/// SortByScore, refused with EPelloranError until marking has enabled Sort by score: before
/// that the score column is a guess.
void SortMarkedTableByScore(TAnswerTable& table, const TCollator& collator);

/// Builds the user's collator and what a sort of a table of this many text bytes needs of it,
/// as the first sort would: the tailored collator and its weights take tens of milliseconds,
/// which a caller may spend beforehand on another thread. Thread-safe.
void PrepareCollatorToSort(std::size_t tableTextBytes);
