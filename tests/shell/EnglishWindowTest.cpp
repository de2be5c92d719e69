#include "PdfTools.h"
#include "ShellTestSupport.h"
#include "TestText.h"
#include "shell/about/About_Box.h"
#include "shell/analysis/AnalysisWindow.h"
#include "shell/paper/PaperDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace std::string_literals;

/// The texts that hold kana, kanji, Japanese punctuation or full-width forms, one a line.
QString JapaneseAmong(const QStringList& texts) {
    QStringList japanese;
    for (const QString& text : texts) {
        if (std::any_of(text.begin(), text.end(), [](QChar c) {
                const char16_t unit = c.unicode();
                return (unit >= 0x3000 && unit <= 0x30FF) || (unit >= 0x4E00 && unit <= 0x9FFF) ||
                       (unit >= 0xFF00 && unit <= 0xFFEF);
            })) {
            japanese << text;
        }
    }
    return japanese.join(QLatin1Char('\n'));
}

/// What a window shows: its title, labels, buttons, actions (menus too) with their tips, and the
/// headers and cells of tables.
QStringList ShownTexts(const QWidget& top) {
    QStringList texts{top.windowTitle()};
    for (const QObject* child : top.findChildren<QObject*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(child)) {
            texts << label->text();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(child)) {
            texts << button->text();
        } else if (const auto* action = qobject_cast<const QAction*>(child)) {
            texts << action->text() << action->toolTip();
        } else if (const auto* table = qobject_cast<const QTableWidget*>(child)) {
            for (int column = 0; column < table->columnCount(); ++column) {
                texts << table->horizontalHeaderItem(column)->text();
                for (int row = 0; row < table->rowCount(); ++row) {
                    texts << table->item(row, column)->text()
                          << table->item(row, column)->toolTip();
                }
            }
        }
    }
    return texts;
}

/// A class in English; the second question is marked by points ("#").
constexpr std::string_view Quiz = ",,a,#,\r\n,,2,3,\r\n1001,Sato,a,2,\r\n1002,Suzuki,b,3,\r\n";

/// The window with the English language file, driven by the cases below as its users drive it.
class EnglishWindow : public testing::Test {
public:
    void SetUp() override {
        WriteTestFile(folders.LanguageFile(),
                      ReadTestFile(PELLORAN_RESOURCES_FOLDER "/lang/en.lng"));
        window = ShowWindow(folders, services);
        aboutBox = std::make_unique<TAboutBox>(TAboutBox::TUrlOpener(), window.get());
        window->SetAboutBox(aboutBox.get());
    }

    TMainTestFace Face() const { return window->TestFace(); }

    void Open(std::string_view bytes) {
        services.openAnswers.push_back(folders.CreateFile("quiz.csv", bytes));
        Face().mmOpen->trigger();
    }

    /// Every text the desktop was asked to show.
    QStringList Told() const {
        return services.errors + services.messages + services.choiceQuestions + services.questions +
               services.discardWordings + services.filters;
    }

    TWindowFolders folders;
    TFakeServices services;
    std::unique_ptr<TMain> window;
    std::unique_ptr<TAboutBox> aboutBox;
};

using TAct = std::function<void(EnglishWindow&)>;

struct TToldCase {
    const char* name;
    TAct act;

    friend void PrintTo(const TToldCase& c, std::ostream* os) { *os << c.name; }
};

TAct OpenFile(const std::string& bytes) {
    return [bytes](EnglishWindow& w) { w.Open(bytes); };
}

/// Marks the quiz with `text` in a cell.
TAct MarkWith(int column, int row, const char* text) {
    return [=](EnglishWindow& w) {
        w.Open(Quiz);
        w.window->AnswerTable().SetCell(column, row, text);
        w.Face().mmMark->trigger();
    };
}

/// Runs the command with `clipboard` on the clipboard, over the quiz when `overQuiz`.
TAct Paste(QAction* TMainTestFace::*command, const QString& clipboard, bool overQuiz = false) {
    return [=](EnglishWindow& w) {
        if (overQuiz) {
            w.Open(Quiz);
        }
        w.services.clipboard = clipboard;
        w.services.choiceAnswers.push_back(2);
        (w.Face().*command)->trigger();
    };
}

/// Runs the command after the test's `setUp`, answering every question with its last choice.
TAct Run(QAction* TMainTestFace::*command, const TAct& setUp) {
    return [=](EnglishWindow& w) {
        setUp(w);
        w.services.choiceAnswers = {1, 2};
        w.services.discardAnswers.push_back(TDiscardAnswer::No);
        (w.Face().*command)->trigger();
    };
}

