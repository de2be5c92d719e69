#include "cli/TerminalProgress.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

TEST(TerminalProgress, OneLineWrittenOverInPlaceAndWipedAtTheEnd) {
    std::ostringstream quickJob;
    TTerminalProgress notYet(quickJob, std::chrono::hours(1));
    notYet.JobStarted(TProgressTask::Open, 10);
    EXPECT_TRUE(notYet.JobAdvanced(5));
    notYet.JobEnded();
    EXPECT_EQ(quickJob.str(), "");

    std::ostringstream terminal;
    TTerminalProgress progress(terminal, std::chrono::milliseconds(0));
    progress.JobStarted(TProgressTask::Mark, 200);
    EXPECT_TRUE(progress.JobAdvanced(0));
    EXPECT_TRUE(progress.JobAdvanced(1));
    // A job within the job is the outer one's.
    progress.JobStarted(TProgressTask::Analysis, 5);
    EXPECT_TRUE(progress.JobAdvanced(4));
    progress.JobEnded();
    EXPECT_TRUE(progress.JobAdvanced(150));
    EXPECT_EQ(terminal.str(), "\rpelloran-cli: marking 0%\rpelloran-cli: marking 75%");
    progress.JobEnded();
    EXPECT_EQ(terminal.str().substr(terminal.str().size() - 27),
              "\r" + std::string(25, ' ') + "\r");
}

} // namespace
