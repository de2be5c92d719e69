#include "analysis/AnalysisTexts.h"

#include "platform/CodePage.h"

namespace {

struct TTextEntry {
    TAnalysisText text;
    std::string_view key;
    /// UTF-8.
    std::string_view japanese;
};

constexpr std::array<TTextEntry, TAnalysisTexts::Count> Entries = {{
    {TAnalysisText::Caption, "Caption", "分析"},
    {TAnalysisText::SaveReport, "SaveReport", "レポートを保存(&S)..."},
    {TAnalysisText::ReportTitle, "ReportTitle", "テストの分析"},
    {TAnalysisText::File, "File", "ファイル"},
    {TAnalysisText::NoQuestions, "NoQuestions",
     "分析する問題がありません。正答の行に答えを入れてください。"},
    {TAnalysisText::TestFiguresHeading, "TestFiguresHeading", "テスト全体"},
    {TAnalysisText::QuestionsHeading, "QuestionsHeading", "問題ごとの分析"},
    {TAnalysisText::HistogramHeading, "HistogramHeading", "得点分布"},
    {TAnalysisText::ScoresHeading, "ScoresHeading", "得点一覧"},
    {TAnalysisText::Question, "Question", "問題"},
    {TAnalysisText::Key, "Key", "正答"},
    {TAnalysisText::Points, "Points", "配点"},
    {TAnalysisText::Answered, "Answered", "解答数"},
    {TAnalysisText::Facility, "Facility", "正答率"},
    {TAnalysisText::Discrimination, "Discrimination", "識別力"},
    {TAnalysisText::ItemRest, "ItemRest", "点双列相関"},
    {TAnalysisText::Flags, "Flags", "注意"},
    {TAnalysisText::Answers, "Answers", "解答の分布"},
    {TAnalysisText::Blank, "Blank", "無答"},
    {TAnalysisText::Students, "Students", "受験者数"},
    {TAnalysisText::Mean, "Mean", "平均点"},
    {TAnalysisText::DeviationPopulation, "DeviationPopulation", "標準偏差（n で割る）"},
    {TAnalysisText::DeviationSample, "DeviationSample", "標準偏差（n-1 で割る、標本）"},
    {TAnalysisText::Median, "Median", "中央値"},
    {TAnalysisText::LowerQuartile, "LowerQuartile", "第1四分位数"},
    {TAnalysisText::UpperQuartile, "UpperQuartile", "第3四分位数"},
    {TAnalysisText::Minimum, "Minimum", "最低点"},
    {TAnalysisText::Maximum, "Maximum", "最高点"},
    {TAnalysisText::Attainable, "Attainable", "満点"},
    {TAnalysisText::Kr20, "Kr20", "信頼性係数（KR-20）"},
    {TAnalysisText::Alpha, "Alpha", "信頼性係数（クロンバックのα）"},
    {TAnalysisText::StandardError, "StandardError", "測定の標準誤差"},
    {TAnalysisText::GroupNote, "GroupNote",
     "識別力は得点の上位 %1 人と下位 %1 人（各 27%）の正答率の差です。境目に同点の受験者が"
     "いるときは、残りの枠をその全員で等分して数えます。点双列相関はその問題を除いた得点との"
     "相関です。"},
    {TAnalysisText::ScoreAxis, "ScoreAxis", "得点"},
    {TAnalysisText::CountAxis, "CountAxis", "人数"},
    {TAnalysisText::Number, "Number", "学籍番号"},
    {TAnalysisText::Name, "Name", "氏名"},
    {TAnalysisText::Score, "Score", "得点"},
    {TAnalysisText::FlagKeyMayBeWrong, "FlagKeyMayBeWrong", "正答の誤り？"},
    {TAnalysisText::ReasonKeyMayBeWrong, "ReasonKeyMayBeWrong",
     "上位群では「%1」（%2 人）が正答「%3」（%4 人）より多く選ばれています"},
    {TAnalysisText::FlagNegativeDiscrimination, "FlagNegativeDiscrimination", "負の識別力"},
    {TAnalysisText::ReasonNegativeDiscrimination, "ReasonNegativeDiscrimination",
     "下位群の正答率 %2 が上位群の %1 を上回っています"},
    {TAnalysisText::FlagNobodyCorrect, "FlagNobodyCorrect", "正答者なし"},
    {TAnalysisText::ReasonNobodyCorrect, "ReasonNobodyCorrect", "誰も正答していません"},
    {TAnalysisText::FlagEverybodyCorrect, "FlagEverybodyCorrect", "全員正答"},
    {TAnalysisText::ReasonEverybodyCorrect, "ReasonEverybodyCorrect", "全員が正答しています"},
    {TAnalysisText::FlagManyBlanks, "FlagManyBlanks", "無答が多い"},
    {TAnalysisText::ReasonManyBlanks, "ReasonManyBlanks",
     "%1 人（%2）が無答で、2 割を超えています"},
    {TAnalysisText::Slips, "Slips", "個票(&D)..."},
    {TAnalysisText::ClassList, "ClassList", "一覧表(&I)..."},
    {TAnalysisText::PaperTitle, "PaperTitle", "テスト名(&N):"},
    {TAnalysisText::SavePdf, "SavePdf", "PDF に保存(&P)..."},
    {TAnalysisText::Print, "Print", "印刷(&R)..."},
    {TAnalysisText::PrintPreview, "PrintPreview", "印刷プレビュー(&V)..."},
    {TAnalysisText::PdfFilter, "PdfFilter", "PDF ファイル (*.pdf)"},
    {TAnalysisText::Rank, "Rank", "順位"},
    {TAnalysisText::RankOf, "RankOf", "%1 位 / %2 人"},
    {TAnalysisText::ScoreOf, "ScoreOf", "%1 / %2 点"},
    {TAnalysisText::AnswerRow, "AnswerRow", "解答"},
    {TAnalysisText::MarkRow, "MarkRow", "正誤"},
    {TAnalysisText::PointsQuestionKey, "PointsQuestionKey", "配点%1"},
    {TAnalysisText::Deviation, "Deviation", "標準偏差"},
    {TAnalysisText::Rate, "Rate", "正答率"},
    {TAnalysisText::PageOf, "PageOf", "%1 / %2 ページ"},
    {TAnalysisText::Continued, "Continued", "（続き）"},
    {TAnalysisText::NotMarked, "NotMarked",
     "まだ採点されていません。採点してから印刷してください。"},
    {TAnalysisText::MarkingOutOfDate, "MarkingOutOfDate",
     "採点のあとで表が変わっています。もう一度採点してから印刷してください。"},
    {TAnalysisText::PrintFailed, "PrintFailed",
     "印刷できませんでした。プリンターを確かめてください。"},
}};

constexpr bool EntriesFollowTheTexts() {
    for (std::size_t at = 0; at < Entries.size(); ++at) {
        if (static_cast<std::size_t>(Entries[at].text) != at) {
            return false;
        }
    }
    return true;
}
static_assert(EntriesFollowTheTexts(), "one entry per text, in the order of TAnalysisText");

} // namespace