const TToldCase ToldCases[] = {
    {"OpenMissingFile", Run(&TMainTestFace::mmOpen,
                            [](EnglishWindow& w) {
                                w.services.openAnswers.push_back(
                                    NativeName(w.folders / "missing.csv"));
                            })},
    {"OpenUtf16OfOddLength", OpenFile("\xff\xfe"
                                      "a\0b"s)},
    {"OpenUtf16LoneSurrogate", OpenFile("\xff\xfe"
                                        "a\0\x00\xdc"s)},
    {"OpenUtf32", OpenFile("1\0\0\0,\0\0\0a\0\0\0\r\0\0\0\n\0\0\0"s)},
    {"OpenCharactersShiftJisLacks", OpenFile(",,a,\r\n,,1,\r\n1001,Zo\xc3\xa9,a,\r\n")},
    {"OpenNulAfterTheFirstLine", OpenFile(",,a,\r\n,,1,\r\n1001,B\0b,a,\r\n"s)},
    {"MarkStudentCellNoNumber", MarkWith(4, 3, "x")},
    {"MarkPointsCellNoNumber", MarkWith(4, 2, "ten")},
    {"MarkRowWithoutNumber", MarkWith(2, 5, "Kato")},
    {"MarkStudentBelowAnEmptyNumber", MarkWith(1, 6, "1004")},
    {"MarkOverTheTeachersText", MarkWith(5, 3, "note")},
    {"SaveCellsTheFileDrops",
     Run(&TMainTestFace::mmSaveAs,
         [](EnglishWindow& w) { w.window->AnswerTable().SetCell(1, 6, "1004"); })},
    {"SaveOverAFileChangedElsewhere", Run(&TMainTestFace::mmSaveAs,
                                          [](EnglishWindow& w) {
                                              w.Open(Quiz);
                                              w.services.saveAnswers.push_back(
                                                  w.folders.CreateFile("quiz.csv", "changed"));
                                          })},
    {"SaveIntoAMissingFolder", Run(&TMainTestFace::mmSaveAs,
                                   [](EnglishWindow& w) {
                                       w.services.saveAnswers.push_back(
                                           NativeName(w.folders / "missing/quiz.csv"));
                                   })},
    {"NewAsksBeforeDiscarding", Run(&TMainTestFace::mmNew, MarkWith(4, 3, "3"))},
    {"RosterOverAnswers", Paste(&TMainTestFace::mmPaste, QStringLiteral("1,Abe\r\n"), true)},
    {"RosterLineWithoutName", Paste(&TMainTestFace::mmPaste, QStringLiteral("1001\r\n"))},
    {"RosterCutByNul", Paste(&TMainTestFace::mmPaste,
                             QStringLiteral("1,Abe\r\n2,I") + QChar(0) + QStringLiteral("to"))},
    {"PasteNothing", Paste(&TMainTestFace::mmPasteCells, QString())},
    {"PasteCharactersShiftJisLacks",
     Paste(&TMainTestFace::mmPasteCells, QStringLiteral("Zo\u00e9\tx\r\n"))},
    {"AboutWithoutItsIcon", Run(&TMainTestFace::mmAbout, [](EnglishWindow&) {})},
    {"AboutWithABrokenIcon", Run(&TMainTestFace::mmAbout,
                                 [](EnglishWindow& w) {
                                     WriteTestFile(w.folders.ProgramFolder() / "Pelloran123.ico",
                                                   "no icon");
                                 })},
    {"SlipsOfATableNotMarked",
     Run(&TMainTestFace::mmSlips, [](EnglishWindow& w) { w.Open(Quiz); })},
    {"CloseWithSettingsThatCannotBeWritten",
     Run(&TMainTestFace::mmExit,
         [](EnglishWindow& w) { std::filesystem::create_directories(w.folders.Settings()); })},
};

class EnglishBoxes : public EnglishWindow, public testing::WithParamInterface<TToldCase> {};

// Every message and error box with its title and buttons, the questions with their buttons and
// the file dialogs' filters.
TEST_P(EnglishBoxes, TellNothingInJapanese) {
    GetParam().act(*this);
    EXPECT_FALSE(Told().isEmpty()) << "nothing was shown";
    EXPECT_EQ(JapaneseAmong(Told()), QString());
}

INSTANTIATE_TEST_SUITE_P(EnglishWindow, EnglishBoxes, testing::ValuesIn(ToldCases), TCaseName());

TEST_F(EnglishWindow, MenusToolbarAndAboutBoxShowNoJapanese) {
    Face().mmAbout->trigger();
    EXPECT_EQ(JapaneseAmong(ShownTexts(*window) + ShownTexts(*aboutBox)), QString());
    EXPECT_EQ(Face().mmEdit->title(), "&Edit");
}

TEST_F(EnglishWindow, AnalysisReportPaperDialogAndPaperShowNoJapanese) {
    Open(Quiz);
    Face().mmMark->trigger();
    Face().mmAnalysis->trigger();
    services.reportAnswers.push_back(NativeName(folders / "report.html"));
    Face().AnalysisWindow->SaveReport->click();
    QStringList shown = ShownTexts(*Face().AnalysisWindow) + Told();
    shown << QString::fromUtf8(ReadTestFile(folders / "report.html"));
    for (const auto& [command, pdf] :
         {std::pair{Face().mmSlips, "slips.pdf"}, std::pair{Face().mmClassList, "list.pdf"}}) {
        services.pdfAnswers.push_back(NativeName(folders / pdf));
        QTimer::singleShot(0, [&shown] {
            auto* dialog = qobject_cast<TPaperDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shown << ShownTexts(*dialog);
            dialog->SavePdf->click();
            dialog->reject();
        });
        command->trigger();
        for (const std::string& page :
             PopplerInstalled() ? PdfPageTexts(folders / pdf) : std::vector<std::string>()) {
            shown << QString::fromStdString(page);
        }
    }
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
    // A failure of the analysis shows in its window in place of the figures.
    window->AnswerTable().SetCell(4, 3, "x");
    Face().AnalysisWindow->Refresh();
    shown << Face().AnalysisWindow->Status->text();
    EXPECT_EQ(JapaneseAmong(shown), QString());
}

} // namespace
