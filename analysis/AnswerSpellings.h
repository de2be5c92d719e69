#pragma once

#include "table/marking/MarkingRules.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

using TSpellingId = std::uint32_t;

/// Stands for points that are no whole number THeldSum sums as an integer.
inline constexpr std::int32_t NotWholePoints = std::numeric_limits<std::int32_t>::min();

/// A cell's text as found: its spelling, and the whole points it adds to the score (or
/// NotWholePoints), kept with it so that the sum needs no second look-up.
struct TFoundSpelling {
    TSpellingId id = std::numeric_limits<TSpellingId>::max();
    std::int32_t wholePoints = NotWholePoints;
};

/// Answer texts that marking takes for the same answer to one question.
struct TAnswerGroup {
    std::vector<TSpellingId> spellings;
    bool isKey = false;
};

/// Every answer text met, exactly as written, with marking's verdict on it, taken once per
/// text; what the students who wrote it add up to is kept with it. Each question has its own
/// texts, and one for its empty cells; the ids run over all questions, so that the loops over
/// the cells index flat arrays.
class TAnswerSpellings {
public:
    TAnswerSpellings(std::vector<TQuestionRule> rules, char decimalSeparator);

    std::size_t Questions() const { return rules_.size(); }
    const TQuestionRule& Rule(std::size_t question) const { return rules_[question]; }
    TSpellingId Blank(std::size_t question) const { return blanks_[question]; }
    const std::vector<TAnswerGroup>& Groups(std::size_t question) const {
        return groups_[question];
    }

    /// The id of a cell's text. Empty texts and texts of one byte are found in a table; a
    /// longer one is most often the one met before, else it is looked up. Throws what marking
    /// throws for it.
    TFoundSpelling Find(std::size_t question, std::string_view answer) {
        if (answer.size() <= 1) {
            const std::size_t slot =
                answer.empty() ? EmptySlot : static_cast<unsigned char>(answer.front());
            TFoundSpelling& known = shortTexts_[question * ShortSlots + slot];
            if (known.id == Unseen) {
                known = Found(Lookup(question, answer));
            }
            return known;
        }
        TFoundSpelling& last = last_[question];
        if (last.id == Unseen || !SameText(text[last.id], answer)) {
            last = Found(Lookup(question, answer));
        }
        return last;
    }

    /// Adds what the answer found earns to a student's score, as marking sums it.
    void AddToScore(THeldSum& score, TFoundSpelling found) const {
        if (found.wholePoints != NotWholePoints) {
            score.AddWhole(found.wholePoints);
        } else {
            score.Add(scorePoints[found.id]);
        }
    }

    // Per id.
    std::vector<std::string> text;
    /// What marking adds to the score: the points of a correct keyed answer or of any points.
    std::vector<long double> scorePoints;
    /// The same as a whole number, when THeldSum sums it as one; else NotWholePoints.
    std::vector<std::int32_t> wholePoints;
    /// The item: 1 or 0 for a keyed answer, the points of a points question.
    std::vector<double> item;
    /// The students who wrote it, with their scores added up; together, as they are added to
    /// together.
    struct TWriters {
        double scoreSum = 0;
        int count = 0;
    };
    std::vector<TWriters> writers;
    /// Students of the upper and the lower group who wrote it, each by its weight.
    std::vector<double> upperWeight;
    std::vector<double> lowerWeight;

private:
    /// One slot for each byte, one for the empty text.
    static constexpr std::size_t ShortSlots = 257;
    static constexpr std::size_t EmptySlot = 256;
    static constexpr TSpellingId Unseen = std::numeric_limits<TSpellingId>::max();

    struct TTextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const {
            return std::hash<std::string_view>{}(key);
        }
    };

    /// Short answers are compared here, where a call of the library's comparison would cost
    /// more than the comparison.
    static bool SameText(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t at = 0; at < a.size(); ++at) {
            if (a[at] != b[at]) {
                return false;
            }
        }
        return true;
    }

    TFoundSpelling Found(TSpellingId id) const { return {id, wholePoints[id]}; }

    TSpellingId Lookup(std::size_t question, std::string_view answer) {
        const auto& ids = lookup_[question];
        if (const auto found = ids.find(answer); found != ids.end()) {
            return found->second;
        }
        return AddWritten(question, answer);
    }

    /// A text not met before for the question, marked as marking marks it.
    TSpellingId AddWritten(std::size_t question, std::string_view answer);
    TSpellingId Add(std::size_t question, std::string_view answer, const TAnswerMark& mark);
    void AddToGroup(std::size_t question, TSpellingId id, const TAnswerMark& mark);

    std::vector<TQuestionRule> rules_;
    char decimalSeparator_;
    std::vector<TSpellingId> blanks_;
    std::vector<TFoundSpelling> shortTexts_;
    std::vector<TFoundSpelling> last_;
    std::vector<std::unordered_map<std::string, TSpellingId, TTextHash, std::equal_to<>>> lookup_;
    std::vector<std::vector<TAnswerGroup>> groups_;
    std::vector<std::map<std::string, std::size_t>> textGroups_;
    std::vector<std::map<long double, std::size_t>> valueGroups_;
};
