#pragma once

#include <cstdint>
#include <string>

inline constexpr std::uint64_t DefaultBenchSeed = 1;

/// An answer file as a teacher would keep it, in the form the program saves: the answer key
/// (letters "a" to "e", about one question in ten a points question "#"), the points, then
/// one line per student in no particular order with a Shift-JIS name and answers that are
/// mostly right, some wrong, upper-case or empty. The same seed gives the same bytes.
std::string GenerateAnswerFile(int students, int questions, std::uint64_t seed = DefaultBenchSeed);

/// The roster of the same students, "number,name" lines in number order.
std::string GenerateRoster(int students, std::uint64_t seed = DefaultBenchSeed);
