#include "analysis/AnalysisFormat.h"

#include <charconv>
#include <cmath>

namespace {

constexpr int SharePlaces = 1;
constexpr int CoefficientPlaces = 2;
constexpr int ReliabilityPlaces = 3;
constexpr int ScorePlaces = 2;
constexpr int StatisticPlaces = 2;
constexpr int CountPlaces = 1;

/// Students counted with shares of the tied ones.
std::string FormatCount(double count, char decimalSeparator) {
    return FormatUpTo(count, CountPlaces, decimalSeparator);
}

std::string FormatOptional(std::optional<double> value, int decimals, char decimalSeparator) {
    return value ? FormatFixed(*value, decimals, decimalSeparator) : std::string(MissingFigure);
}

} // namespace

std::string FormatFixed(double value, int decimals, char decimalSeparator) {
    char text[512];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) {
        return std::string(MissingFigure);
    }
    std::string formatted(text, end);
    if (formatted.find_first_not_of("-0.") == std::string::npos && formatted.front() == '-') {
        formatted.erase(0, 1);
    }
    if (const std::size_t point = formatted.find('.'); point != std::string::npos) {
        formatted[point] = decimalSeparator;
    }
    return formatted;
}

std::string FormatUpTo(double value, int decimals, char decimalSeparator) {
    std::string formatted = FormatFixed(value, decimals, decimalSeparator);
    if (formatted.find(decimalSeparator) != std::string::npos) {
        formatted.erase(formatted.find_last_not_of('0') + 1);
        if (formatted.back() == decimalSeparator) {
            formatted.pop_back();
        }
    }
    return formatted;
}

std::string FormatShare(std::optional<double> share, char decimalSeparator) {
    if (!share) {
        return std::string(MissingFigure);
    }
    return FormatFixed(*share * 100, SharePlaces, decimalSeparator) + "%";
}

std::string FormatCoefficient(std::optional<double> value, char decimalSeparator) {
    return FormatOptional(value, CoefficientPlaces, decimalSeparator);
}

std::string FormatScore(std::optional<double> value, char decimalSeparator) {
    return value ? FormatUpTo(*value, ScorePlaces, decimalSeparator) : std::string(MissingFigure);
}

std::vector<std::string> QuestionColumns(const TAnalysisTexts& texts) {
    return {texts[TAnalysisText::Question], texts[TAnalysisText::Key],
            texts[TAnalysisText::Points],   texts[TAnalysisText::Answered],
            texts[TAnalysisText::Facility], texts[TAnalysisText::Discrimination],
            texts[TAnalysisText::ItemRest], texts[TAnalysisText::Flags],
            texts[TAnalysisText::Answers]};
}

std::vector<std::string> QuestionCells(const TQuestionAnalysis& question,
                                       const TAnalysisTexts& texts, char decimalSeparator) {
    return {std::to_string(question.number),
            question.key,
            FormatScore(question.points, decimalSeparator),
            std::to_string(question.answered),
            FormatShare(question.facility, decimalSeparator),
            FormatCoefficient(question.discrimination, decimalSeparator),
            FormatCoefficient(question.itemRestCorrelation, decimalSeparator),
            FlagNames(question, texts),
            AnswersText(question, texts)};
}

std::string AnswersText(const TQuestionAnalysis& question, const TAnalysisTexts& texts) {
    std::string text;
    const auto add = [&](std::string_view answer, int count) {
        text += text.empty() ? "" : ", ";
        text += answer;
        text += "=" + std::to_string(count);
    };
    for (const TAnswerCount& answer : question.answers) {
        add(answer.isKey ? answer.text + "*" : answer.text, answer.count);
    }
    if (question.blanks > 0) {
        add(texts[TAnalysisText::Blank], question.blanks);
    }
    return text;
}

