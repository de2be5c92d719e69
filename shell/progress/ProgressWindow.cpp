#include "shell/progress/ProgressWindow.h"

#include "shell/window/ShellText.h"
#include "table/session/Messages.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QWidget>
#include <algorithm>
#include <string_view>
#include <utility>

namespace {

/// The dialog's bar counts this many steps, whatever the job's.
constexpr int BarSteps = 1000;
/// Often enough for the bar to move smoothly and Cancel to answer at once; events let run for
/// every report would cost a long job much of its time in repaints.
constexpr qint64 EventsIntervalMs = 40;

/// Language file keys and the Japanese words, in the order of TProgressTask.
constexpr std::array<std::pair<std::string_view, std::u16string_view>, TProgressTexts::TaskCount>
    TaskTexts = {{
        {"Progress.Open", u"ファイルを開いています..."},
        {"Progress.Mark", u"採点しています..."},
        {"Progress.Sort", u"並べ替えています..."},
        {"Progress.Paste", u"貼り付けています..."},
        {"Progress.Analysis", u"分析しています..."},
        {"Progress.Pdf", u"PDF ファイルを書いています..."},
        {"Progress.Print", u"印刷しています..."},
    }};
constexpr std::pair<std::string_view, std::u16string_view> CancelText = {"Progress.Cancel",
                                                                         u"キャンセル"};
constexpr std::pair<std::string_view, std::u16string_view> AnalysisStoppedText = {
    "Progress.AnalysisStopped", u"分析を中止しました。"};

QString Default(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString ReadText(const TProfileFile& file,
                 const std::pair<std::string_view, std::u16string_view>& text) {
    return FromCodePage(file.ReadString(MainSection, text.first, ToCodePage(Default(text.second))));
}

} // namespace

TProgressTexts::TProgressTexts()
    : cancel(Default(CancelText.second)), analysisStopped(Default(AnalysisStoppedText.second)) {
    for (std::size_t task = 0; task < TaskCount; ++task) {
        tasks.at(task) = Default(TaskTexts.at(task).second);
    }
}

TProgressTexts TProgressTexts::Read(const TProfileFile& languageFile) {
    TProgressTexts texts;
    for (std::size_t task = 0; task < TaskCount; ++task) {
        texts.tasks.at(task) = ReadText(languageFile, TaskTexts.at(task));
    }
    texts.cancel = ReadText(languageFile, CancelText);
    texts.analysisStopped = ReadText(languageFile, AnalysisStoppedText);
    return texts;
}

TWindowProgress::TWindowProgress(QWidget& owner, std::chrono::milliseconds delay)
    : owner_(owner), delay_(delay) {}

TWindowProgress::~TWindowProgress() = default;

void TWindowProgress::JobStarted(TProgressTask task, std::uint64_t total) {
    if (depth_++ > 0) {
        return;
    }
    task_ = task;
    total_ = total;
    running_.start();
}

bool TWindowProgress::JobAdvanced(std::uint64_t done) {
    if (depth_ != 1) {
        return true;
    }
    if (!dialog_) {
        if (running_.elapsed() < delay_.count()) {
            return true;
        }
        ShowDialog();
    } else if (!eventsRun_.hasExpired(EventsIntervalMs)) {
        return true;
    }
    const std::uint64_t shown = total_ == 0 ? 0 : std::min(total_, done) * BarSteps / total_;
    dialog_->setValue(static_cast<int>(shown));
    // The dialog is modal: of the user's input, only Cancel reaches the window.
    QCoreApplication::processEvents();
    eventsRun_.start();
    return !dialog_->wasCanceled();
}

void TWindowProgress::JobEnded() {
    if (--depth_ > 0) {
        return;
    }
    dialog_.reset();
}

void TWindowProgress::ShowDialog() {
    const bool cancellable = CanCancel(task_);
    dialog_ = std::make_unique<QProgressDialog>(
        texts_.Task(task_), cancellable ? texts_.cancel : QString(), 0, BarSteps, &owner_);
    dialog_->setWindowTitle(owner_.window()->windowTitle());
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setMinimumDuration(0);
    dialog_->show();
}
