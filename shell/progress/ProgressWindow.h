#pragma once

#include "platform/ProfileFile.h"
#include "table/progress/Progress.h"

#include <QElapsedTimer>
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>

class QProgressDialog;
class QWidget;

/// The words of the progress dialog, from the language file's [Main] section.
struct TProgressTexts {
    static constexpr std::size_t TaskCount = 7;
    /// What each job is doing, by TProgressTask.
    std::array<QString, TaskCount> tasks;
    QString cancel;
    /// Shown in place of the analysis that the user stopped.
    QString analysisStopped;

    /// The Japanese words, which stand where the language file gives none.
    TProgressTexts();
    static TProgressTexts Read(const TProfileFile& languageFile);

    const QString& Task(TProgressTask task) const {
        return tasks.at(static_cast<std::size_t>(task));
    }
};

/// The window's progress dialog: a long job shows it once it has run for `delay`, modal, with
/// Cancel where stopping is clean. While it shows, the job lets the window's events run, so
/// that the window repaints and Cancel can be clicked; before, user input waits for the job.
class TWindowProgress : public TProgressListener {
public:
    TWindowProgress(QWidget& owner, std::chrono::milliseconds delay);
    ~TWindowProgress() override;
    TWindowProgress(const TWindowProgress&) = delete;
    TWindowProgress& operator=(const TWindowProgress&) = delete;

    void SetTexts(TProgressTexts texts) { texts_ = std::move(texts); }
    const TProgressTexts& Texts() const { return texts_; }

    void JobStarted(TProgressTask task, std::uint64_t total) override;
    bool JobAdvanced(std::uint64_t done) override;
    void JobEnded() override;

private:
    void ShowDialog();

    QWidget& owner_;
    std::chrono::milliseconds delay_;
    TProgressTexts texts_;
    /// Jobs started and not ended: the outermost one is shown.
    int depth_ = 0;
    TProgressTask task_ = TProgressTask::Open;
    std::uint64_t total_ = 0;
    QElapsedTimer running_;
    /// Since the dialog last let the window's events run.
    QElapsedTimer eventsRun_;
    std::unique_ptr<QProgressDialog> dialog_;
};
