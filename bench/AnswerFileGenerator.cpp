#include "AnswerFileGenerator.h"

#include <array>
#include <string_view>
#include <utility>
#include <vector>

namespace {

/// splitmix64: the same numbers on every platform, which the standard distributions do not
/// promise.
class TPseudoRandom {
public:
    explicit TPseudoRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t mixed = (state_ += 0x9E3779B97F4A7C15ULL);
        mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9ULL;
        mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBULL;
        return mixed ^ (mixed >> 31);
    }

    /// 0 to `bound` - 1.
    int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }

    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::uint64_t state_;
};

constexpr int FirstStudentNumber = 2400001;
constexpr int PointsQuestionPercent = 10;
constexpr int EmptyAnswerPercent = 4;
constexpr int UpperCasePercent = 10;
constexpr std::string_view AnswerLetters = "abcde";
constexpr std::string_view FullWidthBlank = "\x81\x40";

// Shift-JIS bytes; 表, 能 (能登), 十 (十河) and ソ (ソウタ) end in the trail byte 0x5C, which
// is also the ASCII backslash.
constexpr std::array<std::string_view, 8> FamilyNames = {
    "\x8E\x52\x93\x63", // 山田
    "\x8D\xB2\x93\xA1", // 佐藤
    "\x97\xE9\x96\xD8", // 鈴木
    "\x8D\x82\x8B\xB4", // 高橋
    "\x93\x63\x92\x86", // 田中
    "\x95\x5C",         // 表
    "\x94\x5C\x93\x6F", // 能登
    "\x8F\x5C\x89\xCD", // 十河
};
constexpr std::array<std::string_view, 6> GivenNames = {
    "\x91\xBE\x98\x59",         // 太郎
    "\x89\xD4\x8E\x71",         // 花子
    "\x94\xFC\x8D\xE7",         // 美咲
    "\x83\x5C\x83\x45\x83\x5E", // ソウタ
    "\x82\xB3\x82\xAD\x82\xE7", // さくら
    "\x88\xEA\x98\x59",         // 一郎
};

struct TStudent {
    std::string number;
    std::string name;
    /// Percent of questions the student gets right.
    int ability;
};

struct TQuestion {
    bool isPoints;
    /// Index of the right letter for a keyed question, the most points for a points question.
    int value;
    std::string pointsCell;
};

template <std::size_t Size>
std::string_view PickOne(TPseudoRandom& random, const std::array<std::string_view, Size>& from) {
    return from[static_cast<std::size_t>(random.Below(static_cast<int>(Size)))];
}

std::string MakeName(TPseudoRandom& random) {
    std::string name(PickOne(random, FamilyNames));
    if (random.Chance(50)) {
        name += FullWidthBlank;
    }
    name += PickOne(random, GivenNames);
    return name;
}

/// In number order; the answer file and the roster of one seed hold the same students.
std::vector<TStudent> MakeStudents(TPseudoRandom& random, int count) {
    std::vector<TStudent> students;
    students.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        std::string name = MakeName(random);
        const int ability = 50 + random.Below(46);
        students.push_back({std::to_string(FirstStudentNumber + index), std::move(name), ability});
    }
    return students;
}

std::vector<TQuestion> MakeQuestions(TPseudoRandom& random, int count) {
    std::vector<TQuestion> questions;
    questions.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        if (random.Chance(PointsQuestionPercent)) {
            const int most = 5 + random.Below(6);
            questions.push_back({true, most, random.Chance(50) ? std::to_string(most) : ""});
        } else {
            const int letter = random.Below(static_cast<int>(AnswerLetters.size()));
            questions.push_back({false, letter, std::to_string(1 + random.Below(5))});
        }
    }
    return questions;
}

/// Answer sheets come in the order they were handed in, not by number.
std::vector<std::size_t> ShuffledOrder(TPseudoRandom& random, std::size_t count) {
    std::vector<std::size_t> order(count);
    for (std::size_t index = 0; index < count; ++index) {
        order[index] = index;
    }
    for (std::size_t index = count; index > 1; --index) {
        const auto other = static_cast<std::size_t>(random.Below(static_cast<int>(index)));
        std::swap(order[index - 1], order[other]);
    }
    return order;
}

std::string Letter(TPseudoRandom& random, int index) {
    const char letter = AnswerLetters[static_cast<std::size_t>(index)];
    return std::string(1, random.Chance(UpperCasePercent) ? static_cast<char>(letter - 'a' + 'A')
                                                          : letter);
}

std::string Answer(TPseudoRandom& random, const TQuestion& question, int ability) {
    if (random.Chance(EmptyAnswerPercent)) {
        return {};
    }
    if (question.isPoints) {
        return std::to_string(random.Chance(ability) ? question.value
                                                     : random.Below(question.value));
    }
    if (random.Chance(ability)) {
        return Letter(random, question.value);
    }
    const int letterCount = static_cast<int>(AnswerLetters.size());
    return Letter(random, (question.value + 1 + random.Below(letterCount - 1)) % letterCount);
}

void AppendCell(std::string& text, std::string_view cell) {
    text += cell;
    text += ',';
}

/// The program saves the column after the last question too (its answer-key cell, empty,
/// ends the questions), so a generated file opens and saves back to the same bytes.
void EndLine(std::string& text) {
    text += ",\r\n";
}

void AppendAnswerKey(std::string& text, const std::vector<TQuestion>& questions) {
    AppendCell(text, "");
    AppendCell(text, "");
    for (const TQuestion& question : questions) {
        AppendCell(text, question.isPoints
                             ? std::string_view("#")
                             : AnswerLetters.substr(static_cast<std::size_t>(question.value), 1));
    }
    EndLine(text);
}

void AppendPoints(std::string& text, const std::vector<TQuestion>& questions) {
    AppendCell(text, "");
    AppendCell(text, "");
    for (const TQuestion& question : questions) {
        AppendCell(text, question.pointsCell);
    }
    EndLine(text);
}

void AppendStudent(std::string& text, TPseudoRandom& random, const TStudent& student,
                   const std::vector<TQuestion>& questions) {
    AppendCell(text, student.number);
    AppendCell(text, student.name);
    for (const TQuestion& question : questions) {
        AppendCell(text, Answer(random, question, student.ability));
    }
    EndLine(text);
}

} // namespace

std::string GenerateAnswerFile(int students, int questions, std::uint64_t seed) {
    TPseudoRandom random(seed);
    const std::vector<TStudent> roster = MakeStudents(random, students);
    const std::vector<TQuestion> key = MakeQuestions(random, questions);
    std::string text;
    constexpr std::size_t BytesPerStudent = 24;
    constexpr std::size_t BytesPerAnswer = 2;
    text.reserve((roster.size() + 2) * (BytesPerStudent + BytesPerAnswer * key.size()));
    AppendAnswerKey(text, key);
    AppendPoints(text, key);
    for (const std::size_t index : ShuffledOrder(random, roster.size())) {
        AppendStudent(text, random, roster[index], key);
    }
    return text;
}

std::string GenerateRoster(int students, std::uint64_t seed) {
    TPseudoRandom random(seed);
    std::string text;
    for (const TStudent& student : MakeStudents(random, students)) {
        text += student.number;
        text += ',';
        text += student.name;
        text += "\r\n";
    }
    return text;
}