std::string FlagName(TItemFlag flag, const TAnalysisTexts& texts) {
    switch (flag) {
    case TItemFlag::KeyMayBeWrong:
        return texts[TAnalysisText::FlagKeyMayBeWrong];
    case TItemFlag::NegativeDiscrimination:
        return texts[TAnalysisText::FlagNegativeDiscrimination];
    case TItemFlag::NobodyCorrect:
        return texts[TAnalysisText::FlagNobodyCorrect];
    case TItemFlag::EverybodyCorrect:
        return texts[TAnalysisText::FlagEverybodyCorrect];
    case TItemFlag::ManyBlanks:
        return texts[TAnalysisText::FlagManyBlanks];
    }
    return {};
}

std::string FlagReason(const TQuestionAnalysis& question, TItemFlag flag,
                       const TAnalysisTexts& texts, char decimalSeparator) {
    switch (flag) {
    case TItemFlag::KeyMayBeWrong: {
        const TAnswerCount* rival = question.StrongestRival();
        const TAnswerCount* key = question.KeyAnswer();
        if (rival == nullptr || key == nullptr) {
            return {};
        }
        return texts.Format(TAnalysisText::ReasonKeyMayBeWrong,
                            {rival->text, FormatCount(rival->upperCount, decimalSeparator),
                             key->text, FormatCount(key->upperCount, decimalSeparator)});
    }
    case TItemFlag::NegativeDiscrimination:
        return texts.Format(TAnalysisText::ReasonNegativeDiscrimination,
                            {FormatShare(question.upperFacility, decimalSeparator),
                             FormatShare(question.lowerFacility, decimalSeparator)});
    case TItemFlag::NobodyCorrect:
        return texts[TAnalysisText::ReasonNobodyCorrect];
    case TItemFlag::EverybodyCorrect:
        return texts[TAnalysisText::ReasonEverybodyCorrect];
    case TItemFlag::ManyBlanks: {
        const double students = question.answered + question.blanks;
        return texts.Format(TAnalysisText::ReasonManyBlanks,
                            {std::to_string(question.blanks),
                             FormatShare(question.blanks / students, decimalSeparator)});
    }
    }
    return {};
}

std::string FlagNames(const TQuestionAnalysis& question, const TAnalysisTexts& texts) {
    std::string names;
    for (const TItemFlag flag : question.flags) {
        names += names.empty() ? "" : ", ";
        names += FlagName(flag, texts);
    }
    return names;
}

std::vector<std::pair<std::string, std::string>>
TestFigureLines(const TTestFigures& figures, const TAnalysisTexts& texts, char decimalSeparator) {
    const auto statistic = [&](double value) {
        return FormatFixed(value, StatisticPlaces, decimalSeparator);
    };
    const auto score = [&](std::optional<double> value) {
        return FormatScore(value, decimalSeparator);
    };
    return {
        {texts[TAnalysisText::Students], std::to_string(figures.students)},
        {texts[TAnalysisText::Mean], statistic(figures.mean)},
        {texts[TAnalysisText::DeviationPopulation], statistic(figures.deviation)},
        {texts[TAnalysisText::DeviationSample],
         FormatOptional(figures.sampleDeviation, StatisticPlaces, decimalSeparator)},
        {texts[TAnalysisText::Median], score(figures.median)},
        {texts[TAnalysisText::LowerQuartile], score(figures.lowerQuartile)},
        {texts[TAnalysisText::UpperQuartile], score(figures.upperQuartile)},
        {texts[TAnalysisText::Minimum], score(figures.minimum)},
        {texts[TAnalysisText::Maximum], score(figures.maximum)},
        {texts[TAnalysisText::Attainable], score(figures.attainable)},
        {texts[figures.allKeyed ? TAnalysisText::Kr20 : TAnalysisText::Alpha],
         FormatOptional(figures.reliability, ReliabilityPlaces, decimalSeparator)},
        {texts[TAnalysisText::StandardError],
         FormatOptional(figures.standardError, StatisticPlaces, decimalSeparator)},
    };
}

std::string BinLabel(const THistogram& histogram, std::size_t bin, char decimalSeparator) {
    return FormatUpTo(histogram.firstBinStart + static_cast<double>(bin) * histogram.binWidth,
                      ScorePlaces, decimalSeparator);
}
