#include "analysis/AnalysisReport.h"

#include "analysis/AnalysisFormat.h"
#include "analysis/HistogramGeometry.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "table/marking/Numbers.h"

#include <algorithm>
#include <vector>

namespace {

// The histogram's drawing, in SVG user units.
constexpr double SvgWidth = 360;
constexpr double SvgHeight = 200;
constexpr double PlotLeft = 34;
constexpr double PlotRight = 352;
constexpr double PlotTop = 22;
constexpr double PlotBottom = 166;
constexpr double BarGap = 1;

constexpr std::string_view Style = R"(@page { size: A4; margin: 14mm 12mm; }
body { font-family: "IPAPGothic", "Noto Sans CJK JP", "Hiragino Sans", "Meiryo", sans-serif;
  font-size: 9.5pt; color: #000; margin: 0 auto; max-width: 186mm; }
h1 { font-size: 15pt; margin: 0 0 1mm; }
h2 { font-size: 11.5pt; margin: 5mm 0 2mm; border-bottom: 1px solid #777; }
p { margin: 1mm 0 2mm; }
table { border-collapse: collapse; }
th, td { border: 1px solid #999; padding: 0.4mm 1.4mm; vertical-align: top; }
th { background: #eee; font-weight: normal; text-align: center; white-space: nowrap; }
td.n { text-align: right; white-space: nowrap; }
thead { display: table-header-group; }
tr { break-inside: avoid; page-break-inside: avoid; }
tr.flagged td { background: #fde3e0; }
.summary { display: flex; gap: 6mm; align-items: flex-start; break-inside: avoid; }
.figures th { text-align: left; }
figure { margin: 0; }
figcaption { font-size: 9pt; }
.flag { font-weight: bold; color: #a00000; }
.note { font-size: 8.5pt; }
svg text { font-size: 9px; fill: #000; }
)";

/// UTF-8 text escaped for HTML; control characters, which HTML forbids, become blanks.
std::string Html(std::string_view utf8) {
    std::string escaped;
    escaped.reserve(utf8.size());
    for (const char character : utf8) {
        switch (character) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            const auto code = static_cast<unsigned char>(character);
            escaped += code < 0x20 || code == 0x7F ? ' ' : character;
        }
    }
    return escaped;
}

/// A code-page text for the page.
std::string Page(std::string_view codePage) {
    return Html(TCodePage::ToUtf8(codePage));
}

/// SVG coordinates are written with a point whatever the decimal separator.
std::string Coordinate(double value) {
    return FormatUpTo(value, 1, '.');
}

std::string SvgText(double x, double y, std::string_view anchor, std::string_view codePage) {
    return "<text x=\"" + Coordinate(x) + "\" y=\"" + Coordinate(y) + "\" text-anchor=\"" +
           std::string(anchor) + "\">" + Page(codePage) + "</text>\n";
}

std::string SvgLine(double x1, double y1, double x2, double y2) {
    return "<line x1=\"" + Coordinate(x1) + "\" y1=\"" + Coordinate(y1) + "\" x2=\"" +
           Coordinate(x2) + "\" y2=\"" + Coordinate(y2) + "\" stroke=\"#000\"/>\n";
}

std::string Cell(std::string_view tag, std::string_view codePage, bool number = false) {
    return "<" + std::string(tag) + (number ? " class=\"n\">" : ">") + Page(codePage) + "</" +
           std::string(tag) + ">";
}

std::string FiguresTable(const TTestFigures& figures, const TAnalysisTexts& texts,
                         char decimalSeparator) {
    std::string html = "<table class=\"figures\">\n";
    for (const auto& [title, value] : TestFigureLines(figures, texts, decimalSeparator)) {
        html += "<tr>" + Cell("th", title) + Cell("td", value, true) + "</tr>\n";
    }
    return html + "</table>\n";
}

std::string AnswersHtml(const TQuestionAnalysis& question, const TAnalysisTexts& texts) {
    std::string html;
    const auto add = [&](std::string_view answer, bool isKey, int count) {
        html += html.empty() ? "" : ", ";
        const std::string text = Page(answer) + (isKey ? "*" : "");
        html += isKey ? "<b>" + text + "</b>" : text;
        html += "=" + std::to_string(count);
    };
    for (const TAnswerCount& answer : question.answers) {
        add(answer.text, answer.isKey, answer.count);
    }
    if (question.blanks > 0) {
        add(texts[TAnalysisText::Blank], false, question.blanks);
    }
    return html;
}

std::string FlagsHtml(const TQuestionAnalysis& question, const TAnalysisTexts& texts,
                      char decimalSeparator) {
    std::string html;
    for (const TItemFlag flag : question.flags) {
        html += html.empty() ? "" : "<br>";
        html += "<span class=\"flag\">" + Page(FlagName(flag, texts)) +
                "</span>: " + Page(FlagReason(question, flag, texts, decimalSeparator));
    }
    return html;
}

std::string QuestionsTable(const TTestAnalysis& analysis, const TAnalysisTexts& texts,
                           char decimalSeparator) {
    std::string html = "<table class=\"questions\">\n<thead><tr>";
    for (const std::string& title : QuestionColumns(texts)) {
        html += Cell("th", title);
    }
    html += "</tr></thead>\n<tbody>\n";
    for (const TQuestionAnalysis& question : analysis.questions) {
        const std::vector<std::string> cells = QuestionCells(question, texts, decimalSeparator);
        html += question.flags.empty() ? "<tr>" : "<tr class=\"flagged\">";
        html += Cell("td", cells[0], true) + Cell("td", cells[1]);
        for (std::size_t column = 2; column <= 6; ++column) {
            html += Cell("td", cells[column], true);
        }
        html += "<td>" + FlagsHtml(question, texts, decimalSeparator) + "</td><td>" +
                AnswersHtml(question, texts) + "</td></tr>\n";
    }
    return html + "</tbody>\n</table>\n";
}

std::string ScoresTable(const TTestAnalysis& analysis, const TAnswerTable& table,
                        const TAnalysisTexts& texts, char decimalSeparator) {
    std::string html = "<table class=\"scores\">\n<thead><tr>" +
                       Cell("th", texts[TAnalysisText::Number]) +
                       Cell("th", texts[TAnalysisText::Name]) +
                       Cell("th", texts[TAnalysisText::Score]) + "</tr></thead>\n<tbody>\n";
    int row = TAnswerTable::FirstStudentRow;
    for (const double score : analysis.scores) {
        html += "<tr>" + Cell("td", table.Cell(TAnswerTable::NumberColumn, row)) +
                Cell("td", table.Cell(TAnswerTable::NameColumn, row)) +
                Cell("td", FloatToStr(score, decimalSeparator), true) + "</tr>\n";
        ++row;
    }
    return html + "</tbody>\n</table>\n";
}

} // namespace

TTestAnalysis AnalyseTestForOutput(const TAnswerTable& table, const TAnalysisTexts& texts,
                                   char decimalSeparator) {
    TTestAnalysis analysis = AnalyseTest(table, decimalSeparator);
    if (analysis.questions.empty()) {
        throw EPelloranError(TCodePage::ToUtf8(texts[TAnalysisText::NoQuestions]));
    }
    return analysis;
}

std::string HistogramSvg(const THistogram& histogram, const TAnalysisTexts& texts,
                         char decimalSeparator) {
    const THistogramGeometry geometry(histogram, PlotRight - PlotLeft, PlotBottom - PlotTop);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"96mm\" height=\"53mm\" "
                      "viewBox=\"0 0 " +
                      Coordinate(SvgWidth) + " " + Coordinate(SvgHeight) + "\">\n";
    for (std::size_t bin = 0; bin < geometry.Bins(); ++bin) {
        const double left = PlotLeft + geometry.BarLeft(bin);
        if (geometry.Count(bin) > 0) {
            const double height = geometry.BarHeight(bin);
            svg += "<rect x=\"" + Coordinate(left + BarGap) + "\" y=\"" +
                   Coordinate(PlotBottom - height) + "\" width=\"" +
                   Coordinate(std::max(geometry.BarWidth() - 2 * BarGap, 0.5)) + "\" height=\"" +
                   Coordinate(height) + "\" fill=\"#7a9cc6\" stroke=\"#34598a\"/>\n";
            svg += SvgText(left + geometry.BarWidth() / 2, PlotBottom - height - 2, "middle",
                           std::to_string(geometry.Count(bin)));
        }
        if (geometry.IsLabelled(bin)) {
            svg += SvgText(left, PlotBottom + 11, "middle",
                           BinLabel(histogram, bin, decimalSeparator));
        }
    }
    svg += SvgLine(PlotLeft, PlotBottom, PlotRight, PlotBottom);
    svg += SvgLine(PlotLeft, PlotTop, PlotLeft, PlotBottom);
    svg += SvgText(PlotLeft - 3, PlotBottom, "end", "0");
    svg += SvgText(PlotLeft - 3, PlotTop + 4, "end", std::to_string(geometry.HighestCount()));
    svg += SvgText(PlotLeft, PlotTop - 8, "start", texts[TAnalysisText::CountAxis]);
    svg += SvgText((PlotLeft + PlotRight) / 2, SvgHeight - 4, "middle",
                   texts[TAnalysisText::ScoreAxis]);
    return svg + "</svg>\n";
}

std::string AnalysisReportHtml(const TTestAnalysis& analysis, const TAnswerTable& table,
                               const TAnalysisTexts& texts, std::string_view fileName,
                               char decimalSeparator) {
    const std::string title = Page(texts[TAnalysisText::ReportTitle]);
    std::string html = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + title;
    html += fileName.empty() ? "" : " - " + Html(fileName);
    html += "</title>\n<style>\n" + std::string(Style) + "</style>\n</head>\n<body>\n";
    html += "<h1>" + title + "</h1>\n";
    if (!fileName.empty()) {
        html += "<p>" + Page(texts[TAnalysisText::File]) + ": " + Html(fileName) + "</p>\n";
    }
    html += "<h2>" + Page(texts[TAnalysisText::TestFiguresHeading]) + "</h2>\n";
    html += "<div class=\"summary\">\n" + FiguresTable(analysis.figures, texts, decimalSeparator) +
            "<figure>\n<figcaption>" + Page(texts[TAnalysisText::HistogramHeading]) +
            "</figcaption>\n" + HistogramSvg(analysis.histogram, texts, decimalSeparator) +
            "</figure>\n</div>\n";
    html += "<h2>" + Page(texts[TAnalysisText::QuestionsHeading]) + "</h2>\n";
    html += QuestionsTable(analysis, texts, decimalSeparator);
    html +=
        "<p class=\"note\">" +
        Page(texts.Format(TAnalysisText::GroupNote, {std::to_string(analysis.figures.groupSize)})) +
        "</p>\n";
    html += "<h2>" + Page(texts[TAnalysisText::ScoresHeading]) + "</h2>\n";
    html += ScoresTable(analysis, table, texts, decimalSeparator);
    return html + "</body>\n</html>\n";
}