TAnalysisTexts::TAnalysisTexts() {
    for (std::size_t at = 0; at < Count; ++at) {
        texts_[at] = TCodePage::FromUtf8(Entries[at].japanese);
    }
}

TAnalysisTexts TAnalysisTexts::Read(const TProfileFile& languageFile) {
    TAnalysisTexts texts;
    for (std::size_t at = 0; at < Count; ++at) {
        texts.texts_[at] =
            languageFile.ReadString(AnalysisSection, Entries[at].key, texts.texts_[at]);
    }
    return texts;
}

std::string TAnalysisTexts::Format(TAnalysisText text,
                                   std::initializer_list<std::string_view> arguments) const {
    const std::string& pattern = (*this)[text];
    std::string formatted;
    formatted.reserve(pattern.size());
    for (std::size_t at = 0; at < pattern.size(); at += TCodePage::CharLength(pattern, at)) {
        const char next = at + 1 < pattern.size() ? pattern[at + 1] : '\0';
        const auto number = static_cast<std::size_t>(next - '0');
        if (pattern[at] == '%' && next >= '1' && next <= '9' && number <= arguments.size()) {
            formatted += arguments.begin()[number - 1];
            ++at;
            continue;
        }
        formatted.append(pattern, at, TCodePage::CharLength(pattern, at));
    }
    return formatted;
}
