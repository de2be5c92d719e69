#pragma once

#include <optional>
#include <string_view>

/// The value of "[-]<digits>[.<digits>]e<exponent>" in the extended type, read whole (all the
/// bits of its significand); nothing when it lies beyond the type's range.
std::optional<long double> ReadScientific(std::string_view number);
