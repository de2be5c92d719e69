#include "table/marking/Numbers.h"

#include <cfloat>
#include <cstdint>
#include <gtest/gtest.h>
#include <iomanip>
#include <limits>
#include <optional>
#include <string>
#include <utility>

namespace {

struct TReadCase {
    const char* name;
    std::string text;
    char separator;
    bool isNumber;
    long double value;
    friend void PrintTo(const TReadCase& value, std::ostream* out) { *out << value.name; }
};

class StrToFloatTest : public testing::TestWithParam<TReadCase> {};

TEST_P(StrToFloatTest, ReadsTheCellSyntaxOnly) {
    const TReadCase& read = GetParam();
    long double value = -1;
    ASSERT_EQ(TryStrToFloat(read.text, read.separator, value), read.isNumber) << read.text;
    if (read.isNumber) {
        EXPECT_EQ(value, read.value) << read.text;
        EXPECT_EQ(StrToFloat(read.text, read.separator), read.value) << read.text;
    } else {
        EXPECT_EQ(value, -1) << read.text;
        EXPECT_THROW(StrToFloat(read.text, read.separator), EConvertError) << read.text;
    }
}

TReadCase Number(const char* name, std::string text, long double value, char separator = '.') {
    return {name, std::move(text), separator, true, value};
}

TReadCase NotNumber(const char* name, std::string text, char separator = '.') {
    return {name, std::move(text), separator, false, 0};
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, StrToFloatTest,
    testing::Values(
        Number("SpacesAround", " 0 ", 0), Number("LoneSeparator", ".", 0),
        Number("SignedLoneSeparator", "-.", 0), Number("SignedExponent", "+1.5e2", 150),
        Number("SeparatorLast", "1.", 1), Number("SeparatorFirst", ".5", 0.5L),
        Number("NegativeExponent", "-25E-1", -2.5L), Number("ExponentZeros", "1e0003", 1000),
        Number("CommaSeparator", "1,5", 1.5L, ','), Number("NearDoubleMax", "1.79e308", 1.79e308L),
        Number("TenThousandDigits", "0." + std::string(10000, '3'), 1.0L / 3),
        Number("LeadingZeroDigits", std::string(10000, '0') + "7", 7),
        Number("MegabyteOfSpaces", std::string(1 << 19, ' ') + "5" + std::string(1 << 19, ' '), 5),
        NotNumber("Empty", ""), NotNumber("Blank", " "), NotNumber("LonePlus", "+"),
        NotNumber("LoneMinus", "-"), NotNumber("TwoSigns", "+-1"), NotNumber("SpacedSign", "- 1"),
        NotNumber("NoMantissa", "E5"), NotNumber("NoExponentDigits", "1E"),
        NotNumber("SignedNoExponentDigits", "1e+"), NotNumber("ThousandsSeparator", "1,000"),
        NotNumber("PointWhenCommaSeparates", "1.5", ','), NotNumber("Infinity", "inf"),
        NotNumber("NotANumber", "nan"), NotNumber("Hexadecimal", "0x10"),
        NotNumber("SpaceInside", "1 2"), NotNumber("Tab", "\t1"),
        NotNumber("TwoSeparators", "1..2"), NotNumber("ExponentAboveExtended", "1E5000"),
        NotNumber("ZeroExponentAbove", "0E5000"), NotNumber("ExponentBelowExtended", "1E-5000"),
        Number("AboveDoubleMax", "1.8e308", 1.8e308L), NotNumber("TooSmallForExtended", "1e-4940"),
        NotNumber("LongExponent", "1e" + std::string(10000, '9')),
        NotNumber("MegabyteOfDigits", std::string(1 << 20, '1'))),
    [](const testing::TestParamInfo<TReadCase>& read) { return std::string(read.param.name); });

// Marking reads plain digits itself: they must be the numbers StrToFloat reads, and nothing
// else may pass for them.
TEST(ReadSmallWholeNumberTest, ReadsPlainDigitsAsStrToFloatDoes) {
    for (const std::string text : {"0", "7", "007", "2097152", "123456789012345678"}) {
        const std::optional<std::int64_t> number = ReadSmallWholeNumber(text);
        ASSERT_TRUE(number.has_value()) << text;
        EXPECT_EQ(static_cast<long double>(*number), StrToFloat(text, '.')) << text;
    }
    for (const std::string text :
         {"", "1234567890123456789", " 1", "1 ", "+1", "-1", "1.0", "1e2", "1,5", "\x82\x4F"}) {
        EXPECT_FALSE(ReadSmallWholeNumber(text).has_value()) << text;
    }
}

TEST(StrToFloatErrorTest, QuotesTheCellDecodedFromTheCodePage) {
    EXPECT_STREQ(EConvertError("\x93\x5F").what(), "'点' は浮動小数点数ではありません");
}

// Reading a text names no cell; the reader of a cell names it, and the message stays as it was.
TEST(StrToFloatErrorTest, NamesItsCellOnlyWhenTheReaderGivesIt) {
    try {
        StrToFloat("x", '.');
        ADD_FAILURE() << "no failure raised";
    } catch (EConvertError& error) {
        EXPECT_FALSE(error.Cell().has_value());
        error.SetCell({4, 140});
        EXPECT_EQ(error.Cell(), (TCellPlace{4, 140}));
        EXPECT_STREQ(error.what(), "'x' は浮動小数点数ではありません");
    }
}

using TFormatCase = std::pair<long double, const char*>;

TFormatCase Gives(long double value, const char* text) {
    return {value, text};
}

void ExpectTexts(std::string (*format)(long double), std::initializer_list<TFormatCase> cases) {
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(format(value), expected) << std::setprecision(21) << value;
    }
}

