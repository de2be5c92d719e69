// Every case runs at the sizes of AtTableSizes on one generated answer file per size. A
// command that changes a loaded table is timed with TimeOnLoadedTable (or TimeOnCopiesOf for
// another starting table), so that each one needs a single function and its BENCHMARK line.

#include "AnswerFileGenerator.h"
#include "TestFiles.h"
#include "analysis/ItemAnalysis.h"
#include "platform/CodePage.h"
#include "platform/Collator.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/TextEncoding.h"
#include "table/file/AnswerFile.h"
#include "table/file/TextRecords.h"
#include "table/marking/Marking.h"
#include "table/marking/Sorting.h"
#include "table/roster/RosterPaste.h"
#include "table/store/AnswerTable.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace {

/// Students x questions: one class, a year's long tests, a table of many rows.
void AtTableSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"students", "questions"});
    benchmark->Args({100, 50});
    benchmark->Args({10'000, 200});
    benchmark->Args({100'000, 50});
    benchmark->Unit(benchmark::kMillisecond);
}

int Students(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}
int Questions(const benchmark::State& state) {
    return static_cast<int>(state.range(1));
}

/// As the window starts: an empty test.
TAnswerTable NewTest() {
    TAnswerTable table;
    table.Reset();
    return table;
}

/// The answer file of one size, the table it loads into and that table's text.
struct TBenchInput {
    std::string answerFile;
    TAnswerTable loadedTable;
    std::string tableText;
    std::int64_t cells = 0;
};

TBenchInput MakeInput(int students, int questions) {
    TBenchInput input;
    input.answerFile = GenerateAnswerFile(students, questions);
    input.loadedTable = NewTest();
    LoadAnswerText(input.loadedTable, input.answerFile);
    input.tableText = GetTableText(input.loadedTable);
    constexpr int KeyAndPointsRows = 2;
    input.cells =
        static_cast<std::int64_t>(students + KeyAndPointsRows) * WrittenWidth(input.loadedTable);
    return input;
}

/// Made once per size: the largest takes longer to build than some cases take to run.
const TBenchInput& InputFor(const benchmark::State& state) {
    static std::map<std::pair<int, int>, TBenchInput> inputs;
    const std::pair<int, int> size{Students(state), Questions(state)};
    auto found = inputs.find(size);
    if (found == inputs.end()) {
        found = inputs.emplace(size, MakeInput(size.first, size.second)).first;
    }
    return found->second;
}

void ReportThroughput(benchmark::State& state, std::size_t bytes, std::int64_t cells) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
    state.SetItemsProcessed(state.iterations() * cells);
}

/// Times `operation` on a fresh copy of `start` each iteration; making and dropping the
/// copies are not timed. Bytes are those of the loaded table's text.
template <typename TOperation>
void TimeOnCopiesOf(benchmark::State& state, const TAnswerTable& start, TOperation&& operation) {
    const TBenchInput& input = InputFor(state);
    TAnswerTable table;
    for (auto _ : state) {
        state.PauseTiming();
        table = start;
        state.ResumeTiming();
        operation(table);
    }
    ReportThroughput(state, input.tableText.size(), input.cells);
}

template <typename TOperation>
void TimeOnLoadedTable(benchmark::State& state, TOperation&& operation) {
    TimeOnCopiesOf(state, InputFor(state).loadedTable, std::forward<TOperation>(operation));
}

void BM_LoadAnswerText(benchmark::State& state) {
    const TBenchInput& input = InputFor(state);
    TAnswerTable table;
    for (auto _ : state) {
        state.PauseTiming();
        table = NewTest();
        std::string bytes = input.answerFile;
        state.ResumeTiming();
        benchmark::DoNotOptimize(LoadAnswerText(table, std::move(bytes)));
    }
    ReportThroughput(state, input.answerFile.size(), input.cells);
}
BENCHMARK(BM_LoadAnswerText)->Apply(AtTableSizes);

void BM_GetTableText(benchmark::State& state) {
    const TBenchInput& input = InputFor(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetTableText(input.loadedTable));
    }
    ReportThroughput(state, input.tableText.size(), input.cells);
}
BENCHMARK(BM_GetTableText)->Apply(AtTableSizes);

/// Includes the flush to disk that makes the save atomic, hence real time.
void BM_WriteFileBytesAtomic(benchmark::State& state) {
    const TBenchInput& input = InputFor(state);
    const TTemporaryFolder folder;
    const std::filesystem::path target = folder.Path() / "out.csv";
    for (auto _ : state) {
        WriteFileBytesAtomic(target, input.tableText);
    }
    ReportThroughput(state, input.tableText.size(), input.cells);
}
BENCHMARK(BM_WriteFileBytesAtomic)->Apply(AtTableSizes)->UseRealTime();

/// Open while another test of the same size is loaded: the reset clears only the shown
/// rows, so most cells are overwritten in place with texts of other lengths.
void BM_OpenOverLoadedTable(benchmark::State& state) {
    const TTemporaryFolder folder;
    const std::filesystem::path otherFile = folder.Path() / "other.csv";
    constexpr std::uint64_t OtherSeed = DefaultBenchSeed + 1;
    WriteFileBytesAtomic(otherFile,
                         GenerateAnswerFile(Students(state), Questions(state), OtherSeed));
    TimeOnLoadedTable(state, [&](TAnswerTable& table) {
        benchmark::DoNotOptimize(LoadAnswerFile(table, otherFile).text);
    });
}
BENCHMARK(BM_OpenOverLoadedTable)->Apply(AtTableSizes);

void BM_MarkTable(benchmark::State& state) {
    TimeOnLoadedTable(state, [](TAnswerTable& table) { MarkTable(table, DecimalSeparator()); });
}
BENCHMARK(BM_MarkTable)->Apply(AtTableSizes);

/// The CPU time this thread has used: other work on a shared machine does not count in it.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

/// The analysis of a loaded table against marking it, both in every iteration and both in the
/// thread's CPU time, so that a busy machine slows neither: the case's time is the analysis's,
/// `mark_ms` marking's (per iteration) and `analysis/mark` the ratio of the totals, whose goal
/// is below 0.5. Marking runs on a fresh copy of the table, not timed, as in BM_MarkTable.
void BM_AnalyseTestAgainstMark(benchmark::State& state) {
    const TBenchInput& input = InputFor(state);
    TAnswerTable table;
    double analysisSeconds = 0;
    double markSeconds = 0;
    for (auto _ : state) {
        double start = ThreadSeconds();
        benchmark::DoNotOptimize(AnalyseTest(input.loadedTable, DecimalSeparator()));
        const double analysis = ThreadSeconds() - start;
        state.SetIterationTime(analysis);
        analysisSeconds += analysis;
        table = input.loadedTable;
        start = ThreadSeconds();
        MarkTable(table, DecimalSeparator());
        markSeconds += ThreadSeconds() - start;
    }
    state.counters["mark_ms"] =
        benchmark::Counter(markSeconds * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["analysis/mark"] = markSeconds > 0 ? analysisSeconds / markSeconds : 0;
    ReportThroughput(state, input.tableText.size(), input.cells);
}
BENCHMARK(BM_AnalyseTestAgainstMark)->Apply(AtTableSizes)->UseManualTime();

/// After marking: the questions end at the score column and the students at the rate row.
void BM_AnalyseMarkedTest(benchmark::State& state) {
    TAnswerTable marked = InputFor(state).loadedTable;
    MarkTable(marked, DecimalSeparator());
    for (auto _ : state) {
        benchmark::DoNotOptimize(AnalyseTest(marked, DecimalSeparator()));
    }
    ReportThroughput(state, InputFor(state).tableText.size(), InputFor(state).cells);
}
BENCHMARK(BM_AnalyseMarkedTest)->Apply(AtTableSizes);

void BM_SortByNumber(benchmark::State& state) {
    const TCollator collator;
    TimeOnLoadedTable(state, [&](TAnswerTable& table) { SortByNumber(table, collator); });
}
BENCHMARK(BM_SortByNumber)->Apply(AtTableSizes);

void BM_SortByScore(benchmark::State& state) {
    TAnswerTable marked = InputFor(state).loadedTable;
    MarkTable(marked, DecimalSeparator());
    const TCollator collator;
    TimeOnCopiesOf(state, marked, [&](TAnswerTable& table) { SortByScore(table, collator); });
}
BENCHMARK(BM_SortByScore)->Apply(AtTableSizes);

void BM_PasteRoster(benchmark::State& state) {
    const std::string roster = GenerateRoster(Students(state));
    TimeOnLoadedTable(state, [&](TAnswerTable& table) { PasteRoster(table, roster); });
}
BENCHMARK(BM_PasteRoster)->Apply(AtTableSizes);

// Files from other programs: the generated answer file as UTF-8 (no byte-order mark, so the
// whole file is checked before it is converted) and as UTF-16, against the same file in
// Shift-JIS. An ASCII file of the same size is the longest check a file that stays in the
// code page can take.

std::string AsUtf16(std::string_view shiftJis) {
    const std::u16string text = TCodePage::Decode(shiftJis);
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 * text.size() + 2);
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string AsAscii(std::string text) {
    for (char& byte : text) {
        if (static_cast<unsigned char>(byte) >= 0x80) {
            byte = 'x';
        }
    }
    return text;
}

/// Opens the file into a new test each iteration; making the test is not timed.
void TimeOpen(benchmark::State& state, const std::string& fileBytes) {
    const TBenchInput& input = InputFor(state);
    const TTemporaryFolder folder;
    const std::filesystem::path fileName = folder.Path() / "class.csv";
    WriteFileBytesAtomic(fileName, fileBytes);
    TAnswerTable table;
    for (auto _ : state) {
        state.PauseTiming();
        table = NewTest();
        state.ResumeTiming();
        benchmark::DoNotOptimize(LoadAnswerFile(table, fileName).text);
    }
    ReportThroughput(state, fileBytes.size(), input.cells);
}

void BM_OpenShiftJisFile(benchmark::State& state) {
    TimeOpen(state, InputFor(state).answerFile);
}
BENCHMARK(BM_OpenShiftJisFile)->Apply(AtTableSizes);

void BM_OpenUtf8File(benchmark::State& state) {
    TimeOpen(state, TCodePage::ToUtf8(InputFor(state).answerFile));
}
BENCHMARK(BM_OpenUtf8File)->Apply(AtTableSizes);

void BM_OpenUtf16File(benchmark::State& state) {
    TimeOpen(state, AsUtf16(InputFor(state).answerFile));
}
BENCHMARK(BM_OpenUtf16File)->Apply(AtTableSizes);

/// Open and save as pelloran-cli does them, real time for the flush to disk; with `detect`
/// false the file's bytes are loaded as they are, as before encodings were detected.
void TimeOpenAndSave(benchmark::State& state, bool detect) {
    const TBenchInput& input = InputFor(state);
    const TTemporaryFolder folder;
    const std::filesystem::path fileName = folder.Path() / "class.csv";
    const std::filesystem::path savedName = folder.Path() / "saved.csv";
    WriteFileBytesAtomic(fileName, input.answerFile);
    TAnswerTable table;
    for (auto _ : state) {
        state.PauseTiming();
        table = NewTest();
        state.ResumeTiming();
        if (detect) {
            LoadAnswerFile(table, fileName);
        } else {
            LoadAnswerText(table, ReadFileBytes(fileName));
        }
        SaveTableFile(table, savedName);
    }
    ReportThroughput(state, input.answerFile.size(), input.cells);
}

void BM_OpenAndSaveShiftJis(benchmark::State& state) {
    TimeOpenAndSave(state, true);
}
BENCHMARK(BM_OpenAndSaveShiftJis)->Apply(AtTableSizes)->UseRealTime();

void BM_OpenAndSaveShiftJisUndetected(benchmark::State& state) {
    TimeOpenAndSave(state, false);
}
BENCHMARK(BM_OpenAndSaveShiftJisUndetected)->Apply(AtTableSizes)->UseRealTime();

/// Finding a code-page file's encoding, its bytes then passed on as they are.
void TimeDetection(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = bytes;
        state.ResumeTiming();
        benchmark::DoNotOptimize(ConvertToCodePage(std::move(copy), "bench.csv").encoding);
    }
    ReportThroughput(state, bytes.size(), InputFor(state).cells);
}

void BM_DetectShiftJis(benchmark::State& state) {
    TimeDetection(state, InputFor(state).answerFile);
}
BENCHMARK(BM_DetectShiftJis)->Apply(AtTableSizes);

void BM_DetectAsciiOnly(benchmark::State& state) {
    TimeDetection(state, AsAscii(InputFor(state).answerFile));
}
BENCHMARK(BM_DetectAsciiOnly)->Apply(AtTableSizes);

/// Loads `text` into a new test each iteration; making the test and the copy are not timed.
void TimeLoadText(benchmark::State& state, const std::string& text) {
    TAnswerTable table;
    for (auto _ : state) {
        state.PauseTiming();
        table = NewTest();
        std::string bytes = text;
        state.ResumeTiming();
        benchmark::DoNotOptimize(LoadAnswerText(table, std::move(bytes)));
    }
    ReportThroughput(state, text.size(), InputFor(state).cells);
}

/// Names with an ASCII blank, as spreadsheets hold them: each student line takes the full
/// rules rather than the fast split.
void BM_LoadAnswerTextBlankNames(benchmark::State& state) {
    std::string text = InputFor(state).answerFile;
    for (std::size_t at = text.find("\x81\x40"); at != std::string::npos;
         at = text.find("\x81\x40", at + 1)) {
        text.replace(at, 2, " ");
    }
    TimeLoadText(state, text);
}
BENCHMARK(BM_LoadAnswerTextBlankNames)->Apply(AtTableSizes);

/// The generated file with its names (the second field), or every field, in double quotes, as
/// spreadsheets save text fields. Its fields hold no comma or quote of their own.
std::string WithQuotedFields(std::string_view text, bool everyField) {
    constexpr std::string_view LineBreak = "\r\n";
    constexpr std::size_t NameField = 1;
    std::string quoted;
    quoted.reserve(2 * text.size());
    for (std::size_t lineStart = 0; lineStart < text.size();) {
        const std::size_t lineEnd = std::min(text.find(LineBreak, lineStart), text.size());
        std::size_t fieldStart = lineStart;
        for (std::size_t field = 0;; ++field) {
            const std::size_t fieldEnd = std::min(text.find(',', fieldStart), lineEnd);
            const bool quotes = everyField || field == NameField;
            quoted += quotes ? "\"" : "";
            quoted += text.substr(fieldStart, fieldEnd - fieldStart);
            quoted += quotes ? "\"" : "";
            if (fieldEnd == lineEnd) {
                break;
            }
            quoted += ',';
            fieldStart = fieldEnd + 1;
        }
        quoted += LineBreak;
        lineStart = lineEnd + LineBreak.size();
    }
    return quoted;
}

/// Quoted names: each student line takes the reading of quoted fields to find its end.
void BM_LoadAnswerTextQuotedNames(benchmark::State& state) {
    TimeLoadText(state, WithQuotedFields(InputFor(state).answerFile, false));
}
BENCHMARK(BM_LoadAnswerTextQuotedNames)->Apply(AtTableSizes);

/// Every field quoted: the reading of quoted fields spends its time inside them.
void BM_LoadAnswerTextQuotedFields(benchmark::State& state) {
    TimeLoadText(state, WithQuotedFields(InputFor(state).answerFile, true));
}
BENCHMARK(BM_LoadAnswerTextQuotedFields)->Apply(AtTableSizes);

/// Cutting the quoted text into its records alone, which reads every quoted field.
void TimeCutRecords(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        int records = 0;
        ForEachRecord(text, [&](const TRecord& record) {
            benchmark::DoNotOptimize(record.text.data());
            ++records;
        });
        benchmark::DoNotOptimize(records);
    }
    ReportThroughput(state, text.size(), InputFor(state).cells);
}

void BM_CutRecordsQuotedNames(benchmark::State& state) {
    TimeCutRecords(state, WithQuotedFields(InputFor(state).answerFile, false));
}
BENCHMARK(BM_CutRecordsQuotedNames)->Apply(AtTableSizes);

void BM_CutRecordsQuotedFields(benchmark::State& state) {
    TimeCutRecords(state, WithQuotedFields(InputFor(state).answerFile, true));
}
BENCHMARK(BM_CutRecordsQuotedFields)->Apply(AtTableSizes);

} // namespace
