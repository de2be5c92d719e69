#include "CliRunner.h"
#include "PdfTools.h"
#include "TestText.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

/// A class with answers drawn at random, and what marking makes of them worked out here, by
/// the rules a teacher applies: a keyed answer is right when it is the key in any letter case;
/// a "#" question's points are right at full marks, partial below them, wrong at 0 or empty.
struct TRandomClass {
    static constexpr int PointsQuestionPoints = 5;

    struct TStudent {
        std::string number;
        std::string name;
        std::vector<std::string> answers;
        std::vector<std::string> marks;
        int score = 0;
    };

    TRandomClass(int students, int questions, std::uint32_t seed) {
        std::mt19937 random(seed);
        const auto below = [&](int count) {
            return std::uniform_int_distribution<int>(0, count - 1)(random);
        };
        const std::vector<std::string> family = {"山田", "佐藤", "鈴木", "高橋", "田中", "渡辺"};
        const std::vector<std::string> given = {"花子", "太郎", "さくら", "ソウタ", "美咲"};
        for (int question = 0; question < questions; ++question) {
            const bool pointsQuestion = question % 7 == 3;
            keys.push_back(pointsQuestion ? "#"
                                          : std::string(1, static_cast<char>('a' + below(5))));
            points.push_back(pointsQuestion ? PointsQuestionPoints : 1 + below(4));
            fullMarks += points.back();
        }
        std::vector<int> numbers(static_cast<std::size_t>(students));
        for (int at = 0; at < students; ++at) {
            numbers[static_cast<std::size_t>(at)] = 3001 + at;
        }
        std::shuffle(numbers.begin(), numbers.end(), random);
        for (int student = 0; student < students; ++student) {
            TStudent row;
            row.number = std::to_string(numbers[static_cast<std::size_t>(student)]);
            row.name = family[static_cast<std::size_t>(below(6))] +
                       given[static_cast<std::size_t>(below(5))];
            for (int question = 0; question < questions; ++question) {
                const auto at = static_cast<std::size_t>(question);
                const int roll = below(10);
                std::string answer;
                std::string mark;
                if (keys[at] == "#") {
                    const int earned = roll == 0 ? -1 : below(PointsQuestionPoints + 1);
                    answer = earned < 0 ? "" : std::to_string(earned);
                    mark = earned <= 0 ? "×" : earned < PointsQuestionPoints ? "△" : "○";
                    row.score += std::max(earned, 0);
                } else if (roll < 6) {
                    answer = roll == 0 ? std::string(1, static_cast<char>(keys[at][0] - 'a' + 'A'))
                                       : keys[at];
                    mark = "○";
                    row.score += points[at];
                } else {
                    answer = roll == 9 ? "" : keys[at] == "a" ? "b" : "a";
                    mark = "×";
                }
                row.answers.push_back(answer);
                row.marks.push_back(mark);
            }
            rows.push_back(row);
        }
    }

    std::string Csv() const {
        std::string csv = ",,";
        for (const std::string& key : keys) {
            csv += key + ",";
        }
        csv += "\r\n,,";
        for (const int point : points) {
            csv += std::to_string(point) + ",";
        }
        csv += "\r\n";
        for (const TStudent& row : rows) {
            csv += row.number + "," + row.name + ",";
            for (const std::string& answer : row.answers) {
                csv += answer + ",";
            }
            csv += "\r\n";
        }
        return csv;
    }

    int Rank(const TStudent& student) const {
        return 1 +
               static_cast<int>(std::count_if(rows.begin(), rows.end(), [&](const TStudent& other) {
                   return other.score > student.score;
               }));
    }

    std::vector<std::string> keys;
    std::vector<int> points;
    int fullMarks = 0;
    std::vector<TStudent> rows;
};

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream stream(line);
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

/// The lines of the page that begin with `label`, as words without the label.
std::vector<std::vector<std::string>> LinesStartingWith(const std::string& page,
                                                        const std::string& label) {
    std::vector<std::vector<std::string>> lines;
    for (const std::string& line : Split(page, '\n')) {
        std::vector<std::string> words = Words(line);
        if (!words.empty() && words.front() == label) {
            words.erase(words.begin());
            lines.push_back(words);
        }
    }
    return lines;
}

std::size_t Occurrences(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

class PaperCli : public testing::Test {
protected:
    void SetUp() override {
        if (!PopplerInstalled()) {
            GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo, pdffonts) is not installed: "
                            "scripts/setup installs it";
        }
    }

    /// Opens and marks the class, then runs `commands`.
    TCliResult RunOnClass(const TRandomClass& marked, std::vector<std::string> commands,
                          std::vector<std::string> options = {}) {
        WriteTestFile(folder / "class.csv", marked.Csv());
        options.insert(options.end(), {"open", "class.csv", "mark"});
        commands.insert(commands.begin(), options.begin(), options.end());
        return RunCli(commands, folder.Path());
    }

    TTemporaryFolder folder;
};

