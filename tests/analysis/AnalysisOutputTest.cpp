#include "TestText.h"
#include "analysis/AnalysisExport.h"
#include "analysis/AnalysisFormat.h"
#include "analysis/AnalysisReport.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

std::string Japanese(std::string_view utf8) {
    return TCodePage::FromUtf8(utf8);
}

TEST(AnalysisTexts, JapaneseUnlessTheLanguageFileGivesAText) {
    const TAnalysisTexts defaults;
    EXPECT_EQ(defaults[TAnalysisText::Facility], Japanese("正答率"));
    const TAnalysisTexts read = TAnalysisTexts::Read(
        TProfileFile::FromBytes("[analysis]\r\nFACILITY=p\r\nBlank=\r\n[Main]\r\nKey=k\r\n"));
    EXPECT_EQ(read[TAnalysisText::Facility], "p");
    // A key given empty is empty; one missing, or in another section, stays Japanese.
    EXPECT_EQ(read[TAnalysisText::Blank], "");
    EXPECT_EQ(read[TAnalysisText::Key], Japanese("正答"));
}

TEST(AnalysisTexts, FormatFillsNumberedMarkersInAnyOrder) {
    const TAnalysisTexts texts = TAnalysisTexts::Read(
        TProfileFile::FromBytes("[Analysis]\r\nReasonKeyMayBeWrong=%3 < %1 (%2%%1) %4 %5 %\r\n"
                                "GroupNote=\x96\x7b%1\x96\x7b\r\n"));
    EXPECT_EQ(texts.Format(TAnalysisText::ReasonKeyMayBeWrong, {"a", "b", "c", "d"}),
              "c < a (b%a) d %5 %");
    // A double-byte character is stepped over whole.
    EXPECT_EQ(texts.Format(TAnalysisText::GroupNote, {"8"}), "\x96\x7b"
                                                             "8"
                                                             "\x96\x7b");
}

struct TNumberCase {
    std::string name;
    double value;
    int decimals;
    char separator;
    std::string fixed;
    std::string upTo;
    friend void PrintTo(const TNumberCase& c, std::ostream* os) { *os << c.name; }
};

class AnalysisNumbers : public testing::TestWithParam<TNumberCase> {};

TEST_P(AnalysisNumbers, AreWrittenWithTheSeparatorAndNoNegativeZero) {
    const TNumberCase& c = GetParam();
    EXPECT_EQ(FormatFixed(c.value, c.decimals, c.separator), c.fixed);
    EXPECT_EQ(FormatUpTo(c.value, c.decimals, c.separator), c.upTo);
}

INSTANTIATE_TEST_SUITE_P(Cases, AnalysisNumbers,
                         testing::Values(TNumberCase{"Whole", 60, 2, '.', "60.00", "60"},
                                         TNumberCase{"Quarter", 61.25, 1, ',', "61,2", "61,2"},
                                         TNumberCase{"Rounded", 0.666666, 2, '.', "0.67", "0.67"},
                                         TNumberCase{"NegativeZero", -0.001, 2, '.', "0.00", "0"},
                                         TNumberCase{"Negative", -0.125, 2, '.', "-0.12", "-0.12"},
                                         TNumberCase{"TrailingZero", 2.50, 2, '.', "2.50", "2.5"}),
                         TCaseName());

TQuestionAnalysis FlaggedQuestion() {
    TQuestionAnalysis question;
    question.number = 4;
    question.key = "a";
    question.answered = 7;
    question.blanks = 3;
    question.upperFacility = 0.25;
    question.lowerFacility = 0.5;
    question.answers = {{"b", 4, 2.5, false}, {"A", 3, 0.5, true}};
    question.flags = {TItemFlag::KeyMayBeWrong, TItemFlag::NegativeDiscrimination,
                      TItemFlag::ManyBlanks};
    return question;
}

TEST(AnalysisFormat, ReasonsCarryTheirFigures) {
    const TAnalysisTexts texts;
    const TQuestionAnalysis question = FlaggedQuestion();
    // Students tied at the cut count for their share of a place.
    EXPECT_EQ(TCodePage::ToUtf8(FlagReason(question, TItemFlag::KeyMayBeWrong, texts, ',')),
              "上位群では「b」（2,5 人）が正答「A」（0,5 人）より多く選ばれています");
    EXPECT_EQ(
        TCodePage::ToUtf8(FlagReason(question, TItemFlag::NegativeDiscrimination, texts, '.')),
        "下位群の正答率 50.0% が上位群の 25.0% を上回っています");
    EXPECT_EQ(TCodePage::ToUtf8(FlagReason(question, TItemFlag::ManyBlanks, texts, '.')),
              "3 人（30.0%）が無答で、2 割を超えています");
    EXPECT_EQ(TCodePage::ToUtf8(FlagNames(question, texts)),
              "正答の誤り？, 負の識別力, 無答が多い");
    EXPECT_EQ(TCodePage::ToUtf8(AnswersText(question, texts)), "b=4, A*=3, 無答=3");
}

