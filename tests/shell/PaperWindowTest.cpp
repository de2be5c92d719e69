#include "ShellTestSupport.h"
#include "TableRows.h"
#include "paper/PaperOutput.h"
#include "paper/SlipDocument.h"
#include "shell/analysis/AnalysisWindow.h"
#include "shell/paper/PaperDialog.h"
#include "table/marking/Marking.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr std::string_view Quiz = ",,a,b,\r\n,,2,3,\r\n1001,Sato,a,b,\r\n1002,Suzuki,A,c,\r\n";

/// The access key of a caption: the character after its "&".
QChar AccessKey(const QString& caption) {
    const qsizetype at = caption.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toUpper() : QChar();
}

class PaperWindow : public testing::Test {
protected:
    std::unique_ptr<TMain> ShowWithQuiz(bool marked) {
        auto window = ShowWindow(folders, services);
        services.openAnswers.push_back(folders.CreateFile("quiz.csv", Quiz));
        window->TestFace().mmOpen->trigger();
        if (marked) {
            window->TestFace().mmMark->trigger();
        }
        return window;
    }

    /// Triggers `open`, then does `inDialog` with the paper dialog it shows and closes it.
    void WithDialog(const std::function<void()>& open,
                    const std::function<void(TPaperDialog&)>& inDialog) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TPaperDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            shown = true;
            inDialog(*dialog);
            dialog->reject();
        });
        open();
        EXPECT_TRUE(shown) << "no paper dialog";
    }

    QString Path(std::string_view name) const {
        return QString::fromStdString((folders / name).string());
    }

    TWindowFolders folders;
    TFakeServices services;
};

TEST_F(PaperWindow, CommandsFollowTheAnalysisInTheEditMenuWithKeysOfTheirOwn) {
    for (const bool english : {false, true}) {
        if (english) {
            WriteTestFile(folders.LanguageFile(),
                          ReadTestFile(PELLORAN_RESOURCES_FOLDER "/lang/en.lng"));
        }
        const auto window = ShowWindow(folders, services);
        const QList<QAction*> actions = window->TestFace().mmEdit->actions();
        ASSERT_GE(actions.size(), 7);
        EXPECT_EQ(actions[4], window->TestFace().mmAnalysis);
        EXPECT_EQ(actions[5], window->TestFace().mmSlips);
        EXPECT_EQ(actions[6], window->TestFace().mmClassList);
        EXPECT_EQ(window->TestFace().mmSlips->text(),
                  english ? "Stu&dent slips..." : "個票(&D)...");
        EXPECT_EQ(window->TestFace().mmClassList->text(),
                  english ? "Class l&ist..." : "一覧表(&I)...");
        for (QAction* action : actions) {
            if (action == window->TestFace().mmSlips || action == window->TestFace().mmClassList ||
                action->isSeparator()) {
                continue;
            }
            EXPECT_NE(AccessKey(action->text()), AccessKey(window->TestFace().mmSlips->text()))
                << action->text().toStdString();
            EXPECT_NE(AccessKey(action->text()), AccessKey(window->TestFace().mmClassList->text()))
                << action->text().toStdString();
        }
    }
}

