#pragma once

#include "table/progress/Progress.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>

/// A long job's progress on one line of a terminal, written over in place once the job has
/// run for `delay`, and wiped when it ends, so that what the tool prints afterwards starts on
/// a clean line.
class TTerminalProgress : public TProgressListener {
public:
    TTerminalProgress(std::ostream& out, std::chrono::milliseconds delay);

    void JobStarted(TProgressTask task, std::uint64_t total) override;
    bool JobAdvanced(std::uint64_t done) override;
    void JobEnded() override;

private:
    std::ostream& out_;
    std::chrono::milliseconds delay_;
    std::chrono::steady_clock::time_point started_;
    /// Jobs started and not ended: the outermost one is shown.
    int depth_ = 0;
    TProgressTask task_ = TProgressTask::Open;
    std::uint64_t total_ = 0;
    std::uint64_t shownPercent_ = 0;
    /// Characters of the line shown; 0 when none is.
    std::size_t lineLength_ = 0;
};
