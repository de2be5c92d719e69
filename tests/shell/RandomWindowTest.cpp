#include "RandomWork.h"
#include "ShellTestSupport.h"
#include "TestEncoding.h"
#include "TestScale.h"
#include "TestText.h"
#include "platform/TextEncoding.h"
#include "shell/window/ShellText.h"
#include "table/file/UnsavedCells.h"

#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

/// Whether a row from 3 on holds text in a data column: a class that keeps its file when a key
/// file is opened over it.
bool HoldsTextBelowTheKey(const TAnswerTable& table) {
    for (int row = TAnswerTable::FirstStudentRow; row < table.StoredRowCount(); ++row) {
        for (int column = TAnswerTable::NumberColumn; column < table.StoredColumnCount(row);
             ++column) {
            if (!table.Cell(column, row).empty()) {
                return true;
            }
        }
    }
    return false;
}

/// At full scale (PELLORAN_TEST_SCALE).
constexpr int SequenceCount = 200;
constexpr int StepsPerSequence = 10;

/// Cells in view whose pixels on the screen differ from the grid painted afresh. A cell still
/// filled in the colour of an earlier moment (grey, yellow) keeps it until it is painted again
/// by design, and its text blends otherwise with it: only cells of one fill in both count.
QStringList CellsShownOtherwise(QTableView& grid, const QImage& screen, const QImage& fresh) {
    QStringList cells;
    const QRect area(QPoint(0, 0), screen.size());
    const int lastRow =
        grid.rowAt(area.bottom()) < 0 ? grid.model()->rowCount() - 1 : grid.rowAt(area.bottom());
    const int lastColumn = grid.columnAt(area.right()) < 0 ? grid.model()->columnCount() - 1
                                                           : grid.columnAt(area.right());
    for (int row = grid.rowAt(0); row >= 0 && row <= lastRow; ++row) {
        for (int column = grid.columnAt(0); column >= 0 && column <= lastColumn; ++column) {
            const QRect cell = grid.visualRect(grid.model()->index(row, column)) & area;
            const QPoint corner = cell.topLeft() + QPoint(2, 2);
            if (cell.width() < 4 || cell.height() < 4 ||
                screen.pixel(corner) != fresh.pixel(corner)) {
                continue;
            }
            if (screen.copy(cell) != fresh.copy(cell)) {
                cells.push_back(QStringLiteral("(%1,%2)").arg(column + 1).arg(row + 1));
            }
        }
    }
    return cells;
}

/// One random sequence of the window's commands, checking after every step that the screen
/// shows what the table holds and that the discard question came exactly when it was due.
class TRandomWindowSession {
public:
    explicit TRandomWindowSession(std::uint32_t seed) : work_(seed) {
        window_ = ShowWindow(folders_, services_);
    }

    void RunStep() {
        switch (work_.Below(10)) {
        case 0:
            Open();
            break;
        case 1:
        case 2:
            Type();
            break;
        case 3:
            Paste();
            break;
        case 4:
            Run("mark", *window_->TestFace().mmMark);
            break;
        case 5:
            Run("sort-number", *window_->TestFace().mmSortWithNumber);
            break;
        case 6:
            Run("sort-score", *window_->TestFace().mmSortwithpoint);
            break;
        case 7:
            AskingFirst("new", [this] { window_->TestFace().mmNew->trigger(); });
            // A new table is compared with an empty test's text again.
            loadedText_.clear();
            unsavedAtLoad_ = FindUnsavedCells(Table()).fingerprint;
            break;
        case 8:
            Scroll();
            break;
        default:
            Save();
            break;
        }
        QApplication::processEvents();
        ExpectScreenShowsTheTable();
    }

    const std::string& Log() const { return log_; }

private:
    TAnswerTable& Table() { return window_->AnswerTable(); }
    TAnswerGrid& Grid() { return *window_->TestFace().Table; }

    void Run(const char* name, QAction& action) {
        log_ += std::string(name) + " ";
        action.trigger();
    }

    /// The question is due when the table's text is not the text of the table as last opened or
    /// saved (an empty test's when there is none, or after New), or its cells that the file
    /// does not keep changed since; it is answered No.
    void AskingFirst(const std::string& name, const std::function<void()>& command) {
        log_ += name + " ";
        const std::string reference =
            loadedText_.empty() ? GetTableText(TAnswerTable()) : loadedText_;
        const bool due = GetTableText(Table()) != reference ||
                         FindUnsavedCells(Table()).fingerprint != unsavedAtLoad_;
        const qsizetype asked = services_.questions.size();
        services_.discardAnswers.push_back(TDiscardAnswer::No);
        command();
        EXPECT_EQ(services_.questions.size() - asked, due ? 1 : 0)
            << "the discard question " << (due ? "was not asked: " : "was asked: ") << log_;
        services_.discardAnswers.clear();
    }

