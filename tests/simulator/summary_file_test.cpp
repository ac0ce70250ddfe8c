// The transcript flush: a message buffer moved to standard output and to the
// end of the summary file.
#include "simulator/summary_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/exceptions.h"
#include "simulator/parameters.h"
#include "support/test_files.h"

namespace {

TEST(SummaryFileTest, SummaryFlushMovesTheBufferToConsoleAndFile) {
    TempDir dir;
    VorlanParameters parameters;
    parameters.summary_file = dir.file("run.summary");
    std::ostringstream buffer;
    buffer << "first\n";
    testing::internal::CaptureStdout();
    update_summary_file(parameters, buffer, std::ios::app);
    update_summary_file(parameters, buffer, std::ios::app);
    buffer << "second\n";
    update_summary_file(parameters, buffer, std::ios::app);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "first\nsecond\n");
    EXPECT_EQ(read_file(parameters.summary_file), "first\nsecond\n");
    EXPECT_EQ(buffer.str(), "");
}

TEST(SummaryFileTest, UnopenableSummaryKeepsTheBufferAndPrintsNothing) {
    TempDir dir;
    VorlanParameters parameters;
    parameters.summary_file = dir.file("absent/run.summary");
    std::ostringstream buffer;
    buffer << "kept\n";
    testing::internal::CaptureStdout();
    EXPECT_THROW(update_summary_file(parameters, buffer, std::ios::app), badfilename);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(buffer.str(), "kept\n");
}

}  // namespace
