#include "table/marking/Numbers.h"

#include "platform/CodePage.h"
#include "platform/ScientificNumber.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

constexpr int GeneralDigits = 15;
/// Digits the extended type is written with before any rounding of a format.
constexpr int SignificantDigits = 18;
/// Exponent digits are summed up to this bound only, so that no run of digits overflows; it
/// lies far outside the accepted exponents.
constexpr int ExponentBound = 100000;

class TNumberScanner {
public:
    TNumberScanner(std::string_view text, char decimalSeparator)
        : text_(text), decimalSeparator_(decimalSeparator) {}

    /// The text rewritten as "[-]0<digits>.<digits>e<exponent>", which ReadScientific reads
    /// whatever the global locale; nothing when the text does not follow the cell syntax.
    std::optional<std::string> Normalize() {
        SkipSpaces();
        std::string number;
        number.reserve(text_.size() + 16);
        if (Peek() == '+' || Peek() == '-') {
            if (Peek() == '-') {
                number += '-';
            }
            ++at_;
        }
        // The leading zero gives from_chars a digit also for "." and ".5".
        number += '0';
        if (!ReadMantissa(number)) {
            return std::nullopt;
        }
        const std::optional<int> exponent = ReadExponent();
        SkipSpaces();
        if (!exponent || at_ != text_.size()) {
            return std::nullopt;
        }
        number += 'e';
        number += std::to_string(*exponent);
        return number;
    }

private:
    char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    void SkipSpaces() {
        while (Peek() == ' ') {
            ++at_;
        }
    }

    bool ReadMantissa(std::string& number) {
        const std::size_t start = at_;
        bool hasSeparator = false;
        for (; at_ < text_.size(); ++at_) {
            if (IsDigit(text_[at_])) {
                number += text_[at_];
            } else if (text_[at_] == decimalSeparator_ && !hasSeparator) {
                hasSeparator = true;
                number += '.';
            } else {
                break;
            }
        }
        return at_ > start;
    }

    /// 0 when there is no exponent.
    std::optional<int> ReadExponent() {
        if (Peek() != 'E' && Peek() != 'e') {
            return 0;
        }
        ++at_;
        const bool negative = Peek() == '-';
        if (Peek() == '+' || Peek() == '-') {
            ++at_;
        }
        const std::size_t start = at_;
        int exponent = 0;
        for (; IsDigit(Peek()); ++at_) {
            exponent = std::min(exponent * 10 + (text_[at_] - '0'), ExponentBound);
        }
        if (negative) {
            exponent = -exponent;
        }
        if (at_ == start || exponent < LDBL_MIN_10_EXP || exponent > LDBL_MAX_10_EXP) {
            return std::nullopt;
        }
        return exponent;
    }

    std::string_view text_;
    char decimalSeparator_;
    std::size_t at_ = 0;
};

/// A non-negative value as decimal digits: 0.<digits> × 10^(exponent + 1), so `exponent` is
/// the power of ten of the first digit. No digits stand for zero.
struct TDecimal {
    std::string digits;
    int exponent = 0;
};

/// The 18 significant digits of a finite magnitude above zero.
TDecimal ToDecimal(long double magnitude) {
    // "d.ddddddddddddddddde+XXXX" at most.
    char text[32];
    std::snprintf(text, sizeof text, "%.*Le", SignificantDigits - 1, magnitude);
    TDecimal decimal;
    decimal.digits += text[0];
    decimal.digits.append(text + 2, SignificantDigits - 1);
    decimal.exponent = std::atoi(text + SignificantDigits + 2);
    return decimal;
}

