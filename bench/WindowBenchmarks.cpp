// The window's figures on the offscreen platform. Each case that compares times its subject
// and what it is compared with in turn within every iteration, so that a machine shared with
// other work slows both alike; the case's time is the window's, its counters give the others
// (in milliseconds per iteration) and the ratios of the window's total to theirs.

#include "AnswerFileGenerator.h"
#include "CliRunner.h"
#include "OffscreenArguments.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "shell/analysis/AnalysisWindow.h"
#include "shell/window/CellsMimeData.h"
#include "shell/window/MainForm.h"
#include "shell/window/ShellServices.h"
#include "shell/window/ShellText.h"
#include "table/file/AnswerFile.h"
#include "table/marking/Marking.h"
#include "table/store/AnswerTable.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

QtMessageHandler defaultMessageHandler = nullptr;

/// Long enough for a loaded machine, short enough that a window that never paints is seen.
constexpr std::chrono::milliseconds PaintTimeout{10'000};

double SecondsSince(TClock::time_point start) {
    return std::chrono::duration<double>(TClock::now() - start).count();
}

template <typename TOperation>
double TimeSeconds(TOperation&& operation) {
    const TClock::time_point start = TClock::now();
    operation();
    return SecondsSince(start);
}

/// The program as installed: its pictures and language file beside the executable's name,
/// and a home of its own, so that a start reads what a real one reads and writes nothing
/// of the user's.
class TProgramFolder {
public:
    TProgramFolder() {
        const std::filesystem::path resources = PELLORAN_RESOURCE_FOLDER;
        std::filesystem::create_directories(Home());
        std::filesystem::create_directories(Executable().parent_path());
        std::filesystem::copy(resources / "images", Executable().parent_path() / "images",
                              std::filesystem::copy_options::recursive);
        std::filesystem::copy_file(resources / "pelloran.lng",
                                   Executable().parent_path() / "pelloran.lng");
    }

    std::filesystem::path Executable() const { return folder_.Path() / "program" / "pelloran"; }
    std::filesystem::path Home() const { return folder_.Path() / "home"; }
    TMainSetup Setup() const { return {Executable(), {Home().string(), {}}}; }

private:
    TTemporaryFolder folder_;
};

/// Asks nothing of a desktop; what the window shows or asks is kept as a failure of the case.
class TSilentServices : public TShellServices {
public:
    std::optional<QString> GetOpenFileName(QWidget*, const QString&, const QString&) override {
        Fail(QStringLiteral("the open dialog was shown"));
        return std::nullopt;
    }
    std::optional<QString> GetSaveFileName(QWidget*, const QString&, const QString&,
                                           const QString&) override {
        Fail(QStringLiteral("the save dialog was shown"));
        return std::nullopt;
    }
    std::optional<QString> GetSaveReportFileName(QWidget*, const QString&, const QString&,
                                                 const QString&) override {
        Fail(QStringLiteral("the report's save dialog was shown"));
        return std::nullopt;
    }
    std::optional<QString> GetSavePdfFileName(QWidget*, const QString&, const QString&,
                                              const QString&) override {
        Fail(QStringLiteral("the PDF's save dialog was shown"));
        return std::nullopt;
    }
    TDiscardAnswer AskDiscard(QWidget*, const QString& question, const TDiscardWording&) override {
        Fail(QStringLiteral("asked: ") + question);
        return TDiscardAnswer::Cancel;
    }
    int AskChoice(QWidget*, const QString& question, const QStringList& choices) override {
        Fail(QStringLiteral("asked: ") + question);
        return static_cast<int>(choices.size()) - 1;
    }
    void ShowError(QWidget*, const QString& caption, const QString& text) override {
        Fail(caption + QStringLiteral(": ") + text);
    }
    void ShowMessage(QWidget*, const QString& text) override {
        Fail(QStringLiteral("message: ") + text);
    }
    QString ClipboardText() override { return clipboard; }
    QString ClipboardHtml() override { return {}; }
    void SetClipboardCells(TCellBlock cells) override { clipboardCells = std::move(cells); }
    std::optional<TCellBlock> ClipboardCells() override { return clipboardCells; }
    bool OpenUrl(const QString&) override { return true; }

    /// A paste takes the cells copied here, or else the text.
    std::optional<TCellBlock> clipboardCells;
    QString clipboard;

    /// The first failure, empty while there is none.
    const std::string& Failure() const { return failure_; }

private:
    void Fail(const QString& what) {
        if (failure_.empty()) {
            failure_ = what.toStdString();
        }
    }

    std::string failure_;
};

/// The table's own cost: a view that does nothing.
class TNoOpView : public TTableView {
public:
    void CellWritten(int, int) override {}
    void TableReset() override {}
    void RowsWritten(int, int) override {}
    void RowCountChanged(int) override {}
    void ColumnWidthSet(int, int) override {}
    void CommandsChanged() override {}
    void ProcessMessages() override {}
};

/// Sees a widget's first paint through. Waiting returns once the paint has been done, as the
/// event loop regains control only after it.
class TFirstPaintWatch : public QObject {
public:
    explicit TFirstPaintWatch(QWidget& widget) : widget_(widget) {
        widget_.installEventFilter(this);
    }
    ~TFirstPaintWatch() override { widget_.removeEventFilter(this); }

    /// False when no paint came within the timeout.
    bool WaitForPaint() {
        if (!painted_) {
            QTimer::singleShot(PaintTimeout, &loop_, &QEventLoop::quit);
            loop_.exec();
        }
        return painted_;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            loop_.quit();
        }
        return false;
    }

private:
    QWidget& widget_;
    QEventLoop loop_;
    bool painted_ = false;
};

