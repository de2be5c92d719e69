#pragma once

#include <cstdint>
#include <exception>
#include <limits>

/// The long jobs that tell how far they have come.
enum class TProgressTask { Open, Mark, Sort, Paste, Analysis, Pdf, Print };

/// Whether stopping the job halfway is clean: a printer given half the pages is not.
constexpr bool CanCancel(TProgressTask task) {
    return task != TProgressTask::Print;
}

/// The user stopped a long job. No failure: whoever started the job puts back what it changed
/// and tells nothing.
class ECancelledError : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

/// Whoever shows the progress of long jobs: the window's progress dialog, pelloran-cli's line
/// on a terminal. Jobs may start within a job; the outer one stands for them.
class TProgressListener {
public:
    virtual ~TProgressListener() = default;
    /// A job of `total` steps starts.
    virtual void JobStarted(TProgressTask task, std::uint64_t total) = 0;
    /// `done` of the job's steps are done. False once the user has stopped the job.
    virtual bool JobAdvanced(std::uint64_t done) = 0;
    /// The job ended, whether it ran to its end or not.
    virtual void JobEnded() = 0;
};

/// One long job's progress, told to its listener about a thousand times from start to end: a
/// step costs the job one comparison, and nothing more when nobody listens.
class TProgress {
public:
    /// `listener` null for none.
    TProgress(TProgressListener* listener, TProgressTask task, std::uint64_t total);
    ~TProgress();
    TProgress(const TProgress&) = delete;
    TProgress& operator=(const TProgress&) = delete;

    /// `done` of the total steps are done. Throws ECancelledError once the user has stopped a
    /// job that can be cancelled.
    void Advance(std::uint64_t done) {
        if (done >= nextReport_) [[unlikely]] {
            Report(done);
        }
    }

private:
    void Report(std::uint64_t done);

    static constexpr std::uint64_t Reports = 1000;

    TProgressListener* listener_;
    bool cancellable_;
    std::uint64_t stride_;
    std::uint64_t nextReport_ = std::numeric_limits<std::uint64_t>::max();
};
