#include "cli/TerminalProgress.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

std::string_view TaskWords(TProgressTask task) {
    switch (task) {
    case TProgressTask::Open:
        return "opening";
    case TProgressTask::Mark:
        return "marking";
    case TProgressTask::Sort:
        return "sorting";
    case TProgressTask::Paste:
        return "pasting";
    case TProgressTask::Analysis:
        return "analysing";
    case TProgressTask::Pdf:
        return "writing the PDF";
    case TProgressTask::Print:
        return "printing";
    }
    return {};
}

} // namespace

TTerminalProgress::TTerminalProgress(std::ostream& out, std::chrono::milliseconds delay)
    : out_(out), delay_(delay) {}

void TTerminalProgress::JobStarted(TProgressTask task, std::uint64_t total) {
    if (depth_++ > 0) {
        return;
    }
    task_ = task;
    total_ = total;
    started_ = std::chrono::steady_clock::now();
}

bool TTerminalProgress::JobAdvanced(std::uint64_t done) {
    if (depth_ != 1 || std::chrono::steady_clock::now() - started_ < delay_) {
        return true;
    }
    constexpr std::uint64_t Whole = 100;
    const std::uint64_t percent = total_ == 0 ? 0 : std::min(Whole, done * Whole / total_);
    if (lineLength_ > 0 && percent == shownPercent_) {
        return true;
    }
    shownPercent_ = percent;
    const std::string line =
        "pelloran-cli: " + std::string(TaskWords(task_)) + " " + std::to_string(percent) + "%";
    // A line shorter than the one before leaves none of it behind.
    out_ << '\r' << line << std::string(lineLength_ - std::min(lineLength_, line.size()), ' ')
         << std::flush;
    lineLength_ = std::max(lineLength_, line.size());
    return true;
}

void TTerminalProgress::JobEnded() {
    if (--depth_ > 0 || lineLength_ == 0) {
        return;
    }
    out_ << '\r' << std::string(lineLength_, ' ') << '\r' << std::flush;
    lineLength_ = 0;
}
