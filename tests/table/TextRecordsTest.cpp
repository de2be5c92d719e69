#include "table/file/TextRecords.h"

#include "TestText.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

/// A record's text and its fields.
struct TRecordParts {
    std::string text;
    std::vector<std::string> fields;
    friend bool operator==(const TRecordParts&, const TRecordParts&) = default;
    friend void PrintTo(const TRecordParts& record, std::ostream* os) {
        *os << Escaped(record.text) << " " << Escaped(record.fields);
    }
};

TRecordParts PartsOf(const TRecord& record) {
    TRecordParts parts{std::string(record.text), {}};
    ForEachRecordField(record, [&](std::string_view field) { parts.fields.emplace_back(field); });
    return parts;
}

std::vector<TRecordParts> RecordsOf(std::string_view text) {
    std::vector<TRecordParts> records;
    ForEachRecord(text, [&](const TRecord& record) { records.push_back(PartsOf(record)); });
    return records;
}

struct TRecordCase {
    const char* name;
    std::string text;
    std::vector<TRecordParts> records;
    friend void PrintTo(const TRecordCase& c, std::ostream* os) { *os << c.name; }
};

class Records : public testing::TestWithParam<TRecordCase> {};

TEST_P(Records, AreCutAtLineBreaksOutsideQuotedFields) {
    EXPECT_EQ(RecordsOf(GetParam().text), GetParam().records) << Escaped(GetParam().text);
}