TEST(FloatToStrTest, WritesTheGeneralFormWith15Digits) {
    const long double infinity = std::numeric_limits<long double>::infinity();
    ExpectTexts([](long double value) { return FloatToStr(value, '.'); },
                {Gives(12.5L, "12.5"), Gives(40, "40"), Gives(0, "0"), Gives(-0.0L, "0"),
                 Gives(-2.5L, "-2.5"), Gives(1e15L, "1E15"),
                 Gives(999999999999999.0L, "999999999999999"), Gives(999999999999999.9L, "1E15"),
                 Gives(0.0001L, "0.0001"), Gives(0.00001L, "1E-5"),
                 Gives(0.000099999999999999999L, "0.0001"),
                 Gives(1234567890123456.0L, "1.23456789012346E15"),
                 Gives(4.426150292190094e-5L, "4.42615029219009E-5"), Gives(0.1 + 0.2, "0.3"),
                 Gives(2.0L / 3, "0.666666666666667"), Gives(DBL_MAX, "1.79769313486232E308"),
                 Gives(infinity, "INF"), Gives(-infinity, "-INF"),
                 Gives(std::numeric_limits<long double>::quiet_NaN(), "NAN")});
    EXPECT_EQ(FloatToStr(12.5L, ','), "12,5");
}

TEST(FormatOneDecimalTest, RoundsHalfAwayFromZeroWithoutForcedDigits) {
    ExpectTexts([](long double value) { return FormatOneDecimal(value, '.'); },
                {Gives(5.5L, "5.5"), Gives(0.5L, ".5"), Gives(2, "2"), Gives(12.0L, "12"),
                 Gives(3.25L, "3.3"), Gives(-12.25L, "-12.3"), Gives(0, ""), Gives(0.04L, ""),
                 Gives(-0.04L, ""), Gives(-0.05, "-.1"), Gives(12.345, "12.3"), Gives(99.95, "100"),
                 Gives(0.15L, ".2"), Gives(static_cast<long double>(0.15), ".1"),
                 Gives(123456789012345678.0L, "123456789012345678"), Gives(1e20L, "1E20")});
    EXPECT_EQ(FormatOneDecimal(5.5L, ','), "5,5");
}

TEST(FormatRateTest, TruncatesTowardZeroAndWritesEveryDigit) {
    ExpectTexts(FormatRate, {Gives(66.666L, "66%"), Gives(100.0L * 2 / 3, "66%"),
                             Gives(100, "100%"), Gives(-3.7L, "-3%"), Gives(0, "0%"),
                             Gives(-0.5L, "0%"), Gives(0x1p70L, "1180591620717411303424%"),
                             Gives(std::numeric_limits<long double>::infinity(), "INF%")});
}

TEST(RoundToSignificantDigitsTest, RemovesBinaryNoiseBeforeARateIsTruncated) {
    ExpectTexts([](long double value) { return FormatRate(RoundToSignificantDigits(value, 12)); },
                {Gives(100.0L * 0.7 * 3 / 3 / 0.7, "100%"), Gives(99.999999999999994L, "100%"),
                 Gives(74.99999999999999L, "75%"), Gives(100.0L * 3 / 7, "42%"),
                 Gives(99.9999999994L, "99%"), Gives(-49.9999999999999L, "-50%")});
    EXPECT_EQ(RoundToSignificantDigits(1234.5678L, 6), 1234.57L);
    EXPECT_EQ(RoundToSignificantDigits(-0.000123455L, 4), -0.0001235L);
}

} // namespace