TEST_F(PaperWindow, ATableNotMarkedIsRefusedBeforeTheDialog) {
    const auto window = ShowWithQuiz(false);
    window->TestFace().mmSlips->trigger();
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_TRUE(services.errors[0].contains(
        QStringLiteral("まだ採点されていません。採点してから印刷してください。")))
        << services.errors[0].toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(PaperWindow, SavesTheSlipsAsPdfBesideTheAnswerFileUnderTheTestsName) {
    const auto window = ShowWithQuiz(true);
    services.pdfAnswers.push_back(Path("quiz-slips.pdf"));
    WithDialog([&] { window->TestFace().mmSlips->trigger(); },
               [&](TPaperDialog& dialog) {
                   EXPECT_EQ(dialog.windowTitle(), "個票");
                   EXPECT_EQ(dialog.Title->text(), "quiz");
                   dialog.SavePdf->click();
               });
    EXPECT_EQ(services.pdfProposals, QStringList{Path("quiz-slips.pdf")});
    EXPECT_EQ(services.pdfFilters, QStringList{QStringLiteral("PDF ファイル (*.pdf)")});
    EXPECT_EQ(services.pdfFolders, QStringList{window->CurrentDir()});
    EXPECT_TRUE(ReadTestFile(folders / "quiz-slips.pdf").starts_with("%PDF-"));
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
}

TEST_F(PaperWindow, TheAnalysisWindowSavesTheClassListAndReportsAFileItCannotWrite) {
    const auto window = ShowWithQuiz(true);
    window->TestFace().mmAnalysis->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(window->TestFace().AnalysisWindow->ClassList->isEnabled());
    services.pdfAnswers.push_back(Path("no/such/list.pdf"));
    services.pdfAnswers.push_back(std::nullopt);
    services.pdfAnswers.push_back(Path("list.pdf"));
    WithDialog([&] { window->TestFace().AnalysisWindow->ClassList->click(); },
               [&](TPaperDialog& dialog) {
                   EXPECT_EQ(dialog.parentWidget(), window->TestFace().AnalysisWindow);
                   dialog.Title->setText(QStringLiteral("期末テスト"));
                   dialog.SavePdf->click();
                   dialog.SavePdf->click();
                   dialog.SavePdf->click();
               });
    EXPECT_EQ(services.pdfProposals.value(0), Path("quiz-list.pdf"));
    ASSERT_EQ(services.errors.size(), 1);
    EXPECT_TRUE(services.errors[0].contains(QStringLiteral("を作成できません")))
        << services.errors[0].toStdString();
    EXPECT_TRUE(ReadTestFile(folders / "list.pdf").starts_with("%PDF-"));
    EXPECT_EQ(ReadTestFile(folders / "no/such/list.pdf"), "");
}

TEST_F(PaperWindow, ThePreviewShowsEveryPageThePrinterWouldPrint) {
    // Twelve students: three pages of five slips.
    std::string quiz = ",,a,\r\n,,1,\r\n";
    for (int student = 1; student <= 12; ++student) {
        quiz += std::to_string(1000 + student) + ",S" + std::to_string(student) + ",a,\r\n";
    }
    auto window = ShowWindow(folders, services);
    services.openAnswers.push_back(folders.CreateFile("twelve.csv", quiz));
    window->TestFace().mmOpen->trigger();
    window->TestFace().mmMark->trigger();
    int previewPages = 0;
    WithDialog([&] { window->TestFace().mmSlips->trigger(); },
               [&](TPaperDialog& dialog) {
                   QTimer::singleShot(0, [&] {
                       auto* preview =
                           qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
                       if (preview == nullptr) {
                           return;
                       }
                       if (auto* pages = preview->findChild<QPrintPreviewWidget*>()) {
                           previewPages = pages->pageCount();
                       }
                       preview->reject();
                   });
                   dialog.PrintPreview->click();
               });
    EXPECT_EQ(previewPages, 3);
    EXPECT_TRUE(services.errors.isEmpty()) << services.errors.join('\n').toStdString();
}

TEST(PaperPrinter, PrintsThePagesTheDialogAsksFor) {
    TAnswerTable table = TableOfRows("||a/||1/1|A|a/2|B|b/3|C|a/4|D|a/5|E|a/6|F|a/7|G|b");
    MarkTable(table, '.');
    const TAnalysisTexts texts;
    const TMarkedClass marked = TMarkedClass::Read(table, texts, '.');
    const TSlipDocument slips(marked, texts, "quiz", '.');
    ASSERT_EQ(slips.PageCount(), 2);
    const TTemporaryFolder folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString((folder / "printed.pdf").string()));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 2);
    PrintDocument(printer, slips);
    const std::string printed = ReadTestFile(folder / "printed.pdf");
    EXPECT_TRUE(printed.starts_with("%PDF-"));
    // One page object, the second page's: its slips are the sixth and seventh students.
    EXPECT_EQ(printed.find("/Count 1"), printed.rfind("/Count 1")) << "one page only";
    EXPECT_NE(printed.find("/Count 1"), std::string::npos);
}

TEST_F(PaperWindow, AnalysisWindowOffersPaperOnlyWithFigures) {
    const auto window = ShowWindow(folders, services);
    window->TestFace().mmAnalysis->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(window->TestFace().AnalysisWindow->Slips->isEnabled());
    EXPECT_FALSE(window->TestFace().AnalysisWindow->ClassList->isEnabled());
    EXPECT_EQ(window->TestFace().AnalysisWindow->Slips->text(), "個票(&D)...");
}

} // namespace