const TRecordCase RecordCases[] = {
    {"CrLfInsideQuotes",
     "1,\"Tanaka\r\nTaro\",a,\r\n2,Sato,b,\r\n",
     {{"1,\"Tanaka\r\nTaro\",a,", {"1", "Tanaka\r\nTaro", "a", ""}},
      {"2,Sato,b,", {"2", "Sato", "b", ""}}}},
    {"LfInsideQuotes",
     "1,\"a\nb\n\nc\",x\n2,y\n",
     {{"1,\"a\nb\n\nc\",x", {"1", "a\nb\n\nc", "x"}}, {"2,y", {"2", "y"}}}},
    {"CrInsideQuotes", "\"a\rb\"\r2", {{"\"a\rb\"", {"a\rb"}}, {"2", {"2"}}}},
    {"LfCrInsideQuotes", "\"a\n\rb\",c", {{"\"a\n\rb\",c", {"a\n\rb", "c"}}}},
    {"DoubledQuoteBeforeBreak",
     "1,\"say \"\"hi\"\"\r\nbye\",x\r\n",
     {{"1,\"say \"\"hi\"\"\r\nbye\",x", {"1", "say \"hi\"\r\nbye", "x"}}}},
    {"DoubledQuoteAfterBreak",
     "1,\"a\n\"\"b\"\"\",x\n2",
     {{"1,\"a\n\"\"b\"\"\",x", {"1", "a\n\"b\"", "x"}}, {"2", {"2"}}}},
    {"ClosingQuoteRightBeforeBreak",
     "1,\"a\nb\"\r\n2,c",
     {{"1,\"a\nb\"", {"1", "a\nb"}}, {"2,c", {"2", "c"}}}},
    {"QuoteClosesLinesLater",
     "1,\"x\n2,y\r\n3,z\",w",
     {{"1,\"x\n2,y\r\n3,z\",w", {"1", "x\n2,y\r\n3,z", "w"}}}},
    {"EmptyQuotedFieldBeforeBreak",
     "1,\"\"\n2,\"\"",
     {{"1,\"\"", {"1", ""}}, {"2,\"\"", {"2", ""}}}},
    {"LfCrAfterRecordBeginsEmptyRecord",
     "\"a\nb\"\n\r2",
     {{"\"a\nb\"", {"a\nb"}}, {"", {}}, {"2", {"2"}}}},
    {"QuoteInsideUnquotedFieldOpensNothing",
     "1,a\"b\r\nc\",d",
     {{"1,a\"b", {"1", "a\"b"}}, {"c\",d", {"c\"", "d"}}}},
    {"QuoteAfterBlankInsideCommaFieldOpensNothing",
     "1,Yamada \"Taro\nX\",a",
     {{"1,Yamada \"Taro", {"1", "Yamada \"Taro"}}, {"X\",a", {"X\"", "a"}}}},
    {"TextAfterClosingQuoteBeforeBreak",
     "1,\"a\nb\"c\n2",
     {{"1,\"a\nb\"c", {"1", "a\nbc"}}, {"2", {"2"}}}},
    {"TabSeparatedFromASpreadsheet",
     "1001\t\"Tanaka\nTaro\"\t3-A\r\n1002\tSato\t3-B\r\n",
     {{"1001\t\"Tanaka\nTaro\"\t3-A", {"1001", "Tanaka\nTaro", "3-A"}},
      {"1002\tSato\t3-B", {"1002", "Sato", "3-B"}}}},
    {"TabSeparatedWithBlanksBeforeQuote",
     "1\t  \"a\r\nb\"\t,",
     {{"1\t  \"a\r\nb\"\t,", {"1", "a\r\nb", ","}}}},
    {"QuoteAfterCommaInTabLineOpensNothing",
     "1\ta,\"b\nc\"\td",
     {{"1\ta,\"b", {"1", "a,\"b"}}, {"c\"\td", {"c\"", "d"}}}},
    {"TabInsideQuotedFieldAcrossBreak", "\"a\n\tb\",c\n", {{"\"a\n\tb\",c", {"a\n\tb", "c"}}}},
    {"BlankSeparated",
     "1001 \"Tanaka\nTaro\"\r\n1002 Sato",
     {{"1001 \"Tanaka\nTaro\"", {"1001", "Tanaka\nTaro"}}, {"1002 Sato", {"1002", "Sato"}}}},
    {"BlankSeparatedQuoteHidesComma",
     "1001 \"Sato,\nHanako\"",
     {{"1001 \"Sato,\nHanako\"", {"1001", "Sato,\nHanako"}}}},
    {"UnclosedQuoteKeepsItsLine",
     "1,\"Tanaka\r\n2,Sato\r\n",
     {{"1,\"Tanaka", {"1", "Tanaka"}}, {"2,Sato", {"2", "Sato"}}}},
    {"UnclosedAfterAClosedOne",
     "1,\"a\nb\",c,\"d\ne,f",
     {{"1,\"a\nb\",c,\"d", {"1", "a\nb", "c", "d"}}, {"e,f", {"e", "f"}}}},
    {"UnclosedWithDoubledQuotesAfterIt",
     "1,\"a\n2,b\"\"c\n3",
     {{"1,\"a", {"1", "a"}}, {"2,b\"\"c", {"2", "b\"\"c"}}, {"3", {"3"}}}},
    {"LoneQuoteAtTheEnd", "1,\"", {{"1,\"", {"1", ""}}}},
    {"QuoteClosingAtTheEnd", "1,\"a\nb\"", {{"1,\"a\nb\"", {"1", "a\nb"}}}},
    {"NulEndsTheTextInsideQuotes", "1,\"a\nb\0c\",d\r\n"s, {{"1,\"a", {"1", "a"}}, {"b", {"b"}}}},
    {"LeadByteTakesTheQuote",
     "1,\x82\"a\nb\"",
     {{"1,\x82\"a", {"1", "\x82\"a"}}, {"b\"", {"b\""}}}},
    {"LeadByteBeforeBreakInsideQuotes",
     "1,\"\x82\r\n\x82\x40\",c",
     {{"1,\"\x82\r\n\x82\x40\",c", {"1", "\x82\r\n\x82\x40", "c"}}}},
    {"LeadByteBeforeBreakOutsideQuotes",
     "1,\x82\r\n\"2\",x",
     {{"1,\x82", {"1", "\x82"}}, {"\"2\",x", {"2", "x"}}}},
    {"DoubleByteNameAcrossBreak",
     "1,\"\x93\x63\x92\x86\r\n\x91\xbe\x98\x59\",a",
     {{"1,\"\x93\x63\x92\x86\r\n\x91\xbe\x98\x59\",a",
       {"1", "\x93\x63\x92\x86\r\n\x91\xbe\x98\x59", "a"}}}},
    {"LinesWithoutQuotes",
     "a,b\r\n\r\nc d\n",
     {{"a,b", {"a", "b"}}, {"", {}}, {"c d", {"c", "d"}}}},
};
INSTANTIATE_TEST_SUITE_P(TextRecords, Records, testing::ValuesIn(RecordCases), TCaseName());

bool IsLineBreak(char byte) {
    return byte == '\r' || byte == '\n';
}

/// How far the record that `text` starts with reaches, read plainly field by field as fields
/// separated by `separator` start and end (NUL: by blanks and commas, as the separator is
/// searched for), and the separators met outside quoted fields.
struct TPlainReading {
    std::size_t end = 0;
    bool sawTab = false;
    bool sawComma = false;
};