TEST(AnalysisFormat, MissingFiguresAreADash) {
    TQuestionAnalysis question;
    question.number = 1;
    question.key = "#";
    const std::vector<std::string> cells = QuestionCells(question, TAnalysisTexts(), '.');
    EXPECT_EQ(Escaped(cells),
              Escaped(std::vector<std::string>{"1", "#", "-", "0", "-", "-", "-", "", ""}));
}

TEST(AnalysisCsv, QuotesAsRfc4180AndGuardsFormulasFromTheTable) {
    EXPECT_EQ(CsvField("plain", true), "plain");
    EXPECT_EQ(CsvField("a \"b\", c", false), "\"a \"\"b\"\", c\"");
    EXPECT_EQ(CsvField("two\r\nlines", false), "\"two\r\nlines\"");
    EXPECT_EQ(CsvField("=SUM(A1)", true), "'=SUM(A1)");
    EXPECT_EQ(CsvField("@x,y", true), "\"'@x,y\"");
    // Figures of its own are never guarded: a negative number stays a number.
    EXPECT_EQ(CsvField("-0.12", false), "-0.12");
}

TTestAnalysis SmallAnalysis() {
    TTestAnalysis analysis;
    analysis.figures.students = 2;
    analysis.figures.questions = 1;
    analysis.questions.push_back(FlaggedQuestion());
    analysis.scores = {7.5, 2};
    analysis.histogram = {0, 2.5, {1, 0, 3}};
    return analysis;
}

/// The students of SmallAnalysis.
TAnswerTable SmallClass() {
    TAnswerTable table;
    table.SetCell(TAnswerTable::NumberColumn, 3, "1");
    table.SetCell(TAnswerTable::NameColumn, 3, "<b>Ann</b>");
    table.SetCell(TAnswerTable::NumberColumn, 4, "2");
    table.SetCell(TAnswerTable::NameColumn, 4,
                  "Bo\x01"
                  "b");
    return table;
}

// A language file's texts are as free as the table's cells: a title or a flag's name that a
// spreadsheet would take for a formula is guarded, while the figures stay numbers.
TEST(AnalysisCsv, GuardsTheTextsOfTheLanguageFile) {
    const TAnalysisTexts texts = TAnalysisTexts::Read(
        TProfileFile::FromBytes("[Analysis]\r\nNumber==1+1\r\nScore=@s\r\nQuestion=-q\r\n"
                                "Flags=+f\r\nFlagKeyMayBeWrong==HYPERLINK(x)\r\n"));
    const std::string csv = ResultsCsv(SmallAnalysis(), SmallClass(), texts, '.');
    EXPECT_EQ(csv.find("\xEF\xBB\xBF'=1+1,"), 0u) << csv;
    EXPECT_NE(csv.find(",'@s\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n'-q,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",'+f,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",\"'=HYPERLINK(x), "), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n4,a,"), std::string::npos) << "a figure stays a number: " << csv;
}

TEST(AnalysisReport, EscapesTheTableTextsAndDrawsWithPoints) {
    const std::string page =
        AnalysisReportHtml(SmallAnalysis(), SmallClass(), TAnalysisTexts(), "a&b.csv", ',');
    EXPECT_NE(page.find("<td>&lt;b&gt;Ann&lt;/b&gt;</td><td class=\"n\">7,5</td>"),
              std::string::npos);
    // HTML has no place for control characters.
    EXPECT_NE(page.find("<td>Bo b</td>"), std::string::npos);
    EXPECT_NE(page.find("a&amp;b.csv"), std::string::npos);
    EXPECT_EQ(page.find("a&b"), std::string::npos);
    const std::string svg = HistogramSvg(SmallAnalysis().histogram, TAnalysisTexts(), ',');
    // Coordinates are SVG's and take a point; the labels take the separator. The highest bar
    // fills the plot.
    EXPECT_NE(svg.find("<rect x=\"247\" y=\"22\" width=\"104\" height=\"144\""), std::string::npos)
        << svg;
    EXPECT_NE(svg.find(">2,5</text>"), std::string::npos) << svg;
}

// Keys and answers are the students' and the teacher's texts: markup in them is shown, never
// taken as markup.
TEST(AnalysisReport, EscapesKeysAndAnswers) {
    TTestAnalysis analysis = SmallAnalysis();
    TQuestionAnalysis& question = analysis.questions[0];
    question.key = "k&\"q\"";
    question.answers = {
        {"<i>x</i>", 4, 2.5, false}, {"K&\"Q\"", 3, 0.5, true}, {"a&b", 1, 0, false}};
    const std::string page =
        AnalysisReportHtml(analysis, SmallClass(), TAnalysisTexts(), "class.csv", '.');
    EXPECT_NE(page.find("<td>k&amp;&quot;q&quot;</td>"), std::string::npos) << page;
    EXPECT_NE(page.find("&lt;i&gt;x&lt;/i&gt;=4, <b>K&amp;&quot;Q&quot;*</b>=3, a&amp;b=1"),
              std::string::npos)
        << page;
    for (const std::string raw : {"<i>", "k&\"", "K&\"", "a&b"}) {
        EXPECT_EQ(page.find(raw), std::string::npos) << raw;
    }
}

} // namespace