TEST_F(PaperCli, EverySlipShowsItsStudentScoreRankAndMarksOnTheRightPage) {
    const TRandomClass marked(40, 10, 20);
    const TCliResult result = RunOnClass(marked, {"slips", "slips.pdf"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> pages = PdfPageTexts(folder / "slips.pdf");
    constexpr std::size_t SlipsPerPage = 5;
    ASSERT_EQ(pages.size(), 8u);
    for (std::size_t student = 0; student < marked.rows.size(); ++student) {
        const TRandomClass::TStudent& row = marked.rows[student];
        const std::string& page = pages[student / SlipsPerPage];
        const std::size_t slot = student % SlipsPerPage;
        const auto heads = LinesStartingWith(page, "学籍番号");
        const auto ranks = LinesStartingWith(page, "順位");
        const auto marks = LinesStartingWith(page, "正誤");
        ASSERT_GT(heads.size(), slot) << page;
        ASSERT_GT(ranks.size(), slot) << page;
        ASSERT_GT(marks.size(), slot) << page;
        EXPECT_EQ(heads[slot], (std::vector<std::string>{row.number, "氏名", row.name, "得点",
                                                         std::to_string(row.score), "/",
                                                         std::to_string(marked.fullMarks), "点"}))
            << "student " << student;
        ASSERT_GE(ranks[slot].size(), 5u);
        EXPECT_EQ(ranks[slot][0], std::to_string(marked.Rank(row))) << "student " << student;
        EXPECT_EQ(ranks[slot][3], "40");
        EXPECT_EQ(marks[slot], row.marks) << "student " << student;
    }
}

TEST_F(PaperCli, ClassListHasEveryStudentWithScoreAndItsWrongAnswersMarked) {
    const TRandomClass marked(40, 10, 21);
    const TCliResult result = RunOnClass(marked, {"class-list", "list.pdf"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> pages = PdfPageTexts(folder / "list.pdf");
    ASSERT_EQ(pages.size(), 2u);
    const std::size_t perPage = 32;
    std::vector<std::size_t> wrong(pages.size());
    std::vector<std::size_t> partial(pages.size());
    for (std::size_t student = 0; student < marked.rows.size(); ++student) {
        const TRandomClass::TStudent& row = marked.rows[student];
        const std::size_t page = student / perPage;
        const auto lines = LinesStartingWith(pages[page], row.number);
        ASSERT_EQ(lines.size(), 1u) << row.number << "\n" << pages[page];
        EXPECT_EQ(lines[0].front(), row.name);
        EXPECT_EQ(lines[0].back(), std::to_string(row.score));
        wrong[page] +=
            static_cast<std::size_t>(std::count(row.marks.begin(), row.marks.end(), "×"));
        partial[page] +=
            static_cast<std::size_t>(std::count(row.marks.begin(), row.marks.end(), "△"));
    }
    for (std::size_t page = 0; page < pages.size(); ++page) {
        EXPECT_EQ(Occurrences(pages[page], "×"), wrong[page]) << "page " << page + 1;
        EXPECT_EQ(Occurrences(pages[page], "△"), partial[page]) << "page " << page + 1;
        // The header rows and the class's figures stand on every page.
        EXPECT_EQ(LinesStartingWith(pages[page], "学籍番号").size(), 1u);
        const std::vector<std::string> title = Words(Split(pages[page], '\n').at(0));
        ASSERT_EQ(title.size(), 7u) << pages[page];
        EXPECT_EQ((std::vector<std::string>{title[1], title[2], title[3], title[5]}),
                  (std::vector<std::string>{"受験者数", "40", "平均点", "標準偏差"}));
        EXPECT_NE(pages[page].find(std::to_string(page + 1) + " / 2 ページ"), std::string::npos);
    }
    EXPECT_EQ(LinesStartingWith(pages[0], "正答率").size(), 0u);
    EXPECT_EQ(LinesStartingWith(pages[1], "正答率").size(), 1u);
}

TEST_F(PaperCli, JapaneseTextIsEmbeddedAndReadBackAsWritten) {
    const TRandomClass marked(3, 5, 22);
    const std::string title = "二学期期末テスト（数学Ⅰ）";
    const TCliResult result =
        RunOnClass(marked, {"slips", "slips.pdf", "class-list", "list.pdf"}, {"--title", title});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* pdf : {"slips.pdf", "list.pdf"}) {
        const std::vector<std::string> pages = PdfPageTexts(folder / pdf);
        ASSERT_FALSE(pages.empty()) << pdf;
        EXPECT_EQ(Words(Split(pages[0], '\n')[0]).at(0), title) << pdf;
        EXPECT_NE(pages[0].find(marked.rows[0].name), std::string::npos) << pdf;
        const std::vector<std::string> fonts = PdfFontLines(folder / pdf);
        ASSERT_FALSE(fonts.empty()) << pdf;
        for (const std::string& font : fonts) {
            const std::vector<std::string> columns = Words(font);
            // name, type..., encoding, emb, sub, uni, object, generation
            ASSERT_GE(columns.size(), 6u) << font;
            EXPECT_EQ(columns[columns.size() - 5], "yes") << pdf << " font not embedded: " << font;
        }
    }
}

TEST_F(PaperCli, TitleIsTheFileNameWithoutFolderAndExtensionUnlessGiven) {
    const TRandomClass marked(2, 3, 23);
    const TCliResult result = RunOnClass(marked, {"slips", "slips.pdf"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Words(PdfPageTexts(folder / "slips.pdf").at(0)).at(0), "class");
}

TEST_F(PaperCli, EnglishComesFromTheLanguageFile) {
    const TRandomClass marked(2, 3, 24);
    const std::filesystem::path english =
        std::filesystem::path(PELLORAN_CLI_PATH).parent_path() / "lang/en.lng";
    const TCliResult result =
        RunOnClass(marked, {"slips", "slips.pdf"}, {"--lng", english.string()});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string page = PdfPageTexts(folder / "slips.pdf").at(0);
    const auto heads = LinesStartingWith(page, "Number");
    ASSERT_EQ(heads.size(), 2u) << page;
    EXPECT_EQ(heads[0].at(1), "Name");
    EXPECT_EQ(LinesStartingWith(page, "Rank").size(), 2u) << page;
    EXPECT_EQ(LinesStartingWith(page, "Right").size(), 2u) << page;
}

struct TPageCase {
    std::string name;
    int students;
    int questions;
    int slipPages;
    int listPages;
    friend void PrintTo(const TPageCase& value, std::ostream* out) { *out << value.name; }
};

class PaperPages : public PaperCli, public testing::WithParamInterface<TPageCase> {};

TEST_P(PaperPages, FollowTheStudentsAndQuestions) {
    const TPageCase& pages = GetParam();
    const TRandomClass marked(pages.students, pages.questions, 25);
    const TCliResult result = RunOnClass(marked, {"slips", "slips.pdf", "class-list", "list.pdf"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(PdfPageCount(folder / "slips.pdf"), pages.slipPages);
    EXPECT_EQ(PdfPageCount(folder / "list.pdf"), pages.listPages);
}

INSTANTIATE_TEST_SUITE_P(Classes, PaperPages,
                         testing::Values(TPageCase{"Ten5", 10, 5, 2, 1},
                                         TPageCase{"Forty5", 40, 5, 8, 2},
                                         TPageCase{"FourHundred5", 400, 5, 80, 13},
                                         TPageCase{"Ten50", 10, 50, 5, 3},
                                         TPageCase{"Forty50", 40, 50, 20, 6},
                                         TPageCase{"FourHundred50", 400, 50, 200, 39}),
                         TCaseName());

TEST(PaperCliRefusals, ATableNotMarkedOrWithoutQuestionsWritesNoFile) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", ",,a,b,\r\n,,1,1,\r\n1001,Ann,a,c,\r\n");
    WriteTestFile(folder / "empty.csv", ",,\r\n,,\r\n1001,Ann,\r\n");
    const TCliResult unmarked = RunCli({"open", "quiz.csv", "slips", "a.pdf"}, folder.Path());
    EXPECT_EQ(unmarked.status, 1);
    EXPECT_EQ(unmarked.err,
              "pelloran-cli: まだ採点されていません。採点してから印刷してください。\n");
    const TCliResult empty = RunCli({"open", "empty.csv", "class-list", "b.pdf"}, folder.Path());
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "pelloran-cli: 分析する問題がありません。正答の行に答えを入れてくだ"
                         "さい。\n");
    const TCliResult changed = RunCli(
        {"open", "quiz.csv", "mark", "clear", "3", "3", "3", "3", "slips", "c.pdf"}, folder.Path());
    EXPECT_EQ(changed.status, 1);
    EXPECT_EQ(changed.err, "pelloran-cli: 採点のあとで表が変わっています。もう一度採点してから"
                           "印刷してください。\n");
    EXPECT_EQ(TTemporaryFolder::EntryNamesOf(folder.Path()),
              (std::vector<std::string>{"empty.csv", "quiz.csv"}));
}

TEST(PaperCliRefusals, AFileThatCannotBeWrittenIsReported) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", ",,a,\r\n,,1,\r\n1001,Ann,a,\r\n");
    const TCliResult result =
        RunCli({"open", "quiz.csv", "mark", "slips", "no/such/s.pdf"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "pelloran-cli: ファイル no/such/s.pdf を作成できません\n");
}

} // namespace