TPlainReading ReadPlainly(std::string_view text, char separator) {
    const auto endsField = [&](char byte) {
        return separator == '\0' ? IsBlank(byte) || byte == ',' : byte == separator;
    };
    const auto skippedBeforeField = [&](char byte) {
        return separator == '\0' ? endsField(byte) : IsBlank(byte) && byte != separator;
    };
    const auto nextCharacter = [&](std::size_t at) {
        const bool doubleByte = TCodePage::IsLeadByte(static_cast<unsigned char>(text[at])) &&
                                at + 1 < text.size() && !IsLineBreak(text[at + 1]);
        return at + (doubleByte ? 2 : 1);
    };
    TPlainReading reading;
    const auto note = [&](char byte) {
        reading.sawTab = reading.sawTab || byte == '\t';
        reading.sawComma = reading.sawComma || byte == ',';
    };
    std::size_t at = 0;
    while (true) {
        while (at < text.size() && !IsLineBreak(text[at]) && skippedBeforeField(text[at])) {
            note(text[at]);
            ++at;
        }
        if (at < text.size() && text[at] == '"') {
            const std::size_t opening = at;
            bool closed = false;
            for (++at; at < text.size() && !closed;) {
                if (text[at] != '"') {
                    at = nextCharacter(at);
                } else if (at + 1 < text.size() && text[at + 1] == '"') {
                    at += 2;
                } else {
                    closed = true;
                    ++at;
                }
            }
            if (!closed) {
                reading.end = std::min(text.size(), text.find_first_of("\r\n", opening));
                return reading;
            }
        }
        while (at < text.size() && !IsLineBreak(text[at]) && !endsField(text[at])) {
            at = nextCharacter(at);
        }
        if (at == text.size() || IsLineBreak(text[at])) {
            reading.end = at;
            return reading;
        }
        note(text[at]);
        ++at;
    }
}

/// The records of `text` by the rule as ForEachRecord states it, read plainly.
std::vector<TRecordParts> RecordsReadPlainly(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<TRecordParts> records;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::string_view rest = text.substr(at);
        const TPlainReading search = ReadPlainly(rest, '\0');
        const char separator = search.sawTab ? '\t' : search.sawComma ? ',' : '\0';
        const std::size_t end = separator == '\0' ? search.end : ReadPlainly(rest, separator).end;
        TRecordParts record{std::string(rest.substr(0, end)), {}};
        ForEachSeparatedField(record.text, separator,
                              [&](std::string_view field) { record.fields.emplace_back(field); });
        records.push_back(record);
        at += end;
        at += at < text.size() && text[at] == '\r' ? 1U : 0U;
        at += at < text.size() && text[at] == '\n' ? 1U : 0U;
    }
    return records;
}

/// Random texts rich in what records turn on.
class TRandomTexts {
public:
    explicit TRandomTexts(unsigned seed) : random_(seed) {}

    std::string Next() {
        static const std::string bytes = "\"\"\"\",,\t  \r\n\r\nab\x82\xa0\x81"s + '\0';
        std::string text(Pick(0, 40), 'a');
        const std::size_t nulOdds = Pick(0, 1) == 0 ? bytes.size() : bytes.size() - 1;
        for (char& byte : text) {
            byte = bytes[Pick(0, nulOdds - 1)];
        }
        return text;
    }

    std::size_t Pick(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
    }

private:
    std::mt19937 random_;
};

TEST(TextRecords, AgreeWithTheRuleReadPlainlyOnRandomTexts) {
    TRandomTexts texts(3);
    for (int round = 0; round < 50'000; ++round) {
        const std::string text = texts.Next();
        ASSERT_EQ(RecordsOf(text), RecordsReadPlainly(text)) << Escaped(text);
    }
}

// A text read in pieces, as a file is, must give the records of the whole text, whatever
// falls on a piece's end: a quote, a lead byte, a CR before its LF.
TEST(TextRecords, CutFromAGrowingTextAsFromTheWholeText) {
    TRandomTexts texts(4);
    for (int round = 0; round < 20'000; ++round) {
        const std::string text = texts.Next();
        const std::string_view whole = std::string_view(text).substr(0, text.find('\0'));
        std::vector<TRecordParts> records;
        TRecordCutter cutter;
        std::size_t start = 0;
        std::size_t readEnd = start;
        while (start < whole.size()) {
            readEnd = std::min(whole.size(), readEnd + texts.Pick(0, 3));
            const bool isWhole = readEnd == whole.size();
            while (start < readEnd) {
                const std::optional<TRecordCutter::TCut> cut =
                    cutter.Cut(whole.substr(start, readEnd - start), isWhole);
                if (!cut) {
                    break;
                }
                records.push_back(PartsOf(cut->record));
                start += cut->next;
            }
        }
        ASSERT_EQ(records, RecordsOf(text)) << Escaped(text);
    }
}

} // namespace
