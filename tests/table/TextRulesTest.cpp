#include "table/file/TextRules.h"

#include "TestScale.h"
#include "TestText.h"
#include "table/file/AnswerFile.h"
#include "table/file/TextRecords.h"
#include "table/store/AnswerTable.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

struct TSplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> parts;
    friend void PrintTo(const TSplitCase& c, std::ostream* os) { *os << c.name; }
};

class LineBreakRules : public testing::TestWithParam<TSplitCase> {};

// Without double quotes, the records of a text are its lines.
TEST_P(LineBreakRules, CutTextIntoLines) {
    std::vector<std::string> lines;
    ForEachRecord(GetParam().text, [&](const TRecord& record) { lines.emplace_back(record.text); });
    EXPECT_EQ(lines, GetParam().parts) << Escaped(GetParam().text) << " gave " << Escaped(lines);
}

const TSplitCase LineCases[] = {
    {"Empty", "", {}},
    {"CrLf", "a\r\nb\r\n", {"a", "b"}},
    {"LoneCr", "a\rb\r", {"a", "b"}},
    {"LoneLf", "a\nb\n", {"a", "b"}},
    {"LfCrBeginsEmptyLine", "a\n\rb", {"a", "", "b"}},
    {"CrCrLfIsTwoLines", "a\r\r\nb", {"a", "", "b"}},
    {"EmptyLinesKept", "\r\n\r\na\r\n", {"", "", "a"}},
    {"OnlyABreak", "\n", {""}},
    {"NoFinalBreak", "a\r\nb", {"a", "b"}},
    {"NulEndsText", "a\r\nb\0c\r\nd"s, {"a", "b"}},
    {"NulAtStart", "\0a\r\n"s, {}},
    {"NulRightAfterBreak", "a\r\n\0b"s, {"a"}},
    {"NulBetweenCrAndLf", "a\r\0\nb"s, {"a"}},
    {"LeadByteBeforeBreak", "\x83\r\nb", {"\x83", "b"}},
    {"BlanksAreText", " \t \r\n", {" \t "}},
};
INSTANTIATE_TEST_SUITE_P(TextRules, LineBreakRules, testing::ValuesIn(LineCases), TCaseName());

TEST(TextRules, LineBreakSearchesFindTheFirstFromAnyPlace) {
    std::mt19937 random(5);
    const std::string bytes = "a\r\n\0\x8d\x8a\""s;
    for (int round = 0; round < Scaled(2000); ++round) {
        std::string text(std::uniform_int_distribution<std::size_t>(0, 50)(random), 'a');
        for (char& byte : text) {
            const auto at = std::uniform_int_distribution<std::size_t>(0, 40)(random);
            byte = at < bytes.size() ? bytes[at] : 'x';
        }
        for (std::size_t from = 0; from <= text.size() + 1; ++from) {
            ASSERT_EQ(FindLineBreak(text, from), text.find_first_of("\r\n", from))
                << Escaped(text) << " from " << from;
            ASSERT_EQ(FindLineBreakOrQuote(text, from), text.find_first_of("\r\n\"", from))
                << Escaped(text) << " from " << from;
        }
    }
}

TEST(TextRules, LoadedTextEndsEveryLineWithCrLf) {
    TAnswerTable table;
    EXPECT_EQ(LoadAnswerText(table, "a\n\rb").text, "a\r\n\r\nb\r\n");
    EXPECT_EQ(LoadAnswerText(table, "").text, "");
}

class CommaTextRules : public testing::TestWithParam<TSplitCase> {};

TEST_P(CommaTextRules, CutLineIntoFields) {
    const std::vector<std::string> fields = SplitCommaText(GetParam().text);
    EXPECT_EQ(fields, GetParam().parts) << Escaped(GetParam().text) << " gave " << Escaped(fields);
}

