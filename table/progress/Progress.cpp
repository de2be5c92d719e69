#include "table/progress/Progress.h"

#include <algorithm>

TProgress::TProgress(TProgressListener* listener, TProgressTask task, std::uint64_t total)
    : listener_(listener), cancellable_(CanCancel(task)),
      stride_(std::max<std::uint64_t>(1, total / Reports)) {
    if (listener_ != nullptr) {
        listener_->JobStarted(task, total);
        nextReport_ = 0;
    }
}

TProgress::~TProgress() {
    if (listener_ != nullptr) {
        listener_->JobEnded();
    }
}

void TProgress::Report(std::uint64_t done) {
    nextReport_ = done + stride_;
    if (!listener_->JobAdvanced(done) && cancellable_) {
        throw ECancelledError();
    }
}
