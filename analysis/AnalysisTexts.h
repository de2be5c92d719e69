#pragma once

#include "platform/ProfileFile.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

/// The texts of the analysis: its window, its report, pelloran-cli's output of it, and the
/// student slips and class list printed from the marked table.
enum class TAnalysisText {
    Caption,
    SaveReport,
    ReportTitle,
    File,
    NoQuestions,
    TestFiguresHeading,
    QuestionsHeading,
    HistogramHeading,
    ScoresHeading,
    Question,
    Key,
    Points,
    Answered,
    Facility,
    Discrimination,
    ItemRest,
    Flags,
    Answers,
    Blank,
    Students,
    Mean,
    DeviationPopulation,
    DeviationSample,
    Median,
    LowerQuartile,
    UpperQuartile,
    Minimum,
    Maximum,
    Attainable,
    Kr20,
    Alpha,
    StandardError,
    GroupNote,
    ScoreAxis,
    CountAxis,
    Number,
    Name,
    Score,
    FlagKeyMayBeWrong,
    ReasonKeyMayBeWrong,
    FlagNegativeDiscrimination,
    ReasonNegativeDiscrimination,
    FlagNobodyCorrect,
    ReasonNobodyCorrect,
    FlagEverybodyCorrect,
    ReasonEverybodyCorrect,
    FlagManyBlanks,
    ReasonManyBlanks,
    Slips,
    ClassList,
    PaperTitle,
    SavePdf,
    Print,
    PrintPreview,
    PdfFilter,
    Rank,
    RankOf,
    ScoreOf,
    AnswerRow,
    MarkRow,
    PointsQuestionKey,
    Deviation,
    Rate,
    PageOf,
    Continued,
    NotMarked,
    MarkingOutOfDate,
    PrintFailed,
};

/// The language file's section that holds them.
inline constexpr std::string_view AnalysisSection = "Analysis";

/// The texts in the code page, Japanese unless the language file gives others. A key missing
/// from the file keeps its Japanese text, so that a language file written before the analysis
/// existed leaves no text of it empty.
class TAnalysisTexts {
public:
    static constexpr std::size_t Count = static_cast<std::size_t>(TAnalysisText::PrintFailed) + 1;

    /// The Japanese texts.
    TAnalysisTexts();
    /// Section "Analysis", each text under its enumerator's name ("Facility").
    static TAnalysisTexts Read(const TProfileFile& languageFile);

    const std::string& operator[](TAnalysisText text) const {
        return texts_[static_cast<std::size_t>(text)];
    }
    /// The text with "%1" to "%9" replaced by the arguments in order; a marker without an
    /// argument stays as it is.
    std::string Format(TAnalysisText text, std::initializer_list<std::string_view> arguments) const;

private:
    std::array<std::string, Count> texts_;
};
