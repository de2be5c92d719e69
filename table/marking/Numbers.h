#pragma once

#include "platform/Errors.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// '0' to '9', the only digits the table's numbers are written with, whatever the locale.
constexpr bool IsDigit(char character) {
    return character >= '0' && character <= '9';
}

/// A cell of the answer table: column and row, both from 0.
struct TCellPlace {
    int column = 0;
    int row = 0;
    friend bool operator==(const TCellPlace&, const TCellPlace&) = default;
};

/// A text that is not a number. Message: "'%s' は浮動小数点数ではありません" with the cell's text
/// (decoded from code page 932 to UTF-8) in place of %s. The reader of a cell names the cell,
/// so that the user can be shown where it is; the message does not name it.
class EConvertError : public EPelloranError {
public:
    explicit EConvertError(std::string_view cellText);

    /// The cell that held the text; nothing when the text was read from no named cell.
    const std::optional<TCellPlace>& Cell() const { return cell_; }
    void SetCell(TCellPlace cell) { cell_ = cell; }

private:
    std::optional<TCellPlace> cell_;
};

/// Reads a cell as a number with the given decimal separator. Throws EConvertError.
/// Syntax: optional spaces (0x20 only), optional single + or -, digits holding at most one
/// decimal separator anywhere (at least one digit or the separator; a lone separator is 0),
/// optional exponent (E or e, optional sign, at least one digit), optional spaces; the whole
/// text must match. No thousands separators, no "inf"/"nan", no tabs.
/// The value is read in extended precision; a value too small for that type is no number,
/// nor is one whose exponent lies outside the powers of ten that type holds (1E5000, 0E5000).
long double StrToFloat(std::string_view text, char decimalSeparator);

/// The same, without throwing: false when the text is not a number (`value` then unchanged).
bool TryStrToFloat(std::string_view text, char decimalSeparator, long double& value);

/// A text of 1 to 18 digits and nothing else, the common points cell, which StrToFloat reads as
/// exactly this number; nothing for any other text. Inline: marking reads every points cell.
inline std::optional<std::int64_t> ReadSmallWholeNumber(std::string_view text) {
    constexpr std::size_t MaxDigits = 18;
    if (text.empty() || text.size() > MaxDigits) {
        return std::nullopt;
    }
    std::int64_t number = 0;
    for (const char character : text) {
        if (character < '0' || character > '9') {
            return std::nullopt;
        }
        number = number * 10 + (character - '0');
    }
    return number;
}

/// General number form with 15 significant digits (the score format): trailing zeros dropped,
/// exponent form ("1.5E15", "1E-5") from 16 integer digits on and below 0.0001.
/// Non-finite values give "NAN", "INF", "-INF".
std::string FloatToStr(long double value, char decimalSeparator);

/// The "##.#" / "###.#" format (both behave the same): one decimal place, half-way rounds away
/// from zero on the decimal digit string, no leading zero (0.5 -> ".5"), no separator when the
/// rounded fraction is zero (12.0 -> "12"), empty text when it rounds to zero (no "-" either);
/// more than 18 integer digits -> the general form.
std::string FormatOneDecimal(long double value, char decimalSeparator);

/// The value rounded to `digits` significant decimal digits, half-way away from zero on its
/// 18-digit decimal form.
long double RoundToSignificantDigits(long double value, int digits);

/// The rate format: the value truncated toward zero to a whole number, "-" when negative,
/// followed by "%". Every digit is written however large the value.
std::string FormatRate(long double value);
