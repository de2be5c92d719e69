#pragma once

#include "TestFiles.h"
#include "platform/Paths.h"
#include "shell/window/MainForm.h"
#include "shell/window/ShellServices.h"
#include "shell/window/ShellText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

/// Answers the window's questions from queues the test fills, and remembers what was shown.
class TFakeServices : public TShellServices {
public:
    std::optional<QString> GetOpenFileName(QWidget*, const QString& folder,
                                           const QString& filter) override {
        openFolders.push_back(folder);
        filters.push_back(filter);
        return Next(openAnswers);
    }
    std::optional<QString> GetSaveFileName(QWidget*, const QString& folder,
                                           const QString& proposedName,
                                           const QString& filter) override {
        saveFolders.push_back(folder);
        saveProposals.push_back(proposedName);
        filters.push_back(filter);
        return Next(saveAnswers);
    }
    std::optional<QString> GetSaveReportFileName(QWidget*, const QString& folder,
                                                 const QString& proposedName,
                                                 const QString& filter) override {
        reportFolders.push_back(folder);
        reportProposals.push_back(proposedName);
        filters.push_back(filter);
        return Next(reportAnswers);
    }
    std::optional<QString> GetSavePdfFileName(QWidget*, const QString& folder,
                                              const QString& proposedName,
                                              const QString& filter) override {
        pdfFolders.push_back(folder);
        pdfProposals.push_back(proposedName);
        pdfFilters.push_back(filter);
        filters.push_back(filter);
        return Next(pdfAnswers);
    }
    TDiscardAnswer AskDiscard(QWidget*, const QString& question,
                              const TDiscardWording& wording) override {
        questions.push_back(question);
        discardWordings.push_back(wording.caption + QStringLiteral(" [") + wording.yes +
                                  QLatin1Char('|') + wording.no + QLatin1Char('|') +
                                  wording.cancel + QLatin1Char(']'));
        if (discardAnswers.empty()) {
            throw std::logic_error("the discard question was not expected");
        }
        const TDiscardAnswer answer = discardAnswers.front();
        discardAnswers.pop_front();
        return answer;
    }
    int AskChoice(QWidget*, const QString& question, const QStringList& choices) override {
        choiceQuestions.push_back(question + QStringLiteral(" [") + choices.join(QLatin1Char('|')) +
                                  QLatin1Char(']'));
        if (choiceAnswers.empty()) {
            throw std::logic_error("a question was not expected: " + question.toStdString());
        }
        const int answer = choiceAnswers.front();
        choiceAnswers.pop_front();
        return answer;
    }
    void ShowError(QWidget* owner, const QString& caption, const QString& text) override {
        errors.push_back(caption + QStringLiteral(": ") + text);
        errorOwners.push_back(owner);
    }
    void ShowMessage(QWidget*, const QString& text) override { messages.push_back(text); }
    QString ClipboardText() override {
        if (clipboardUnreadable) {
            throw std::runtime_error("the clipboard is held by another program");
        }
        return clipboard;
    }
    QString ClipboardHtml() override { return clipboardHtml; }
    /// The clipboard's text and HTML as another program would read them.
    void SetClipboardCells(TCellBlock cells) override {
        clipboard = FromCodePage(BlockClipboardText(cells));
        clipboardHtml = FromUtf8(BlockClipboardHtml(cells));
        clipboardCells = std::move(cells);
        clipboardCellsText = clipboard;
    }
    /// Until a test puts text of its own on the clipboard.
    std::optional<TCellBlock> ClipboardCells() override {
        if (clipboard != clipboardCellsText) {
            return std::nullopt;
        }
        return clipboardCells;
    }
    bool OpenUrl(const QString& url) override {
        urls.push_back(url);
        return urlsOpen;
    }