/// Keeps `count` digits, rounding half up on the digit string, and drops trailing zeros.
void RoundDigits(TDecimal& decimal, int count) {
    std::string& digits = decimal.digits;
    if (count < 0) {
        digits.clear();
        return;
    }
    const auto kept = static_cast<std::size_t>(count);
    if (kept < digits.size()) {
        const bool roundUp = digits[kept] >= '5';
        digits.resize(kept);
        if (roundUp) {
            // Nines that carry become zeros at the end, which are dropped anyway.
            std::size_t end = kept;
            while (end > 0 && digits[end - 1] == '9') {
                --end;
            }
            digits.resize(end);
            if (end == 0) {
                digits = "1";
                ++decimal.exponent;
            } else {
                ++digits[end - 1];
            }
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
}

/// Empty below 1.
std::string IntegerDigits(const TDecimal& decimal) {
    if (decimal.exponent < 0) {
        return {};
    }
    const auto count = static_cast<std::size_t>(decimal.exponent) + 1;
    std::string integer = decimal.digits.substr(0, count);
    integer.resize(count, '0');
    return integer;
}

std::string FractionDigits(const TDecimal& decimal) {
    if (decimal.exponent < 0) {
        return std::string(static_cast<std::size_t>(-decimal.exponent - 1), '0') + decimal.digits;
    }
    const auto integerCount = static_cast<std::size_t>(decimal.exponent) + 1;
    return integerCount < decimal.digits.size() ? decimal.digits.substr(integerCount)
                                                : std::string();
}

std::string WithFraction(std::string integer, const std::string& fraction, char separator) {
    if (!fraction.empty()) {
        integer += separator;
        integer += fraction;
    }
    return integer;
}

std::string ScientificText(const TDecimal& decimal, char separator) {
    return WithFraction(decimal.digits.substr(0, 1), decimal.digits.substr(1), separator) + "E" +
           std::to_string(decimal.exponent);
}

std::string NonFiniteText(long double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    return value > 0 ? "INF" : "-INF";
}

std::string SignOf(long double value) {
    return value < 0 ? "-" : "";
}

} // namespace

EConvertError::EConvertError(std::string_view cellText)
    : EPelloranError(TUserText("NotANumber", "'%1' は浮動小数点数ではありません",
                               {TUserText::Literal(TCodePage::ToUtf8(cellText))})) {}

long double StrToFloat(std::string_view text, char decimalSeparator) {
    long double value = 0;
    if (!TryStrToFloat(text, decimalSeparator, value)) {
        throw EConvertError(text);
    }
    return value;
}

bool TryStrToFloat(std::string_view text, char decimalSeparator, long double& value) {
    if (const std::optional<std::int64_t> whole = ReadSmallWholeNumber(text)) {
        value = static_cast<long double>(*whole);
        return true;
    }
    const std::optional<std::string> number = TNumberScanner(text, decimalSeparator).Normalize();
    if (!number) {
        return false;
    }
    const std::optional<long double> read = ReadScientific(*number);
    if (!read) {
        return false;
    }
    value = *read;
    return true;
}

std::string FloatToStr(long double value, char decimalSeparator) {
    if (!std::isfinite(value)) {
        return NonFiniteText(value);
    }
    if (value == 0) {
        return "0";
    }
    // Most scores are whole numbers, whose digits need no rounding; the digit string of any
    // other value comes from the slower formatting of the C library.
    if (std::fabs(value) < 1e15L && value == std::trunc(value)) {
        return std::to_string(static_cast<long long>(value));
    }
    TDecimal decimal = ToDecimal(std::fabs(value));
    RoundDigits(decimal, GeneralDigits);
    if (decimal.exponent >= GeneralDigits || decimal.exponent < -4) {
        return SignOf(value) + ScientificText(decimal, decimalSeparator);
    }
    std::string integer = IntegerDigits(decimal);
    if (integer.empty()) {
        integer = "0";
    }
    return SignOf(value) + WithFraction(integer, FractionDigits(decimal), decimalSeparator);
}

std::string FormatOneDecimal(long double value, char decimalSeparator) {
    if (!std::isfinite(value)) {
        return NonFiniteText(value);
    }
    if (value == 0) {
        return {};
    }
    TDecimal decimal = ToDecimal(std::fabs(value));
    if (decimal.exponent >= SignificantDigits) {
        return FloatToStr(value, decimalSeparator);
    }
    RoundDigits(decimal, decimal.exponent + 2);
    if (decimal.digits.empty()) {
        return {};
    }
    return SignOf(value) +
           WithFraction(IntegerDigits(decimal), FractionDigits(decimal), decimalSeparator);
}

long double RoundToSignificantDigits(long double value, int digits) {
    if (!std::isfinite(value) || value == 0) {
        return value;
    }
    TDecimal decimal = ToDecimal(std::fabs(value));
    RoundDigits(decimal, digits);
    // The kept digits as a whole number times a power of ten.
    const std::string text =
        decimal.digits + "e" +
        std::to_string(decimal.exponent + 1 - static_cast<int>(decimal.digits.size()));
    const long double rounded = ReadScientific(text).value_or(0);
    return std::signbit(value) ? -rounded : rounded;
}

std::string FormatRate(long double value) {
    if (!std::isfinite(value)) {
        return NonFiniteText(value) + "%";
    }
    // Adding zero turns the -0 left by truncating a value above -1 into 0.
    const long double whole = std::trunc(value) + 0.0L;
    const int length = std::snprintf(nullptr, 0, "%.0Lf", whole);
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.0Lf", whole);
    return text + "%";
}