    void Open() {
        const std::string text = work_.AnswerFileText();
        const QString fileName = folders_.CreateFile("open.csv", text);
        const bool heldClass = HoldsTextBelowTheKey(Table());
        AskingFirst("open" + Escaped(text), [&] {
            services_.openAnswers.push_back(fileName);
            window_->TestFace().mmOpen->trigger();
        });
        services_.openAnswers.clear();
        TAnswerTable scratch;
        scratch.Reset();
        try {
            // A key file opened over a class leaves the class its file.
            if (LoadAnswerFile(scratch, fileName.toStdString()).replacedClass || !heldClass) {
                loadedText_ = GetTableText(scratch);
                unsavedAtLoad_ = FindUnsavedCells(scratch).fingerprint;
            }
        } catch (const ETextEncodingError&) {
            // NUL bytes in the random cells near the start: refused as no text, or taken for
            // UTF-16 that cannot be decoded. The window showed the error and loaded nothing.
            EXPECT_NE(EncodingFound(text), TTextEncoding::CodePage) << log_;
        }
    }

    /// Keys into the editor of a random cell: answers, kana and kanji, the minus sign of Mac
    /// keyboards, which the code page holds as its twin, and a character the code page lacks.
    void Type() {
        static const QStringList keys{"a", "b",  "c", "10",   "x,y", "\"",
                                      " ", "ア", "ｱ", "漢字", "−",   "😀"};
        const int column = 1 + work_.Below(TAnswerTable::ShownColumns - 1);
        const int row = 1 + work_.Below(work_.Chance(80) ? 12 : TAnswerTable::ShownRows - 1);
        const QString& text = keys[work_.Below(static_cast<int>(keys.size()))];
        log_ += "type(" + std::to_string(column) + "," + std::to_string(row) + ")" +
                text.toStdString() + " ";
        Grid().SetCurrentCell(column, row);
        QLineEdit* editor = Grid().Editor();
        if (editor == nullptr) {
            return;
        }
        for (const uint character : text.toUcs4()) {
            const QString key = QString::fromUcs4(reinterpret_cast<const char32_t*>(&character), 1);
            if (character < 0x80) {
                QTest::keyClicks(editor, key);
            } else {
                // As a keyboard layout or an input method delivers a character without a key.
                QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, key, Qt::NoModifier);
            }
        }
    }

    void Paste() {
        const std::string roster = work_.RosterText();
        log_ += "paste" + Escaped(roster) + " ";
        services_.clipboard = FromCodePage(roster);
        // Over students with answers, the names go over them.
        services_.choiceAnswers = {0};
        window_->TestFace().mmPaste->trigger();
        services_.choiceAnswers.clear();
    }

    void Save() {
        log_ += "save ";
        services_.saveAnswers.push_back(QString::fromStdString((folders_ / "saved.csv").string()));
        // Cells the file would not keep are dropped from it.
        services_.choiceAnswers = {0};
        window_->TestFace().mmSaveAs->trigger();
        services_.saveAnswers.clear();
        services_.choiceAnswers.clear();
        // What was saved is what the table is compared with from now on.
        loadedText_ = ReadTestFile(folders_ / "saved.csv");
        unsavedAtLoad_ = FindUnsavedCells(Table()).fingerprint;
    }

    void Scroll() {
        log_ += "scroll ";
        for (QScrollBar* bar : {Grid().verticalScrollBar(), Grid().horizontalScrollBar()}) {
            bar->setValue(bar->minimum() + work_.Below(bar->maximum() - bar->minimum() + 1));
        }
    }

    /// What is on the screen (the window's backing store) equals the grid painted afresh from
    /// the table, and the model gives the table's texts.
    void ExpectScreenShowsTheTable() {
        Grid().FlushPaints();
        QApplication::processEvents();
        QWidget& viewport = *Grid().viewport();
        const QImage fresh = viewport.grab().toImage();
        const QPoint origin = viewport.mapTo(window_.get(), QPoint(0, 0));
        const QImage screen = QGuiApplication::primaryScreen()
                                  ->grabWindow(window_->winId(), origin.x(), origin.y(),
                                               viewport.width(), viewport.height())
                                  .toImage();
        EXPECT_EQ(CellsShownOtherwise(Grid(), screen.convertToFormat(QImage::Format_RGB32),
                                      fresh.convertToFormat(QImage::Format_RGB32)),
                  QStringList())
            << "the screen shows what the table no longer holds: " << log_;
        const TAnswerTableModel& model = Grid().Model();
        for (int row = 1; row < TAnswerTable::ShownRows; row += 7) {
            for (int column = 1; column < TAnswerTable::ShownColumns; column += 3) {
                EXPECT_EQ(model.data(model.IndexOf(column, row)).toString(),
                          FromCodePage(Table().Cell(column, row)))
                    << column << "," << row << ": " << log_;
            }
        }
    }

    TRandomWork work_;
    TWindowFolders folders_;
    TFakeServices services_;
    std::unique_ptr<TMain> window_;
    std::string loadedText_;
    std::uint64_t unsavedAtLoad_ = FindUnsavedCells(TAnswerTable()).fingerprint;
    std::string log_;
};

// Hundreds of seeded sequences on the window; a failure names its seed and the commands.
TEST(RandomWindowCommands, ScreenShowsTheTableAfterEveryStep) {
    for (int seed = 1; seed <= Scaled(SequenceCount) && !testing::Test::HasFailure(); ++seed) {
        TRandomWindowSession session(static_cast<std::uint32_t>(seed));
        for (int step = 0; step < StepsPerSequence && !testing::Test::HasFailure(); ++step) {
            session.RunStep();
        }
        if (testing::Test::HasFailure()) {
            ADD_FAILURE() << "seed " << seed << ": " << session.Log();
        }
    }
}

} // namespace