    /// An answer of nothing stands for a cancelled dialog.
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<QString>> reportAnswers;
    std::deque<std::optional<QString>> pdfAnswers;
    std::deque<TDiscardAnswer> discardAnswers;
    /// Indexes of the choices asked by AskChoice, and each question with its choices.
    std::deque<int> choiceAnswers;
    QStringList choiceQuestions;
    QString clipboard;
    QString clipboardHtml;
    std::optional<TCellBlock> clipboardCells;
    QString clipboardCellsText;
    bool clipboardUnreadable = false;
    /// Whether the system has a program to open addresses with.
    bool urlsOpen = true;

    QStringList openFolders;
    QStringList saveFolders;
    QStringList saveProposals;
    QStringList reportFolders;
    QStringList reportProposals;
    QStringList pdfFolders;
    QStringList pdfProposals;
    QStringList pdfFilters;
    /// Every file dialog's filter, in order.
    QStringList filters;
    QStringList questions;
    /// Each discard question's caption and buttons.
    QStringList discardWordings;
    QStringList errors;
    QList<QWidget*> errorOwners;
    QStringList messages;
    QStringList urls;

private:
    static std::optional<QString> Next(std::deque<std::optional<QString>>& answers) {
        // Taken apart rather than copied whole: GCC takes a copied optional QString for unset.
        if (answers.empty()) {
            return std::nullopt;
        }
        const bool given = answers.front().has_value();
        QString answer = given ? *answers.front() : QString();
        answers.pop_front();
        return given ? std::optional<QString>(answer) : std::nullopt;
    }
};

/// The name the window shows and stores for `path`: the system's separators throughout, as a
/// test writes its paths once for every system with '/'.
inline QString NativeName(std::filesystem::path path) {
    return FromNativePath(path.make_preferred());
}

/// A program folder with an executable path, a home of its own and a window started on it.
class TWindowFolders {
public:
    TWindowFolders() {
        std::filesystem::create_directories(ProgramFolder());
        std::filesystem::create_directories(Home());
    }

    std::filesystem::path ProgramFolder() const { return folder_ / "program"; }
    std::filesystem::path Executable() const { return ProgramFolder() / "pelloran"; }
    std::filesystem::path Settings() const { return ProgramFolder() / "pelloran.ini"; }
    std::filesystem::path LanguageFile() const { return ProgramFolder() / "pelloran.lng"; }
    std::filesystem::path Home() const { return folder_ / "home"; }
    /// The user's configuration folder; it does not exist until a test makes it.
    std::filesystem::path ConfigFolder() const {
#ifdef _WIN32
        return Home() / "AppData" / "Roaming";
#else
        return Home() / ".config";
#endif
    }
    TUserEnvironment User() const {
#ifdef _WIN32
        return {PathText(Home() / "Documents"), PathText(ConfigFolder())};
#else
        return {Home().string(), {}};
#endif
    }
    std::filesystem::path operator/(std::string_view name) const {
        return folder_ / name;
    }
    TMainSetup Setup() const {
        return {Executable(), User()};
    }
    /// The folder the window starts in when no settings name one: the program's drive on
    /// Windows, none where paths have no drive.
    QString StartFolder() const {
        return NativeName(Executable().root_name());
    }

    /// A file in the temporary folder; returns its full name as the window shows it.
    QString CreateFile(std::string_view name, std::string_view bytes) const {
        const std::filesystem::path fileName = folder_ / name;
        std::filesystem::create_directories(fileName.parent_path());
        WriteTestFile(fileName, bytes);
        return NativeName(fileName);
    }

private:
    TTemporaryFolder folder_;
};

/// Builds and shows the window as the program does, the first showing included; a long job
/// shows its progress after `progressDelay`.
inline std::unique_ptr<TMain>
ShowWindow(const TWindowFolders& folders, TShellServices& services,
           std::chrono::milliseconds progressDelay = TMainSetup().progressDelay) {
    TMainSetup setup = folders.Setup();
    setup.progressDelay = progressDelay;
    auto window = std::make_unique<TMain>(std::move(setup), services);
    window->show();
    QApplication::processEvents();
    return window;
}