/// The window as the program starts it, shown and painted once.
std::unique_ptr<TMain> StartWindow(const TProgramFolder& program, TShellServices& services) {
    auto window = std::make_unique<TMain>(program.Setup(), services);
    TFirstPaintWatch watch(*window->TestFace().Table->viewport());
    window->show();
    if (!watch.WaitForPaint()) {
        throw std::runtime_error("the grid was not painted");
    }
    return window;
}

/// Drops the window with everything it left for the event loop to delete.
void DropWindow(std::unique_ptr<TMain>& window) {
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

/// Gives the window every paint and notice still pending, so that none lands in a timing.
void SettleWindow(TMain& window) {
    window.TestFace().Table->FlushPaints();
    QCoreApplication::processEvents();
}

/// A new test with the answer file typed in, ready to mark: the same start for the window's
/// table and the plain one.
void LoadFreshTest(TAnswerTable& table, const std::string& answerFile) {
    table.Reset();
    LoadAnswerText(table, answerFile);
    table.EnableMarkAndSortByNumber();
}

/// Runs `pelloran-cli ARGUMENTS...` to its end; its output is dropped.
void RunCli(const std::vector<std::string>& arguments) {
    const TCliMemoryResult result =
        RunCliMeasuringMemory(arguments, std::filesystem::current_path());
    if (result.status != 0) {
        throw std::runtime_error("pelloran-cli failed with status " +
                                 std::to_string(result.status));
    }
}

int Students(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}
int Questions(const benchmark::State& state) {
    return static_cast<int>(state.range(1));
}

/// The window's total time against another's, both over the case's iterations.
void ReportAgainst(benchmark::State& state, const std::string& name, double windowSeconds,
                   double otherSeconds) {
    state.counters[name + "_ms"] =
        benchmark::Counter(otherSeconds * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["window/" + name] = otherSeconds > 0 ? windowSeconds / otherSeconds : 0;
}

void SkipOnFailure(benchmark::State& state, const TSilentServices& services) {
    if (!services.Failure().empty()) {
        state.SkipWithError(services.Failure().c_str());
    }
}

/// A failure ends the case with its message instead of ending the process.
template <typename TCase>
void RunCase(benchmark::State& state, TCase&& runCase) {
    try {
        runCase();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

void BM_StartUpToFirstPaint(benchmark::State& state) {
    TSilentServices services;
    RunCase(state, [&] {
        const TProgramFolder program;
        for (auto _ : state) {
            const TClock::time_point start = TClock::now();
            std::unique_ptr<TMain> window = StartWindow(program, services);
            state.SetIterationTime(SecondsSince(start));
            DropWindow(window);
        }
    });
    SkipOnFailure(state, services);
}
BENCHMARK(BM_StartUpToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

/// Mark in a shown window, its paints at the end included, against the same marking with a
/// view that does nothing.
void BM_MarkInWindow(benchmark::State& state) {
    TSilentServices services;
    RunCase(state, [&] {
        const std::string answerFile = GenerateAnswerFile(Students(state), Questions(state));
        const TProgramFolder program;
        std::unique_ptr<TMain> window = StartWindow(program, services);
        TNoOpView noOpView;
        TAnswerTable plainTable;
        plainTable.SetView(&noOpView);
        double windowSeconds = 0;
        double noOpSeconds = 0;
        for (auto _ : state) {
            LoadFreshTest(window->AnswerTable(), answerFile);
            SettleWindow(*window);
            const double markSeconds = TimeSeconds([&] { window->TestFace().mmMark->trigger(); });
            if (!window->AnswerTable().IsEnabled(TCommand::mmSortWithPoint)) {
                state.SkipWithError("the window did not mark the table");
                break;
            }
            windowSeconds += markSeconds;
            state.SetIterationTime(markSeconds);
            LoadFreshTest(plainTable, answerFile);
            noOpSeconds += TimeSeconds([&] { MarkTable(plainTable, DecimalSeparator()); });
        }
        ReportAgainst(state, "noop_view", windowSeconds, noOpSeconds);
        DropWindow(window);
    });
    SkipOnFailure(state, services);
}
BENCHMARK(BM_MarkInWindow)
    ->ArgNames({"students", "questions"})
    ->Args({100, 50})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkInWindow)
    ->ArgNames({"students", "questions"})
    ->Args({100'000, 50})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

/// The analysis window's refresh after Mark: from the end of the command, everything the event
/// loop then does (the refresh the command scheduled, and any paint left) and the analysis
/// window painted at once. The case's time is that; `mark_ms` the Mark command's own, and
/// `window/mark` the ratio of the two. The goal is under 20 ms for 100 x 50.
void BM_AnalysisRefreshAfterMark(benchmark::State& state) {
    TSilentServices services;
    RunCase(state, [&] {
        const std::string answerFile = GenerateAnswerFile(Students(state), Questions(state));
        const TProgramFolder program;
        std::unique_ptr<TMain> window = StartWindow(program, services);
        window->TestFace().mmAnalysis->trigger();
        SettleWindow(*window);
        TAnalysisWindow& analysis = *window->TestFace().AnalysisWindow;
        double refreshSeconds = 0;
        double markSeconds = 0;
        for (auto _ : state) {
            LoadFreshTest(window->AnswerTable(), answerFile);
            SettleWindow(*window);
            // Cleared, so that the figures show whether the refresh came.
            analysis.FigureValues.front()->clear();
            markSeconds += TimeSeconds([&] { window->TestFace().mmMark->trigger(); });
            const double refresh = TimeSeconds([&] {
                QCoreApplication::processEvents();
                analysis.repaint();
            });
            if (analysis.FigureValues.front()->text() != QString::number(Students(state))) {
                state.SkipWithError("the analysis window was not refreshed");
                break;
            }
            refreshSeconds += refresh;
            state.SetIterationTime(refresh);
        }
        ReportAgainst(state, "mark", refreshSeconds, markSeconds);
        DropWindow(window);
    });
    SkipOnFailure(state, services);
}
BENCHMARK(BM_AnalysisRefreshAfterMark)
    ->ArgNames({"students", "questions"})
    ->Args({100, 50})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

/// Open in a window just started, up to the paint at its end, against `pelloran-cli open` as
/// a whole process and against the table alone.
void BM_OpenInWindow(benchmark::State& state) {
    TSilentServices services;
    RunCase(state, [&] {
        const TTemporaryFolder data;
        const std::filesystem::path answerFile = data.Path() / "big.csv";
        WriteFileBytesAtomic(answerFile, GenerateAnswerFile(Students(state), Questions(state)));
        const QString answerFileName = QString::fromStdString(answerFile.string());
        const TProgramFolder program;
        double windowSeconds = 0;
        double cliSeconds = 0;
        double coreSeconds = 0;
        for (auto _ : state) {
            std::unique_ptr<TMain> window = StartWindow(program, services);
            const double openSeconds = TimeSeconds([&] {
                window->LoadAnswerFile(answerFileName);
                window->TestFace().Table->FlushPaints();
            });
            if (window->AnswerTable().StoredRowCount() < Students(state)) {
                state.SkipWithError("the window did not load the file");
                break;
            }
            windowSeconds += openSeconds;
            state.SetIterationTime(openSeconds);
            DropWindow(window);

            cliSeconds += TimeSeconds([&] { RunCli({"open", answerFile.string()}); });

            TNoOpView noOpView;
            TAnswerTable plainTable;
            plainTable.SetView(&noOpView);
            plainTable.Reset();
            coreSeconds += TimeSeconds([&] { LoadAnswerFile(plainTable, answerFile); });
        }
        ReportAgainst(state, "cli", windowSeconds, cliSeconds);
        ReportAgainst(state, "core", windowSeconds, coreSeconds);
    });
    SkipOnFailure(state, services);
}
BENCHMARK(BM_OpenInWindow)
    ->ArgNames({"students", "questions"})
    ->Args({100'000, 50})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

/// A whole class's block copied, then pasted back over itself, in a window that opened it,
/// each up to the paint at its end, against `pelloran-cli open` of the same file. The case's
/// time is the copy and the paste together. With `from_text` the paste reads the block as
/// text, as from a spreadsheet, instead of the cells copied here.
void BM_CopyAndPasteInWindow(benchmark::State& state) {
    TSilentServices services;
    RunCase(state, [&] {
        const TTemporaryFolder data;
        const std::filesystem::path answerFile = data.Path() / "big.csv";
        WriteFileBytesAtomic(answerFile, GenerateAnswerFile(Students(state), Questions(state)));
        const TProgramFolder program;
        std::unique_ptr<TMain> window = StartWindow(program, services);
        window->LoadAnswerFile(QString::fromStdString(answerFile.string()));
        SettleWindow(*window);
        const TCellRange block{TAnswerTable::NumberColumn, TAnswerTable::FirstStudentRow,
                               TAnswerTable::FirstQuestionColumn + Questions(state) - 1,
                               TAnswerTable::FirstStudentRow + Students(state) - 1};
        double copySeconds = 0;
        double pasteSeconds = 0;
        double cliSeconds = 0;
        double textSeconds = 0;
        double htmlSeconds = 0;
        for (auto _ : state) {
            window->TestFace().Table->SetCurrentCell(block.firstColumn, block.firstRow);
            window->TestFace().Table->SelectRange(block);
            const double copy = TimeSeconds([&] {
                window->TestFace().mmCopy->trigger();
                window->TestFace().Table->FlushPaints();
            });
            // What another program waits for when it asks for the cells: the text and the HTML.
            const TCellsMimeData offered(*services.clipboardCells);
            textSeconds += TimeSeconds([&] { benchmark::DoNotOptimize(offered.text()); });
            htmlSeconds += TimeSeconds([&] { benchmark::DoNotOptimize(offered.html()); });
            if (state.range(2) != 0) {
                services.clipboard = FromCodePage(BlockClipboardText(*services.clipboardCells));
                services.clipboardCells.reset();
            }
            window->TestFace().Table->SetCurrentCell(block.firstColumn, block.firstRow);
            const double paste = TimeSeconds([&] {
                window->TestFace().mmPasteCells->trigger();
                window->TestFace().Table->FlushPaints();
            });
            if (!window->History().CanUndo()) {
                state.SkipWithError("the window did not paste the block");
                break;
            }
            copySeconds += copy;
            pasteSeconds += paste;
            state.SetIterationTime(copy + paste);
            SettleWindow(*window);
            cliSeconds += TimeSeconds([&] { RunCli({"open", answerFile.string()}); });
        }
        state.counters["copy_ms"] =
            benchmark::Counter(copySeconds * 1e3, benchmark::Counter::kAvgIterations);
        state.counters["paste_ms"] =
            benchmark::Counter(pasteSeconds * 1e3, benchmark::Counter::kAvgIterations);
        state.counters["text_ms"] =
            benchmark::Counter(textSeconds * 1e3, benchmark::Counter::kAvgIterations);
        state.counters["html_ms"] =
            benchmark::Counter(htmlSeconds * 1e3, benchmark::Counter::kAvgIterations);
        state.counters["cli_ms"] =
            benchmark::Counter(cliSeconds * 1e3, benchmark::Counter::kAvgIterations);
        state.counters["copy/cli"] = cliSeconds > 0 ? copySeconds / cliSeconds : 0;
        state.counters["paste/cli"] = cliSeconds > 0 ? pasteSeconds / cliSeconds : 0;
        DropWindow(window);
    });
    SkipOnFailure(state, services);
}
BENCHMARK(BM_CopyAndPasteInWindow)
    ->ArgNames({"students", "questions", "from_text"})
    ->Args({100'000, 50, 0})
    ->Args({100'000, 50, 1})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

/// Scrolling a marked 100,000-student table: the scroll bar dragged to places spread over the
/// whole table, then paged down from the middle, each step painted at once. The case's time is
/// a step's; `slowest_step_ms` the slowest one, which shows a stall (a frame is 16 ms).
void BM_ScrollThroughLargeTable(benchmark::State& state) {
    TSilentServices services;
    RunCase(state, [&] {
        const std::string answerFile = GenerateAnswerFile(Students(state), Questions(state));
        const TProgramFolder program;
        std::unique_ptr<TMain> window = StartWindow(program, services);
        LoadFreshTest(window->AnswerTable(), answerFile);
        window->TestFace().mmMark->trigger();
        SettleWindow(*window);
        QScrollBar& scrollBar = *window->TestFace().Table->verticalScrollBar();
        constexpr int Jumps = 100;
        double slowestSeconds = 0;
        for (auto _ : state) {
            double stepsSeconds = 0;
            const auto step = [&](int value) {
                const double seconds = TimeSeconds([&] {
                    scrollBar.setValue(value);
                    window->TestFace().Table->viewport()->repaint();
                });
                stepsSeconds += seconds;
                slowestSeconds = std::max(slowestSeconds, seconds);
            };
            for (int jump = 0; jump <= Jumps; ++jump) {
                step(scrollBar.minimum() +
                     (scrollBar.maximum() - scrollBar.minimum()) / Jumps * jump);
            }
            const int middle = (scrollBar.minimum() + scrollBar.maximum()) / 2;
            for (int page = 0; page < Jumps; ++page) {
                step(middle + page * scrollBar.pageStep());
            }
            state.SetIterationTime(stepsSeconds / (2 * Jumps + 1));
        }
        state.counters["slowest_step_ms"] = slowestSeconds * 1e3;
        DropWindow(window);
    });
    SkipOnFailure(state, services);
}
BENCHMARK(BM_ScrollThroughLargeTable)
    ->ArgNames({"students", "questions"})
    ->Args({100'000, 50})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

/// The first start in the process pays for what later ones find ready (the application
/// object, the platform, the fonts): reported beside the cases, not as one.
void ReportFirstStartUp(TClock::time_point applicationStart) {
    const TProgramFolder program;
    TSilentServices services;
    std::unique_ptr<TMain> window = StartWindow(program, services);
    const double seconds = SecondsSince(applicationStart);
    DropWindow(window);
    char milliseconds[32];
    std::snprintf(milliseconds, sizeof milliseconds, "%.1f ms", seconds * 1e3);
    benchmark::AddCustomContext("first start-up to the first paint, application included",
                                milliseconds);
}

/// The offscreen platform says these of every window shown or raised; they tell nothing of the
/// window.
void DropSizeHintNotices(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text != QStringLiteral("This plugin does not support propagateSizeHints()") &&
        text != QStringLiteral("This plugin does not support raise()")) {
        defaultMessageHandler(type, context, text);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // No display is needed unless the environment names a platform.
    TOffscreenArguments arguments(argc, argv);
    defaultMessageHandler = qInstallMessageHandler(DropSizeHintNotices);
    const TClock::time_point applicationStart = TClock::now();
    QApplication application(arguments.Count(), arguments.Values());
    try {
        ReportFirstStartUp(applicationStart);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pelloran-window-bench: %s\n", error.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