/// The fields SplitPlainCommaLine gives, or nothing when it leaves the line to the full rules.
std::optional<std::vector<std::string>> FastSplit(std::string_view line) {
    std::string bytes = "label";
    std::vector<std::uint32_t> ends{5};
    if (!SplitPlainCommaLine(line, bytes, ends)) {
        EXPECT_EQ(bytes, "label");
        EXPECT_EQ(ends.size(), 1U);
        return std::nullopt;
    }
    std::vector<std::string> fields;
    for (std::size_t index = 1; index < ends.size(); ++index) {
        fields.push_back(bytes.substr(ends[index - 1], ends[index] - ends[index - 1]));
    }
    return fields;
}

TEST_P(CommaTextRules, FastSplitAgreesWhereItTakesTheLine) {
    const std::optional<std::vector<std::string>> fields = FastSplit(GetParam().text);
    if (fields) {
        EXPECT_EQ(*fields, GetParam().parts) << Escaped(GetParam().text);
    }
}

TEST(TextRules, FastSplitTakesCommaLinesWithBlanksAndLeavesTheRest) {
    const std::vector<std::string> taken = {
        "1001,Yamada Taro,a,", " a , b ", "a,\x81\x40 b", "\x81 ,b", "abc", ""};
    for (const std::string& line : taken) {
        EXPECT_TRUE(FastSplit(line).has_value()) << Escaped(line);
    }
    const std::vector<std::string> left = {"1001 Sato", "a,b c\t", "\"a\",b", "a, \x01"};
    for (const std::string& line : left) {
        EXPECT_FALSE(FastSplit(line).has_value()) << Escaped(line);
    }
}

// Lines of plain runs longer than the quick loops take at once, commas at every place in them,
// and now and then a byte that sends the rest of the line to a slower way.
TEST(TextRules, FastSplitAgreesWithTheFullRulesOnRandomLines) {
    const std::string plain = ",,,,a1-~z";
    const std::string rare = "  \t\"\x81\x40\x83\x5c\xb1\x01";
    std::mt19937 random(11);
    const auto pick = [&](const std::string& bytes) {
        return bytes[std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random)];
    };
    const int rounds = Scaled(20'000);
    int taken = 0;
    for (int round = 0; round < rounds; ++round) {
        std::string line(std::uniform_int_distribution<std::size_t>(0, 70)(random), 'a');
        const int rareOdds = std::uniform_int_distribution<int>(8, 400)(random);
        for (char& byte : line) {
            byte = std::uniform_int_distribution<int>(0, rareOdds)(random) == 0 ? pick(rare)
                                                                                : pick(plain);
        }
        const std::optional<std::vector<std::string>> fields = FastSplit(line);
        if (fields) {
            ++taken;
            ASSERT_EQ(*fields, SplitCommaText(line)) << Escaped(line);
        }
    }
    EXPECT_GT(taken, rounds / 2);
}

const TSplitCase PlainFieldCases[] = {
    {"EmptyLine", "", {}},
    {"OnlyBlanks", " \x0b\x01\x1f ", {}},
    {"TabAmongBlanksSeparatesTwoEmptyFields", " \t\x01\x1f ", {"", ""}},
    {"EmptyFieldBetweenCommas", "a,,b", {"a", "", "b"}},
    {"FinalCommaAddsEmptyField", "a,b,", {"a", "b", ""}},
    {"BlankInsideFieldBelongsToIt", "a b,c", {"a b", "c"}},
    {"BlankSeparatesWithoutCommaOrTab", "1001 Sato\x01x", {"1001", "Sato", "x"}},
    {"TabSeparates", "1001\tYamada Taro\t", {"1001", "Yamada Taro", ""}},
    {"LeadingTabBeginsEmptyField", "\ta", {"", "a"}},
    {"LoneTab", "\t", {"", ""}},
    {"BlanksAroundTab", " a \t b ", {"a", "b"}},
    {"LeadingCommaThenBlank", ", a", {"", "a"}},
    {"LoneComma", ",", {"", ""}},
    {"TwoCommas", ",,", {"", "", ""}},
    {"BlanksAroundComma", " a , b ", {"a", "b"}},
    {"BlankAfterFinalComma", "a, ", {"a", ""}},
    {"StudentLine", "1,Ann,a b,,c,", {"1", "Ann", "a b", "", "c", ""}},
    {"TabsSeparateControlBytesDoNot", "a\tb\t\tc\x01x\x1fz\x01", {"a", "b", "", "c\x01x\x1fz"}},
    {"CommaInsideTabSeparatedField", "1001\tSmith, John\t,", {"1001", "Smith, John", ","}},
    {"CommaBeforeTheFirstTab", "a,b\tc", {"a,b", "c"}},
    {"DeleteIsNoBlank", "a\x7fz", {"a\x7fz"}},
    {"QuoteInsideField", "a\"b,c", {"a\"b", "c"}},
};
INSTANTIATE_TEST_SUITE_P(Plain, CommaTextRules, testing::ValuesIn(PlainFieldCases), TCaseName());