/// Runs `act` on the modal message box once it is shown.
inline void WhenBoxShows(const std::function<void(QMessageBox&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(*box);
    });
}

/// Clicks Cancel in the progress dialog as soon as one shows, once, and keeps what it said.
class TProgressCanceller {
public:
    TProgressCanceller() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { CancelShownProgress(); });
        timer_.start(0);
    }

    QString label;
    QString cancelCaption;

private:
    void CancelShownProgress() {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        auto* cancel = dialog == nullptr ? nullptr : dialog->findChild<QPushButton*>();
        if (cancel == nullptr) {
            return;
        }
        timer_.stop();
        label = dialog->labelText();
        cancelCaption = cancel->text();
        QTest::mouseClick(cancel, Qt::LeftButton);
    }

    QTimer timer_;
};

/// The captions of the box's buttons, sorted.
inline QStringList ButtonTexts(const QMessageBox& box) {
    QStringList texts;
    for (const QAbstractButton* button : box.buttons()) {
        texts.push_back(button->text());
    }
    texts.sort();
    return texts;
}

/// Closes the window as its close box does; true when it closed.
inline bool CloseWindow(TMain& window) {
    return window.close();
}

/// The window as a user meets it: active, keys sent to whatever has the focus.
class TWindowInUse : public testing::Test {
protected:
    void SetUp() override {
        window = ShowWindow(folders, services);
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    TAnswerTable& Table() { return window->AnswerTable(); }
    TAnswerGrid& View() { return *window->TestFace().Table; }

    /// Opens the answer file through the open dialog and lets the grid take its size.
    void Open(std::string_view answerFile) {
        services.openAnswers.push_back(folders.CreateFile("quiz.csv", answerFile));
        window->TestFace().mmOpen->trigger();
        QApplication::processEvents();
    }

    /// Makes (column, row) the current cell with the focus in its editor.
    void Enter(int column, int row) {
        View().SetCurrentCell(column, row);
        ASSERT_NE(View().Editor(), nullptr);
        View().Editor()->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), View().Editor());
    }

    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    static void Type(const QString& text) {
        for (const QChar character : text) {
            QTest::keyClicks(QApplication::focusWidget(), QString(character));
        }
    }

    QPoint CentreOf(int column, int row) {
        return View().visualRect(View().Model().IndexOf(column, row)).center();
    }

    /// The colour the viewport shows near the top left corner of cell (column, row).
    QColor ShownColor(int column, int row) {
        const QImage shown = View().viewport()->grab().toImage();
        const QRect cell = View().visualRect(View().Model().IndexOf(column, row));
        return shown.pixelColor(cell.topLeft() + QPoint(4, 3));
    }

    qsizetype SelectedCount() { return View().selectionModel()->selectedIndexes().size(); }

    TWindowFolders folders;
    TFakeServices services;
    std::unique_ptr<TMain> window;
};

/// Two students and three questions as the program saves them; Sato's second answer is wrong.
inline constexpr std::string_view SmallClass = ",,a,b,c,,\r\n"
                                               ",,1,1,1,,\r\n"
                                               "1001,Sato,a,x,c,,\r\n"
                                               "1002,Suzuki,a,b,c,,\r\n";

/// A class as the program saves it, so that it differs from no table text: `questions` questions
/// keyed "a" worth a point each, and `students` students numbered from 1001 who answer "a"
/// throughout.
inline std::string ClassText(int students, int questions) {
    std::string key = ",,";
    std::string points = ",,";
    std::string answers;
    for (int question = 0; question < questions; ++question) {
        key += "a,";
        points += "1,";
        answers += ",a";
    }
    std::string text = key + ",\r\n" + points + ",\r\n";
    for (int student = 1; student <= students; ++student) {
        text +=
            std::to_string(1000 + student) + ",S" + std::to_string(student) + answers + ",,\r\n";
    }
    return text;
}

QT_BEGIN_NAMESPACE
/// Failing comparisons show texts, not code units.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
