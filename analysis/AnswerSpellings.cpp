#include "analysis/AnswerSpellings.h"

#include "platform/CodePage.h"

#include <utility>

TAnswerSpellings::TAnswerSpellings(std::vector<TQuestionRule> rules, char decimalSeparator)
    : rules_(std::move(rules)), decimalSeparator_(decimalSeparator),
      shortTexts_(rules_.size() * ShortSlots), last_(rules_.size()), lookup_(rules_.size()),
      groups_(rules_.size()), textGroups_(rules_.size()), valueGroups_(rules_.size()) {
    for (std::size_t question = 0; question < rules_.size(); ++question) {
        blanks_.push_back(Add(question, {}, {}));
        shortTexts_[question * ShortSlots + EmptySlot] = Found(blanks_.back());
    }
}

TSpellingId TAnswerSpellings::AddWritten(std::size_t question, std::string_view answer) {
    const TAnswerMark mark = MarkAnswer(rules_[question], answer, decimalSeparator_);
    const TSpellingId id = Add(question, answer, mark);
    lookup_[question].emplace(answer, id);
    AddToGroup(question, id, mark);
    return id;
}

TSpellingId TAnswerSpellings::Add(std::size_t question, std::string_view answer,
                                  const TAnswerMark& mark) {
    const auto id = static_cast<TSpellingId>(text.size());
    text.emplace_back(answer);
    scorePoints.push_back(mark.points);
    wholePoints.push_back(THeldSum::IsWholeAddend(mark.points)
                              ? static_cast<std::int32_t>(mark.points)
                              : NotWholePoints);
    item.push_back(rules_[question].isPointsQuestion ? static_cast<double>(mark.points)
                   : mark.correct                    ? 1
                                                     : 0);
    writers.emplace_back();
    upperWeight.push_back(0);
    lowerWeight.push_back(0);
    return id;
}

/// Keyed answers are the same answer when their lower-cased texts are, as marking compares
/// them; points are the same when their values are.
void TAnswerSpellings::AddToGroup(std::size_t question, TSpellingId id, const TAnswerMark& mark) {
    std::vector<TAnswerGroup>& groups = groups_[question];
    const std::size_t index =
        rules_[question].isPointsQuestion
            ? valueGroups_[question].try_emplace(mark.points, groups.size()).first->second
            : textGroups_[question]
                  .try_emplace(TCodePage::LowerCase(text[id]), groups.size())
                  .first->second;
    if (index == groups.size()) {
        groups.push_back({{}, mark.correct});
    }
    groups[index].spellings.push_back(id);
}