const TSplitCase QuotedFieldCases[] = {
    {"CommasAndBlanksInside", "\"a,b c\",d", {"a,b c", "d"}},
    {"DoubledQuote", "\"a\"\"b\",c", {"a\"b", "c"}},
    {"OnlyAQuote", "\"\"\"\"", {"\""}},
    {"EmptyQuotedField", "\"\",x", {"", "x"}},
    {"BlanksAroundQuotedField", " \"a\" , b", {"a", "b"}},
    {"BlanksKeptInside", "\" a \",", {" a ", ""}},
    {"TextAfterClosingQuoteJoinsTheField", "\"ab\"cd,e", {"abcd", "e"}},
    {"BlanksAfterClosingQuoteDropped", "\"a \" b ,c", {"a  b", "c"}},
    {"TextAfterClosingQuoteWithoutSeparatorIsNextField", "\"ab\"cd", {"ab", "cd"}},
    {"QuotedTab", "\"a\tb\",c", {"a\tb", "c"}},
    {"CommaOnlyInsideQuotesKeepsBlankSeparation",
     "\"1001\" \"Sato, Hanako\"",
     {"1001", "Sato, Hanako"}},
    {"QuoteInsideUnquotedFieldOpensNothing", "a\"b,c\"", {"a\"b", "c\""}},
    {"QuotedAfterBlankWithoutSeparator", "a \"b,c\"", {"a", "b,c"}},
    {"UnclosedKeepsRestOfLine", "x,\"ab, c d \t", {"x", "ab, c d \t"}},
    {"UnclosedWithDoubledQuote", "\"a\"\"b, c", {"a\"b, c"}},
    {"UnclosedAtEnd", "a,\"", {"a", ""}},
};
INSTANTIATE_TEST_SUITE_P(Quoted, CommaTextRules, testing::ValuesIn(QuotedFieldCases), TCaseName());

// 0x5C occurs as a trail byte; a lead byte takes the byte after it, whatever it is.
const TSplitCase DoubleByteFieldCases[] = {
    {"TrailBackslash", "\x83\x5c,\x95\x5c", {"\x83\x5c", "\x95\x5c"}},
    {"FullWidthBlankIsText", "a\x81\x40z c", {"a\x81\x40z", "c"}},
    {"LeadTakesComma", "\x81,b,c", {"\x81,b", "c"}},
    {"LeadTakesBlank", "\x81 b c", {"\x81 b", "c"}},
    {"LeadTakesTab", "\x81\tb c", {"\x81\tb", "c"}},
    {"BlankTakenByLeadIsNotDropped", "a\x81 ,b", {"a\x81 ", "b"}},
    {"FullWidthBlanksAtEndsKept",
     "\x81\x40"
     "a\x81\x40 ,b",
     {"\x81\x40"
      "a\x81\x40",
      "b"}},
    {"LoneLeadAtEndOfLine", "a,\x81", {"a", "\x81"}},
    {"LoneLeadAtEndOfQuotedField", "\"a\x81", {"a\x81"}},
    {"QuotedDoubleByte", "\"\x83\x5c \x95\x5c\",", {"\x83\x5c \x95\x5c", ""}},
    {"HighSingleBytesAreNoBlanks", "\xb1\xa0\x80\xfd\xff,x", {"\xb1\xa0\x80\xfd\xff", "x"}},
};
INSTANTIATE_TEST_SUITE_P(DoubleByte, CommaTextRules, testing::ValuesIn(DoubleByteFieldCases),
                         TCaseName());

} // namespace
