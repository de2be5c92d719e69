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
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace std::string_literals;

/// Kana, kanji, Japanese punctuation and the full-width forms.
bool HoldsJapanese(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t unit = c.unicode();
        return (unit >= 0x3000 && unit <= 0x30FF) || (unit >= 0x4E00 && unit <= 0x9FFF) ||
               (unit >= 0xFF00 && unit <= 0xFFEF);
    });
}

/// The texts that hold Japanese, one a line.
QString JapaneseAmong(const QStringList& texts) {
    QStringList japanese;
    std::copy_if(texts.begin(), texts.end(), std::back_inserter(japanese), HoldsJapanese);
    return japanese.join(QLatin1Char('\n'));
}

/// What a window and its children show: titles, labels, buttons, actions with their tips, and
/// the cells and headers of tables.
QStringList ShownTexts(const QWidget& top) {
    QStringList texts{top.windowTitle()};
    for (const QObject* child : top.findChildren<QObject*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(child)) {
            texts << label->text();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(child)) {
            texts << button->text();
        } else if (const auto* action = qobject_cast<const QAction*>(child)) {
            texts << action->text() << action->toolTip();
        } else if (const auto* menu = qobject_cast<const QMenu*>(child)) {
            texts << menu->title();
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

/// A class in English: the second question is marked by points ("#").
constexpr std::string_view Quiz = ",,a,#,\r\n,,2,3,\r\n1001,Sato,a,2,\r\n1002,Suzuki,b,3,\r\n";

/// The window with the English language file; the cases below drive it as its users.
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
    TAnswerTable& Table() { return window->AnswerTable(); }

    void Open(std::string_view bytes, std::string_view name = "quiz.csv") {
        services.openAnswers.push_back(folders.CreateFile(name, bytes));
        Face().mmOpen->trigger();
    }

    /// Every text the fake desktop was asked to show.
    QStringList Told() const {
        return services.errors + services.messages + services.choiceQuestions + services.questions +
               services.discardWordings + services.filters;
    }

    TWindowFolders folders;
    TFakeServices services;
    std::unique_ptr<TMain> window;
    std::unique_ptr<TAboutBox> aboutBox;
};

struct TToldCase {
    const char* name;
    std::function<void(EnglishWindow&)> act;

    friend void PrintTo(const TToldCase& c, std::ostream* os) { *os << c.name; }
};

class EnglishBoxes : public EnglishWindow, public testing::WithParamInterface<TToldCase> {};

TEST_P(EnglishBoxes, TellNothingInJapanese) {
    GetParam().act(*this);
    const QStringList told = Told();
    EXPECT_FALSE(told.isEmpty()) << "nothing was shown";
    EXPECT_EQ(JapaneseAmong(told), QString());
}

void MarkWithCell(EnglishWindow& w, int column, int row, const char* text) {
    w.Open(Quiz);
    w.Table().SetCell(column, row, text);
    w.Face().mmMark->trigger();
}

const TToldCase ToldCases[] = {
    {"OpenMissingFile",
     [](EnglishWindow& w) {
         w.services.openAnswers.push_back(NativeName(w.folders / "missing.csv"));
         w.Face().mmOpen->trigger();
     }},
    {"OpenUtf16OfOddLength",
     [](EnglishWindow& w) {
         w.Open("\xff\xfe"
                "a\0b"s);
     }},
    {"OpenUtf16LoneSurrogate",
     [](EnglishWindow& w) {
         w.Open("\xff\xfe"
                "a\0\x00\xdc"s);
     }},
    {"OpenUtf32", [](EnglishWindow& w) { w.Open("1\0\0\0,\0\0\0a\0\0\0\r\0\0\0\n\0\0\0"s); }},
    {"OpenCharactersShiftJisLacks",
     [](EnglishWindow& w) { w.Open(",,a,\r\n,,1,\r\n1001,Zo\xc3\xa9,a,\r\n"); }},
    {"OpenNulAfterTheFirstLine",
     [](EnglishWindow& w) { w.Open(",,a,\r\n,,1,\r\n1001,B\0b,a,\r\n"s); }},
    {"MarkStudentCellNoNumber", [](EnglishWindow& w) { MarkWithCell(w, 4, 3, "x"); }},
    {"MarkPointsCellNoNumber", [](EnglishWindow& w) { MarkWithCell(w, 4, 2, "ten"); }},
    {"MarkRowWithoutNumber", [](EnglishWindow& w) { MarkWithCell(w, 2, 5, "Kato"); }},
    {"MarkStudentBelowAnEmptyNumber", [](EnglishWindow& w) { MarkWithCell(w, 1, 6, "1004"); }},
    {"MarkOverTheTeachersText", [](EnglishWindow& w) { MarkWithCell(w, 5, 3, "note"); }},
    {"SaveCellsTheFileDropsThenCancel",
     [](EnglishWindow& w) {
         w.Table().SetCell(1, 6, "1004");
         w.services.choiceAnswers.push_back(1);
         w.Face().mmSaveAs->trigger();
     }},
    {"SaveOverAFileChangedElsewhere",
     [](EnglishWindow& w) {
         w.Open(Quiz);
         const QString quiz = w.folders.CreateFile("quiz.csv", "changed");
         w.services.saveAnswers.push_back(quiz);
         w.services.choiceAnswers.push_back(2);
         w.Face().mmSaveAs->trigger();
     }},
    {"SaveIntoAMissingFolder",
     [](EnglishWindow& w) {
         w.services.saveAnswers.push_back(NativeName(w.folders / "missing/quiz.csv"));
         w.Face().mmSaveAs->trigger();
     }},
    {"NewAsksBeforeDiscarding",
     [](EnglishWindow& w) {
         w.Table().SetCell(1, 3, "1001");
         w.services.discardAnswers.push_back(TDiscardAnswer::No);
         w.Face().mmNew->trigger();
     }},
    {"RosterOverAnswers",
     [](EnglishWindow& w) {
         w.Open(Quiz);
         w.services.clipboard = QStringLiteral("1,Abe\r\n2,Ito\r\n");
         w.services.choiceAnswers.push_back(2);
         w.Face().mmPaste->trigger();
     }},
    {"RosterLineWithoutName",
     [](EnglishWindow& w) {
         w.services.clipboard = QStringLiteral("1001\r\n");
         w.Face().mmPaste->trigger();
     }},
    {"RosterCutByNul",
     [](EnglishWindow& w) {
         w.services.clipboard = QStringLiteral("1,Abe\r\n2,I") + QChar(0) + QStringLiteral("to");
         w.Face().mmPaste->trigger();
     }},
    {"PasteNothing", [](EnglishWindow& w) { w.Face().mmPasteCells->trigger(); }},
    {"PasteCharactersShiftJisLacks",
     [](EnglishWindow& w) {
         w.services.clipboard = QStringLiteral("Zo\u00e9\tx\r\n");
         w.Face().mmPasteCells->trigger();
     }},
    {"AboutWithoutItsIcon", [](EnglishWindow& w) { w.Face().mmAbout->trigger(); }},
    {"AboutWithABrokenIcon",
     [](EnglishWindow& w) {
         WriteTestFile(w.folders.ProgramFolder() / "Pelloran123.ico", "no icon");
         w.Face().mmAbout->trigger();
     }},
    {"SlipsOfATableNotMarked",
     [](EnglishWindow& w) {
         w.Open(Quiz);
         w.Face().mmSlips->trigger();
     }},
    {"CloseWithSettingsThatCannotBeWritten",
     [](EnglishWindow& w) {
         std::filesystem::create_directories(w.folders.Settings());
         CloseWindow(*w.window);
     }},
};

INSTANTIATE_TEST_SUITE_P(EnglishWindow, EnglishBoxes, testing::ValuesIn(ToldCases), TCaseName());

TEST_F(EnglishWindow, MenusToolbarAndAboutBoxShowNoJapanese) {
    Face().mmAbout->trigger();
    const QStringList shown = ShownTexts(*window) + ShownTexts(*aboutBox);
    EXPECT_EQ(JapaneseAmong(shown), QString());
    EXPECT_EQ(Face().mmEdit->title(), "&Edit");
    EXPECT_EQ(aboutBox->windowTitle(), "About Pelloran");
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
        if (PopplerInstalled()) {
            for (const std::string& page : PdfPageTexts(folders / pdf)) {
                shown << QString::fromStdString(page);
            }
        }
    }
    EXPECT_EQ(JapaneseAmong(shown), QString());
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
    // A failure of the analysis shows in its window in place of the figures.
    Table().SetCell(4, 3, "x");
    Face().AnalysisWindow->Refresh();
    EXPECT_FALSE(HoldsJapanese(Face().AnalysisWindow->Status->text()))
        << Face().AnalysisWindow->Status->text().toStdString();
}

} // namespace
