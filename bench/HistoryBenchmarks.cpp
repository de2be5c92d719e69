// Block copy and paste and the undo history on generated classes, each against the command it
// belongs to. The ratios are counters: `undo/command` is the undo's thread CPU time over the
// command's, both measured in every iteration; `history/table` the history's memory over the
// table's.

#include "AnswerFileGenerator.h"
#include "platform/Collator.h"
#include "platform/Locale.h"
#include "table/clipboard/CellBlock.h"
#include "table/file/AnswerFile.h"
#include "table/history/TableHistory.h"
#include "table/marking/Marking.h"
#include "table/session/TableSession.h"

#include <benchmark/benchmark.h>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace {

void AtTableSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"students", "questions"});
    benchmark->Args({10'000, 200});
    benchmark->Args({100'000, 50});
    benchmark->Unit(benchmark::kMillisecond);
}

/// A session that loaded the generated class of the benchmark's size, made once per size.
const TTableSession& LoadedSession(const benchmark::State& state) {
    static std::map<std::pair<std::int64_t, std::int64_t>, TTableSession> sessions;
    const std::pair size{state.range(0), state.range(1)};
    auto found = sessions.find(size);
    if (found == sessions.end()) {
        found = sessions.emplace(size, TTableSession()).first;
        found->second.Start();
        LoadAnswerText(found->second.Table(), GenerateAnswerFile(static_cast<int>(size.first),
                                                                 static_cast<int>(size.second)));
    }
    return found->second;
}

/// The students' block: numbers, names and answers of every student.
TCellRange StudentBlock(const TAnswerTable& table) {
    return {TAnswerTable::NumberColumn, TAnswerTable::FirstStudentRow, WrittenWidth(table) - 1,
            table.StoredRowCount() - 1};
}

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

/// What `copy` and the window's text/plain take.
void BM_CopyRangeAsClipboardText(benchmark::State& state) {
    const TAnswerTable& table = LoadedSession(state).Table();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = BlockClipboardText(CopyCellBlock(table, StudentBlock(table)));
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["text_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_CopyRangeAsClipboardText)->Apply(AtTableSizes);

/// What the window's text/html takes.
void BM_CopyRangeAsClipboardHtml(benchmark::State& state) {
    const TAnswerTable& table = LoadedSession(state).Table();
    for (auto _ : state) {
        const std::string html = BlockClipboardHtml(CopyCellBlock(table, StudentBlock(table)));
        benchmark::DoNotOptimize(html.data());
    }
}
BENCHMARK(BM_CopyRangeAsClipboardHtml)->Apply(AtTableSizes);

/// What the window's text/plain of a block takes (a cut's block, or one copied aside).
void BM_BlockAsClipboardText(benchmark::State& state) {
    const TAnswerTable& table = LoadedSession(state).Table();
    const TCellBlock block = CopyCellBlock(table, StudentBlock(table));
    for (auto _ : state) {
        const std::string text = BlockClipboardText(block);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_BlockAsClipboardText)->Apply(AtTableSizes);

/// The clipboard text read back and pasted one column to the right, over the students, against
/// loading the class's text into a new session in the same iterations (what `pelloran-cli open`
/// does after reading the file): `paste/load` is the ratio of their thread CPU times.
void BM_PasteBlockFromClipboardText(benchmark::State& state) {
    const TTableSession& loaded = LoadedSession(state);
    const std::string classText =
        GenerateAnswerFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const std::string text =
        BlockClipboardText(CopyCellBlock(loaded.Table(), StudentBlock(loaded.Table())));
    double loadSeconds = 0;
    double pasteSeconds = 0;
    for (auto _ : state) {
        {
            TTableSession loading;
            loading.Start();
            const double start = ThreadSeconds();
            LoadAnswerText(loading.Table(), classText);
            loadSeconds += ThreadSeconds() - start;
        }
        TTableSession session = loaded;
        TTableHistory history(session);
        const double start = ThreadSeconds();
        history.PasteBlock(TAnswerTable::NameColumn, TAnswerTable::FirstStudentRow,
                           ReadClipboardBlock(text));
        const double paste = ThreadSeconds() - start;
        pasteSeconds += paste;
        state.SetIterationTime(paste);
    }
    state.counters["load_ms"] =
        benchmark::Counter(loadSeconds * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["paste/load"] = loadSeconds > 0 ? pasteSeconds / loadSeconds : 0;
}
BENCHMARK(BM_PasteBlockFromClipboardText)->Apply(AtTableSizes)->UseManualTime();

/// Runs `command` through a history on a fresh copy of the loaded table, `marked` first or
/// not, then undoes it: the case's time is the undo's.
void TimeUndoAgainstCommand(benchmark::State& state, bool marked,
                            const std::function<void(TTableHistory&)>& command) {
    const TTableSession& loaded = LoadedSession(state);
    TTableSession session;
    double commandSeconds = 0;
    double undoSeconds = 0;
    for (auto _ : state) {
        session = loaded;
        if (marked) {
            MarkTable(session.Table(), '.');
        }
        TTableHistory history(session);
        double start = ThreadSeconds();
        command(history);
        commandSeconds += ThreadSeconds() - start;
        start = ThreadSeconds();
        history.Undo();
        const double undo = ThreadSeconds() - start;
        undoSeconds += undo;
        state.SetIterationTime(undo);
    }
    state.counters["command_ms"] =
        benchmark::Counter(commandSeconds * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["undo/command"] = commandSeconds > 0 ? undoSeconds / commandSeconds : 0;
}

void BM_UndoMark(benchmark::State& state) {
    TimeUndoAgainstCommand(state, false, [](TTableHistory& history) { history.Mark('.'); });
}
BENCHMARK(BM_UndoMark)->Apply(AtTableSizes)->UseManualTime()->Iterations(3);

void BM_UndoSortByNumber(benchmark::State& state) {
    const TCollator collator;
    TimeUndoAgainstCommand(state, false,
                           [&](TTableHistory& history) { history.SortByNumber(collator); });
}
BENCHMARK(BM_UndoSortByNumber)->Apply(AtTableSizes)->UseManualTime()->Iterations(3);

void BM_UndoSortByScore(benchmark::State& state) {
    const TCollator collator;
    TimeUndoAgainstCommand(state, true,
                           [&](TTableHistory& history) { history.SortByScore(collator); });
}
BENCHMARK(BM_UndoSortByScore)->Apply(AtTableSizes)->UseManualTime()->Iterations(3);

/// Mark through the history against MarkTable alone: what recording its step costs.
void BM_MarkRecordedAgainstMarkAlone(benchmark::State& state) {
    const TTableSession& loaded = LoadedSession(state);
    TTableSession session;
    double aloneSeconds = 0;
    double recordedSeconds = 0;
    for (auto _ : state) {
        session = loaded;
        double start = ThreadSeconds();
        MarkTable(session.Table(), '.');
        aloneSeconds += ThreadSeconds() - start;
        session = loaded;
        TTableHistory history(session);
        start = ThreadSeconds();
        history.Mark('.');
        const double recorded = ThreadSeconds() - start;
        recordedSeconds += recorded;
        state.SetIterationTime(recorded);
    }
    state.counters["recorded/alone"] = aloneSeconds > 0 ? recordedSeconds / aloneSeconds : 0;
}
BENCHMARK(BM_MarkRecordedAgainstMarkAlone)->Apply(AtTableSizes)->UseManualTime()->Iterations(3);

/// Twenty cells typed, Mark and a sort by score: the history's memory against the table's.
void BM_HistoryMemoryOfTypingMarkAndSort(benchmark::State& state) {
    const TTableSession& loaded = LoadedSession(state);
    const TCollator collator;
    TTableSession session;
    std::size_t typed = 0;
    std::size_t marked = 0;
    std::size_t sorted = 0;
    std::size_t tableSize = 0;
    for (auto _ : state) {
        session = loaded;
        tableSize = session.Table().Store().MemorySize();
        TTableHistory history(session);
        for (int row = TAnswerTable::FirstStudentRow; row < TAnswerTable::FirstStudentRow + 20;
             ++row) {
            history.SetCell(TAnswerTable::NameColumn, row, "typed name");
        }
        typed = history.MemorySize();
        history.Mark('.');
        marked = history.MemorySize();
        history.SortByScore(collator);
        sorted = history.MemorySize();
    }
    state.counters["table_MB"] = static_cast<double>(tableSize) / 1e6;
    state.counters["history_MB"] = static_cast<double>(sorted) / 1e6;
    state.counters["history/table"] = static_cast<double>(sorted) / static_cast<double>(tableSize);
    state.counters["mark_step/table"] =
        static_cast<double>(marked - typed) / static_cast<double>(tableSize);
    state.counters["sort_step/table"] =
        static_cast<double>(sorted - marked) / static_cast<double>(tableSize);
}
BENCHMARK(BM_HistoryMemoryOfTypingMarkAndSort)->Apply(AtTableSizes)->Iterations(1);

} // namespace
